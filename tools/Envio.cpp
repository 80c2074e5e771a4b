#include "tools/Envio.h"

#include "platform/ArchivoDestino.h"
#include "platform/Empaque.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"
#include "tools/AvisoHerramienta.h"
#include "tools/Bitacora.h"
#include "tools/EnvioPaquete.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {
const QString FechaEnBlanco = QStringLiteral("__/__/____");

// Where the column list of a CREATE TABLE statement begins: the first
// parenthesis outside a quoted name (a received catalog's name may hold one).
qsizetype InicioColumnas(const QString &sql)
{
    QChar cierre;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!cierre.isNull()) {
            if (c == cierre)
                cierre = QChar();   // a doubled quote closes and opens again
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('`')) {
            cierre = c;
        } else if (c == QLatin1Char('[')) {
            cierre = QLatin1Char(']');
        } else if (c == QLatin1Char('(')) {
            return i;
        }
    }
    return -1;
}

// Creates `tabla` in the schema `esquema` as the working database declares it.
void CreaComoEnTrabajo(const BaseDatos &bd, const QString &esquema, const QString &tabla)
{
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' "
                                            "AND name = ? COLLATE NOCASE"),
                             {tabla});
    if (!q.next())
        throw ErrorBD(1, QStringLiteral("No existe la tabla %1 en la Base de Datos").arg(tabla));
    const QString nombre = q.value(0).toString(), sql = q.value(1).toString();
    q.finish();
    bd.EjecutaAccion(QStringLiteral("CREATE TABLE %1.%2 ").arg(esquema, CitaNombre(nombre)) + sql.mid(InicioColumnas(sql)));
}
} // namespace

Envio::Envio(Contexto &ctx)
    : PaqueteEnvio(NombrePaquete(ctx.AnoActual, ctx.EstadoActual, ctx.reloj.Hoy())), ctx_(ctx)
{
}

QString Envio::RutaInicial() const
{
    return QDir(ctx_.RutaDatos).filePath(PaqueteEnvio);
}

QString Envio::RutaElegida(const QString &elegida) const
{
    return elegida.isEmpty() ? RutaInicial() : QDir(QFileInfo(elegida).absolutePath()).filePath(PaqueteEnvio);
}

QStringList Envio::Unidades() const
{
    QSqlQuery q = ctx_.ConexionBD.Ejecuta(QStringLiteral(
        "SELECT Clues, DescUnidad FROM CATCLUES WHERE Clues IN (SELECT CLUES FROM D_EVENTO) ORDER BY Clues"));
    QStringList lineas;
    while (q.next())
        lineas << q.value(0).toString() + QStringLiteral("  ") + q.value(1).toString();
    return lineas;
}

Envio::Foco Envio::ValidaEnvio(const QString &textoIni, const QString &textoFin, Seleccion &s) const
{
    const auto falla = [this](const QString &texto, const QString &titulo, Foco foco) {
        AvisoHerramienta(ctx_).Informa(texto, titulo);
        return foco;
    };
    const auto fecha = [this](const QString &texto, QString *valor) {
        *valor = texto.trimmed() == FechaEnBlanco ? QString() : texto;
        return valor->isEmpty() || ValidaFecha(texto, ctx_.mensajes, ctx_.reloj);
    };
    if (!fecha(textoIni, &s.fechaIni))
        return falla(QStringLiteral("Fecha de Inicio invalida, verifique por favor....."), QStringLiteral("Valida Fecha"),
                     Foco::FechaIni);
    if (!fecha(textoFin, &s.fechaFin))
        return falla(QStringLiteral("Fecha de Fin invalida, verifique por favor....."), QStringLiteral("Valida Fecha"),
                     Foco::FechaFin);
    if (!s.fechaIni.isEmpty() && !s.fechaFin.isEmpty() && FechaSQL(s.fechaFin) < FechaSQL(s.fechaIni))
        return falla(QStringLiteral("Fecha Inicial no puede ser mayor a Fecha Final, verifique por favor....."),
                     TituloAplicacion(), Foco::FechaIni);
    if (s.eventos && s.unidades.isEmpty())
        return falla(QStringLiteral("Debe seleccionar al menos una Unidad Médica de Eventos, verifique por favor....."),
                     TituloAplicacion(), Foco::Unidades);
    if (!s.eventos)
        s.unidades.clear();
    if (s.unidades.isEmpty() && s.tablas.isEmpty())
        return falla(QStringLiteral("No ha seleccionado información para generar el envío, verifique por favor....."),
                     TituloAplicacion(), Foco::Tablas);
    return Foco::Ninguno;
}

// Fills the package database attached as "envio" in one transaction; returns the events copied.
int Envio::CopiaTablas(const Seleccion &s, const QString &base)
{
    const BaseDatos &bd = ctx_.ConexionBD;
    BaseAdjunta envio(bd, base, QStringLiteral("envio"));
    Transaccion t(bd, Transaccion::Alcance::Aparte);
    int eventos = 0;
    if (s.eventos) {
        for (const QString &tabla : TablasEvento)
            CreaComoEnTrabajo(bd, QStringLiteral("envio"), tabla);
        QStringList condiciones;
        QVariantList valores;
        if (!s.todasUnidades) {
            bd.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS UNIDADES_ENVIO (CLUES TEXT PRIMARY KEY COLLATE NOCASE)"));
            bd.EjecutaAccion(QStringLiteral("DELETE FROM temp.UNIDADES_ENVIO"));
            for (const QString &linea : s.unidades)
                bd.EjecutaAccion(QStringLiteral("INSERT OR IGNORE INTO temp.UNIDADES_ENVIO VALUES (?)"), {linea.left(11)});
            condiciones << QStringLiteral("e.CLUES IN (SELECT CLUES FROM temp.UNIDADES_ENVIO)");
        }
        if (!s.fechaIni.isEmpty()) {
            condiciones << QStringLiteral("e.fechaAtencion >= ?");
            valores << FechaSQL(s.fechaIni);
        }
        if (!s.fechaFin.isEmpty()) {
            condiciones << QStringLiteral("e.fechaAtencion <= ?");
            valores << FechaSQL(s.fechaFin);
        }
        const QString donde = condiciones.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condiciones.join(QStringLiteral(" AND "));
        bd.EjecutaAccion(QStringLiteral("INSERT INTO envio.D_EVENTO SELECT e.* FROM main.D_EVENTO AS e") + donde, valores);
        // Detail rows follow the events sent, found through their key; CROSS
        // JOIN keeps the few events sent as the outer loop.
        for (const QString &tabla : TablasEvento.mid(1))
            bd.EjecutaAccion(QStringLiteral("INSERT INTO envio.%1 SELECT d.* FROM envio.D_EVENTO AS e CROSS JOIN main.%1 AS d "
                                            "ON d.CLUES = e.CLUES AND d.Folio = e.Folio AND d.fechaAtencion = e.fechaAtencion")
                                 .arg(tabla));
        eventos = bd.Valor(QStringLiteral("SELECT COUNT(*) FROM envio.D_EVENTO")).toInt();
    }
    const QStringList propias = TablasCatalogo(bd);
    for (const QString &tabla : s.tablas) {
        if (!propias.contains(tabla))
            throw ErrorBD(1, QStringLiteral("No existe el catálogo %1 en la Base de Datos").arg(tabla));
        CreaComoEnTrabajo(bd, QStringLiteral("envio"), tabla);
        bd.EjecutaAccion(QStringLiteral("INSERT INTO envio.%1 SELECT * FROM main.%1").arg(CitaNombre(tabla)));
    }
    t.Confirma();
    return eventos;
}

bool Envio::GeneraEnvio(const Seleccion &s, const QString &destino)
{
    AvisoHerramienta aviso(ctx_);
    Progreso trabajo = ctx_.Trabajo(QStringLiteral("Creando envio de la Base de Datos"));
    const auto falla = [this, &trabajo, &aviso](const QString &motivo) {
        trabajo.Termina();
        ctx_.EscribePanel(QString());
        aviso.Informa(QStringLiteral("No se pudo generar el Envío.\n\n") + motivo, QStringLiteral("Envío VELMORAN"));
        return false;
    };
    // The package's database and archive get unique temporary names that an
    // interrupted send leaves behind; this one removes them first.
    const QString rutaBase = QDir(ctx_.RutaDatos).filePath(BaseDelPaquete(PaqueteEnvio));
    // Both folders are written: refused before the long work rather than after it.
    for (const QString &ruta : {destino, rutaBase})
        if (const QString rechazo = ArchivoDestino::RevisaCarpeta(ruta); !rechazo.isEmpty())
            return falla(rechazo);
    ArchivoDestino::BorraRestos(rutaBase);
    ArchivoDestino::BorraRestos(destino);
    int eventos = 0;
    QString error;
    {
        // SQLite creates the new database at the temporary name; never
        // confirmed, it is removed with this object, before any message.
        const ArchivoDestino base(rutaBase);
        try {
            eventos = CopiaTablas(s, base.RutaTemporal());
        } catch (const ErrorBD &e) {
            error = QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion();
        }
        if (error.isEmpty()) {
            trabajo.Etapa(QStringLiteral("Empacando el Envío en %1.....").arg(QDir::toNativeSeparators(destino)));
            // The package is packed and read back; the user's click puts it in its folder.
            const auto pausa = [&aviso] {
                aviso.Informa(QStringLiteral("De click para continuar"), QStringLiteral("Envío de VELMORAN"));
            };
            EmpacaArchivo(base.RutaTemporal(), BaseDelPaquete(PaqueteEnvio), destino, &error, pausa);
        }
    }
    if (!error.isEmpty())
        return falla(error);
    try {
        // Into the file at its path, written back there first if it left it.
        aviso.EnSuRuta([&] {
            RegistraBitacora(ctx_.ConexionBD,
                             {TipoBitacora::Envio, destino, eventos, int(s.unidades.size()), s.fechaIni, s.fechaFin,
                              int(s.tablas.size())},
                             ctx_.reloj.Ahora());
        });
    } catch (const ErrorBD &e) {
        trabajo.Termina();
        ctx_.EscribePanel(QString());
        aviso.Informa(QStringLiteral("El paquete se guardó en %1, pero no se pudo anotar en la Bitácora.\n\n")
                              .arg(QDir::toNativeSeparators(destino))
                          + e.Descripcion(),
                      QStringLiteral("Envío VELMORAN"));
        return false;
    }
    trabajo.Termina();
    ctx_.EscribePanel(QString());
    aviso.Informa(QStringLiteral("El Envío se genero con la siguiente información....\n***     ***\n\n"
                                 "Eventos de VELMORAN y/o Violencias  = %1\nCatálogos     = %2")
                      .arg(QLocale(QLocale::Spanish, QLocale::Mexico).toString(eventos))
                      .arg(s.tablas.size()),
                  QStringLiteral("Envíos VELMORAN"));
    return true;
}
