#include "lookups/Descripciones.h"

#include "platform/BaseDatos.h"
#include "platform/SentenciaSqlite.h"

#include <QVariant>

namespace {

Descripcion NoSePuede()
{
    return {Descripcion::Hallazgo::Error, QString()};
}

// Runs one SELECT whose first column is the description. Straight on
// SQLite: a typed code and the save's checks look up many of them.
Descripcion Busca(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
{
    try {
        SentenciaSqlite q(bd, sql, valores);
        if (!q.Paso())
            return {Descripcion::Hallazgo::NoEncontrado, CveInexistente()};
        const QVariant v = q.Valor(0);
        return {Descripcion::Hallazgo::Encontrado, v.isNull() ? QString() : v.toString()};
    } catch (const ErrorBD &) {
        return NoSePuede();
    }
}

// Whether the catalog of that name (as NombreCatalogo gives it) has text codes.
bool EsCodigoTexto(const QString &nombre)
{
    return nombre == QLatin1String("Derechohabiencia");
}

// The value a numeric code column is compared with: a number, or an invalid
// QVariant when the text is blank or not a number (the query cannot run).
QVariant CodigoNumerico(const QString &codigo)
{
    const QString t = codigo.trimmed();
    bool ok = false;
    const qlonglong entero = t.toLongLong(&ok);
    if (ok)
        return entero;
    const double real = t.toDouble(&ok);
    return ok ? QVariant(real) : QVariant();
}

} // namespace

QString CveInexistente()
{
    return QStringLiteral("CVE INEXISTENTE");
}

Descripcion DescEstado(const BaseDatos &bd, const QString &estado)
{
    return Busca(bd, QStringLiteral("SELECT Descripcion FROM cEstados WHERE CodEstado = ?"), {estado});
}

Descripcion DescMunicipio(const BaseDatos &bd, const QString &estado, const QString &municipio)
{
    return Busca(bd,
                 QStringLiteral("SELECT Descripcion FROM cMunicipios WHERE CodEstado = ? AND CodMunicipio = ?"),
                 {estado, municipio});
}

Descripcion DescLocalidad(const BaseDatos &bd, const QString &estado, const QString &municipio,
                          const QString &localidad)
{
    return Busca(bd,
                 QStringLiteral("SELECT Descripcion FROM cLocalidades "
                                "WHERE CodEstado = ? AND CodMunicipio = ? AND CodLocalidad = ?"),
                 {estado, municipio, localidad});
}

Descripcion DescClues(const BaseDatos &bd, const QString &clues)
{
    return Busca(bd, QStringLiteral("SELECT DescUnidad FROM CATCLUES WHERE Clues = ?"), {clues});
}

Descripcion DescClaveEdad(const BaseDatos &bd, const QString &clave)
{
    return DescCatalogo(bd, QStringLiteral("ClaveEdad"), clave);
}

Descripcion DescCatalogo(const BaseDatos &bd, const QString &catalogo, const QString &codigo)
{
    const QString nombre = NombreCatalogo(catalogo);
    if (nombre.isEmpty())
        return NoSePuede();
    QVariant valor = codigo;
    if (!EsCodigoTexto(nombre)) {
        valor = CodigoNumerico(codigo);
        if (!valor.isValid())
            return NoSePuede();
    }
    // Table and column names come from the fixed list above.
    return Busca(bd, QStringLiteral("SELECT Descripcion FROM c%1 WHERE Cod%1 = ?").arg(nombre), {valor});
}

const QStringList &CatalogosCodificados()
{
    static const QStringList nombres = {
        QStringLiteral("AfectadoAgresor"), QStringLiteral("Agente"), QStringLiteral("Agresor"),
        QStringLiteral("Area"), QStringLiteral("ClaveEdad"), QStringLiteral("Consecuencia"),
        QStringLiteral("Derechohabiencia"), QStringLiteral("Destino"), QStringLiteral("Discapacidad"),
        QStringLiteral("Efectos"), QStringLiteral("Embarazada"), QStringLiteral("Equipo"),
        QStringLiteral("Escolaridad"), QStringLiteral("Festivo"), QStringLiteral("Intencionalidad"),
        QStringLiteral("LeeEscribe"), QStringLiteral("LesionadoVehiculo"), QStringLiteral("MP"),
        QStringLiteral("Parentesco"), QStringLiteral("Prehospitalaria"), QStringLiteral("Referido"),
        QStringLiteral("Responsable"), QStringLiteral("Servicio"), QStringLiteral("Sexo"),
        QStringLiteral("Sitio"), QStringLiteral("TipoAtencion"), QStringLiteral("TipoUnidad"),
        QStringLiteral("TipoViolencia"), QStringLiteral("UsoSeguridad"), QStringLiteral("Vez"),
    };
    return nombres;
}

QString NombreCatalogo(const QString &catalogo)
{
    // Accepts the name with or without its table prefix ("Sexo", "cSexo").
    const QStringView sinPrefijo = catalogo.startsWith(QLatin1Char('c'), Qt::CaseInsensitive)
                                       ? QStringView(catalogo).mid(1)
                                       : QStringView();
    for (const QString &n : CatalogosCodificados()) {
        if (catalogo.compare(n, Qt::CaseInsensitive) == 0 || sinPrefijo.compare(n, Qt::CaseInsensitive) == 0)
            return n;
    }
    return QString();
}

QString TablaCatalogo(const QString &catalogo)
{
    const QString n = NombreCatalogo(catalogo);
    return n.isEmpty() ? QString() : QLatin1Char('c') + n;
}

QString ColumnaCodigo(const QString &catalogo)
{
    const QString n = NombreCatalogo(catalogo);
    return n.isEmpty() ? QString() : QStringLiteral("Cod") + n;
}

bool CodigoTexto(const QString &catalogo)
{
    return EsCodigoTexto(NombreCatalogo(catalogo));
}

QString CatalogoDeCampo(int indice)
{
    switch (indice) {
    case 37: return QStringLiteral("ClaveEdad");
    case 38: case 67: return QStringLiteral("Sexo");
    case 39: return QStringLiteral("Embarazada");
    case 40: return QStringLiteral("LeeEscribe");
    case 41: return QStringLiteral("Escolaridad");
    case 51: return QStringLiteral("Festivo");
    case 52: return QStringLiteral("Discapacidad");
    case 53: return QStringLiteral("Intencionalidad");
    case 54: return QStringLiteral("Vez");
    case 55: return QStringLiteral("Sitio");
    case 56: return QStringLiteral("Agente");
    case 57: return QStringLiteral("LesionadoVehiculo");
    case 58: return QStringLiteral("UsoSeguridad");
    case 59: return QStringLiteral("Equipo");
    case 60: return QStringLiteral("Area");
    case 61: return QStringLiteral("Consecuencia");
    case 62: return QStringLiteral("Prehospitalaria");
    case 65: return QStringLiteral("Agresor");
    case 68: return QStringLiteral("Parentesco");
    case 71: return QStringLiteral("Servicio");
    case 74: return QStringLiteral("Referido");
    case 75: return QStringLiteral("Destino");
    case 79: return QStringLiteral("MP");
    case 80: return QStringLiteral("Responsable");
    default: return QString();
    }
}
