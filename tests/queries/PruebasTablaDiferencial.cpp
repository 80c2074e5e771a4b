// The export table against the plain statement: data of random shapes,
// random selections, every way the build may read them, with threads and
// without, every cell of GENCONSUL beside what one correlated subquery per
// slot gives. A few seeds are fixed; one more is new on every run
// (VELMORAN_SEMILLA=n runs that one alone). A failure names its seed.

#include "comun/ProgramaTemporal.h"
#include "platform/BaseDatos.h"
#include "queries/CriteriosConsulta.h"
#include "queries/TablaTrabajo.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <algorithm>
#include <limits>
#include <optional>
#include <random>
#include <thread>

namespace {

using Azar = std::mt19937_64;

int Entre(Azar &azar, int desde, int hasta)
{
    return std::uniform_int_distribution<int>(desde, hasta)(azar);
}

bool Moneda(Azar &azar, double si)
{
    return std::uniform_real_distribution<double>()(azar) < si;
}

const QString &Una(Azar &azar, const QStringList &lista)
{
    return lista.at(Entre(azar, 0, int(lista.size()) - 1));
}

// A text in letters of random case.
QString Cajas(Azar &azar, const QString &texto)
{
    QString s = texto;
    for (QChar &c : s)
        c = Moneda(azar, 0.5) ? c.toLower() : c.toUpper();
    return s;
}

// A unit: its code as the events store it (a unit stored in two letter cases
// is one unit of two codes) and how many events it has.
struct Unidad {
    QStringList codigos;
    int eventos = 0;
    bool lejos = false;   // its events' rowids far after the others'
    bool apartada = false;   // its events' rowids where the choice of reading does not look
};

// The units of a year of random shape, by their role in the selections.
struct Unidades {
    Unidad mayor, medianas[2], pequenas[3], sueltas[3], gemela, rellena, sinRelleno;
    Unidad apartadas[2];   // small, coded next to the biggest unit, one on each side of it
    QList<Unidad> familia;   // codes of one prefix
    QString prefijo;

    QList<const Unidad *> Todas() const
    {
        QList<const Unidad *> todas = {&mayor, &medianas[0], &medianas[1], &gemela, &rellena, &sinRelleno};
        for (const Unidad &u : pequenas)
            todas << &u;
        for (const Unidad &u : sueltas)
            todas << &u;
        for (const Unidad &u : apartadas)
            todas << &u;
        for (const Unidad &u : familia)
            todas << &u;
        return todas;
    }
};

Unidades GeneraUnidades(Azar &azar)
{
    static const QString letras = "ABCDEFGHJKLMNPRSTUVWXYZ";
    QSet<QString> usados;
    // A code of its own, told apart from the others without regard to case or trailing blanks.
    const auto codigo = [&](const QString &inicio, int largo) {
        for (;;) {
            QString c = inicio;
            while (c.size() < largo)
                c += Moneda(azar, 0.5) ? letras.at(Entre(azar, 0, int(letras.size()) - 1)) : QChar('0' + Entre(azar, 0, 9));
            if (!usados.contains(c.toUpper())) {
                usados.insert(c.toUpper());
                return Cajas(azar, c);
            }
        }
    };
    const auto unidad = [&](int desde, int hasta, bool lejos = false) {
        return Unidad{{codigo({}, Entre(azar, 3, 6))}, Entre(azar, desde, hasta), lejos};
    };
    Unidades u;
    u.mayor = unidad(600, 1000);
    // Right before it in key order (its code less the last character) and right after it (one
    // character more); no other code is taken yet.
    const QString mayor = u.mayor.codigos.first();
    const QString vecinos[2] = {mayor.chopped(1), mayor + letras.at(Entre(azar, 0, int(letras.size()) - 1))};
    for (int i = 0; i < 2; ++i) {
        usados.insert(vecinos[i].toUpper());
        u.apartadas[i] = Unidad{{Cajas(azar, vecinos[i])}, Entre(azar, 20, 40), false, true};
    }
    for (Unidad &m : u.medianas)
        m = unidad(80, 300);
    for (Unidad &m : u.pequenas)
        m = unidad(2, 40, Moneda(azar, 0.5));
    for (Unidad &m : u.sueltas)
        m = unidad(1, 1, true);
    u.gemela = unidad(30, 150, Moneda(azar, 0.5));
    u.gemela.codigos << u.gemela.codigos.first().toLower() << u.gemela.codigos.first().toUpper();
    u.gemela.codigos.removeFirst();
    // "X" and "X ": two units; the padded one of a few events.
    u.sinRelleno = unidad(20, 200);
    u.rellena = Unidad{{u.sinRelleno.codigos.first() + ' '}, Entre(azar, 1, 5), Moneda(azar, 0.5)};
    u.prefijo = codigo({}, 2);
    for (int i = Entre(azar, 2, 5); i > 0; --i)
        u.familia << Unidad{{Cajas(azar, codigo(u.prefijo, Entre(azar, 3, 5)))}, Entre(azar, 1, 150), Moneda(azar, 0.2)};
    return u;
}

sqlite3_int64 Valor(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const sqlite3_int64 v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_finalize(st);
    return v;
}

struct Evento {
    QString clues;
    qint64 folio, rowid;
    QString fecha;
    int edad;
    bool apartado;
};

// Whether the choice of reading looks at that rowid: it tries the selection
// on 16 runs of 64 rowids spread evenly from the first rowid to the last.
bool EnLaMuestra(qint64 fila, qint64 primera, qint64 ultima)
{
    for (int i = 0; i < 16; ++i) {
        const qint64 desde = primera + qint64((long double)(ultima - primera) * i / 16);
        if (fila >= desde && fila < desde + 64)
            return true;
    }
    return false;
}

// Events of the units, their rowids in random order and gaps (those of
// units far away after all others, by little or by a great deal; those of
// units set apart among the others where the choice of reading does not
// look, the first rowid the biggest unit's), and 0 to 4
// detail rows of each table per event (stored in random order, their CLUES
// in either case), diagnoses in Orden 1 to 7 with gaps.
void GeneraDatos(Azar &azar, sqlite3 *db, const Unidades &unidades)
{
    QList<Evento> eventos;
    QList<int> cerca;
    for (const Unidad *u : unidades.Todas())
        for (int i = 0; i < u->eventos; ++i) {
            if (!u->lejos && !u->apartada)
                cerca << int(eventos.size());
            eventos << Evento{u->codigos.at(i % u->codigos.size()), i + 1, 0,
                              QString("2005-0%1-1%2").arg(Entre(azar, 1, 3)).arg(Entre(azar, 0, 9)), Entre(azar, 0, 99),
                              u->apartada};
        }
    std::shuffle(cerca.begin(), cerca.end(), azar);
    // The biggest unit's first event (Todas() begins with it) takes the first rowid.
    std::iter_swap(cerca.begin(), std::find(cerca.begin(), cerca.end(), 0));
    qint64 fila = Entre(azar, 1, 50);
    for (const int i : cerca)
        eventos[i].rowid = fila += Entre(azar, 1, 3);
    const qint64 primera = eventos[cerca.first()].rowid, cercaHasta = fila;
    const qint64 lejos = Moneda(azar, 0.25) ? qint64(1) << 40 : fila * Entre(azar, 2, 6);
    for (Evento &e : eventos)
        if (!e.rowid && !e.apartado)
            e.rowid = fila = std::max(lejos, fila) + Entre(azar, 1, 1000000);
    QSet<qint64> tomadas;
    for (const Evento &e : eventos)
        tomadas.insert(e.rowid);
    for (Evento &e : eventos)
        while (e.apartado && !e.rowid) {
            const qint64 f = std::uniform_int_distribution<qint64>(primera + 1, cercaHasta - 1)(azar);
            if (!tomadas.contains(f) && !EnLaMuestra(f, primera, fila))
                tomadas.insert(e.rowid = f);
        }
    std::shuffle(eventos.begin(), eventos.end(), azar);

    struct Fila {
        const char *sql;
        QVariantList valores;
    };
    QList<Fila> filas;
    for (const Evento &e : eventos) {
        const auto clave = [&] { return QVariantList{Moneda(azar, 0.3) ? Cajas(azar, e.clues) : e.clues, e.folio, e.fecha}; };
        const auto cuantas = [&] { return Moneda(azar, 0.25) ? 0 : Entre(azar, 1, 4); };
        const auto distintos = [&](QList<QVariant> codigos) {
            std::shuffle(codigos.begin(), codigos.end(), azar);
            return codigos.mid(0, cuantas());
        };
        for (const QVariant &c : distintos({"0", "01", "1", "10", "2", "a", "B", "c"}))
            filas << Fila{"INSERT INTO D_Derechohabiencia VALUES (?, ?, ?, ?)", clave() << c};
        for (const QVariant &c : distintos({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, -1}))
            filas << Fila{"INSERT INTO D_TipoViolencia VALUES (?, ?, ?, ?)", clave() << c};
        for (const QVariant &c : distintos({1, 2, 3, 4, 5, 6, 7, 8}))
            filas << Fila{"INSERT INTO D_TipoAtencion VALUES (?, ?, ?, ?)", clave() << c};
        for (const int persona : {1, 2})
            for (const QVariant &c : distintos({0, 1, 2, 3, 4, 5, 6, 9}))
                filas << Fila{"INSERT INTO D_BajoEfectos VALUES (?, ?, ?, ?, ?)", clave() << persona << c};
        QList<QVariant> ordenes = {1, 2, 3, 4, 5, 6, 7}, codigos = {"S010", "s011", "T14", "X59", "W1", "Y000", "A09"};
        std::shuffle(ordenes.begin(), ordenes.end(), azar);
        std::shuffle(codigos.begin(), codigos.end(), azar);
        for (int k = cuantas(); k > 0; --k)
            filas << Fila{"INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)", clave() << codigos.at(k) << ordenes.at(k)};
    }
    std::shuffle(filas.begin(), filas.end(), azar);
    for (const Evento &e : eventos)
        filas.prepend(Fila{"INSERT INTO D_EVENTO (rowid, Clues, Folio, fechaAtencion, Edad) VALUES (?, ?, ?, ?, ?)",
                           {e.rowid, e.clues, e.folio, e.fecha, e.edad}});

    // Written at once; the connection's cache then as the program keeps it.
    const QByteArray cache = "PRAGMA cache_size = " + QByteArray::number(sqlite3_int64(Valor(db, "PRAGMA cache_size")));
    sqlite3_exec(db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    QHash<QByteArray, sqlite3_stmt *> sentencias;
    for (const Fila &f : filas) {
        sqlite3_stmt *&st = sentencias[f.sql];
        if (!st) {
            ASSERT_EQ(sqlite3_prepare_v2(db, f.sql, -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        }
        for (int i = 0; i < f.valores.size(); ++i) {
            const QVariant &v = f.valores.at(i);
            if (v.typeId() == QMetaType::QString)
                sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
            else
                sqlite3_bind_int64(st, i + 1, v.toLongLong());
        }
        ASSERT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_reset(st);
    }
    for (sqlite3_stmt *st : sentencias)
        sqlite3_finalize(st);
    ASSERT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_exec(db, cache.constData(), nullptr, nullptr, nullptr);
}

// Each event's cells as the slot rules give them, in temp.oraculo by the
// event's key as stored, a column of quoted values per column of GENCONSUL:
// slot k of a group the k-th code of the event's rows in code order (of the
// person's rows for the substances), a diagnosis slot the one of that Orden,
// each empty slot its group's initial value but slot 01 of a group without
// a person, which is NULL.
void Oraculo(const BaseDatos &bd)
{
    struct Grupo {
        const char *prefijo, *tabla, *codigo, *persona, *inicial;
    };
    const Grupo grupos[] = {{"Derechohabiencia", "D_Derechohabiencia", "CodDerechohabiencia", nullptr, "' '"},
                            {"TipoViolencia", "D_TipoViolencia", "CodTipoViolencia", nullptr, "0"},
                            {"EfectosPaciente", "D_BajoEfectos", "CodEfectos", "1", "0"},
                            {"EfectosAgresor", "D_BajoEfectos", "CodEfectos", "2", "0"},
                            {"TipoAtencion", "D_TipoAtencion", "CodTipoAtencion", nullptr, "0"}};
    const QString delEvento = "x.CLUES = E.Clues AND x.Folio = E.Folio AND x.fechaAtencion = E.fechaAtencion";
    QStringList columnas = {"E.rowid AS fila", "E.Clues AS clave1", "E.Folio AS clave2", "E.fechaAtencion AS clave3"};
    for (const char *c : {"Folio", "CLUES", "fechaAtencion", "Edad"})
        columnas << QString("quote(E.%1) AS %1").arg(c);
    for (const Grupo &g : grupos)
        for (int k = 1; k <= 3; ++k) {
            const QString persona = g.persona ? QString(" AND x.CodAfectadoAgresor = %1").arg(g.persona) : QString();
            const QString codigo = QString("(SELECT x.%1 FROM %2 AS x WHERE %3%4 ORDER BY x.%1 LIMIT 1 OFFSET %5)")
                                       .arg(g.codigo, g.tabla, delEvento, persona).arg(k - 1);
            columnas << QString("quote(%1) AS %2%3").arg(k == 1 && !g.persona ? codigo : QString("coalesce(%1, %2)").arg(codigo, g.inicial),
                                                         g.prefijo).arg(k, 2, 10, QChar('0'));
        }
    for (int k = 1; k <= 6; ++k)
        columnas << QString("quote(coalesce((SELECT x.CodDiagnostico FROM D_Diagnosticos AS x WHERE %1 AND x.Orden = %2), '    ')) "
                            "AS Diagnostico%3").arg(delEvento).arg(k).arg(k, 2, 10, QChar('0'));
    bd.EjecutaAccion("CREATE TEMP TABLE oraculo AS SELECT " + columnas.join(", ") + " FROM D_EVENTO AS E");
    bd.EjecutaAccion("CREATE INDEX temp.oraculo_clave ON oraculo (clave1, clave2, clave3)");
}

// GENCONSUL's rows beside the oracle's: by row, the event's rowid (-1 for
// none) and the cells that differ ("Columna: valor en vez de esperado; ").
QList<QPair<qint64, QString>> Cotejo(const BaseDatos &bd)
{
    QStringList diferencias;
    for (QSqlQuery q = bd.Ejecuta("SELECT name FROM pragma_table_info('GENCONSUL', 'main')"); q.next();)
        diferencias << QString("iif(quote(G.\"%1\") IS NOT O.\"%1\", '%1: ' || quote(G.\"%1\") || ' en vez de ' || "
                               "coalesce(O.\"%1\", '(nada)') || '; ', '')").arg(q.value(0).toString());
    QList<QPair<qint64, QString>> filas;
    for (QSqlQuery q = bd.Ejecuta("SELECT coalesce(O.fila, -1), " + diferencias.join(" || ") + " FROM main.GENCONSUL AS G "
                                  "LEFT JOIN temp.oraculo AS O ON O.clave1 = G.CLUES AND O.clave2 = G.Folio "
                                  "AND O.clave3 = G.fechaAtencion ORDER BY G.rowid");
         q.next();)
        filas << qMakePair(q.value(0).toLongLong(), q.value(1).toString());
    return filas;
}

const QString ConViolencia = " FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues AND V.Folio = E.Folio"
                             " AND V.fechaAtencion = E.fechaAtencion";
const QString ExisteViolencia = "EXISTS (SELECT 1 FROM D_TipoViolencia AS V WHERE V.CLUES = E.Clues AND V.Folio = E.Folio "
                                "AND V.fechaAtencion = E.fechaAtencion AND V.CodTipoViolencia = ?)";

// A selection and how to tell its events plainly: the condition over
// D_EVENTO AS E alone (the selection's own when empty), and for an order the
// values each event may be ordered by (several for a detail field: any one
// of its codes; NULL without one).
struct Caso {
    QString nombre;
    SeleccionEventos seleccion;
    QString dondePlano = {};
    QString valoresDeOrden = {};   // SELECT of (rowid, value) for the order's field
    bool descendente = false;
    bool apartadas = false;   // with readers, the units set apart are read ahead with the others
};

QList<Caso> Selecciones(Azar &azar, const Unidades &u, const BaseDatos &bd)
{
    const auto cod = [&](const Unidad &unidad) { return Cajas(azar, Una(azar, unidad.codigos)); };
    const QString eventos = " FROM D_Evento AS E";
    const int mediana = bd.Valor("SELECT Edad FROM D_EVENTO ORDER BY Edad LIMIT 1 OFFSET (SELECT count(*) / 2 FROM D_EVENTO)").toInt();
    const int violencia = Entre(azar, 1, 9);
    const bool desc = Moneda(azar, 0.5);
    const QString ordenViolencia = "SELECT E.rowid, V.CodTipoViolencia" + ConViolencia;
    QList<Caso> casos = {
        {"unidad mayor, una de un evento y la rellena", {eventos, "(E.Clues IN (?, ?, ?))", {cod(u.mayor), cod(u.sueltas[Entre(azar, 0, 2)]), u.rellena.codigos.first()}, {}}},
        {"unidades en cadena de OR", {eventos, "(E.Clues = ? OR E.Clues = ? OR E.Clues = ?)", {cod(u.medianas[0]), cod(u.mayor), cod(u.pequenas[Entre(azar, 0, 2)])}, {}}},
        {"unidades de un prefijo", {eventos, "(E.Clues LIKE ?)", {Cajas(azar, u.prefijo) + "%"}, {}}},
        {"unidades de un rango", {eventos, "(E.Clues > ?)", {cod(Moneda(azar, 0.5) ? u.medianas[1] : u.mayor)}, {}}},
        {"unidades entre dos", {eventos, "(E.Clues BETWEEN ? AND ?)", {cod(u.familia.first()), cod(u.mayor)}, {}}},
        {"la unidad de dos cajas y la mayor", {eventos, "(E.Clues IN (?, ?))", {cod(u.gemela), cod(u.mayor)}, {}}},
        {"la unidad sin relleno y la rellena", {eventos, "(E.Clues = ? OR E.Clues = ?)", {u.sinRelleno.codigos.first(), u.rellena.codigos.first()}, {}}},
        {"una unidad pequeña", {eventos, "(E.Clues = ?)", {cod(u.pequenas[Entre(azar, 0, 2)])}, {}}},
        // The sample meets the biggest unit's first folios (far from half its events) and never the
        // small units on both sides of it: their events are read ahead all the same, whatever the seed.
        {"unidades pequeñas junto a la mayor, fuera de los hilos",
         {eventos, "((E.Clues = ? AND E.Folio <= ?) OR E.Clues IN (?, ?))",
          {cod(u.mayor), u.mayor.eventos / 3, cod(u.apartadas[0]), cod(u.apartadas[1])}, {}},
         {}, {}, false, true},
        {"unidades y un tipo de violencia", {ConViolencia, "(E.Clues IN (?, ?) AND V.CodTipoViolencia = ?)", {cod(u.mayor), cod(u.gemela), violencia}, {}},
         "(E.Clues IN (?, ?) AND " + ExisteViolencia + ")"},
        {"unidades ordenadas por tipo de violencia", {ConViolencia, "(E.Clues IN (?, ?))", {cod(u.mayor), cod(u.pequenas[0])}, desc ? "V.CodTipoViolencia DESC" : "V.CodTipoViolencia"},
         "(E.Clues IN (?, ?))", ordenViolencia, desc},
        {"unidades ordenadas por edad", {eventos, "(E.Clues IN (?, ?))", {cod(u.medianas[1]), cod(u.sueltas[0])}, "E.Edad DESC"}, {}, "SELECT E.rowid, E.Edad FROM D_EVENTO AS E", true},
        {"sin condición", {eventos, {}, {}, {}}, "1"},
        {"la mitad", {eventos, "(E.Edad >= ?)", {mediana}, {}}},
        {"uno de cada once", {eventos, "(E.Folio % 11 = ?)", {Entre(azar, 0, 10)}, {}}},
        {"cinco unidades de tamaños mezclados", {eventos, "(E.Clues IN (?, ?, ?, ?, ?))", {cod(u.pequenas[1]), cod(u.mayor), cod(u.familia.last()), cod(u.sueltas[1]), cod(u.medianas[0])}, {}}},
        {"una unidad y más de un tipo de violencia", {ConViolencia, "(E.Clues = ? AND V.CodTipoViolencia > ?)", {cod(u.mayor), Entre(azar, -1, 3)}, {}},
         "(E.Clues = ? AND " + QString(ExisteViolencia).replace("CodTipoViolencia = ?", "CodTipoViolencia > ?") + ")"},
        {"la mayor o las de un prefijo", {eventos, "(E.Clues = ? OR E.Clues LIKE ?)", {cod(u.mayor), Cajas(azar, u.prefijo) + "%"}, {}}},
    };
    return casos;
}

// Whether the rows' events stand in an order their values allow: each takes
// one of its values, none before the previous one's (NULL before any number,
// as SQLite orders them).
bool EnOrden(const QList<qint64> &filas, const QHash<qint64, QList<QVariant>> &valores, bool descendente)
{
    const auto antes = [&](qint64 a, qint64 b) { return descendente ? a > b : a < b; };
    std::optional<qint64> ultimo;
    for (const qint64 fila : filas) {
        std::optional<qint64> elegido;
        for (const QVariant &v : valores.value(fila)) {
            const qint64 k = v.isNull() ? std::numeric_limits<qint64>::min() : v.toLongLong();
            if ((!ultimo || !antes(k, *ultimo)) && (!elegido || antes(k, *elegido)))
                elegido = k;
        }
        if (!elegido)
            return false;
        ultimo = elegido;
    }
    return true;
}

// What the builds met, over every seed: the ways of reading that a test
// that names them must have gone through.
struct Cobertura {
    QSet<int> formasConHilos, formasSinHilos;
    int variosTramos = 0;
    qint64 deHilos = 0, adelantadosSinHilos = 0;
};

// One seed: the data, then each selection built with threads and without,
// every cell of GENCONSUL beside the oracle's.
void PruebaSemilla(quint64 semilla, Cobertura &cobertura)
{
    SCOPED_TRACE(QString("semilla %1").arg(semilla).toStdString());
    Azar azar(semilla);
    ProgramaTemporal p;
    p.AbreBase();
    const Unidades unidades = GeneraUnidades(azar);
    ASSERT_NO_FATAL_FAILURE(GeneraDatos(azar, p.bd().Manejador(), unidades));
    Oraculo(p.bd());

    QStringList campos = {"E.CLUES", "E.Edad", "D.CodDerechohabiencia", "V.CodTipoViolencia", "P.EfectosPaciente",
                          "P.EfectosAgresor", "T.CodTipoAtencion", "F.Diagnosticos"};
    std::shuffle(campos.begin(), campos.end(), azar);
    for (const Caso &c : Selecciones(azar, unidades, p.bd())) {
        SCOPED_TRACE(c.nombre.toStdString());
        const QString donde = c.dondePlano.isEmpty() ? c.seleccion.condicion : c.dondePlano;
        QList<qint64> esperadas;
        for (QSqlQuery q = p.bd().Ejecuta("SELECT E.rowid FROM D_EVENTO AS E WHERE " + donde + " ORDER BY E.rowid", c.seleccion.valores); q.next();)
            esperadas << q.value(0).toLongLong();
        QHash<qint64, QList<QVariant>> valoresDeOrden;
        if (!c.valoresDeOrden.isEmpty())
            for (QSqlQuery q = p.bd().Ejecuta(c.valoresDeOrden); q.next();)
                valoresDeOrden[q.value(0).toLongLong()] << q.value(1);
        for (const bool hilos : {true, false}) {
            SCOPED_TRACE(hilos ? "con hilos" : "sin hilos");
            TablaTrabajo::LecturaTabla lectura;
            qint64 filas = -1;
            try {
                filas = TablaTrabajo::ConstruyeGenConsul(p.bd(), campos, c.seleccion, hilos, &lectura);
            } catch (const ErrorBD &e) {
                ADD_FAILURE() << e.what();
                continue;
            }
            if (hilos && c.apartadas && std::thread::hardware_concurrency() >= 2) {
                EXPECT_EQ(lectura.deHilos, esperadas.size());
                EXPECT_EQ(lectura.eventos, TablaTrabajo::LecturaTabla::Elegidos);
            }
            if (hilos && lectura.tramos > 0) {
                cobertura.formasConHilos.insert(lectura.eventos);
                cobertura.variosTramos += lectura.tramos > 1;
                cobertura.deHilos += lectura.deHilos;
            } else if (!hilos) {
                cobertura.formasSinHilos.insert(lectura.eventos);
                cobertura.adelantadosSinHilos += lectura.adelantados;
            }
            // The chosen events found first: those alone are read ahead, and the statement took each one's codes from that reading.
            if (lectura.eventos == TablaTrabajo::LecturaTabla::Elegidos) {
                EXPECT_EQ(lectura.adelantados, esperadas.size());
                EXPECT_EQ(lectura.deHilos, esperadas.size());
            }
            EXPECT_EQ(filas, esperadas.size());
            // The table's rows by their events, then cell by cell.
            QList<qint64> halladas;
            int distintas = 0;
            QStringList ejemplos;
            for (const auto &[fila, diferencias] : Cotejo(p.bd())) {
                halladas << fila;
                if (!diferencias.isEmpty() && ++distintas <= 5)
                    ejemplos << QString("evento %1: %2").arg(fila).arg(diferencias);
            }
            EXPECT_EQ(distintas, 0) << ejemplos.join("\n").toStdString();
            if (c.valoresDeOrden.isEmpty()) {
                EXPECT_EQ(halladas, esperadas);
            } else {
                QList<qint64> mismas = halladas;
                std::sort(mismas.begin(), mismas.end());
                EXPECT_EQ(mismas, esperadas);
                EXPECT_TRUE(EnOrden(halladas, valoresDeOrden, c.descendente)) << c.seleccion.orden.toStdString();
            }
        }
    }
}

// A unit chosen as the generator's criteria does it, ordered by a detail
// field that the condition does not name: built without an error, each event
// once, in an order its violence types allow.
TEST(TablaDiferencial, UnaUnidadOrdenadaPorUnDetalleSeConstruyeEnEseOrden)
{
    Azar azar(7);
    ProgramaTemporal p;
    p.AbreBase();
    const Unidades unidades = GeneraUnidades(azar);
    ASSERT_NO_FATAL_FAILURE(GeneraDatos(azar, p.bd().Manejador(), unidades));
    const QString unidad = unidades.mayor.codigos.first();
    QHash<qint64, QList<QVariant>> violencias;
    for (QSqlQuery q = p.bd().Ejecuta("SELECT E.rowid, V.CodTipoViolencia" + ConViolencia); q.next();)
        violencias[q.value(0).toLongLong()] << q.value(1);
    for (const bool descendente : {false, true}) {
        const CondicionSQL c = TraduceCriterio("E.Clues = '" + unidad + "'", OrigenConsulta::Hoja, "V.CodTipoViolencia", descendente);
        EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"V.CodTipoViolencia"}, {FromEventos(c), c.sql, c.valores, c.orden}),
                  unidades.mayor.eventos);
        QList<qint64> filas;
        for (QSqlQuery q = p.bd().Ejecuta("SELECT E.rowid FROM GENCONSUL AS G JOIN D_EVENTO AS E USING (CLUES, Folio, fechaAtencion) "
                                          "ORDER BY G.rowid");
             q.next();)
            filas << q.value(0).toLongLong();
        EXPECT_EQ(QSet<qint64>(filas.begin(), filas.end()).size(), unidades.mayor.eventos);
        EXPECT_TRUE(EnOrden(filas, violencias, descendente)) << c.orden.toStdString();
    }
}

TEST(TablaDiferencial, CadaCeldaEsLaDeLaSentenciaPlana)
{
    QList<quint64> semillas = {45, 16};
    const QByteArray dada = qgetenv("VELMORAN_SEMILLA");
    if (!dada.isEmpty())
        semillas = {dada.toULongLong()};
    else
        semillas << std::random_device()();
    Cobertura cobertura;
    for (const quint64 semilla : semillas)
        PruebaSemilla(semilla, cobertura);
    // The ways of reading the selections were meant to meet, where the machine has readers to spare.
    if (dada.isEmpty() && std::thread::hardware_concurrency() >= 3) {
        using L = TablaTrabajo::LecturaTabla;
        EXPECT_EQ(cobertura.formasConHilos, QSet<int>({L::Escrita, L::SinIndice, L::Elegidos}));
        EXPECT_GT(cobertura.variosTramos, 0);
        EXPECT_GT(cobertura.deHilos, 0);
    }
    // Without threads, each way read ahead on the calling thread, and a few chosen events found first and read along the key.
    if (dada.isEmpty()) {
        using L = TablaTrabajo::LecturaTabla;
        EXPECT_TRUE(cobertura.formasSinHilos.contains(QSet<int>({L::Escrita, L::SinIndice, L::Elegidos, L::ElegidosPorClave})));
        EXPECT_GT(cobertura.adelantadosSinHilos, 0);
    }
}

} // namespace
