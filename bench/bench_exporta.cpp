// Speed and memory of the export table and its exports: the build of the
// export table with all 53 fields (unfiltered, and with filters keeping half
// the events, the biggest unit, the smallest, the biggest beside a unit of
// under 0.1 % of the events, that unit alone and the units of a prefix; then
// 22 units of very uneven size under a prefix of their own, five units of
// mixed sizes and one unit with a condition on a detail; each checked against
// the plain statement), the same builds without threads (as on one
// processor) against the plain statement, the export of the whole table to
// .db, .dbf and .xlsx, the table view's first rows, and the build again with
// the events numbered past 16,777,215, each beside the same work done plainly
// (SQLite alone in the same file, a bare shapelib or libxlsxwriter loop).
// Prints "name: value unit" lines and ends with one line per goal; never
// fails a run.
//
//   velmoran_bench_exporta [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado] [--una-unidad]

#include "GeneraEventos.h"
#include "LibroPlano.h"
#include "Metas.h"
#include "ProgramaBanco.h"

#include "platform/BaseDatos.h"
#include "platform/Cp1252.h"
#include "platform/ExportaTabla.h"
#include "queries/CamposConsulta.h"
#include "queries/ModeloTablaTrabajo.h"
#include "queries/TablaTrabajo.h"

#include <QDir>
#include <QHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <sqlite3.h>
#include <shapefil.h>
#include <vector>

namespace {


double CampoProc(const char *campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith(campo))
            return l.mid(int(qstrlen(campo))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Runs one piece of work and prints its time and the peak resident memory during it.
double Mide(const char *nombre, const std::function<void()> &trabajo)
{
    QFile limpia(QStringLiteral("/proc/self/clear_refs"));
    if (limpia.open(QIODevice::WriteOnly))
        limpia.write("5");   // resets the peak to the present size
    limpia.close();
    QElapsedTimer t;
    t.start();
    trabajo();
    const double s = double(t.nsecsElapsed()) / 1e9;
    std::printf("%s: %.2f s, pico de memoria %.0f MB\n", nombre, s, CampoProc("VmHWM:"));
    std::fflush(stdout);
    return s;
}

// Our work and the plain one in turn, three times each (the machine's load
// drifts; the first writer of a file also grows its log): their medians.
std::pair<double, double> Pareja(const char *nuestro, const std::function<void()> &a, const char *plano, const std::function<void()> &b)
{
    std::vector<double> ta, tb;
    for (int i = 0; i < 3; ++i) {
        ta.push_back(Mide(nuestro, a));
        tb.push_back(Mide(plano, b));
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    return {ta[1], tb[1]};
}

// The goals, printed again at the end: our figure, the plain one, their ratio.
Metas metas;

void Razon(const QByteArray &nombre, double nuestro, double plano, double tope)
{
    std::printf("%s: %.2f s, plano %.2f s, razón %.2f\n", nombre.constData(), nuestro, plano, plano > 0 ? nuestro / plano : 0.0);
    std::fflush(stdout);
    metas.Agrega(nombre.toStdString(), nuestro, plano, "s", tope);
}

qint64 Exporta(const BaseDatos &bd, FormatoExportacion f, const QString &ruta, const char *nombre)
{
    PeticionExportacion p;
    p.origen = TablaTrabajo::GenConsul;
    p.destino = ruta;
    p.formato = f;
    p.nombre = QString::fromLatin1(nombre);
    const ResultadoExportacion r = ExportaTabla(bd, p);
    if (!r.ok)
        std::printf("  falló: %s\n", qPrintable(r.error));
    else
        std::printf("  %lld filas, %.0f MB\n", r.filas, double(QFile(ruta).size()) / 1048576.0);
    return r.filas;
}

// UTF-8 to code page 1252 by a plain loop: what 1252 lacks becomes "?".
void Texto1252(const unsigned char *t, std::string &salida)
{
    salida.clear();
    while (*t) {
        const int largo = *t >= 0xF0 ? 4 : *t >= 0xE0 ? 3 : *t >= 0xC0 ? 2 : 1;
        char32_t u = largo == 1 ? *t : *t & (0x7F >> largo);
        for (int k = 1; k < largo && t[k]; ++k)
            u = u << 6 | (t[k] & 0x3F);
        t += largo;
        const char b = ByteCp1252(u);
        salida.push_back(b || !u ? b : '?');
    }
}

// The same rows written by shapelib with nothing else around it, typed as a
// plain program types them from the columns' declared types: DATE a date
// field (written directly as yyyymmdd), INTEGER a numeric field as wide as
// its longest number, anything else text in code page 1252 as wide as its
// longest value (one pass to learn the widths, one to write).
void DbaseDesnudo(sqlite3 *db, const QString &ruta)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM GENCONSUL", -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    std::vector<DBFFieldType> tipo(size_t(n), FTString);
    for (int i = 0; i < n; ++i) {
        const QByteArray d = QByteArray(sqlite3_column_decltype(st, i)).toUpper();
        tipo[size_t(i)] = d.contains("DATE") ? FTDate : d.contains("INT") ? FTInteger : FTString;
    }
    std::vector<int> ancho(size_t(n), 1);
    std::string texto;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < n; ++i)
            if (tipo[size_t(i)] == FTString) {
                Texto1252(sqlite3_column_text(st, i) ? sqlite3_column_text(st, i) : (const unsigned char *)"", texto);
                ancho[size_t(i)] = qMax(ancho[size_t(i)], int(texto.size()));
            } else if (tipo[size_t(i)] == FTInteger) {
                ancho[size_t(i)] = qMax(ancho[size_t(i)], sqlite3_column_bytes(st, i));
            }
    sqlite3_reset(st);
    DBFHandle h = DBFCreateEx(QFile::encodeName(ruta).constData(), "LDID/87");
    const QStringList nombres = [&] {
        QStringList l;
        for (int i = 0; i < n; ++i)
            l << QString::fromUtf8(sqlite3_column_name(st, i));
        return NombresDbase(l);
    }();
    for (int i = 0; i < n; ++i)
        DBFAddField(h, nombres.at(i).toLatin1().constData(), tipo[size_t(i)], tipo[size_t(i)] == FTDate ? 8 : qMin(ancho[size_t(i)], 254), 0);
    int registro = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            const auto *t = sqlite3_column_text(st, i);
            if (!t) {
                DBFWriteNULLAttribute(h, registro, i);
            } else if (tipo[size_t(i)] == FTDate) {
                char fecha[9] = {char(t[0]), char(t[1]), char(t[2]), char(t[3]), char(t[5]), char(t[6]), char(t[8]), char(t[9]), 0};
                DBFWriteAttributeDirectly(h, registro, i, fecha);
            } else if (tipo[size_t(i)] == FTInteger) {
                DBFWriteIntegerAttribute(h, registro, i, sqlite3_column_int(st, i));
            } else {
                Texto1252(t, texto);
                DBFWriteStringAttribute(h, registro, i, texto.c_str());
            }
        }
        ++registro;
    }
    sqlite3_finalize(st);
    DBFClose(h);
}

// The fields of a dBase file: name, type, width and decimals of each.
QStringList CamposDbase(const QString &ruta)
{
    QStringList campos;
    DBFHandle h = DBFOpen(QFile::encodeName(ruta).constData(), "rb");
    if (!h)
        return campos;
    for (int i = 0; i < DBFGetFieldCount(h); ++i) {
        char nombre[12] = {};
        int ancho = 0, decimales = 0;
        const DBFFieldType tipo = DBFGetFieldInfo(h, i, nombre, &ancho, &decimales);
        campos << QStringLiteral("%1 %2 %3.%4").arg(QLatin1String(nombre)).arg(int(tipo)).arg(ancho).arg(decimales);
    }
    campos << QStringLiteral("%1 registros").arg(DBFGetRecordCount(h));
    DBFClose(h);
    return campos;
}

// The plain statement that builds GENCONSUL's columns from the events: each
// slot a correlated subquery over its detail table (slot k the k-th code in
// code order, a diagnosis slot the one of that Orden), with the values an
// event without rows keeps.
QString SentenciaConSubconsultas(const BaseDatos &bd)
{
    const QString clave = QStringLiteral("d.CLUES = E.Clues AND d.Folio = E.Folio AND d.fechaAtencion = E.fechaAtencion");
    struct Grupo {
        const char *prefijo, *tabla, *codigo, *condicion, *inicial;
    };
    const Grupo grupos[] = {{"Derechohabiencia", "D_Derechohabiencia", "CodDerechohabiencia", "", "' '"},
                            {"TipoViolencia", "D_TipoViolencia", "CodTipoViolencia", "", "0"},
                            {"EfectosPaciente", "D_BajoEfectos", "CodEfectos", " AND d.CodAfectadoAgresor = 1", "0"},
                            {"EfectosAgresor", "D_BajoEfectos", "CodEfectos", " AND d.CodAfectadoAgresor = 2", "0"},
                            {"TipoAtencion", "D_TipoAtencion", "CodTipoAtencion", "", "0"}};
    QStringList columnas;
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name FROM pragma_table_info('GENCONSUL')"));
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        QString expresion = QStringLiteral("E.") + nombre;
        const int k = nombre.right(2).toInt();
        if (nombre.startsWith(QLatin1String("Diagnostico0")))
            expresion = QStringLiteral("coalesce((SELECT d.CodDiagnostico FROM D_Diagnosticos AS d WHERE %1 AND d.Orden = %2), '    ')")
                            .arg(clave).arg(k);
        for (const Grupo &g : grupos)
            if (nombre.startsWith(QLatin1String(g.prefijo)) && k > 0) {
                expresion = QStringLiteral("(SELECT d.%1 FROM %2 AS d WHERE %3%4 ORDER BY d.%1 LIMIT 1 OFFSET %5)")
                                .arg(QLatin1String(g.codigo), QLatin1String(g.tabla), clave, QLatin1String(g.condicion))
                                .arg(k - 1);
                if (k > 1 || *g.condicion)
                    expresion = QStringLiteral("coalesce(%1, %2)").arg(expresion, QLatin1String(g.inicial));
            }
        columnas << expresion + QStringLiteral(" AS ") + nombre;
    }
    return QStringLiteral("SELECT ") + columnas.join(QStringLiteral(", ")) + QStringLiteral(" FROM D_EVENTO AS E");
}

// Gives the events of unit `de` that `cuales` keeps to unit `a`, their detail rows along.
void CambiaUnidad(const BaseDatos &bd, const QString &de, const QString &a, const QString &cuales, const QVariantList &valores = {})
{
    Transaccion t(bd);
    bd.EjecutaAccion(QStringLiteral("PRAGMA defer_foreign_keys = ON"));
    bd.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE movidos AS SELECT Folio, fechaAtencion FROM D_EVENTO WHERE Clues = ? AND ") + cuales,
                     QVariantList{de} + valores);
    for (const char *tabla : {"D_EVENTO", "D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion", "D_Diagnosticos"})
        bd.EjecutaAccion(QStringLiteral("UPDATE %1 SET CLUES = ? WHERE CLUES = ? AND (Folio, fechaAtencion) IN "
                                        "(SELECT Folio, fechaAtencion FROM temp.movidos)").arg(QLatin1String(tabla)),
                         {a, de});
    bd.EjecutaAccion(QStringLiteral("DROP TABLE temp.movidos"));
    t.Confirma();
}

// A unit of a few events (one in 2,000 of all, at least one) taken from the
// biggest unit, spread over its rowids as a small unit's are among a year's
// captures, its code right after the biggest's in the key's order: its
// events are met between the biggest's and sought beside them. Its code.
QString UnidadPequena(const BaseDatos &bd, const QString &mayor)
{
    const QString codigo = mayor + QLatin1Char('0');
    const qint64 eventos = qMax<qint64>(1, bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toLongLong() / 2000);
    const qint64 paso = qMax<qint64>(2, bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE Clues = ?"), {mayor}).toLongLong() / eventos);
    CambiaUnidad(bd, mayor, codigo, QStringLiteral("(rowid % ? = 0 OR rowid = (SELECT max(rowid) FROM D_EVENTO WHERE Clues = ?))"), {paso, mayor});
    std::printf("  unidad %s: %s eventos de %s\n", qPrintable(codigo),
                qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE Clues = ?"), {codigo}).toString()), qPrintable(mayor));
    return codigo;
}

// Gives each event listed in temp.familia (by its key, with the unit it
// moves to) to that unit, its detail rows along; `deVuelta`, back to the unit
// it had. Every table moves alike: the foreign keys, which would be checked
// row by row, are not.
void MueveFamilia(const BaseDatos &bd, bool deVuelta)
{
    bd.EjecutaAccion(QStringLiteral("PRAGMA foreign_keys = OFF"));
    {
        Transaccion t(bd);
        const char *de = deVuelta ? "nueva" : "Clues", *a = deVuelta ? "Clues" : "nueva";
        for (const char *tabla : {"D_EVENTO", "D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion", "D_Diagnosticos"})
            bd.EjecutaAccion(QStringLiteral("UPDATE %1 SET CLUES = m.%2 FROM temp.familia AS m WHERE %1.CLUES = m.%3 "
                                            "AND %1.Folio = m.Folio AND %1.fechaAtencion = m.fechaAtencion")
                                 .arg(QLatin1String(tabla), QLatin1String(a), QLatin1String(de)));
        t.Confirma();
    }
    bd.EjecutaAccion(QStringLiteral("PRAGMA foreign_keys = ON"));
}

// 22 units of very uneven size under one prefix no unit has, coded after
// the biggest unit's code cut by three characters: of 0.03 % of the events
// to 7.5 %, each 1.3 times the one before (or half the events left to the
// unit they come from, when it has fewer), each made from the events of the
// unit that has most left at its turn, spread over its rowids. The events
// moved stay listed in temp.familia, for MueveFamilia to give them back. The
// codes made.
QStringList FamiliaDesigual(const BaseDatos &bd, const QString &mayor)
{
    QString prefijo;
    for (const QChar c : QStringLiteral("ZYXWVU")) {
        prefijo = mayor.left(qMax(1, int(mayor.size()) - 3)) + c;
        if (bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE Clues LIKE ?"), {prefijo + QLatin1Char('%')}).toLongLong() == 0)
            break;
    }
    bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS temp.familia"));
    bd.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE familia (fila INTEGER PRIMARY KEY, Clues TEXT COLLATE NOCASE, Folio INTEGER, "
                                    "fechaAtencion TEXT, nueva TEXT)"));
    const qint64 total = bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toLongLong();
    QHash<QString, qint64> quedan;
    for (QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT Clues, count(*) FROM D_EVENTO GROUP BY Clues")); q.next();)
        quedan[q.value(0).toString()] = q.value(1).toLongLong();
    QStringList familia;
    for (int k = 0; k < 22 && !quedan.isEmpty(); ++k) {
        const qint64 quiere = qMax<qint64>(1, qint64(double(total) * 0.0003 * std::pow(250.0, k / 21.0)));
        QString origen = quedan.constBegin().key();
        for (auto u = quedan.constBegin(); u != quedan.constEnd(); ++u)
            if (u.value() > quedan.value(origen))
                origen = u.key();
        const QString codigo = prefijo + QStringLiteral("%1").arg(k + 1, 2, 10, QLatin1Char('0'));
        // One event in `paso` of those left, spread over the unit's rowids.
        const qint64 paso = qMax<qint64>(2, quedan.value(origen) / quiere);
        quedan[origen] -= bd.EjecutaAccion(QStringLiteral("INSERT INTO temp.familia SELECT rowid, Clues, Folio, fechaAtencion, ? FROM D_EVENTO "
                                                          "WHERE Clues = ? AND rowid NOT IN (SELECT fila FROM temp.familia) "
                                                          "AND rowid % ? = 0"),
                                           {codigo, origen, paso});
        familia << codigo;
    }
    MueveFamilia(bd, false);
    std::printf("  unidades hechas:");
    for (const QString &codigo : familia)
        std::printf(" %s", qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE Clues = ?"), {codigo}).toString()));
    std::printf(" eventos\n");
    return familia;
}

void LeePlano(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < n; ++i)
            bytes += sqlite3_column_bytes(st, i);
    sqlite3_finalize(st);
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    QTemporaryDir &dir = programa.dir;
    // VELMORAN_CONSERVA=1 keeps the files, to open them with other programs.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("VELMORAN_CONSERVA"));
    std::printf("carpeta: %s\n", qPrintable(dir.path()));
    const BaseDatos &bd = programa.ctx.ConexionBD;
    if (!BaseConEventos(programa))
        return 0;
    const QStringList Campos53 = EntradasCampos(OrigenConsulta::Hoja);
    sqlite3 *plano = bd.Manejador();
    std::printf("eventos: %s, campos elegidos: %lld\n",
                qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toString()), qlonglong(Campos53.size()));

    // Each build of GENCONSUL drops the former one and writes the new one into
    // the database file; so does its plain figure with a table of its own.
    bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS GENCONSUL"));
    bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS PLANO"));
    const auto planoCon = [&](const QString &donde, const QVariantList &valores) {
        bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS PLANO"));
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE PLANO AS SELECT * FROM D_EVENTO AS E") + donde, valores);
    };
    qint64 filas = 0;
    TablaTrabajo::LecturaTabla lectura;
    const QString eventos = QStringLiteral(" FROM D_Evento AS E");
    // `hilos` false: as on a machine of one processor.
    const auto construye = [&](const QString &condicion, const QVariantList &valores, const QString &desde = {}, bool hilos = true) {
        filas = TablaTrabajo::ConstruyeGenConsul(bd, Campos53, {desde.isEmpty() ? eventos : desde, condicion, valores, {}}, hilos, &lectura);
    };
    // How the last build read: the events, and the detail rows on threads or by the statement.
    const auto leida = [&] {
        static const char *const formas[] = {"como la condición los halla", "por rowid, la condición en cada uno",
                                             "hallados primero, luego por rowid", "a lo largo de la clave, la condición en cada uno",
                                             "hallados primero, luego a lo largo de la clave"};
        std::printf("  %lld filas; eventos leídos %s; detalle de %lld eventos leído antes (en %d tramos en hilos), "
                    "%lld eventos tomados de esa lectura\n",
                    filas, formas[lectura.eventos], lectura.adelantados, lectura.tramos, lectura.deHilos);
    };
    const auto [genconsul, genconsulPlano] = Pareja("GENCONSUL con los 53 campos", [&] { construye({}, {}); },
                                                    "  SQLite plano: CREATE TABLE AS SELECT de D_EVENTO en el mismo archivo",
                                                    [&] { planoCon({}, {}); });
    leida();
    Razon("GENCONSUL, 53 campos, frente a CREATE TABLE AS SELECT", genconsul, genconsulPlano, 2);
    std::printf("  columnas de GENCONSUL: %s\n",
                qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM pragma_table_info('GENCONSUL')")).toString()));
    std::printf("  archivo con GENCONSUL: %.0f MB\n", double(QFileInfo(programa.ctx.ArchivoBD).size()) / 1048576.0);
    // The same columns built by one plain statement with a correlated subquery
    // per slot (once: it takes long), checked to hold the same rows.
    const QString subconsultas = SentenciaConSubconsultas(bd);
    // GENCONSUL beside the correlated statement's table PLANO: a plain figure
    // that did not build the same table measures nothing, and the goal fails.
    // `tope`: the goal on the ratio, 0 for none.
    const auto comparaConPlano = [&](const QByteArray &titulo, double nuestro, double plano, double tope) {
        const qint64 distintas = bd.Valor(QStringLiteral("SELECT (SELECT count(*) FROM (SELECT * FROM GENCONSUL EXCEPT SELECT * FROM PLANO)) "
                                                         "+ (SELECT count(*) FROM (SELECT * FROM PLANO EXCEPT SELECT * FROM GENCONSUL)) "
                                                         "+ abs((SELECT count(*) FROM PLANO) - (SELECT count(*) FROM GENCONSUL))")).toLongLong();
        std::printf("  filas distintas de las de GENCONSUL: %lld\n", distintas);
        std::printf("%s: %.2f s, plano %.2f s, razón %.2f\n", titulo.constData(), nuestro, plano, plano > 0 ? nuestro / plano : 0.0);
        metas.Agrega(titulo.toStdString() + (distintas ? " (NO HIZO LO MISMO)" : ""), nuestro, plano, "s", tope, distintas ? 1e-9 : 0);
    };
    // The correlated statement's time, its table left in PLANO.
    const auto conSubconsultas = [&](const QByteArray &titulo, const QString &donde, const QVariantList &valores, double nuestro,
                                     double tope) {
        const double plano = Mide("  SQLite plano: la misma tabla con subconsultas correlacionadas", [&] {
            bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS PLANO"));
            bd.EjecutaAccion(QStringLiteral("CREATE TABLE PLANO AS ") + subconsultas + donde + QStringLiteral(" ORDER BY E.rowid"), valores);
        });
        comparaConPlano(titulo, nuestro, plano, tope);
        return plano;
    };
    // The same build without threads, as on a machine of one processor, against
    // the correlated statement whose table PLANO holds: never slower than it.
    const auto sinHilos = [&](const QByteArray &titulo, const QString &condicion, const QVariantList &valores, const QString &desde,
                              double correlacionada) {
        const double nuestro = Mide(titulo.constData(), [&] { construye(condicion, valores, desde, false); });
        leida();
        comparaConPlano(titulo + " frente a subconsultas correlacionadas", nuestro, correlacionada, 1);
    };
    const double correlacionada = conSubconsultas("GENCONSUL, 53 campos, frente a subconsultas correlacionadas", {}, {}, genconsul, 1);
    sinHilos("GENCONSUL sin hilos, 53 campos", {}, {}, {}, correlacionada);
    // A filter and whether its ratios have goals: a unit of a few dozen
    // events takes some milliseconds either way, mostly the table's creation
    // and commit, and its ratio measures the machine's noise.
    // `desde`: the selection's FROM when it joins a detail table, whose
    // condition `dondePlano` then says over D_EVENTO AS E alone; `sinHilos`:
    // built again without threads.
    struct Filtro {
        QByteArray nombre;
        QString condicion;
        QVariantList valores;
        bool conMeta = true;
        QString desde = {};
        QString dondePlano = {};
        bool sinHilos = false;
    };
    const auto mide = [&](const Filtro &f) {
        const QByteArray titulo = "GENCONSUL con filtro, " + f.nombre;
        const QString donde = QStringLiteral(" WHERE ") + (f.dondePlano.isEmpty() ? f.condicion : f.dondePlano);
        const auto [nuestro, plano] = Pareja(titulo.constData(), [&] { construye(f.condicion, f.valores, f.desde); },
                                             "  SQLite plano: CREATE TABLE AS SELECT con el mismo filtro",
                                             [&] { planoCon(donde, f.valores); });
        leida();
        Razon(titulo + " frente a CREATE TABLE AS SELECT", nuestro, plano, f.conMeta ? 2 : 0);
        const double correlacionada = conSubconsultas(titulo + " frente a subconsultas", donde, f.valores, nuestro, f.conMeta ? 1 : 0);
        if (f.sinHilos)
            sinHilos("GENCONSUL sin hilos, " + f.nombre, f.condicion, f.valores, f.desde, correlacionada);
    };
    // The generator always has a condition: one that keeps half the events
    // (from the median date of care on), and the one a clerk makes most, one
    // unit: the biggest and the smallest (on a year of one unit, the same).
    const QString mediana = bd.Valor(QStringLiteral("SELECT fechaAtencion FROM D_EVENTO ORDER BY fechaAtencion "
                                                    "LIMIT 1 OFFSET (SELECT count(*) / 2 FROM D_EVENTO)")).toString();
    const auto unidad = [&](const char *orden) {
        return bd.Valor(QStringLiteral("SELECT Clues FROM D_EVENTO GROUP BY Clues ORDER BY count(*) %1 LIMIT 1").arg(QLatin1String(orden))).toString();
    };
    const QString mayor = unidad("DESC");
    for (const Filtro &f : {Filtro{"la mitad", QStringLiteral("E.fechaAtencion >= ?"), {mediana}},
                            Filtro{"unidad mayor", QStringLiteral("E.Clues = ?"), {mayor}},
                            Filtro{"una unidad", QStringLiteral("E.Clues = ?"), {unidad("ASC")}}})
        mide(f);
    // Then several units, which the key's index finds apart: the biggest
    // beside one of under 0.1 % of the events, and the units of a prefix; and
    // that small unit alone. A year whose units all hold more (a year of one
    // unit) gets one for these lines, as UnidadPequena makes it, and its
    // events go back after them.
    QString pequena = bd.Valor(QStringLiteral("SELECT Clues FROM D_EVENTO GROUP BY Clues HAVING count(*) * 1000 < "
                                              "(SELECT count(*) FROM D_EVENTO) ORDER BY count(*) DESC LIMIT 1")).toString();
    const bool agregada = pequena.isEmpty();
    if (agregada)
        Mide("hacer una unidad de menos del 0.1 % de los eventos", [&] { pequena = UnidadPequena(bd, mayor); });
    // The longest prefix of the biggest unit's code that several units share.
    QString prefijo;
    for (int largo = int(mayor.size()) - 1; largo > 0 && prefijo.isEmpty(); --largo)
        if (bd.Valor(QStringLiteral("SELECT count(DISTINCT Clues) FROM D_EVENTO WHERE Clues LIKE ?"), {mayor.left(largo) + QLatin1Char('%')}).toInt() > 1)
            prefijo = mayor.left(largo) + QLatin1Char('%');
    mide({"unidad mayor y una de menos del 0.1 %", QStringLiteral("E.Clues IN (?, ?)"), {mayor, pequena}});
    mide({"una unidad de menos del 0.1 %", QStringLiteral("E.Clues = ?"), {pequena}, false});
    if (prefijo.isEmpty())
        std::printf("ningún prefijo de la unidad mayor es de varias unidades: sin la línea del prefijo\n");
    else
        mide({"las unidades de un prefijo", QStringLiteral("E.Clues LIKE ?"), {prefijo}});
    if (agregada)
        CambiaUnidad(bd, pequena, mayor, QStringLiteral("1"));

    // Several units of very uneven size, as a state's year may hold them: 22
    // units under one prefix of their own, of 0.03 % of the events up to
    // 7.5 % (300 to 75,000 of a million), taken from the units that have them
    // and given back after their lines; the units of that prefix, five units
    // of mixed sizes spread over the key's order, and the biggest of the 22
    // with a condition on a detail.
    QStringList familia;
    Mide("hacer 22 unidades de tamaños muy desiguales", [&] { familia = FamiliaDesigual(bd, mayor); });
    const QString prefijoFamilia = familia.first().left(familia.first().size() - 2) + QLatin1Char('%');
    mide({"las 22 unidades desiguales de un prefijo", QStringLiteral("E.Clues LIKE ?"), {prefijoFamilia}, true, {}, {}, true});
    QStringList cinco;
    {
        // Of the units under a tenth of the events in the key's order, five spread over it.
        QStringList unidades;
        for (QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT Clues FROM D_EVENTO GROUP BY Clues HAVING count(*) * 10 < "
                                                     "(SELECT count(*) FROM D_EVENTO) ORDER BY Clues"));
             q.next();)
            unidades << q.value(0).toString();
        for (int i = 0; i < 5; ++i)
            cinco << unidades.value(int((unidades.size() - 1) * i / 4));
        std::printf("  cinco unidades:");
        for (const QString &u : cinco)
            std::printf(" %s (%s eventos)", qPrintable(u),
                        qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE Clues = ?"), {u}).toString()));
        std::printf("\n");
    }
    mide({"cinco unidades de tamaños mezclados", QStringLiteral("E.Clues IN (?, ?, ?, ?, ?)"),
          {cinco[0], cinco[1], cinco[2], cinco[3], cinco[4]}, true, {}, {}, true});
    const QString violencia = QStringLiteral(" FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues "
                                             "AND V.Folio = E.Folio AND V.fechaAtencion = E.fechaAtencion");
    const QString mayorFamilia = bd.Valor(QStringLiteral("SELECT Clues FROM D_EVENTO WHERE Clues LIKE ? GROUP BY Clues "
                                                         "ORDER BY count(*) DESC LIMIT 1"),
                                          {prefijoFamilia}).toString();
    mide({"una unidad con una condición de detalle", QStringLiteral("E.Clues = ? AND V.CodTipoViolencia = ?"),
          {mayorFamilia, 7}, true, violencia,
          QStringLiteral("E.Clues = ? AND EXISTS (SELECT 1 FROM D_TipoViolencia AS V WHERE V.CLUES = E.Clues AND V.Folio = E.Folio "
                         "AND V.fechaAtencion = E.fechaAtencion AND V.CodTipoViolencia = ?)"),
          true});
    Mide("devolver sus eventos a sus unidades", [&] { MueveFamilia(bd, true); });
    bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS temp.familia"));
    bd.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS PLANO"));
    // The exports and the views read the whole table, as after a run without a filter.
    construye({}, {});
    std::printf("GENCONSUL para las exportaciones: %lld filas\n", filas);

    // VELMORAN_SIN_EXPORTAR=1 leaves the exports out (their .xlsx takes minutes at a million events).
    const bool exporta = qEnvironmentVariableIsEmpty("VELMORAN_SIN_EXPORTAR");
    if (exporta) {
        const double db = Mide("exportar a .db", [&] { Exporta(bd, FormatoExportacion::BaseDatos, dir.filePath("r.db"), "r"); });
        const QByteArray adjunta = QStringLiteral("ATTACH '%1' AS x; CREATE TABLE x.r AS SELECT * FROM GENCONSUL; DETACH x")
                                       .arg(dir.filePath("plano.db")).toUtf8();
        const double dbPlano = Mide("  SQLite plano: ATTACH + CREATE TABLE AS", [&] { sqlite3_exec(plano, adjunta.constData(), nullptr, nullptr, nullptr); });
        Razon("exportar a .db frente a ATTACH + CREATE TABLE AS", db, dbPlano, 1.3);

        const double dbf = Mide("exportar a .dbf", [&] { Exporta(bd, FormatoExportacion::Dbase, dir.filePath("r.dbf"), ""); });
        const double dbfPlano = Mide("  shapelib desnudo, mismas filas", [&] { DbaseDesnudo(plano, dir.filePath("plano.dbf")); });
        const bool mismosCampos = CamposDbase(dir.filePath("r.dbf")) == CamposDbase(dir.filePath("plano.dbf"));
        std::printf("  los mismos campos y registros: %s\n", mismosCampos ? "sí" : "NO");
        std::printf("exportar a .dbf frente a shapelib desnudo: %.2f s, plano %.2f s, razón %.2f\n", dbf, dbfPlano, dbf / dbfPlano);
        metas.Agrega(std::string("exportar a .dbf frente a shapelib desnudo, mismos campos") + (mismosCampos ? "" : " (NO LOS MISMOS)"), dbf,
                     dbfPlano, "s", 1.3, mismosCampos ? 0 : 1e-9);

        const double xlsx = Mide("exportar a .xlsx", [&] { Exporta(bd, FormatoExportacion::Excel, dir.filePath("r.xlsx"), "ExcelTabla"); });
        const double xlsxPlano = Mide("  libxlsxwriter desnudo, mismas celdas", [&] {
            LibroPlano(plano, QStringLiteral("SELECT * FROM GENCONSUL"), dir.filePath("plano.xlsx"), "ExcelTabla");
        });
        Razon("exportar a .xlsx frente a libxlsxwriter desnudo", xlsx, xlsxPlano, 0);
    }

    Mide("abrir la vista de resultados (modelo sobre GENCONSUL)", [&] {
        ModeloTablaTrabajo m(bd);
        m.Carga(TablaTrabajo::FuenteTabla(bd, TablaTrabajo::GenConsul));
        m.data(m.index(m.rowCount() - 1, 5));
    });
    // The table view as the clerk meets it: its first rows (the grid reads 50
    // to size its columns), then the last row, then a sort by a slot column.
    ModeloTablaTrabajo vista(bd);
    const double primeras = Mide("vista de tabla: primeras filas", [&] {
        vista.Carga(TablaTrabajo::FuenteTmpQuery(bd, {}));
        for (int f = 0; f < qMin(50, vista.rowCount()); ++f)
            vista.data(vista.index(f, 60));
    });
    Mide("  vista de tabla: última fila", [&] { vista.data(vista.index(vista.rowCount() - 1, 60)); });
    Mide("  vista de tabla: ordenar por TipoViolencia01", [&] { vista.sort(25); });
    vista.Cierra();
    const double claves = Mide("  SQLite plano: leer las claves de D_EVENTO en su orden", [&] {
        LeePlano(plano, "SELECT rowid FROM D_EVENTO ORDER BY Clues, Folio, fechaAtencion");
    });
    Razon("vista de tabla frente a leer las claves", primeras, claves, 0);

    // A year of receptions that replace events keeps raising their rowids:
    // the same build with every event numbered past 16,777,215, as a long-lived
    // database may stand (the order of the events kept).
    if (bd.Valor(QStringLiteral("SELECT min(rowid) FROM D_EVENTO")).toLongLong() <= 16777215
        && bd.Valor(QStringLiteral("SELECT max(rowid) FROM D_EVENTO")).toLongLong() <= 16777215)
        Mide("numerar los eventos desde 16,777,216", [&] { bd.EjecutaAccion(QStringLiteral("UPDATE D_EVENTO SET rowid = rowid + 16777216")); });
    const auto [altos, altosPlano] = Pareja("GENCONSUL, eventos numerados desde 16,777,216", [&] { construye({}, {}); },
                                            "  SQLite plano: CREATE TABLE AS SELECT de D_EVENTO en el mismo archivo",
                                            [&] { planoCon({}, {}); });
    leida();
    Razon("GENCONSUL, 53 campos, rowids desde 16,777,216, frente a CREATE TABLE AS SELECT", altos, altosPlano, 2);

    metas.Imprime(qPrintable(bd.Valor(QStringLiteral("SELECT count(*) || ' eventos' FROM D_EVENTO")).toString()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
