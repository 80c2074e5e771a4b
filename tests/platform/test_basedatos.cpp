#include "comun/BloqueoAjeno.h"
#include "comun/ProgramaTemporal.h"
#include "platform/ArchivoDestino.h"
#include "platform/Empaque.h"
#include "platform/InstanciaUnica.h"
#include "platform/Progreso.h"
#include "platform/SentenciaSqlite.h"
#include "platform/UsoDeArchivo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSysInfo>
#include <sqlite3.h>
#include <gtest/gtest.h>

// A missing file is never created; a SQLite file of another program is refused.
TEST(BaseDatos, SoloAbreBasesDeVelmoranQueExisten)
{
    ProgramaTemporal p;
    const QString falta = p.Carpeta() + "/no_existe.db", ajena = p.Carpeta() + "/ajena.db";
    EscribeArchivo(ajena, QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\0'));   // application_id 0
    BaseDatos bd("otra");
    for (const QString &archivo : {falta, ajena}) {
        try {
            bd.Abre(archivo);
            ADD_FAILURE() << archivo.toStdString();
        } catch (const ErrorBD &e) {
            EXPECT_EQ(e.Descripcion(), archivo == falta ? "No existe el archivo " + falta
                                                        : "El archivo " + ajena + " no es una Base de Datos de VELMORAN");
        }
    }
    EXPECT_FALSE(QFileInfo::exists(falta) || bd.EstaAbierta());
}

// The dialect's functions come back with every opening; a confirmed save
// reaches the disk with its commit, not at the next checkpoint; a rolled
// back one leaves nothing; a failure reads in Spanish with the engine's words.
TEST(BaseDatos, DialectoTransaccionesYErrores)
{
    ProgramaTemporal p;
    p.AbreBase();
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        EXPECT_EQ(p.Filas("SELECT CDATE(?), CDATE(?) IS NULL, VAL(?), VAL(?), LEN(?), MID(?, 2, 2)",
                          {"26/12/2003", "31/02/2004", "  12ab", "x1", "ÑU", "ABCD"}),
                  QStringList{"2003-12-26|1|12|0|2|BC"});
        p.bd().Cierra();
        p.bd().Abre(p.ctx->ArchivoBD);
    }
    EXPECT_EQ(p.Filas("PRAGMA journal_mode") + p.Filas("PRAGMA synchronous"), (QStringList{"wal", "2"}));   // FULL
    p.Ejecuta("CREATE TABLE T (Clave INTEGER PRIMARY KEY)");
    for (const bool confirma : {false, true}) {
        Transaccion t(p.bd());
        p.Ejecuta("INSERT INTO T VALUES (?)", {confirma});
        if (confirma)
            t.Confirma();
    }
    EXPECT_EQ(p.Filas("SELECT * FROM T"), QStringList{"1"});
    // Any name is quoted whole, embedded quotes and all, never read as SQL.
    const QString raro = "T\"; DROP TABLE T; --";
    EXPECT_EQ(CitaNombre(raro), "\"T\"\"; DROP TABLE T; --\"");
    p.Ejecuta("CREATE TABLE " + CitaNombre(raro) + " (" + CitaNombre("a\"b") + ")");
    EXPECT_EQ(p.Filas("SELECT name FROM pragma_table_info(?)", {raro}), QStringList{"a\"b"});
    EXPECT_EQ(p.Filas("SELECT * FROM T"), QStringList{"1"});
    try {
        p.Valor("SELECT * FROM NoHay");
        ADD_FAILURE();
    } catch (const ErrorBD &e) {
        EXPECT_EQ(e.Descripcion(), "La instrucción no se pudo ejecutar en la Base de Datos (no such table: NoHay)");
    }
}

// Statements kept prepared between uses: the same text run inside one in use
// gets its own; a table dropped and made again is read anew; closing
// finalizes them, so SQLite really closes the file (and removes its log).
TEST(BaseDatos, SentenciasPreparadasSeReusanYSeCierranConLaBase)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString cuenta = "SELECT count(*), sum(Clave) FROM T WHERE Clave > ?";
    auto lee = [&] {
        SentenciaSqlite s(p.bd(), cuenta, {0});
        return s.Paso() ? s.Texto(0) + '|' + s.Texto(1) : QString();
    };
    p.Ejecuta("CREATE TABLE T (Clave INTEGER PRIMARY KEY)");
    p.Ejecuta("INSERT INTO T VALUES (1), (2)");
    EXPECT_EQ(lee(), "2|3");
    {
        SentenciaSqlite fuera(p.bd(), "SELECT Clave FROM T ORDER BY Clave");
        ASSERT_TRUE(fuera.Paso());
        SentenciaSqlite dentro(p.bd(), "SELECT Clave FROM T ORDER BY Clave");
        EXPECT_TRUE(dentro.Paso() && dentro.Paso() && !dentro.Paso() && fuera.Texto(0) == "1");
    }
    p.Ejecuta("DROP TABLE T");
    p.Ejecuta("CREATE TABLE T (Otra TEXT, Clave INTEGER)");
    p.Ejecuta("INSERT INTO T VALUES ('a', 5)");
    EXPECT_EQ(lee(), "1|5");
    const QString wal = p.ctx->ArchivoBD + "-wal";
    ASSERT_TRUE(QFileInfo::exists(wal));
    p.bd().Cierra();
    EXPECT_FALSE(QFileInfo::exists(wal));
    p.bd().Abre(p.ctx->ArchivoBD);
    EXPECT_EQ(lee(), "1|5");
}

namespace {

// Events of these units, in one statement; then the key's index is searched once.
void EventosDeUnidades(ProgramaTemporal &p, const QList<QPair<QString, int>> &unidades)
{
    for (const auto &[clues, eventos] : unidades)
        p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                  "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) SELECT ?, i, '2004-06-15' FROM n",
                  {eventos, clues});
    p.Valor("SELECT Paterno FROM D_EVENTO WHERE Clues = ? AND Folio = 1", {unidades.first().first});
}

// The second figure of the statistics of D_EVENTO's key index: its rows per unit.
qint64 EventosPorUnidad(ProgramaTemporal &p)
{
    return p.Valor("SELECT stat FROM sqlite_stat1 WHERE idx = (SELECT name FROM pragma_index_list('D_EVENTO') WHERE origin = 'pk')")
        .toString().section(' ', 1, 1).toLongLong();
}

} // namespace

// Closing keeps the statistics of the tables the session's statements used
// (PRAGMA optimize), and never waits for another program's write lock: the
// statistics, also those of the tables a reception names, are then left for
// a later time, and the connection's own wait for the lock stays as it was.
TEST(BaseDatos, AlCerrarGuardaEstadisticasDeLoUsadoSinEsperarCandadoAjeno)
{
    ProgramaTemporal p;
    p.AbreBase();
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', 1, '2004-06-15')");
    p.Ejecuta("INSERT INTO D_TipoAtencion VALUES ('DFSSA000011', 1, '2004-06-15', 1)");
    p.Valor("SELECT Paterno FROM D_EVENTO WHERE Clues = 'DFSSA000011' AND Folio = 1");
    p.bd().Cierra();
    p.bd().Abre(p.ctx->ArchivoBD);
    const QString tablas = "SELECT DISTINCT tbl FROM sqlite_stat1 WHERE tbl LIKE 'D\\_%' ESCAPE '\\' ORDER BY tbl";
    EXPECT_EQ(p.Filas(tablas), QStringList{"D_EVENTO"});

    // Another program holds the write lock for a while: the statistics of the
    // tables a reception names are not waited for, and not written.
    p.Valor("SELECT count(*) FROM D_TipoAtencion WHERE CLUES = 'DFSSA000011' AND Folio = 1");
    constexpr double Retenido = 3;
    BloqueoAjeno otro(p.ctx->ArchivoBD, Retenido);
    ASSERT_TRUE(otro.Tomado());
    QElapsedTimer reloj;
    reloj.start();
    p.bd().Optimiza({"D_TipoAtencion", "D_Derechohabiencia"});
    EXPECT_LT(reloj.elapsed(), Retenido * 1000 / 2);
    EXPECT_EQ(p.Filas(tablas), QStringList{"D_EVENTO"});
    // The connection's own wait is back: a write waits for the release, then goes on.
    EXPECT_NO_THROW(p.Ejecuta("INSERT INTO D_TipoAtencion VALUES ('DFSSA000011', 1, '2004-06-15', 2)"));
    EXPECT_TRUE(otro.Confirma());
    p.bd().Optimiza({"D_TipoAtencion"});
    EXPECT_EQ(p.Filas(tablas), (QStringList{"D_EVENTO", "D_TipoAtencion"}));
}

// A sample of an index led by the unit sees only the first unit: the
// statistics written at closing, or after a reception of the tables named,
// give each unit its real share of the events, and the planner reads a unit
// that holds every event without its index.
TEST(BaseDatos, LasEstadisticasDanACadaUnidadSuParteDeLosEventos)
{
    struct Caso {
        QList<QPair<QString, int>> unidades;
        bool recepcion;
    };
    for (const Caso &c : {Caso{{{"DFSSA000011", 6000}}, false}, Caso{{{"DFSSA000011", 6000}}, true},
                          Caso{{{"A1", 2500}, {"B2", 2500}, {"C3", 2500}}, false}}) {
        ProgramaTemporal p;
        p.AbreBase();
        EventosDeUnidades(p, c.unidades);
        if (c.recepcion) {
            p.bd().Optimiza({"D_EVENTO"});
        } else {
            p.bd().Cierra();
            p.bd().Abre(p.ctx->ArchivoBD);
        }
        const qint64 real = c.unidades.first().second;
        EXPECT_GE(EventosPorUnidad(p), real * 7 / 10) << c.unidades.size() << c.recepcion;
        EXPECT_LE(EventosPorUnidad(p), real * 3 / 2) << c.unidades.size() << c.recepcion;
        if (c.unidades.size() == 1) {
            EXPECT_EQ(p.Filas("EXPLAIN QUERY PLAN SELECT * FROM D_EVENTO WHERE Clues = ?", {"DFSSA000011"})
                          .replaceInStrings(QRegularExpression("^.*\\|"), ""),
                      QStringList{"SCAN D_EVENTO"});
        }
    }
}

// Counts with thousands separated; only the outermost work holds the panel timer.
TEST(Progreso, EtapaYCuentaEnElPanelYSoloLaObraDeFueraDetieneElReloj)
{
    QStringList panel;
    const auto escribe = [&](const QString &t) { panel << t; };
    const auto ocupado = [&](bool empieza) { panel << (empieza ? "<empieza>" : "<termina>"); };
    {
        Progreso fuera(escribe, ocupado, "Exportando");
        fuera.Cuenta(250000, 1000000);
        Progreso dentro(escribe, ocupado, "Copiando");
        dentro.Cuenta(1234567);
    }
    EXPECT_EQ(panel, (QStringList{"<empieza>", "Exportando", "Exportando 250,000 de 1,000,000", "Copiando",
                                  "Copiando 1,234,567", "<termina>"}));
}

// The working database and its journals, under any name, are refused before
// anything opens them: closing that descriptor would drop SQLite's locks.
TEST(BaseDeTrabajo, LasRevisionesLaRechazanSinAbrirla)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString bd = p.ctx->ArchivoBD, enlace = p.Carpeta() + "/enlace.zip";
    QFile::link(bd, enlace);
    QString error;
    for (const QString &ruta : {bd, bd + "-wal", bd + "-shm", bd + "-journal", enlace}) {
        EXPECT_TRUE(BaseDatos::EsArchivoSqlite(ruta)) << ruta.toStdString();
        ArchivoDestino destino(ruta);
        EscribeArchivo(destino.RutaTemporal(), "x");
        EXPECT_FALSE(destino.Confirma(&error));
        EXPECT_EQ(error, BaseDatos::TextoBaseAbierta(ruta));
    }
    EXPECT_FALSE(ExtraeMiembro(enlace, "x.db", p.Carpeta() + "/x.db", LimiteExtraccion, &error));
    EXPECT_EQ(error, "El archivo " + enlace + " es la Base de Datos que el programa tiene abierta, elija otro archivo, "
                     "verifique por favor.....");
    EXPECT_FALSE(BaseDatos::EsBaseVelmoran(bd + "-wal") || BaseDatos::EsArchivoDeBaseAbierta(p.CreaBase("09", "2026")));
    EXPECT_EQ(BloqueosPerdidos(bd), "");
}

// The suite's lock check meets what another program would: a descriptor of
// the database or of its -shm opened and closed beside SQLite's drops its
// locks, and the check says so; locks of another process are not the program's.
TEST(BaseDeTrabajo, LaRevisionDeCandadosVeLosQueSePierden)
{
    for (const char *sufijo : {"", "-shm"}) {
        ProgramaTemporal p;
        p.AbreBase();
        const QString bd = p.ctx->ArchivoBD, archivo = bd + sufijo;
        ASSERT_EQ(BloqueosPerdidos(bd), "") << sufijo;
        EXPECT_EQ(BloqueosPerdidos(bd, 1), "los candados de " + bd + " son del proceso " + QString::number(QCoreApplication::applicationPid())
                                               + "; los candados de " + bd + "-shm son del proceso "
                                               + QString::number(QCoreApplication::applicationPid()));
        QFile(archivo).open(QIODevice::ReadOnly);   // closed at once
        EXPECT_EQ(BloqueosPerdidos(bd), "sin candados en " + archivo) << sufijo;
    }
}

// The kernel's answer on each file, asked by a child process: this process's
// own locks count and stay, another process's are named, a link is not
// followed, and a file that is not the one expected, by device or by inode,
// is another.
TEST(UsoDeArchivo, ElNucleoDiceQuienBloqueaCadaArchivo)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString bd = p.ctx->ArchivoBD, ajena = p.CreaBase("09", "2026"), libre = p.Carpeta() + "/libre.txt",
                  enlace = p.Carpeta() + "/enlace.db";
    ASSERT_TRUE(EscribeArchivo(libre, "x") && QFile::link(bd, enlace));
    const IdentidadArchivo id = *IdentidadArchivo::En(libre);
    BloqueoAjeno otro(ajena, 600, "SELECT count(*) FROM D_EVENTO", BloqueoAjeno::Modo::Lee);
    ASSERT_TRUE(otro.Tomado());
    const qint64 yo = QCoreApplication::applicationPid();
    using E = UsoDeArchivo::Estado;
    const struct {
        const char *caso;
        ArchivoAProbar archivo;
        E estado;
        qint64 proceso;
    } casos[] = {
        {"no existe", {p.Carpeta() + "/falta.db", {}}, E::NoExiste, 0},
        {"libre", {libre, {}}, E::Libre, 0},
        {"libre, el esperado", {libre, id}, E::Libre, 0},
        {"otro dispositivo", {libre, IdentidadArchivo{id.dispositivo + 1, id.nodo}}, E::Otro, 0},
        {"otro nodo", {libre, IdentidadArchivo{id.dispositivo, id.nodo + 1}}, E::Otro, 0},
        {"una carpeta", {p.Carpeta(), {}}, E::Otro, 0},
        {"un enlace", {enlace, {}}, E::NoSeSabe, 0},
        {"la base de este proceso", {bd, {}}, E::Tomado, yo},
        {"su -shm", {bd + "-shm", {}}, E::Tomado, yo},
        {"su -wal, que SQLite no bloquea", {bd + "-wal", {}}, E::Libre, 0},
        {"la base de otro proceso", {ajena, {}}, E::Tomado, otro.Proceso()},
    };
    std::vector<ArchivoAProbar> archivos;
    for (const auto &c : casos)
        archivos.push_back(c.archivo);
    const std::vector<UsoDeArchivo> usos = UsoDeArchivos(archivos);
    ASSERT_EQ(usos.size(), std::size(casos));
    for (size_t i = 0; i < usos.size(); ++i) {
        EXPECT_EQ(usos[i].estado, casos[i].estado) << casos[i].caso;
        EXPECT_EQ(usos[i].proceso, casos[i].proceso) << casos[i].caso;
    }
    EXPECT_EQ(BloqueosPerdidos(bd), "");
}

// A database put at the old path of a moved one takes the -wal and -shm that
// SQLite left there. Another program holding it open keeps them through the
// closing, whether it locks the -shm or, in exclusive locking mode, only that
// database; a third connection then reads and writes it.
TEST(BaseDatos, LosDiariosQueOtroProgramaUsaSeQuedanAlCerrarUnaBaseMovida)
{
    const std::pair<const char *, BloqueoAjeno::Modo> casos[] = {{"la lee", BloqueoAjeno::Modo::Lee},
                                                                 {"la lee en modo exclusivo", BloqueoAjeno::Modo::Exclusivo}};
    for (const auto &[caso, modo] : casos) {
        ProgramaTemporal p;
        p.AbreBase();
        const QString archivo = p.ctx->ArchivoBD, movido = archivo + ".movido",
                      copia = p.ctx->RutaDatos + "/VELMORAN0436-recuperada.db";
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', 1, '2004-06-15')");
        // Everything in the file: the database put at the path reads none of its pages from the log.
        p.Valor("PRAGMA wal_checkpoint(TRUNCATE)");
        const auto wal = IdentidadArchivo::En(archivo + "-wal"), shm = IdentidadArchivo::En(archivo + "-shm");
        ASSERT_TRUE(wal && shm) << caso;
        ASSERT_TRUE(QFile::rename(archivo, movido) && QFile::rename(p.CreaBase("09", "2026"), archivo)) << caso;
        const auto tercera = [&](const char *sql) {
            sqlite3 *db = nullptr;
            QString respuesta;
            const auto fila = [](void *r, int, char **valores, char **) {
                *static_cast<QString *>(r) = QString::fromUtf8(valores[0]);
                return 0;
            };
            if (sqlite3_open_v2(archivo.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
                || sqlite3_exec(db, sql, fila, &respuesta, nullptr) != SQLITE_OK)
                respuesta = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_close(db);
            return respuesta;
        };
        {
            BloqueoAjeno otro(archivo, 600, "SELECT count(*) FROM D_EVENTO", modo);
            ASSERT_TRUE(otro.Tomado()) << caso;
            p.bd().Cierra();
            EXPECT_EQ(p.mensajes.Ultimo(), "El archivo de la Base de Datos " + archivo + " fue movido a " + movido + " y otro "
                                           "archivo ocupa ahora su lugar. Lo que estaba guardado se escribió en el archivo "
                                           "nuevo " + copia + "; el archivo " + movido + " quedó como estaba y el que ocupa "
                                           "ahora " + archivo + " no se modificó.")
                << caso;
            EXPECT_EQ(IdentidadArchivo::En(archivo + "-wal"), wal) << caso;
            EXPECT_EQ(IdentidadArchivo::En(archivo + "-shm"), shm) << caso;
            EXPECT_EQ(tercera("SELECT count(*) FROM D_EVENTO"), "0") << caso;
        }
        EXPECT_EQ(tercera("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', 2, '2004-06-15'); "
                          "SELECT group_concat(Folio) FROM D_EVENTO"),
                  "2")
            << caso;
        for (const QString &base : {movido, copia}) {
            p.bd().Abre(base);
            EXPECT_EQ(p.Filas("SELECT Folio FROM D_EVENTO") + p.Filas("PRAGMA integrity_check"), QStringList({"1", "ok"}))
                << caso << base.toStdString();
        }
    }
}

// A test's program folder outlives its database: the closing at the end of
// every test finds the file where it was opened, and writes nothing back
// into a folder already removed.
TEST(BaseDatos, LaCarpetaDeUnaPruebaSeQuitaDespuesDeCerrarSuBase)
{
    QStringList avisos;
    QString carpeta;
    {
        ProgramaTemporal p;
        p.AbreBase();
        p.Ejecuta("CREATE TABLE T (Clave INTEGER PRIMARY KEY)");
        p.Ejecuta("INSERT INTO T VALUES (1)");
        p.bd().AvisoAlCerrar = [&avisos](const QString &texto) { avisos << texto; };
        carpeta = p.Carpeta();
    }
    EXPECT_EQ(avisos.join('\n').toStdString(), "");
    EXPECT_FALSE(QFileInfo::exists(carpeta));
}

// A file that cannot take its place says why in Spanish, and what stood
// there stays: a folder of that name, a protected file.
TEST(ArchivoDestinoTest, LoQueNoSePuedeReemplazarDiceElPorQueEnEspanol)
{
    ProgramaTemporal p;
    const QString carpeta = p.Carpeta() + "/salida.xlsx", protegido = p.Carpeta() + "/protegido.xlsx";
    QDir().mkdir(carpeta);
    EscribeArchivo(protegido, "antes");
    ArchivoInmutable inmutable(protegido);
    for (const auto &[ruta, porque] : {std::pair{carpeta, QString("en su lugar hay una carpeta")},
                                       std::pair{protegido, QString("el archivo está protegido contra cambios")}}) {
        if (ruta == protegido && !inmutable.Listo())
            continue;
        ArchivoDestino destino(ruta);
        EscribeArchivo(destino.RutaTemporal(), "nuevo");
        QString error;
        EXPECT_FALSE(destino.Confirma(&error));
        EXPECT_EQ(error, "No se pudo escribir el archivo " + ruta + ": " + porque);
    }
    EXPECT_TRUE(QFileInfo(carpeta).isDir());
    EXPECT_EQ(LeeArchivo(protegido), "antes");
}

// A lock left by a process that no longer runs does not keep the program out.
TEST(InstanciaUnica, ElCandadoDeUnaCopiaMuertaSeRompe)
{
    QTemporaryDir dir;
    InstanciaUnica instancia(dir.path());
    EscribeArchivo(instancia.Ruta(), "2147483000\nvelmoran\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    EXPECT_TRUE(instancia.Adquiere());
}
