#include "platform/ReporteDefinicion.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace {

[[noreturn]] void Falla(const QString &origen, const QString &detalle)
{
    throw ErrorReporte(QStringLiteral("El archivo de reporte %1 no es válido: %2").arg(origen, detalle));
}

Alineacion AlineacionDe(const QJsonValue &v, Alineacion porOmision, const QString &origen)
{
    const QString t = v.toString();
    if (t.isEmpty())
        return porOmision;
    if (t == QLatin1String("izquierda"))
        return Alineacion::Izquierda;
    if (t == QLatin1String("centro"))
        return Alineacion::Centro;
    if (t == QLatin1String("derecha"))
        return Alineacion::Derecha;
    Falla(origen, QStringLiteral("alineación desconocida \"%1\"").arg(t));
}

QVector<LineaReporte> LineasDe(const QJsonArray &a, const QString &origen)
{
    QVector<LineaReporte> r;
    for (const QJsonValue &v : a) {
        const QJsonObject o = v.toObject();
        LineaReporte l;
        l.texto = o.value(QLatin1String("texto")).toString();
        l.estilo = o.value(QLatin1String("estilo")).toString(l.estilo);
        l.alineacion = AlineacionDe(o.value(QLatin1String("alineacion")), Alineacion::Centro, origen);
        l.omitirVacia = o.value(QLatin1String("omitirVacia")).toBool();
        r.append(l);
    }
    return r;
}

} // namespace

EstiloReporte DefinicionReporte::Estilo(const QString &nombre) const
{
    return estilos.value(nombre, estilos.value(QStringLiteral("normal")));
}

DefinicionReporte LeeDefinicionReporte(const QByteArray &json, const QString &origen)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull() || !doc.isObject())
        Falla(origen, error.errorString());
    const QJsonObject raiz = doc.object();
    DefinicionReporte d;

    const QJsonObject pagina = raiz.value(QLatin1String("pagina")).toObject();
    const QString tamano = pagina.value(QLatin1String("tamano")).toString(QStringLiteral("carta"));
    if (tamano == QLatin1String("carta"))
        d.tamano = QPageSize::Letter;
    else if (tamano == QLatin1String("oficio"))
        d.tamano = QPageSize::Legal;
    else
        Falla(origen, QStringLiteral("tamaño de página desconocido \"%1\"").arg(tamano));
    d.orientacion = pagina.value(QLatin1String("orientacion")).toString() == QLatin1String("horizontal")
        ? QPageLayout::Landscape : QPageLayout::Portrait;
    const QJsonArray m = pagina.value(QLatin1String("margenes")).toArray();
    if (m.size() == 4)
        d.margenes = QMarginsF(m[0].toDouble(), m[1].toDouble(), m[2].toDouble(), m[3].toDouble());
    d.fuente = raiz.value(QLatin1String("fuente")).toString(d.fuente);

    d.estilos.insert(QStringLiteral("normal"), EstiloReporte{8, false, {}});
    d.estilos.insert(QStringLiteral("titulo"), EstiloReporte{11, true, {}});
    d.estilos.insert(QStringLiteral("columnas"), EstiloReporte{7, true, QColor(0xD9, 0xD9, 0xD9)});
    d.estilos.insert(QStringLiteral("grupo"), EstiloReporte{8, true, {}});
    d.estilos.insert(QStringLiteral("total"), EstiloReporte{8, true, QColor(0xEE, 0xEE, 0xEE)});
    const QJsonObject estilos = raiz.value(QLatin1String("estilos")).toObject();
    for (auto it = estilos.begin(); it != estilos.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        EstiloReporte e = d.estilos.value(it.key(), d.estilos.value(QStringLiteral("normal")));
        e.puntos = o.value(QLatin1String("puntos")).toDouble(e.puntos);
        e.negrita = o.value(QLatin1String("negrita")).toBool(e.negrita);
        if (o.contains(QLatin1String("fondo")))
            e.fondo = QColor(o.value(QLatin1String("fondo")).toString());
        if (e.puntos <= 0)
            Falla(origen, QStringLiteral("el estilo \"%1\" no tiene tamaño").arg(it.key()));
        d.estilos.insert(it.key(), e);
    }

    d.encabezado = LineasDe(raiz.value(QLatin1String("encabezado")).toArray(), origen);
    d.pie = LineasDe(raiz.value(QLatin1String("pie")).toArray(), origen);

    for (const QJsonValue &v : raiz.value(QLatin1String("columnas")).toArray()) {
        const QJsonObject o = v.toObject();
        ColumnaReporte c;
        c.campo = o.value(QLatin1String("campo")).toString();
        c.titulo = o.value(QLatin1String("titulo")).toString();
        c.ancho = o.value(QLatin1String("ancho")).toDouble(c.ancho);
        c.alineacion = AlineacionDe(o.value(QLatin1String("alineacion")), Alineacion::Izquierda, origen);
        c.formato = o.value(QLatin1String("formato")).toString();
        for (const QJsonValue &s : o.value(QLatin1String("suma")).toArray())
            c.suma << s.toString();
        c.total = o.value(QLatin1String("total")).toBool();
        c.suprimeRepetidos = o.value(QLatin1String("suprimeRepetidos")).toBool();
        c.ajusta = o.value(QLatin1String("ajusta")).toBool();
        if (c.ancho <= 0)
            Falla(origen, QStringLiteral("la columna \"%1\" no tiene ancho").arg(c.titulo));
        d.columnas.append(c);
    }
    if (d.columnas.isEmpty())
        Falla(origen, QStringLiteral("no tiene columnas"));

    for (const QJsonValue &v : raiz.value(QLatin1String("bandas")).toArray()) {
        const QJsonObject o = v.toObject();
        d.bandas.append({o.value(QLatin1String("texto")).toString(), o.value(QLatin1String("desde")).toString(),
                         o.value(QLatin1String("hasta")).toString()});
    }
    for (const QJsonValue &v : raiz.value(QLatin1String("grupos")).toArray()) {
        const QJsonObject o = v.toObject();
        GrupoReporte g;
        g.campo = o.value(QLatin1String("campo")).toString();
        g.encabezado = o.value(QLatin1String("encabezado")).toString();
        g.subtotal = o.value(QLatin1String("subtotal")).toString();
        g.saltoPagina = o.value(QLatin1String("saltoPagina")).toBool();
        if (g.campo.isEmpty())
            Falla(origen, QStringLiteral("un grupo no tiene campo"));
        d.grupos.append(g);
    }
    d.total = raiz.value(QLatin1String("total")).toString();
    d.campoEstilo = raiz.value(QLatin1String("campoEstilo")).toString();
    return d;
}

DefinicionReporte CargaDefinicionReporte(const QString &ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorReporte(QStringLiteral("No se encontró el archivo de reporte %1").arg(ruta));
    return LeeDefinicionReporte(f.readAll(), ruta);
}

QString FormateaValor(const QVariant &valor, const QString &formato)
{
    if (valor.isNull())
        return {};
    if (formato.isEmpty())
        return valor.toString();
    // Counts, the bulk of every report: whole numbers in "#,##0" straight.
    if (formato == QLatin1String("#,##0")
        && (valor.typeId() == QMetaType::LongLong || valor.typeId() == QMetaType::Int)) {
        // Written from the right into one buffer: a single string per cell.
        const qlonglong n = valor.toLongLong();
        qulonglong resto = n < 0 ? 0 - qulonglong(n) : qulonglong(n);
        char16_t cifras[32];
        int i = 32, digitos = 0;
        do {
            if (digitos > 0 && digitos % 3 == 0)
                cifras[--i] = u',';
            cifras[--i] = char16_t(u'0' + resto % 10);
            resto /= 10;
            ++digitos;
        } while (resto > 0);
        if (n < 0)
            cifras[--i] = u'-';
        return QString(reinterpret_cast<const QChar *>(cifras + i), 32 - i);
    }
    bool esNumero = false;
    const double n = valor.toString().trimmed().toDouble(&esNumero);
    if (!esNumero)
        return valor.toString();
    const int punto = formato.indexOf(QLatin1Char('.'));
    const int decimales = punto < 0 ? 0 : int(formato.size()) - punto - 1;
    const int minimo = int(formato.left(punto < 0 ? formato.size() : punto).count(QLatin1Char('0')));
    const bool agrupa = formato.contains(QLatin1Char(','));

    QString texto = QString::number(std::fabs(n), 'f', decimales);
    QString entero = texto.section(QLatin1Char('.'), 0, 0);
    const QString fraccion = decimales > 0 ? texto.section(QLatin1Char('.'), 1, 1) : QString();
    if (entero == QLatin1String("0") && minimo == 0 && decimales > 0)
        entero.clear();
    entero = entero.rightJustified(minimo, QLatin1Char('0'));
    if (agrupa)
        for (int i = int(entero.size()) - 3; i > 0; i -= 3)
            entero.insert(i, QLatin1Char(','));
    texto = decimales > 0 ? entero + QLatin1Char('.') + fraccion : entero;
    const bool negativo = n < 0 && texto.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return negativo ? QLatin1Char('-') + texto : texto;
}

QString SustituyeMarcas(const QString &texto, const QMap<QString, QString> &valores)
{
    static const QRegularExpression marca(QStringLiteral("\\{([A-Za-z0-9_]+)\\}"));
    QString r;
    qsizetype desde = 0;
    for (auto it = marca.globalMatch(texto); it.hasNext();) {
        const auto m = it.next();
        r += texto.mid(desde, m.capturedStart() - desde);
        r += valores.value(m.captured(1));
        desde = m.capturedEnd();
    }
    return r + texto.mid(desde);
}
