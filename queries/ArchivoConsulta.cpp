#include "queries/ArchivoConsulta.h"

#include "platform/ArchivoDestino.h"
#include "platform/BaseDatos.h"
#include "platform/Cp1252.h"
#include "platform/DialogoArchivos.h"
#include "platform/Mensajes.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int AnchoCampo = 30, AnchoOperador = 4, AnchoValor = 100, AnchoCriterio = 1000, AnchoCuenta = 3;
constexpr int InicioCampo = 2, InicioOperador = 32, InicioValor = 36, InicioCriterio = 136, InicioCuenta = 1136;
constexpr int LargoFijo = InicioCuenta, LargoExportar = InicioCuenta + AnchoCuenta;

const QString Titulo = QStringLiteral("Exportar");

// One fixed field: padded to its width, refused (never cut) when longer.
QString Ajusta(QByteArray &registro, const QString &texto, int ancho, const QString &nombre)
{
    const std::optional<QByteArray> bytes = ACp1252(texto);
    if (!bytes) {
        QString malos;
        for (const QChar c : texto)
            if (!ACp1252(QString(c)) && !malos.contains(c))
                malos += c;
        return QStringLiteral("%1 tiene caracteres que el archivo de consulta no puede guardar (%2), "
                              "verifique por favor......")
            .arg(nombre, malos);
    }
    if (ancho > 0 && bytes->size() > ancho)
        return QStringLiteral("%1 tiene más de %2 caracteres y no cabe en el archivo de consulta, "
                              "verifique por favor......")
            .arg(nombre)
            .arg(ancho);
    registro += *bytes;
    if (ancho > 0)
        registro += QByteArray(ancho - bytes->size(), ' ');
    return {};
}

int Digito(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

QString Texto(const QByteArray &registro, int inicio, int ancho)
{
    return DeCp1252(registro.mid(inicio, ancho));
}

// Without the padding blanks on the right.
QString SinRelleno(const QString &s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return s.left(n);
}

// The extension is the file name's, not the folder's: a dot in a folder counts for nothing.
QString Extension(const QString &ruta)
{
    const QString nombre = QFileInfo(ruta).fileName();
    const int punto = int(nombre.lastIndexOf(QLatin1Char('.')));
    return punto < 0 ? QString() : nombre.mid(punto + 1);
}

bool TieneExtension(const QString &ruta)
{
    return QFileInfo(ruta).fileName().contains(QLatin1Char('.'));
}

const QString FiltroDialogo = QStringLiteral("Archivos de Consultas (*.sql)");
const QString TituloDialogo = QStringLiteral("Exportar Datos");
const QString SinNombre = QStringLiteral("No proporciono ningún nombre de archivo, rectifique......");

} // namespace

QString EscribeConsulta(const DatosConsulta &datos, QByteArray &registro)
{
    registro.clear();
    registro += char('0' + int(datos.origen));
    registro += char('0' + datos.tipo);
    QString criterio = datos.criterio.trimmed();
    criterio.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\n', QStringLiteral("\r\n"));
    QString error = Ajusta(registro, datos.campo, AnchoCampo, QStringLiteral("El nombre de campo"));
    if (error.isEmpty())
        error = Ajusta(registro, datos.operador, AnchoOperador, QStringLiteral("El operador"));
    if (error.isEmpty())
        error = Ajusta(registro, datos.valor, AnchoValor, QStringLiteral("El valor"));
    if (error.isEmpty())
        error = Ajusta(registro, criterio, AnchoCriterio, QStringLiteral("El criterio"));
    if (error.isEmpty() && datos.tipo != TipoFiltro) {
        registro += QString::number(datos.seleccion.size()).leftJustified(AnchoCuenta).toLatin1();
        for (const QString &campo : datos.seleccion)
            if (error.isEmpty())
                error = Ajusta(registro, campo + QLatin1Char(','), 0, QStringLiteral("El campo elegido"));
    }
    registro += "\r\n";
    if (!error.isEmpty())
        registro.clear();
    return error;
}

QString LeeConsulta(const QByteArray &registro, DatosConsulta &datos)
{
    const QString ajeno = QStringLiteral("El archivo no es un archivo de consultas, verifique por favor......");
    if (registro.size() < LargoFijo)
        return ajeno;
    DatosConsulta d;
    d.origen = OrigenConsulta(Digito(registro.at(0)));
    d.tipo = Digito(registro.at(1));
    d.campo = Texto(registro, InicioCampo, AnchoCampo).trimmed();
    d.operador = Texto(registro, InicioOperador, AnchoOperador).trimmed();
    d.valor = SinRelleno(Texto(registro, InicioValor, AnchoValor));
    d.criterio = Texto(registro, InicioCriterio, AnchoCriterio).trimmed();
    d.criterio.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A saved query holds no control characters but the criteria's line breaks:
    // a file with others is some other file, whatever its first digits.
    for (const QString &texto : {d.campo, d.operador, d.valor, QString(d.criterio).remove(QLatin1Char('\n'))})
        for (const QChar c : texto)
            if (c.category() == QChar::Other_Control)
                return ajeno;
    if (d.tipo != TipoFiltro) {
        if (registro.size() < LargoExportar)
            return ajeno;
        bool ok = false;
        const int cuenta = Texto(registro, InicioCuenta, AnchoCuenta).trimmed().toInt(&ok);
        const QStringList piezas = Texto(registro, LargoExportar, -1).split(QLatin1Char(','));
        // Each chosen field is followed by a comma; what follows the last is the line end.
        if (!ok || cuenta < 0 || piezas.size() <= cuenta)
            return ajeno;
        for (int i = 0; i < cuenta; ++i) {
            const CampoConsulta *campo = BuscaCampo(OrigenConsulta::Hoja, piezas[i]);
            if (!campo)
                return QStringLiteral("El archivo nombra un campo desconocido: %1, verifique por favor......")
                    .arg(piezas[i].trimmed());
            d.seleccion << campo->Entrada();
        }
    }
    datos = d;
    return {};
}

bool GrabaConsulta(Mensajes &mensajes, DialogoArchivos &dialogo, const QString &carpeta, const DatosConsulta &datos,
                   bool generador)
{
    const bool sinCriterio = datos.criterio.trimmed().isEmpty();
    QString rechazo;
    if (generador && datos.seleccion.isEmpty())
        rechazo = QStringLiteral("No ha seleccionado ningún campo para exportar");
    else if (datos.campo.isEmpty() && sinCriterio)
        rechazo = QStringLiteral("No ha seleccionado ningún criterio");
    else if (datos.operador.isEmpty() && sinCriterio)
        rechazo = QStringLiteral("No ha seleccionado ningún operador");
    else if (datos.valor.isEmpty() && sinCriterio)
        rechazo = QStringLiteral("No ha proporcionado ningún valor del criterio");
    if (!rechazo.isEmpty()) {
        mensajes.Informa(rechazo, Titulo);
        return false;
    }
    QString ruta = dialogo.Guardar(TituloDialogo, carpeta, QStringLiteral("Consulta"), FiltroDialogo);
    if (ruta.isEmpty()) {
        mensajes.Informa(SinNombre, Titulo);
        return false;
    }
    if (!TieneExtension(ruta))
        ruta += QStringLiteral(".sql");
    else if (Extension(ruta).toUpper() != QLatin1String("SQL")) {
        mensajes.Informa(QStringLiteral("Proporciono una extensión diferente a SQL, rectifique......"), Titulo);
        return false;
    }
    QByteArray registro;
    const QString error = EscribeConsulta(datos, registro);
    if (!error.isEmpty()) {
        mensajes.Informa(error, Titulo);
        return false;
    }
    if (const QString rechazo = ArchivoDestino::RevisaCarpeta(ruta); !rechazo.isEmpty()) {
        mensajes.Informa(rechazo, Titulo);
        return false;
    }
    ArchivoDestino destino(ruta);
    QFile archivo(destino.RutaTemporal());
    QString falla;
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(registro) != registro.size() || !archivo.flush())
        falla = archivo.errorString();
    archivo.close();
    if (falla.isEmpty() && !destino.Confirma(&falla) && falla.isEmpty())
        falla = QStringLiteral("no se pudo reemplazar el archivo");
    if (!falla.isEmpty()) {
        mensajes.Informa(QStringLiteral("%1 - No se pudo grabar el archivo %2: %3")
                             .arg(int(archivo.error()))
                             .arg(ruta, falla),
                         Titulo);
        return false;
    }
    return true;
}

bool CargaConsulta(Mensajes &mensajes, DialogoArchivos &dialogo, const QString &carpeta, OrigenConsulta origen,
                   bool generador, DatosConsulta &datos)
{
    const QString ruta = dialogo.Abrir(TituloDialogo, carpeta, FiltroDialogo);
    if (ruta.isEmpty()) {
        mensajes.Informa(SinNombre, Titulo);
        return false;
    }
    if (!TieneExtension(ruta))
        return false;
    if (Extension(ruta).toUpper() != QLatin1String("SQL")) {
        mensajes.Informa(QStringLiteral("Formato de archivo invalido, extensión diferente a SQL, verifique por favor......"),
                         Titulo);
        return false;
    }
    if (BaseDatos::EsArchivoDeBaseAbierta(ruta)) {
        mensajes.Informa(BaseDatos::TextoBaseAbierta(ruta), Titulo);
        return false;
    }
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        mensajes.Informa(QStringLiteral("%1 - No se pudo leer el archivo %2: %3")
                             .arg(int(archivo.error()))
                             .arg(ruta, archivo.errorString()),
                         Titulo);
        return false;
    }
    // A query file is small; anything far larger is not one and is not read whole.
    const QByteArray registro = archivo.read(64 * 1024);
    DatosConsulta leidos;
    QString rechazo = LeeConsulta(registro, leidos);
    if (rechazo.isEmpty() && leidos.origen != origen)
        rechazo = QStringLiteral("La consulta seleccionada no corresponde a %1, verifique por favor......")
                      .arg(TablaOrigen(origen));
    if (rechazo.isEmpty() && !generador && leidos.tipo != TipoFiltro)
        rechazo = QStringLiteral("La consulta seleccionada no corresponde a FILTROS, verifique por favor......");
    if (rechazo.isEmpty() && generador && leidos.tipo == TipoFiltro)
        rechazo = QStringLiteral("La consulta seleccionada no corresponde a EXPORTAR, verifique por favor......");
    if (!rechazo.isEmpty()) {
        mensajes.Informa(rechazo, Titulo);
        return false;
    }
    datos = leidos;
    return true;
}
