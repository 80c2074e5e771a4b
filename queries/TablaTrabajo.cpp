#include "queries/TablaTrabajo.h"

#include "platform/BaseDatos.h"
#include "platform/SentenciaSqlite.h"
#include "queries/CodigosEvento.h"
#include "queries/LecturaTramos.h"
#include "queries/RanurasEvento.h"
#include "shell/modGeneral.h"

#include <QHash>
#include <QRegularExpression>
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

// The slot columns of a group, read from the slots' table joined as R, which
// gives each as the export always gave it.
QList<Columna> Ranuras(const GrupoRanuras &g, int cuantas)
{
    QList<Columna> columnas;
    for (int k = 1; k <= cuantas; ++k) {
        const QString nombre = g.Ranura(k);
        columnas << Columna{nombre, QLatin1String(g.tipo), QStringLiteral("R.") + nombre, &g};
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

namespace {

// The selection's FROM with the events read as `indice` says (" NOT INDEXED",
// " INDEXED BY ...").
QString ConIndice(const QString &desde, const QString &indice)
{
    static const QLatin1String eventos(" FROM D_Evento AS E");
    if (!desde.startsWith(eventos, Qt::CaseInsensitive))
        return desde;
    return desde.left(eventos.size()) + indice + desde.mid(eventos.size());
}

// The selection's FROM with the events read only by rowid or in full, never
// through an index of theirs (SQLite's NOT INDEXED keeps the rowid's own search).
QString SinIndices(const QString &desde)
{
    return ConIndice(desde, QStringLiteral(" NOT INDEXED"));
}

// Of the events in 16 runs of 64 rowids spread over the table: how many
// there are and how many the selection keeps. Each run is read by its rowids
// whatever index the condition names, so that it costs the same few steps
// whatever the plan of the selection itself.
struct Muestra {
    qint64 vistos = 0, quedan = 0;

    Muestra(const BaseDatos &bd, const SeleccionEventos &s)
    {
        const QVariant menor = bd.Valor(QStringLiteral("SELECT min(rowid) FROM D_EVENTO"));
        if (menor.isNull())
            return;
        const qint64 minima = menor.toLongLong(), maxima = bd.Valor(QStringLiteral("SELECT max(rowid) FROM D_EVENTO")).toLongLong();
        constexpr int Corridas = 16, Largo = 64;
        SentenciaSqlite todos(bd.Manejador(), QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE rowid BETWEEN ? AND ?"));
        SentenciaSqlite elegidos(bd.Manejador(), QStringLiteral("SELECT count(DISTINCT E.rowid)%1 WHERE (%2) AND E.rowid BETWEEN ? AND ?")
                                                     .arg(SinIndices(s.desde), s.condicion));
        for (int i = 0; i < Corridas; ++i) {
            const qint64 desde = minima + qint64((long double)(maxima - minima) * i / Corridas), hasta = desde + Largo - 1;
            todos.Reinicia();
            todos.Asocia({desde, hasta});
            vistos += todos.Paso() ? todos.Valor(0).toLongLong() : 0;
            elegidos.Reinicia();
            elegidos.Asocia(s.valores + QVariantList{desde, hasta});
            quedan += elegidos.Paso() ? elegidos.Valor(0).toLongLong() : 0;
        }
    }
};

// The name of D_EVENTO's key index, or empty.
QString IndiceClave(const BaseDatos &bd)
{
    return bd.Valor(QStringLiteral("SELECT name FROM pragma_index_list('D_EVENTO') WHERE origin = 'pk'")).toString();
}

// Whether SQLite runs `sql` by searching D_EVENTO's key index for the events
// E, in the index's order and without a sort: as many steps as events found.
// Told by its plan; any plan it does not recognize as such is not.
bool BuscaPorClave(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
{
    const QString indice = IndiceClave(bd);
    static const QRegularExpression busqueda(QStringLiteral("^SEARCH (?:TABLE \\S+ AS )?E USING (?:COVERING )?INDEX (\\S+) \\("));
    QSqlQuery q = bd.Ejecuta(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, valores);
    bool porClave = false;
    while (q.next()) {
        const QString paso = q.value(3).toString();
        if (paso.contains(QLatin1String("TEMP B-TREE")))
            return false;
        const QRegularExpressionMatch m = busqueda.match(paso);
        porClave = porClave || (m.hasMatch() && !indice.isEmpty() && m.captured(1) == indice);
    }
    return porClave;
}

// How a build meets the events and reads their detail rows.
struct Camino {
    using Forma = TablaTrabajo::LecturaTabla::Eventos;
    Forma forma = Forma::Escrita;
    bool adelantada = false;   // the detail tables read ahead, on threads where they can run
    bool porClave = false;     // without that, the events read along the key's index
};

// The detail rows are read ahead, on threads where they can run (on the
// calling thread otherwise), only when the selection keeps more than a few
// events; without that, the statement walks the detail tables along the key
// as it meets the events, at a step each when they come in the key's order
// and a search each otherwise.
// - No condition: every event, in rowid order, every detail row read ahead;
//   without that, along the key.
// - Most events (half or more of the sample): the same, the condition tried
//   on each event; a search through an index would read the table in the
//   index's order, each page again and again.
// - Events the key's index finds (a unit, a range of folios): they are found
//   first, the detail rows of those alone are read ahead, and the statement
//   then reads them in rowid order, so that neither a sort of the rows nor
//   the index's order of the table costs it; without a reading ahead, along
//   the index.
// - Otherwise, everything is read ahead when the sample keeps one event in
//   sixteen or more (without that, along the key); the statement alone
//   searches for fewer.
Camino Elige(const BaseDatos &bd, const SeleccionEventos &s, bool ranuras)
{
    Camino c;
    if (s.condicion.trimmed().isEmpty()) {
        c.adelantada = c.porClave = ranuras;
        return c;
    }
    const Muestra m(bd, s);
    if (m.vistos > 0 && m.quedan * 2 >= m.vistos) {
        c.forma = Camino::Forma::SinIndice;
        c.adelantada = c.porClave = ranuras;
    } else if (BuscaPorClave(bd, QStringLiteral("SELECT E.rowid%1 WHERE %2").arg(s.desde, s.condicion), s.valores)) {
        // The user's order may name a detail the selection joins: only the selection knows it.
        if (s.orden.isEmpty() || !s.desde.contains(QLatin1String("JOIN"), Qt::CaseInsensitive)) {
            c.forma = Camino::Forma::Elegidos;
            c.adelantada = ranuras;
        }
    } else {
        c.adelantada = c.porClave = ranuras && m.vistos > 0 && m.quedan * 16 >= m.vistos;
    }
    return c;
}

// The events a selection keeps, found along the key's index, each once; null
// when their keys cannot be kept so.
std::unique_ptr<RanurasEvento::Elegidos> LeeElegidos(const BaseDatos &bd, const SeleccionEventos &s)
{
    SentenciaSqlite q(bd.Manejador(), QStringLiteral("SELECT E.rowid, E.Clues, E.Folio, E.fechaAtencion%1 WHERE %2").arg(s.desde, s.condicion),
                      s.valores);
    auto elegidos = std::make_unique<RanurasEvento::Elegidos>();
    try {
        if (elegidos->Lee(q.Stmt()))
            return elegidos;
    } catch (const std::bad_alloc &) {
    }
    return nullptr;
}

} // namespace

namespace {

qint64 Construye(const BaseDatos &bd, const QString &tabla, const QList<Columna> &columnas,
                 const SeleccionEventos &s, const QString &orden, bool hilos, TablaTrabajo::LecturaTabla *como)
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
    const QString inserta = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3").arg(tabla, nombres.join(QLatin1Char(',')),
                                                                                   expresiones.join(QLatin1Char(',')));
    const QString ordena = QStringLiteral(" ORDER BY ") + (orden.isEmpty() ? QStringLiteral("E.rowid") : orden);
    // With slots, the chosen events are found before the statement, once; without, by the statement.
    const auto sentencia = [&](Camino::Forma forma) {
        if (forma == Camino::Forma::ElegidosPorClave || (forma == Camino::Forma::Elegidos && !grupos.isEmpty()))
            return inserta + QStringLiteral(" FROM") + RanurasEvento::DeLosElegidos() + QStringLiteral(" CROSS JOIN D_Evento AS E")
                   + RanurasEvento::Union() + QStringLiteral(" WHERE E.rowid = L.fila")
                   + (forma == Camino::Forma::Elegidos && orden.isEmpty() ? QStringLiteral(" ORDER BY L.fila") : ordena);
        if (forma == Camino::Forma::Elegidos)
            return inserta + QStringLiteral(" FROM D_Evento AS E WHERE E.rowid IN (SELECT E.rowid%1 WHERE %2)").arg(s.desde, s.condicion)
                   + ordena;
        SeleccionEventos escrita = s;
        if (forma == Camino::Forma::SinIndice)
            escrita.desde = SinIndices(s.desde);
        else if (forma == Camino::Forma::PorClave)
            escrita.desde = ConIndice(s.desde, QStringLiteral(" INDEXED BY ") + CitaNombre(IndiceClave(bd)));
        return inserta + Eventos(escrita, !grupos.isEmpty()) + ordena;
    };
    RanurasEvento::Registra(bd.Manejador());
    // Empty when another program wrote meanwhile: the threads may have read
    // another state of the database than the events were. The write lock is
    // taken first, so that nobody can: a lock another program held until then
    // leaves the threads the state the statement reads.
    const auto construye = [&](bool enHilos) -> std::optional<qint64> {
        // The windows are painted from inside the statements that find the events and read them ahead too.
        const QScopedValueRollback<bool> enConstruccion(construyendo, true);
        Transaccion t(bd);
        Camino camino = Elige(bd, s, !grupos.isEmpty());
        std::unique_ptr<RanurasEvento::Elegidos> elegidos;
        std::optional<RanurasEvento::LecturaAdelantada> lectura;
        if (camino.adelantada) {
            if (camino.forma == Camino::Forma::Elegidos)
                elegidos = LeeElegidos(bd, s);
            if (elegidos || camino.forma != Camino::Forma::Elegidos)
                lectura.emplace(bd.Manejador(), grupos, elegidos.get(), enHilos);
        }
        bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(tabla));
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE main.%1 (%2)").arg(tabla, definicion.join(QLatin1Char(','))));
        // The statement waits for the chosen events' readers anyway: one that could not read is known before it starts.
        if (elegidos && lectura && lectura->Adelantada() && !lectura->Espera())
            lectura.reset();
        // Without a reading ahead the statement walks the detail tables along the
        // key's index as it reads the events; the chosen ones, found already, are read so.
        const bool adelantada = lectura && lectura->Adelantada();
        if (!grupos.isEmpty() && !adelantada)
            camino.forma = elegidos                                         ? Camino::Forma::ElegidosPorClave
                           : camino.porClave && !IndiceClave(bd).isEmpty() ? Camino::Forma::PorClave
                                                                           : Camino::Forma::Escrita;
        if (elegidos)
            elegidos->porFila = adelantada;
        std::optional<RanurasEvento::Elegidos::EnCurso> actuales;
        if (elegidos)
            actuales.emplace(*elegidos);
        // The chosen events' statement names them by rowid, not by the selection's values.
        const qint64 filas = bd.EjecutaAccion(sentencia(camino.forma), elegidos ? QVariantList() : s.valores);
        const bool misma = !lectura || lectura->MismaVersion();
        if (como)
            *como = {camino.forma, lectura ? lectura->Tramos() : 0, lectura ? qint64(lectura->Hallados()) : 0,
                     lectura ? qint64(lectura->Leidos()) : 0};
        // The readers' snapshots would keep the log from being checkpointed into the file.
        lectura.reset();
        actuales.reset();
        elegidos.reset();
        if (!misma)
            return std::nullopt;
        t.Confirma();
        return filas;
    };
    if (hilos)
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

qint64 ConstruyeGenConsul(const BaseDatos &bd, const QStringList &campos, const SeleccionEventos &seleccion, bool hilos,
                          LecturaTabla *lectura)
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
    return Construye(bd, GenConsul, ColumnasDe(bd, todos, 6), seleccion, seleccion.orden, hilos, lectura);
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
