#include "queries/TablaTrabajo.h"

#include "platform/BaseDatos.h"
#include "shell/modGeneral.h"

#include <QHash>
#include <QScopedValueRollback>
#include <QSqlQuery>
#include <sqlite3.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A detail field of the lists and the slot columns it becomes.
struct GrupoRanuras {
    const char *entrada;    // the field entry
    const char *prefijo;    // slot names: prefix + 01, 02, ...
    const char *tabla;
    const char *codigo;
    const char *persona;    // D_BajoEfectos rows of the patient (1) or the aggressor (2)
    const char *tipo;       // declared type of the slots
    const char *inicial;    // value of a slot with no code
};

// Slot 01 of the groups without a person condition is NULL for an event with
// no detail rows, as the export always gave; the other slots keep their initial value.
const GrupoRanuras Grupos[] = {
    {"D.CodDerechohabiencia", "Derechohabiencia", "D_Derechohabiencia", "CodDerechohabiencia", nullptr, "TEXT", "' '"},
    {"V.CodTipoViolencia", "TipoViolencia", "D_TipoViolencia", "CodTipoViolencia", nullptr, "INTEGER", "0"},
    {"P.EfectosPaciente", "EfectosPaciente", "D_BajoEfectos", "CodEfectos", "1", "INTEGER", "0"},
    {"P.EfectosAgresor", "EfectosAgresor", "D_BajoEfectos", "CodEfectos", "2", "INTEGER", "0"},
    {"T.CodTipoAtencion", "TipoAtencion", "D_TipoAtencion", "CodTipoAtencion", nullptr, "INTEGER", "0"},
    {"F.Diagnosticos", "Diagnostico", "D_Diagnosticos", "CodDiagnostico", nullptr, "TEXT", "'    '"},
};

struct Columna {
    QString nombre;
    QString tipo;
    QString expresion;
};

const GrupoRanuras *GrupoDe(const QString &entrada)
{
    for (const GrupoRanuras &g : Grupos)
        if (entrada.compare(QLatin1String(g.entrada), Qt::CaseInsensitive) == 0)
            return &g;
    return nullptr;
}

QString Cita(const QString &nombre)
{
    return QLatin1Char('"') + nombre + QLatin1Char('"');
}

// The slot columns of a group: RANURA(group, k, key) gives the event's k-th code
// (the function under the name `funcion`).
QList<Columna> Ranuras(const GrupoRanuras &g, int cuantas, const QString &funcion)
{
    const int grupo = int(&g - Grupos);
    const bool diagnosticos = QLatin1String(g.tabla) == QLatin1String("D_Diagnosticos");
    QList<Columna> columnas;
    for (int k = 1; k <= cuantas; ++k) {
        const QString busca = QStringLiteral("%1(%2, %3, E.Clues, E.Folio, E.fechaAtencion)").arg(funcion).arg(grupo).arg(k);
        const bool nuloSinFilas = k == 1 && !g.persona && !diagnosticos;
        const QString expresion = nuloSinFilas ? busca : QStringLiteral("coalesce(%1, %2)").arg(busca, QLatin1String(g.inicial));
        columnas << Columna{QStringLiteral("%1%2").arg(QLatin1String(g.prefijo)).arg(k, 2, 10, QLatin1Char('0')),
                            QLatin1String(g.tipo), expresion};
    }
    return columnas;
}

// The event key as SQLite orders it in the detail tables' indexes: CLUES
// without regard to case, Folio as a number, fechaAtencion as stored.
struct Clave {
    QByteArrayView clues, fecha;
    sqlite3_int64 folio = 0;

    // False when a value is not of the type the order below assumes.
    static bool De(sqlite3_value *clues, sqlite3_value *folio, sqlite3_value *fecha, Clave &k)
    {
        if (sqlite3_value_type(clues) != SQLITE_TEXT || sqlite3_value_type(folio) != SQLITE_INTEGER
            || sqlite3_value_type(fecha) != SQLITE_TEXT)
            return false;
        k.clues = QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(clues)), sqlite3_value_bytes(clues));
        k.folio = sqlite3_value_int64(folio);
        k.fecha = QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(fecha)), sqlite3_value_bytes(fecha));
        return true;
    }
    int Compara(const Clave &o) const
    {
        const qsizetype n = qMin(clues.size(), o.clues.size());
        int r = n ? sqlite3_strnicmp(clues.data(), o.clues.data(), int(n)) : 0;
        if (r == 0)
            r = int(clues.size() - o.clues.size());
        if (r == 0)
            r = folio < o.folio ? -1 : folio > o.folio ? 1 : 0;
        if (r == 0) {
            const qsizetype m = qMin(fecha.size(), o.fecha.size());
            r = m ? memcmp(fecha.data(), o.fecha.data(), size_t(m)) : 0;
            if (r == 0)
                r = int(fecha.size() - o.fecha.size());
        }
        return r;
    }
};

// The SQL function RANURA(group, k, CLUES, Folio, fechaAtencion) of a build: the
// k-th code of the event's detail rows of that group (in code order; for the
// diagnoses the one whose Orden is k), or NULL. Each group reads an event's
// rows once and answers its other slots from them, so that a row costs one
// look-up per group, not one per slot. When the events come in key order, as
// they are stored, each group walks its table's index alongside instead of
// searching it for every event; an event out of that order is searched for.
class FuncionRanura {
public:
    // Registered under `nombre` while it lives: the table view keeps its own beside a build's.
    // `enOrden`: calls mostly come in key order (a build), so the walk is worth keeping open.
    FuncionRanura(sqlite3 *db, const QByteArray &nombre, bool enOrden) : db_(db), nombre_(nombre), enOrden_(enOrden)
    {
        // One walk per table: the patient's and the aggressor's substances share theirs.
        for (const GrupoRanuras &g : Grupos) {
            const int conjunto = g.persona ? QByteArray(g.persona).toInt() - 1 : 0;
            const auto misma = std::find_if(busquedas_.begin(), busquedas_.end(),
                                            [&](const Busqueda &b) { return b.tabla == QLatin1String(g.tabla); });
            if (misma != busquedas_.end()) {
                deGrupo_.push_back({int(misma - busquedas_.begin()), conjunto});
                continue;
            }
            deGrupo_.push_back({int(busquedas_.size()), conjunto});
            // Columns: set of slots (the person), slot (-1: the next one), code.
            const bool diagnosticos = QLatin1String(g.tabla) == QLatin1String("D_Diagnosticos");
            const QString filas = diagnosticos ? QStringLiteral("0, Orden - 1, CodDiagnostico")
                : g.persona                    ? QStringLiteral("CodAfectadoAgresor - 1, -1, %1").arg(QLatin1String(g.codigo))
                                               : QStringLiteral("0, -1, %1").arg(QLatin1String(g.codigo));
            const QString orden = diagnosticos ? QStringLiteral("Orden")
                : g.persona                    ? QStringLiteral("CodAfectadoAgresor, %1").arg(QLatin1String(g.codigo))
                                               : QLatin1String(g.codigo);
            const QString condicion = diagnosticos ? QStringLiteral(" AND Orden BETWEEN 1 AND 6") : QString();
            const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE CLUES = ?1 AND Folio = ?2 AND fechaAtencion = ?3%4 ORDER BY %3")
                                    .arg(filas, QLatin1String(g.tabla), orden, condicion);
            // In the order of the table's primary key, so that the walk reads its index as it stands.
            const QString recorre = QStringLiteral("SELECT CLUES, Folio, fechaAtencion, %1 FROM %2 "
                                                   "WHERE (CLUES, Folio, fechaAtencion) >= (?1, ?2, ?3)%4 "
                                                   "ORDER BY CLUES, Folio, fechaAtencion, %3")
                                        .arg(filas, QLatin1String(g.tabla), orden, condicion);
            Busqueda b;
            b.tabla = QLatin1String(g.tabla);
            busquedas_.push_back(std::move(b));
            Prepara(sql, busquedas_.back().st);
            Prepara(recorre, busquedas_.back().recorre);
        }
        if (sqlite3_create_function_v2(db, nombre_.constData(), 5, SQLITE_UTF8, this, &FuncionRanura::Llama, nullptr, nullptr,
                                       nullptr) != SQLITE_OK)
            throw ErrorBD::DelMotor(sqlite3_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)), false);
    }
    ~FuncionRanura()
    {
        sqlite3_create_function_v2(db_, nombre_.constData(), 5, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
        for (Busqueda &b : busquedas_) {
            sqlite3_finalize(b.st);
            sqlite3_finalize(b.recorre);
        }
    }
    FuncionRanura(const FuncionRanura &) = delete;
    FuncionRanura &operator=(const FuncionRanura &) = delete;

    // Ends the walks, so that no statement stays open past the build.
    void Suelta()
    {
        for (Busqueda &b : busquedas_) {
            sqlite3_reset(b.recorre);
            b.enCurso = false;
        }
    }

private:
    // A code kept by value: the walk moves on before the slots are asked for.
    struct Codigo {
        int tipo = SQLITE_NULL;
        sqlite3_int64 entero = 0;
        double real = 0;
        QByteArray texto;   // its buffer is kept from event to event

        void De(sqlite3_stmt *st, int columna)
        {
            tipo = sqlite3_column_type(st, columna);
            if (tipo == SQLITE_INTEGER) {
                entero = sqlite3_column_int64(st, columna);
            } else if (tipo == SQLITE_FLOAT) {
                real = sqlite3_column_double(st, columna);
            } else if (tipo != SQLITE_NULL) {
                const void *datos = tipo == SQLITE_TEXT ? static_cast<const void *>(sqlite3_column_text(st, columna))
                                                        : sqlite3_column_blob(st, columna);
                Asigna(texto, QByteArrayView(static_cast<const char *>(datos), sqlite3_column_bytes(st, columna)));
            }
        }
        void Resultado(sqlite3_context *ctx) const
        {
            switch (tipo) {
            case SQLITE_INTEGER:
                return sqlite3_result_int64(ctx, entero);
            case SQLITE_FLOAT:
                return sqlite3_result_double(ctx, real);
            case SQLITE_TEXT:
                return sqlite3_result_text(ctx, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
            case SQLITE_BLOB:
                return sqlite3_result_blob(ctx, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
            default:
                return sqlite3_result_null(ctx);
            }
        }
    };

    struct Busqueda {
        sqlite3_stmt *st = nullptr;        // one event's rows
        sqlite3_stmt *recorre = nullptr;   // the walk from an event on
        QString tabla;
        bool valida = false;
        QByteArray clues, fecha;
        sqlite3_int64 folio = 0;
        Codigo codigos[2][6];   // by set of slots
        int siguiente[2] = {};
        bool enCurso = false;   // the walk stands on a row, or at its end (hayFila false)
        bool hayFila = false;
        bool filaOrdenada = false;   // the row's key is of the ordered types; then `fila` holds it
        Clave fila;

        void Olvida()
        {
            for (auto &conjunto : codigos)
                for (Codigo &c : conjunto)
                    c.tipo = SQLITE_NULL;
            siguiente[0] = siguiente[1] = 0;
            valida = false;
        }
        // A row's code from its columns (set, slot, code) starting at `columna`.
        void Guarda(sqlite3_stmt *st, int columna)
        {
            const int conjunto = sqlite3_column_int(st, columna);
            if (conjunto < 0 || conjunto > 1)
                return;
            int lugar = sqlite3_column_int(st, columna + 1);
            if (lugar < 0)
                lugar = siguiente[conjunto]++;
            if (lugar < 6 && codigos[conjunto][lugar].tipo == SQLITE_NULL)
                codigos[conjunto][lugar].De(st, columna + 2);
        }
        // Steps the walk and reads the new row's key once.
        int Paso()
        {
            const int rc = sqlite3_step(recorre);
            hayFila = rc == SQLITE_ROW;
            filaOrdenada = hayFila && Clave::De(sqlite3_column_value(recorre, 0), sqlite3_column_value(recorre, 1),
                                                sqlite3_column_value(recorre, 2), fila);
            return rc;
        }
    };

    // Keeps the buffer: a build sets the key once per event and group.
    static void Asigna(QByteArray &a, QByteArrayView v)
    {
        a.resize(v.size());
        if (!v.isEmpty())
            memcpy(a.data(), v.data(), size_t(v.size()));
    }

    void Prepara(const QString &sql, sqlite3_stmt *&st)
    {
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            throw ErrorBD::DelMotor(sqlite3_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_)), false);
    }

    // Fills the codes of the event by the walk; false when the event has to be searched for.
    static bool Recorre(Busqueda &b, sqlite3_value **clave, const Clave &k, bool adelante, int &rc)
    {
        rc = SQLITE_OK;
        bool busca = !b.enCurso || !adelante;
        // A few rows ahead are stepped over; an event far ahead is searched for.
        for (int pasos = 0; !busca && b.hayFila; ++pasos) {
            if (!b.filaOrdenada)
                return false;
            if (b.fila.Compara(k) >= 0)
                break;
            if (pasos == 32) {
                busca = true;
                break;
            }
            rc = b.Paso();
        }
        if (busca) {
            sqlite3_reset(b.recorre);
            for (int i = 0; i < 3; ++i)
                sqlite3_bind_value(b.recorre, i + 1, clave[i]);
            rc = b.Paso();
            b.enCurso = true;
        }
        while (b.hayFila) {
            if (!b.filaOrdenada) {
                b.Olvida();
                b.enCurso = false;
                return false;
            }
            if (b.fila.Compara(k) != 0)
                break;
            b.Guarda(b.recorre, 3);
            rc = b.Paso();
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE && rc != SQLITE_OK)
            b.enCurso = false;
        else
            rc = SQLITE_DONE;
        return true;
    }

    // Reads the group's codes for the event key (CLUES, Folio, fechaAtencion)
    // unless they are the last read; false on an engine error.
    bool Lee(Busqueda &b, sqlite3_value **clave)
    {
        const auto clues = QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(clave[0])), sqlite3_value_bytes(clave[0]));
        const sqlite3_int64 folio = sqlite3_value_int64(clave[1]);
        const auto fecha = QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(clave[2])), sqlite3_value_bytes(clave[2]));
        if (b.valida && b.folio == folio && b.clues == clues && b.fecha == fecha)
            return true;
        Clave nueva, anterior{b.clues, b.fecha, b.folio};
        const bool ordenada = enOrden_ && Clave::De(clave[0], clave[1], clave[2], nueva);
        const bool adelante = ordenada && b.valida && nueva.Compara(anterior) > 0;
        b.Olvida();
        int rc = SQLITE_DONE;
        if (!ordenada || !Recorre(b, clave, nueva, adelante, rc)) {
            sqlite3_bind_value(b.st, 1, clave[0]);
            sqlite3_bind_int64(b.st, 2, folio);
            sqlite3_bind_value(b.st, 3, clave[2]);
            while ((rc = sqlite3_step(b.st)) == SQLITE_ROW)
                b.Guarda(b.st, 0);
            sqlite3_reset(b.st);
        }
        if (rc != SQLITE_DONE)
            return false;
        Asigna(b.clues, clues);
        b.folio = folio;
        Asigna(b.fecha, fecha);
        b.valida = true;
        return true;
    }

    static void Llama(sqlite3_context *ctx, int, sqlite3_value **arg)
    {
        auto *f = static_cast<FuncionRanura *>(sqlite3_user_data(ctx));
        const int grupo = sqlite3_value_int(arg[0]);
        const int k = sqlite3_value_int(arg[1]);
        if (grupo < 0 || grupo >= int(f->deGrupo_.size()) || k < 1 || k > 6) {
            sqlite3_result_null(ctx);
            return;
        }
        const auto [busqueda, conjunto] = f->deGrupo_[size_t(grupo)];
        Busqueda &b = f->busquedas_[size_t(busqueda)];
        if (!f->Lee(b, arg + 2))
            sqlite3_result_error(ctx, sqlite3_errmsg(f->db_), -1);
        else
            b.codigos[conjunto][k - 1].Resultado(ctx);
    }

    sqlite3 *db_;
    QByteArray nombre_;
    bool enOrden_;
    std::vector<Busqueda> busquedas_;
    std::vector<std::pair<int, int>> deGrupo_;   // by group: its walk and set of slots
};

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
QList<Columna> ColumnasDe(const BaseDatos &bd, const QStringList &campos, int ranurasDiagnostico,
                          const QString &funcion = QStringLiteral("RANURA"))
{
    const auto evento = ColumnasEvento(bd);
    QList<Columna> columnas;
    for (const QString &entrada : campos) {
        if (const GrupoRanuras *g = GrupoDe(entrada)) {
            const bool diag = QLatin1String(g->tabla) == QLatin1String("D_Diagnosticos");
            columnas << Ranuras(*g, diag ? ranurasDiagnostico : 3, funcion);
            continue;
        }
        const QString columna = entrada.section(QLatin1Char('.'), 1);
        if (!entrada.startsWith(QLatin1String("E."), Qt::CaseInsensitive) || !evento.contains(columna.toLower()))
            throw ErrorBD(SQLITE_ERROR, QStringLiteral("El campo %1 no es un campo de la tabla de eventos").arg(entrada));
        columnas << Columna{columna, evento.value(columna.toLower()).second,
                            QStringLiteral("E.") + Cita(evento.value(columna.toLower()).first)};
    }
    return columnas;
}

// While a build runs, the caller's Progreso keeps the windows painted from
// inside SQLite; the table's model reads nothing new meanwhile.
bool construyendo = false;

// FROM, WHERE and, with detail joins, which may give an event once per
// matching detail row, GROUP BY: one row per event.
QString Eventos(const SeleccionEventos &s)
{
    QString sql = s.desde;
    if (!s.condicion.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + s.condicion;
    if (s.desde.contains(QLatin1String("JOIN"), Qt::CaseInsensitive))
        sql += QStringLiteral(" GROUP BY E.rowid");
    return sql;
}

qint64 Construye(const BaseDatos &bd, const QString &tabla, const QList<Columna> &columnas,
                 const SeleccionEventos &s, const QString &orden)
{
    QStringList definicion, nombres, expresiones;
    for (const Columna &c : columnas) {
        definicion << Cita(c.nombre) + QLatin1Char(' ') + c.tipo;
        nombres << Cita(c.nombre);
        expresiones << c.expresion;
    }
    const QString sql = QStringLiteral("INSERT INTO temp.%1 (%2) SELECT %3%4 ORDER BY %5")
                            .arg(tabla, nombres.join(QLatin1Char(',')), expresiones.join(QLatin1Char(',')), Eventos(s),
                                 orden.isEmpty() ? QStringLiteral("E.rowid") : orden);

    Transaccion t(bd);
    FuncionRanura ranura(bd.Manejador(), "RANURA", true);
    const QScopedValueRollback<bool> enConstruccion(construyendo, true);
    TablasTemporales::Borra(bd, tabla);
    bd.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(tabla, definicion.join(QLatin1Char(','))));
    const qint64 filas = bd.EjecutaAccion(sql, s.valores);
    ranura.Suelta();
    t.Confirma();
    return filas;
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
        conRanuras = conRanuras || GrupoDe(c);
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
    // A name of its own: a source replaced by the next must not unregister the next's function.
    static int fuentes = 0;
    const QString funcion = QStringLiteral("RANURA_TABLA%1").arg(++fuentes);
    LecturaFilas f;
    f.recursos = std::make_shared<FuncionRanura>(bd.Manejador(), funcion.toLatin1(), false);
    const QString eventos = Eventos(seleccion);
    const QString clave = QStringLiteral("E.Clues, E.Folio, E.fechaAtencion");
    QStringList expresiones;
    for (const Columna &c : ColumnasDe(bd, campos, 3, funcion)) {
        f.nombres << c.nombre;
        f.fechas << (c.tipo == QLatin1String("DATE"));
        expresiones << c.expresion;
        // Compared as stored, as the columns of a table built from them were; ties
        // in the order shown, which is the rowids' when they rise along it (cheaper to sort by).
        f.ordenes << QStringLiteral("SELECT E.rowid%1 ORDER BY %2 COLLATE BINARY, E.rowid").arg(eventos, c.expresion);
        f.ordenesPorClave << QStringLiteral("SELECT E.rowid%1 ORDER BY %2 COLLATE BINARY, %3").arg(eventos, c.expresion, clave);
    }
    f.filas = QStringLiteral("SELECT E.rowid%1 ORDER BY %2").arg(eventos, clave);
    f.fila = QStringLiteral("SELECT %1 FROM D_Evento AS E WHERE E.rowid = ?1").arg(expresiones.join(QLatin1Char(',')));
    f.valores = seleccion.valores;
    return f;
}

LecturaFilas FuenteTabla(const BaseDatos &bd, const QString &tabla)
{
    LecturaFilas f;
    const QString t = QStringLiteral("temp.") + Cita(tabla);
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info(?, 'temp')"), {tabla});
    while (q.next()) {
        f.nombres << q.value(0).toString();
        f.fechas << (q.value(1).toString().compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0);
        f.ordenes << QStringLiteral("SELECT rowid FROM %1 ORDER BY %2, rowid").arg(t, Cita(f.nombres.last()));
    }
    f.filas = QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(t);
    f.fila = QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(t);
    return f;
}

} // namespace TablaTrabajo
