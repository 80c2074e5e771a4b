#include "queries/TablaTrabajo.h"

#include "platform/BaseDatos.h"
#include "queries/RanurasEvento.h"
#include "shell/modGeneral.h"

#include <QHash>
#include <QScopedValueRollback>
#include <QSqlQuery>
#include <sqlite3.h>
#include <optional>

namespace {

struct Columna {
    QString nombre;
    QString tipo;
    QString expresion;
    const GrupoRanuras *grupo = nullptr;   // read from the slots joined as R
};

// The slot columns of a group, read from the slots' table joined as R. Slot 01
// of the groups without a person condition is NULL for an event with no
// detail rows, as the export always gave; the other slots keep their initial value.
QList<Columna> Ranuras(const GrupoRanuras &g, int cuantas)
{
    QList<Columna> columnas;
    for (int k = 1; k <= cuantas; ++k) {
        const QString nombre = g.Ranura(k);
        const QString busca = QStringLiteral("R.") + nombre;
        const bool nuloSinFilas = k == 1 && !g.persona && !g.PorOrden();
        const QString expresion = nuloSinFilas ? busca : QStringLiteral("coalesce(%1, %2)").arg(busca, QLatin1String(g.inicial));
        columnas << Columna{nombre, QLatin1String(g.tipo), expresion, &g};
    }
    return columnas;
}

// Declared types of D_EVENTO's columns by lower-case name; dates as DATE, so
// that the exports write them as dates.
QHash<QString, QPair<QString, QString>> ColumnasEvento(const BaseDatos &bd)
{
    QHash<QString, QPair<QString, QString>> columnas;
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info('D_EVENTO')"));
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        QString tipo = q.value(1).toString();
        if (nombre.startsWith(QLatin1String("fecha"), Qt::CaseInsensitive))
            tipo = QStringLiteral("DATE");
        columnas.insert(nombre.toLower(), {nombre, tipo});
    }
    return columnas;
}

// The columns of a list of field entries.
QList<Columna> ColumnasDe(const BaseDatos &bd, const QStringList &campos, int ranurasDiagnostico)
{
    const auto evento = ColumnasEvento(bd);
    QList<Columna> columnas;
    for (const QString &entrada : campos) {
        if (const GrupoRanuras *g = RanurasEvento::GrupoDe(entrada)) {
            columnas << Ranuras(*g, g->PorOrden() ? ranurasDiagnostico : 3);
            continue;
        }
        const QString columna = entrada.section(QLatin1Char('.'), 1);
        if (!entrada.startsWith(QLatin1String("E."), Qt::CaseInsensitive) || !evento.contains(columna.toLower()))
            throw ErrorBD(SQLITE_ERROR, QStringLiteral("El campo %1 no es un campo de la tabla de eventos").arg(entrada));
        columnas << Columna{columna, evento.value(columna.toLower()).second,
                            QStringLiteral("E.") + CitaNombre(evento.value(columna.toLower()).first)};
    }
    return columnas;
}

// While a build runs, the caller's Progreso keeps the windows painted from
// inside SQLite; the table's model reads nothing new meanwhile.
bool construyendo = false;

// FROM, WHERE and, with detail joins, which may give an event once per
// matching detail row, GROUP BY: one row per event. With `ranuras`, the
// events' slots are joined as R.
QString Eventos(const SeleccionEventos &s, bool ranuras)
{
    QString sql = s.desde;
    if (ranuras)
        sql += RanurasEvento::Union();
    if (!s.condicion.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + s.condicion;
    if (s.desde.contains(QLatin1String("JOIN"), Qt::CaseInsensitive))
        sql += QStringLiteral(" GROUP BY E.rowid");
    return sql;
}

} // namespace

bool TablaTrabajo::LeeEnHilos(const BaseDatos &bd, const SeleccionEventos &s)
{
    if (s.condicion.trimmed().isEmpty())
        return true;
    const QVariant primera = bd.Valor(QStringLiteral("SELECT min(rowid) FROM D_EVENTO"));
    if (primera.isNull())
        return false;
    const qint64 minima = primera.toLongLong(), maxima = bd.Valor(QStringLiteral("SELECT max(rowid) FROM D_EVENTO")).toLongLong();
    constexpr int Corridas = 16, Largo = 64;
    const QString elegidos = QStringLiteral("SELECT count(DISTINCT E.rowid)%1 WHERE (%2) AND E.rowid BETWEEN ? AND ?").arg(s.desde, s.condicion);
    qint64 vistos = 0, quedan = 0;
    for (int i = 0; i < Corridas; ++i) {
        const qint64 desde = minima + qint64((long double)(maxima - minima) * i / Corridas), hasta = desde + Largo - 1;
        vistos += bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE rowid BETWEEN ? AND ?"), {desde, hasta}).toLongLong();
        quedan += bd.Valor(elegidos, s.valores + QVariantList{desde, hasta}).toLongLong();
    }
    return quedan * 16 >= vistos;
}

namespace {

qint64 Construye(const BaseDatos &bd, const QString &tabla, const QList<Columna> &columnas,
                 const SeleccionEventos &s, const QString &orden)
{
    QStringList definicion, nombres, expresiones;
    QList<const GrupoRanuras *> grupos;
    for (const Columna &c : columnas) {
        definicion << CitaNombre(c.nombre) + QLatin1Char(' ') + c.tipo;
        nombres << CitaNombre(c.nombre);
        expresiones << c.expresion;
        if (c.grupo && !grupos.contains(c.grupo))
            grupos << c.grupo;
    }
    const QString sql = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3%4 ORDER BY %5")
                            .arg(tabla, nombres.join(QLatin1Char(',')), expresiones.join(QLatin1Char(',')),
                                 Eventos(s, !grupos.isEmpty()), orden.isEmpty() ? QStringLiteral("E.rowid") : orden);
    RanurasEvento::Registra(bd.Manejador());
    // Empty when another program wrote meanwhile: the threads may have read
    // another state of the database than the events were. The write lock is
    // taken first, so that nobody can: a lock another program held until then
    // leaves the threads the state the statement reads.
    const auto construye = [&](bool adelantada) -> std::optional<qint64> {
        Transaccion t(bd);
        std::optional<RanurasEvento::LecturaAdelantada> lectura;
        if (adelantada)
            lectura.emplace(bd.Manejador(), grupos);
        const QScopedValueRollback<bool> enConstruccion(construyendo, true);
        bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(tabla));
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE main.%1 (%2)").arg(tabla, definicion.join(QLatin1Char(','))));
        const qint64 filas = bd.EjecutaAccion(sql, s.valores);
        const bool misma = !lectura || lectura->MismaVersion();
        // The readers' snapshots would keep the log from being checkpointed into the file.
        lectura.reset();
        if (!misma)
            return std::nullopt;
        t.Confirma();
        return filas;
    };
    // The detail tables are read alongside on threads of their own.
    if (!grupos.isEmpty() && TablaTrabajo::LeeEnHilos(bd, s))
        if (const auto filas = construye(true))
            return *filas;
    return *construye(false);
}

} // namespace

namespace TablaTrabajo {

bool Construyendo()
{
    return construyendo;
}

qint64 ConstruyeGenConsul(const BaseDatos &bd, const QStringList &campos, const SeleccionEventos &seleccion)
{
    bool conRanuras = false;
    for (const QString &c : campos)
        conRanuras = conRanuras || RanurasEvento::GrupoDe(c);
    QStringList todos;
    // The slots are filled by the event key, which the joined form therefore always carries.
    if (conRanuras || seleccion.desde.contains(QLatin1String("JOIN"), Qt::CaseInsensitive)) {
        for (const char *clave : {"E.Folio", "E.CLUES", "E.fechaAtencion"})
            if (!campos.contains(QLatin1String(clave), Qt::CaseInsensitive))
                todos << QLatin1String(clave);
    }
    todos << campos;
    return Construye(bd, GenConsul, ColumnasDe(bd, todos, 6), seleccion, seleccion.orden);
}

LecturaFilas FuenteTmpQuery(const BaseDatos &bd, const SeleccionEventos &seleccion)
{
    static const QStringList campos = {
        "E.Clues", "E.Folio", "E.fechaAtencion", "E.Paterno", "E.Materno", "E.Nombre", "D.CodDerechohabiencia",
        "E.Expediente", "E.CodClaveEdad", "E.Edad", "E.CodSexo", "E.CodEmbarazada", "E.CodLeeEscribe",
        "E.CodEscolaridad", "E.Calle", "E.Colonia", "E.CodEstado", "E.CodMunicipio", "E.CodLocalidad",
        "E.FechaOcurrencia", "E.CodFestivo", "E.CodDiscapacidad", "E.CodIntencionalidad", "V.CodTipoViolencia",
        "E.CodVez", "P.EfectosPaciente", "E.CodSitio", "E.CodAgente", "E.CodLesionadoVehiculo", "E.CodUsoSeguridad",
        "E.CodEquipo", "E.CodArea", "E.CodConsecuencia", "E.CodPrehospitalaria", "E.CodAgresor", "E.EdadAgresor",
        "E.CodSexoAgresor", "E.CodParentescoAgresor", "P.EfectosAgresor", "E.CodServicio", "T.CodTipoAtencion",
        "E.CodReferido", "E.CodDestino", "F.Diagnosticos", "E.CodAfecprin", "E.CodCausaExt", "E.CodMP",
        "E.CodResponsable", "E.NombreResponsable"};
    RanurasEvento::Registra(bd.Manejador());
    LecturaFilas f;
    const QString clave = QStringLiteral("E.Clues, E.Folio, E.fechaAtencion");
    QStringList expresiones;
    for (const Columna &c : ColumnasDe(bd, campos, 3)) {
        f.nombres << c.nombre;
        f.fechas << (c.tipo == QLatin1String("DATE"));
        expresiones << c.expresion;
        // Compared as stored, as the columns of a table built from them were; ties
        // in the order shown, which is the rowids' when they rise along it (cheaper to sort by).
        const QString eventos = Eventos(seleccion, c.grupo);
        f.ordenes << QStringLiteral("SELECT E.rowid%1 ORDER BY %2 COLLATE BINARY, E.rowid").arg(eventos, c.expresion);
        f.ordenesPorClave << QStringLiteral("SELECT E.rowid%1 ORDER BY %2 COLLATE BINARY, %3").arg(eventos, c.expresion, clave);
    }
    f.filas = QStringLiteral("SELECT E.rowid%1 ORDER BY %2").arg(Eventos(seleccion, false), clave);
    f.fila = QStringLiteral("SELECT %1 FROM D_Evento AS E%2 WHERE E.rowid = ?1").arg(expresiones.join(QLatin1Char(',')), RanurasEvento::Union());
    f.valores = seleccion.valores;
    return f;
}

LecturaFilas FuenteTabla(const BaseDatos &bd, const QString &tabla)
{
    LecturaFilas f;
    const QString t = QStringLiteral("main.") + CitaNombre(tabla);
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info(?, 'main')"), {tabla});
    while (q.next()) {
        f.nombres << q.value(0).toString();
        f.fechas << (q.value(1).toString().compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0);
        f.ordenes << QStringLiteral("SELECT rowid FROM %1 ORDER BY %2, rowid").arg(t, CitaNombre(f.nombres.last()));
    }
    f.filas = QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(t);
    f.fila = QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(t);
    return f;
}

} // namespace TablaTrabajo
