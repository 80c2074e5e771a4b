#include "capture/frmRegistro.h"
#include "comun/ProgramaTemporal.h"
#include "platform/ArchivoDestino.h"
#include "platform/Empaque.h"
#include "shell/mdiPrincipal.h"
#include "tools/Bitacora.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/SqlTablas.h"
#include "tools/frmBitacora.h"
#include "tools/frmRespaldarBase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {

const QString TituloRespaldo = "Respaldos VELMORAN";

// A working database with one event, the main window, and the backup window
// whose compaction shows on the panel.
class Respaldar : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', 1, '2004-06-15')");
        principal = std::make_unique<mdiPrincipal>(*p.ctx);
        // What the panel shows, marked when its clearing timer runs meanwhile.
        p.ctx->PanelMensajes = [this](const QString &t) { panel << t + (principal->tmrMDI()->isActive() ? " (reloj)" : ""); };
        ventana = std::make_unique<frmRespaldarBase>(*p.ctx, [this] { return CompactaBaseDatos(*p.ctx, nullptr, {}); });
        ventana->show();
    }
    // Rows that leave free pages behind once deleted.
    void Relleno(int filas)
    {
        p.Ejecuta("CREATE TABLE RELLENO(x)");
        p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) INSERT INTO RELLENO SELECT randomblob(600) FROM n",
                  {filas});
    }
    bool Compacta() { return CompactaBaseDatos(*p.ctx, principal.get(), [this] { ++paramInicio; }); }

    ProgramaTemporal p;
    std::unique_ptr<mdiPrincipal> principal;
    std::unique_ptr<frmRespaldarBase> ventana;
    QStringList panel;
    int paramInicio = 0;
};

// Each kind in its grid with the archive's real file and folder; Enter closes
// keeping the rows; Borrar empties every grid without asking.
TEST_F(Respaldar, BitacoraCadaTipoEnSuGridEnterCierraYBorrarVaciaSinPreguntar)
{
    for (const RenglonBitacora &r : {RenglonBitacora{TipoBitacora::Respaldo, "/media/O'Brien/VELMORAN0436_061226.ZIP", 12, 0, "", "", 0},
                                     {TipoBitacora::Envio, "/tmp/envios/ENV.zip", 30, 2, "26/12/2003", "25/01/2004", 3},
                                     {TipoBitacora::Recepcion, "/tmp/Recive.zip", 0, 0, "", "", 4}})
        RegistraBitacora(p.bd(), r, p.reloj.Ahora());
    QStringList filas;
    for (const TablaBitacora &t : LeeBitacora(p.bd()))
        for (const QStringList &f : t.filas)
            filas << f.join('|');
    EXPECT_EQ(filas, (QStringList{"VELMORAN0436_061226.ZIP|/media/O'Brien/|06/12/2026 10:00:00",
                                  "ENV.zip|/tmp/envios/|06/12/2026 10:00:00|3|2|26/12/2003|25/01/2004|30",
                                  "Recive.zip|/tmp/|06/12/2026 10:00:00|4|0|0"}));
    frmBitacora ventana(*p.ctx);
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    QTest::keyClick(&ventana, Qt::Key_Return);
    EXPECT_FALSE(ventana.isVisible());
    EXPECT_EQ(p.Cuenta("BITACORA"), 3);
    ventana.cmdLimpiar->click();
    EXPECT_EQ(p.Cuenta("BITACORA") + ventana.grdEnvios->model()->rowCount(), 0);
}

TEST_F(Respaldar, CompactarCierraLasVentanasYDejaElArchivoCompactadoYAbierto)
{
    Relleno(3000);
    p.Ejecuta("DELETE FROM RELLENO");
    const int antes = p.Valor("PRAGMA page_count").toInt();
    AbreHojaRegistro(*p.ctx, *principal->Area());
    panel.clear();
    // The panel's timer waits during the work and counts its 20 seconds from the end.
    principal->tmrMDI()->setInterval(20000);
    principal->tmrMDI()->start();

    EXPECT_TRUE(Compacta());
    EXPECT_TRUE(principal->tmrMDI()->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(principal->Area()->subWindowList().isEmpty());
    EXPECT_LT(p.Valor("PRAGMA page_count").toInt(), antes - 400);
    EXPECT_EQ(panel, (QStringList{"Compactanto Base de Datos", "Listo....."}));
    EXPECT_TRUE(principal->isEnabled() && p.mensajes.cajas.isEmpty());
    EXPECT_EQ(p.mensajes.beeps, 1);
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD + "-wal").size(), 0);
}

// The compaction leaves the planner statistics of every table that has rows.
TEST_F(Respaldar, CompactarDejaLasEstadisticasDeCadaTabla)
{
    p.Ejecuta("INSERT INTO D_TipoAtencion VALUES ('DFSSA000011', 1, '2004-06-15', 1)");
    EXPECT_TRUE(Compacta());
    EXPECT_EQ(p.Filas("SELECT DISTINCT tbl FROM sqlite_stat1 WHERE tbl LIKE 'D\\_%' ESCAPE '\\' ORDER BY 1"),
              (QStringList{"D_EVENTO", "D_TipoAtencion"}));
    EXPECT_GT(p.Valor("SELECT count(*) FROM sqlite_stat1 WHERE tbl = 'CATCIE10'").toInt(), 0);
}

TEST_F(Respaldar, CompactarUnaFallaDejaElArchivoComoEstabaYDiceElMotivo)
{
    Relleno(2000);
    p.bd().Cierra();   // the journal goes into the file
    QByteArray danado = LeeArchivo(p.ctx->ArchivoBD);
    danado.replace(danado.size() - 3 * 4096, 4096, QByteArray(4096, '\xff'));
    ASSERT_TRUE(EscribeArchivo(p.ctx->ArchivoBD, danado));
    p.bd().Abre(p.ctx->ArchivoBD);

    EXPECT_TRUE(Compacta());
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN - Compactar BD"});
    EXPECT_TRUE(p.mensajes.Ultimo().startsWith("11 - La Base de Datos está dañada")) << qPrintable(p.mensajes.Ultimo());
    p.bd().Cierra();
    EXPECT_EQ(LeeArchivo(p.ctx->ArchivoBD), danado);
    EXPECT_EQ(panel.last(), "");
    EXPECT_EQ(paramInicio, 0);
}

TEST_F(Respaldar, CompactarSiNoSePuedeAbrirDeNuevoLlevaALosParametrosDeInicio)
{
    // Closed before its file goes (an open file that left its path is not
    // compacted); a folder in its place cannot be opened.
    p.bd().Cierra();
    for (const char *sufijo : {"", "-wal", "-shm"})
        QFile::remove(p.ctx->ArchivoBD + sufijo);
    QDir().mkdir(p.ctx->ArchivoBD);
    EXPECT_FALSE(Compacta());
    EXPECT_EQ(p.mensajes.Ultimo(), "14 - No existe el archivo " + p.ctx->ArchivoBD);
    EXPECT_EQ(paramInicio, 1);
    EXPECT_TRUE(principal->isEnabled());
}

// The database deleted while open: compacting puts it back at its path, says
// so, and goes on. An older copy put at the path instead: compacting would
// open the copy, so it is refused; the backup that begins with it packs what
// was confirmed, and the copy stays as it was.
TEST_F(Respaldar, ConUnaCopiaPuestaEnSuLugarNoCompactaYElRespaldoGuardaLoConfirmado)
{
    const QString archivo = p.ctx->ArchivoBD, copia = p.Carpeta() + "/copia.db", destino = p.Carpeta() + "/R.zip";
    p.Ejecuta("VACUUM INTO ?", {copia});
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', 2, '2004-06-16')");
    ASSERT_TRUE(QFile::remove(archivo));
    EXPECT_TRUE(Compacta());
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"VELMORAN"});
    EXPECT_EQ(p.mensajes.Ultimo(), "El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el programa "
                                   "estaba abierto. Lo que estaba guardado se escribió de nuevo en " + archivo + ".");
    EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT Folio FROM D_EVENTO ORDER BY Folio"), (QStringList{"ok", "1", "2"}));
    EXPECT_TRUE(p.ctx->ConexionBD.SigueEnSuRuta());

    p.mensajes.Limpia();
    ASSERT_TRUE(QFile::remove(archivo) && QFile::copy(copia, archivo));
    const QByteArray puesta = LeeArchivo(archivo);
    const QString rehusa = "14 - El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el programa "
                           "estaba abierto; no se compactó. Devuelva el archivo a su lugar y vuelva a intentarlo, o cierre el "
                           "programa: al cerrarlo, lo que ya estaba guardado se escribe de nuevo en ese lugar o, si otro archivo "
                           "lo ocupa, en un archivo nuevo junto a él, y se le dice dónde.....";
    EXPECT_TRUE(Compacta());
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN - Compactar BD"});
    EXPECT_EQ(p.mensajes.Ultimo(), rehusa);
    EXPECT_TRUE(p.ctx->ConexionBD.EstaAbierta() && principal->isEnabled());

    p.mensajes.Limpia();
    ventana->txtRuta->setText(destino);
    ventana->cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Titulos(), (QStringList{"Herramientas VELMORAN - Compactar BD", TituloRespaldo}));
    // Nothing is written into a file away from its path, the log's row neither.
    EXPECT_EQ(p.mensajes.Ultimo(), "El Respaldo se guardó en " + destino + ", pero no se pudo anotar en la Bitácora.\n\n"
                                   "El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el programa "
                                   "estaba abierto; no se leyó ni se guardó nada. Devuelva el archivo a su lugar y vuelva a "
                                   "intentarlo, o cierre el programa: al cerrarlo, lo que ya estaba guardado se escribe de "
                                   "nuevo en ese lugar o, si otro archivo lo ocupa, en un archivo nuevo junto a él, y se le "
                                   "dice dónde.....");
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(ExtraeMiembro(destino, "BKUP0436.db", dir.filePath("copia.db"), LimiteExtraccion, &error)) << qPrintable(error);
    BaseAdjunta leida(p.bd(), dir.filePath("copia.db"), "leida", true);
    EXPECT_EQ(p.Filas("PRAGMA leida.integrity_check") + p.Filas("SELECT Folio FROM leida.D_EVENTO ORDER BY Folio"),
              (QStringList{"ok", "1", "2"}));
    EXPECT_EQ(LeeArchivo(archivo), puesta);
}

// What interrupted runs left under any final name goes at the next backup and
// at the next send, from Datos and from the destination folder: the copies,
// their journals and libzip's own temporary archives. Files that only look
// like them, without the program's signature, stay.
TEST_F(Respaldar, ElSiguienteRespaldoOEnvioBorraLosTemporalesDelProgramaDeCualquierNombre)
{
    QTemporaryDir dir;
    const QString datos = p.ctx->RutaDatos + "/", otra = dir.path() + "/", paquete = Envio(*p.ctx).PaqueteEnvio;
    // The unsigned forms of the very names being written, made by hand, stay too.
    const QStringList ajenos = {".informe.docx.0123456789ab.tmp", ".VELMORAN0436_051226.ZIP.0123456789ab.tmp",
                                ".VELMORAN0436_051226.ZIP.0123456789ab.tmp.corto", "notas.tmp",
                                ".VELMORAN0436_061226.ZIP.0123456789ab.tmp", ".BKUP0436.db.0123456789ab.tmp",
                                "." + paquete + ".0123456789ab.tmp", ".ENV0436.db.0123456789ab.tmp"};
    const QStringList base = {"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"};
    const auto lista = [](const QString &carpeta) {
        QStringList nombres = QDir(carpeta).entryList(QDir::Files | QDir::Hidden);
        nombres.sort();
        return nombres;
    };
    // A file this instance is writing meanwhile: its lock is held.
    const ArchivoDestino enCurso(otra + "TablaCompletaVELMORAN.xlsx");
    ASSERT_TRUE(EscribeArchivo(enCurso.RutaTemporal(), "escribiéndose"));
    const QString escribiendose = QFileInfo(enCurso.RutaTemporal()).fileName();
    for (const bool envia : {false, true}) {
        SCOPED_TRACE(envia ? "envío" : "respaldo");
        for (const QString &destino : {datos + "ENV0436.db", datos + "BKUP0436.db", datos + "VELMORAN0436_051226.ZIP",
                                       datos + "DinamicaVELMORAN.db", otra + "VELMORAN0436_051226.ZIP", otra + "ENVIO0436_051226VEL.ZIP"}) {
            const QString temporal = ArchivoDestino(destino).RutaTemporal();
            for (const QString &resto : {temporal, temporal + "-journal", temporal + ".Ab3xZ9"})
                ASSERT_TRUE(EscribeArchivo(resto, "resto"));
        }
        for (const QString &carpeta : {datos, otra})
            for (const QString &ajeno : ajenos)
                ASSERT_TRUE(EscribeArchivo(carpeta + ajeno, "de otro programa"));
        if (envia) {
            EXPECT_TRUE(Envio(*p.ctx).GeneraEnvio(Envio::Seleccion{true, true, {}, {}, {}, {"cSexo"}}, otra + paquete));
        } else {
            ventana->txtRuta->setText(otra + "VELMORAN0436_061226.ZIP");
            ventana->cmdAceptar->click();
        }
        QStringList enDatos = base + ajenos,
                    enOtra = ajenos + QStringList{"VELMORAN0436_061226.ZIP", escribiendose, escribiendose + ".lck"};
        if (envia)
            enOtra << paquete;
        enDatos.sort();
        enOtra.sort();
        EXPECT_EQ(lista(datos), enDatos);
        EXPECT_EQ(lista(otra), enOtra);
    }
}

// A backup killed while libzip writes the archive, and again once the archive
// is whole but not yet under its name: the database stays sound with its
// event, and the next backup, under another name, removes what both left.
TEST_F(Respaldar, MuertoAlEmpacarElSiguienteRespaldoBorraLoQueDejo)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    Relleno(30000);   // random pages: packing them takes a while
    QTemporaryDir dir;
    const QString carpeta = dir.path();
    const auto lista = [](const QString &c) { return QDir(c).entryList(QDir::Files | QDir::Hidden); };
    for (const char *momento : {"\\.tmp\\.[A-Za-z0-9]{6}$", "\\.tmp$"}) {
        p.bd().Cierra();
        EXPECT_EXIT(
            {
                p.bd().Abre(p.ctx->ArchivoBD);
                // Dies the moment the destination folder shows that file.
                std::thread([carpeta, momento] {
                    const QRegularExpression buscado(QString::fromLatin1(momento));
                    for (;;) {
                        for (const QString &nombre : QDir(carpeta).entryList(QDir::Files | QDir::Hidden))
                            if (buscado.match(nombre).hasMatch())
                                std::raise(SIGKILL);
                        std::this_thread::sleep_for(std::chrono::microseconds(200));
                    }
                }).detach();
                Respaldo(*p.ctx, [this] { return CompactaBaseDatos(*p.ctx, nullptr, {}); })
                    .Respalda(carpeta + "/VELMORAN0436_051226.ZIP");
                std::exit(0);
            },
            ::testing::KilledBySignal(SIGKILL), "")
            << momento;
        p.bd().Abre(p.ctx->ArchivoBD);
        EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT Folio FROM D_EVENTO"), QStringList({"ok", "1"}));
        EXPECT_EQ(lista(carpeta).filter(QRegularExpression(QString::fromLatin1(momento))).size(), 1) << qPrintable(lista(carpeta).join(' '));
    }
    EXPECT_GT(lista(p.ctx->RutaDatos).size(), 4) << qPrintable(lista(p.ctx->RutaDatos).join(' '));

    ventana->txtRuta->setText(carpeta + "/VELMORAN0436_061226.ZIP");
    ventana->cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Ultimo(), "Se terminó el Respaldo de la Base de Datos");
    EXPECT_EQ(lista(carpeta), QStringList{"VELMORAN0436_061226.ZIP"});
    EXPECT_EQ(lista(p.ctx->RutaDatos), (QStringList{"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
    EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT Folio FROM D_EVENTO"), QStringList({"ok", "1"}));
}

TEST_F(Respaldar, NombreConLaFechaYRutaElegidaOCancelada)
{
    EXPECT_EQ(ventana->txtRuta->text(), p.ctx->RutaDatos + "/VELMORAN0436_061226.ZIP");
    ventana->PideRuta = [](const QString &) { return QString("/media/usb/mio.zip"); };
    ventana->cmdRuta->click();
    EXPECT_EQ(ventana->txtRuta->text(), "/media/usb/mio.zip");
    EXPECT_EQ(ventana->logica.RutaElegida(""), p.ctx->RutaDatos + "/mio.zip");
    EXPECT_EQ(ventana->logica.Destino(" /media/usb/ "), "/media/usb/mio.zip");
}

TEST_F(Respaldar, ElArchivoLeidoDeNuevoGuardaLaBaseYQuedaEnLaBitacora)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("O'Brien"));
    const QString destino = dir.filePath("O'Brien/VELMORAN0436_061226.ZIP");
    ASSERT_TRUE(EscribeArchivo(destino, "respaldo de ayer"));
    // What an interrupted backup left goes; a file of another name, or of the
    // same name without the program's signature, stays.
    const QString copia = ArchivoDestino(p.ctx->RutaDatos + "/BKUP0436.db").RutaTemporal();
    const QStringList restos = {copia, copia + "-journal", ArchivoDestino(destino).RutaTemporal()};
    for (const QString &r : restos + QStringList{dir.filePath("O'Brien/.VELMORAN0436_061226.ZIP.nota.tmp"),
                                                 dir.filePath("O'Brien/.VELMORAN0436_061226.ZIP.a1b2c3d4e5f6.tmp")})
        ASSERT_TRUE(EscribeArchivo(r, "resto"));

    ventana->txtRuta->setText(destino);
    ventana->cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{TituloRespaldo});
    EXPECT_EQ(p.mensajes.Ultimo(), "Se terminó el Respaldo de la Base de Datos");
    EXPECT_EQ(panel, (QStringList{"Compactanto Base de Datos", "Listo.....", "Respaldando Base de Datos...........",
                                  "Empacando el Respaldo en " + destino + "...........", "", "Listo.........."}));
    EXPECT_EQ(p.Filas("SELECT TIPO, NOMBRE, RUTA, FECHA, EVENTOS FROM BITACORA"),
              QStringList{"1|VELMORAN0436_061226.ZIP|" + dir.path() + "/O'Brien/|2026-12-06 10:00:00|1"});

    QString error;
    ASSERT_TRUE(ExtraeMiembro(destino, "BKUP0436.db", dir.filePath("copia.db"), LimiteExtraccion, &error)) << qPrintable(error);
    BaseAdjunta leida(p.bd(), dir.filePath("copia.db"), "leida", true);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM leida.D_EVENTO").toInt(), 1);
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
    EXPECT_EQ(QDir(dir.filePath("O'Brien")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".VELMORAN0436_061226.ZIP.a1b2c3d4e5f6.tmp", ".VELMORAN0436_061226.ZIP.nota.tmp",
                           "VELMORAN0436_061226.ZIP"}));
}

TEST_F(Respaldar, UnDestinoRechazadoNoCompactaNiEscribeYLoDice)
{
    const QString otra = p.ctx->RutaDatos + "/VELMORAN0509.DB", fuera = p.Carpeta() + "/respaldo.zip";
    QFile::copy(p.ctx->ArchivoPlantilla(), fuera);
    const QString sobreBase = "El Respaldo no puede guardarse sobre la Base de Datos %1, elija otro archivo, verifique por favor.....";
    const QString casos[][2] = {
        {otra, sobreBase.arg(otra)},   // by its name in Datos
        {fuera, sobreBase.arg(fuera)},   // by its content elsewhere
        {p.Carpeta(), p.Carpeta() + " es una carpeta; escriba también el nombre del archivo, verifique por favor....."},
        {"   ", "Escriba la ruta del Respaldo, verifique por favor....."},
        {fuera + "/V.ZIP", "No existe la carpeta " + fuera + ", verifique por favor....."},
    };
    for (const auto &c : casos) {
        const QByteArray antes = LeeArchivo(c[0]);
        ventana->txtRuta->setText(c[0]);
        ventana->cmdAceptar->click();
        EXPECT_EQ(p.mensajes.Ultimo(), c[1]);
        EXPECT_EQ(LeeArchivo(c[0]), antes);
    }
    EXPECT_EQ(p.mensajes.Titulos(), QStringList(5, TituloRespaldo));
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_TRUE(panel.isEmpty());   // nothing compacted
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
}

// A folder that takes no file is refused by its name before the compaction
// and the copy, by the backup and by the send, and nothing is written.
TEST_F(Respaldar, UnaCarpetaSinEscrituraSeRechazaPorSuNombreAntesDelTrabajoLargo)
{
    QTemporaryDir dir;
    const QString solo = dir.filePath("solo lectura");
    const CarpetaSoloLectura carpeta(solo);
    if (!carpeta.Lista())
        GTEST_SKIP() << "no se pudo hacer una carpeta sin escritura";
    const QString motivo = "No se puede escribir en la carpeta " + solo
                           + ": esa carpeta debe permitir escritura, verifique por favor.....";
    ventana->txtRuta->setText(dir.filePath("solo lectura/VELMORAN0436_061226.ZIP"));
    ventana->cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Ultimo(), motivo);
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{TituloRespaldo});
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_TRUE(panel.isEmpty());   // not compacted

    p.mensajes.Limpia();
    const QStringList antes = QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    Envio envio(*p.ctx);
    EXPECT_FALSE(envio.GeneraEnvio({true, true, {"DFSSA000011  UNO"}, {}, {}, {"cSexo"}}, dir.filePath("solo lectura/" + envio.PaqueteEnvio)));
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo generar el Envío.\n\n" + motivo);
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Envío VELMORAN"});   // no "De click para continuar"
    EXPECT_EQ(panel, (QStringList{"Creando envio de la Base de Datos", ""}));   // nothing copied nor packed
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), antes);
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
}

// Two instances back up into one shared folder at once, each in its own
// process: the second's cleanup, run while the first packs, leaves the first's
// archive in progress alone, and both backups end whole.
TEST_F(Respaldar, DosRespaldosALaVezEnUnaCarpetaCompartidaTerminanAmbos)
{
    Relleno(100000);   // random pages: the first packs for a while
    ProgramaTemporal otro;
    otro.AbreBase("09", "2026");
    otro.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', 5, '2026-06-15')");
    QTemporaryDir compartida;
    const QString primero = compartida.filePath("VELMORAN0436_061226.ZIP"), segundo = compartida.filePath("VELMORAN2609_061226.ZIP");
    p.bd().Cierra();
    otro.bd().Cierra();
    // Each child backs up and exits 0 when its backup ended well.
    const auto respalda = [](ProgramaTemporal &prog, const QString &destino, const std::function<void()> &antes) {
        const pid_t pid = ::fork();
        if (pid != 0)
            return pid;
        antes();
        prog.bd().Abre(prog.ctx->ArchivoBD);
        const bool bien = Respaldo(*prog.ctx, [&prog] { return CompactaBaseDatos(*prog.ctx, nullptr, {}); }).Respalda(destino);
        if (!bien)
            std::fprintf(stderr, "%s\n", qPrintable(prog.mensajes.Ultimo()));
        ::_exit(bien ? 0 : 1);
    };
    const pid_t a = respalda(p, primero, [] {});
    // The second starts once the first is writing its archive.
    const pid_t b = respalda(otro, segundo, [&] {
        for (int i = 0; i < 30000; ++i) {
            if (!QDir(compartida.path()).entryList({".VELMORAN0436_061226.ZIP.*"}, QDir::Files | QDir::Hidden).filter(QRegularExpression("\\.tmp\\.")).isEmpty())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    int estadoA = -1, estadoB = -1;
    ::waitpid(a, &estadoA, 0);
    ::waitpid(b, &estadoB, 0);
    EXPECT_TRUE(WIFEXITED(estadoA) && WEXITSTATUS(estadoA) == 0);
    EXPECT_TRUE(WIFEXITED(estadoB) && WEXITSTATUS(estadoB) == 0);
    p.bd().Abre(p.ctx->ArchivoBD);
    for (const auto &[zip, miembro, eventos] : {std::tuple{primero, "BKUP0436.db", 1}, std::tuple{segundo, "BKUP2609.db", 1}}) {
        QString error;
        const QString copia = compartida.filePath(QString(miembro));
        ASSERT_TRUE(ExtraeMiembro(zip, miembro, copia, LimiteExtraccion, &error)) << qPrintable(error);
        BaseAdjunta leida(p.bd(), copia, "leida", true);
        EXPECT_EQ(p.Filas("PRAGMA leida.integrity_check") + p.Filas("SELECT count(*) FROM leida.D_EVENTO"),
                  (QStringList{"ok", QString::number(eventos)}));
    }
    EXPECT_EQ(QDir(compartida.path()).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
