#include "comun/DialogoFijo.h"
#include "comun/Modales.h"
#include "comun/ProgramaTemporal.h"
#include "platform/ReportePintor.h"
#include "queries/ExportaConsulta.h"
#include "queries/TablaTrabajo.h"
#include "queries/frmQuery.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"
#include "tools/frmEnvio.h"
#include "tools/frmRecive.h"
#include "tools/frmRespaldarBase.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Every open of a database's file, its -wal and its -shm, as the kernel reports them.
class AperturasDeLaBase {
public:
    explicit AperturasDeLaBase(const QString &archivoBD) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        for (const char *lado : {"", "-wal", "-shm"})
            vigilados_ += inotify_add_watch(fd_, QFile::encodeName(archivoBD + lado).constData(), IN_OPEN) >= 0;
    }
    ~AperturasDeLaBase() { ::close(fd_); }
    int Vigilados() const { return vigilados_; }
    // The opens since the last call.
    int Cuenta()
    {
        int n = 0;
        alignas(inotify_event) char eventos[4096];
        for (ssize_t leidos; (leidos = ::read(fd_, eventos, sizeof eventos)) > 0;)
            for (char *e = eventos; e < eventos + leidos; e += sizeof(inotify_event) + reinterpret_cast<inotify_event *>(e)->len)
                n += (reinterpret_cast<inotify_event *>(e)->mask & IN_OPEN) != 0;
        return n;
    }

private:
    int fd_;
    int vigilados_ = 0;
};

// The user's home folder pointed elsewhere while it lives.
class CasaEn {
public:
    explicit CasaEn(const QString &carpeta) : habia_(qEnvironmentVariableIsSet("HOME")), antes_(qgetenv("HOME"))
    {
        qputenv("HOME", QFile::encodeName(carpeta));
    }
    ~CasaEn()
    {
        if (habia_)
            qputenv("HOME", antes_);
        else
            qunsetenv("HOME");
    }

private:
    bool habia_;
    QByteArray antes_;
};

} // namespace

// Every tool and export, done and failed, leaves the program's connection
// open with its locks held and its -wal and -shm live: a tool that closed a
// descriptor of the database of its own would let the next outside reader
// delete the live journal.
TEST(Bloqueos, CadaHerramientaConservaLosDeLaBase)
{
    ProgramaTemporal p;
    p.AbreBase();
    Contexto &ctx = *p.ctx;
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
              "VALUES ('DFSSA000012', 1, '2004-06-15', 'PEREZ', '2004-06-15')");
    // Links to the database under the names of a backup and of a package; a damaged package.
    const QString paquete = Envio(ctx).PaqueteEnvio, enlace = p.Carpeta() + "/Enlace/", danado = p.Carpeta() + "/" + paquete;
    QDir().mkpath(enlace);
    QFile::link(ctx.ArchivoBD, enlace + "R.zip");
    QFile::link(ctx.ArchivoBD, enlace + paquete);
    EscribeArchivo(danado, "x");
    DialogoFijo dialogo;
    const auto compacta = [&] { return CompactaBaseDatos(ctx, nullptr, {}); };
    const auto respalda = [&](const QString &zip) { return Respaldo(ctx, compacta).Respalda(zip); };
    const auto recibe = [&](const QString &zip) {
        Recepcion r(ctx);
        return r.Abre(zip) && r.Recibe(true, {});
    };
    const auto exporta = [&](FormatoExportacion f, const QString &ruta) {
        dialogo.ruta = ruta;
        p.Ejecuta("CREATE TEMP TABLE IF NOT EXISTS GENCONSUL AS SELECT Clues, Folio, fechaAtencion FROM D_EVENTO");
        return ExportaConsulta(ctx, dialogo, f, "GENCONSUL");
    };
    const auto genera = [&](const std::function<void()> &g, const QString &archivo) {
        g();
        return QFileInfo(QDir(ctx.CarpetaPrograma).filePath(archivo)).isFile();
    };
    const auto completa = [&](bool enBase) {
        ctx.TablaEnAccess = enBase;
        return genera([&] { GeneraTablaCompleta(ctx); }, enBase ? "TablaCompletaVELMORAN.db" : "TablaCompletaVELMORAN.xlsx");
    };
    const std::tuple<const char *, std::function<bool()>, bool> casos[] = {
        {"compactar", compacta, true},
        {"respaldar", [&] { return respalda(p.Carpeta() + "/R.zip"); }, true},
        {"respaldar sobre un enlace a la base", [&] { return respalda(enlace + "R.zip"); }, false},
        {"enviar", [&] { return Envio(ctx).GeneraEnvio(Envio::Seleccion{true, true, {}, {}, {}, {"cSexo"}}, ctx.RutaDatos + "/" + paquete); }, true},
        {"recibir", [&] { return recibe(ctx.RutaDatos + "/" + paquete); }, true},
        {"recibir un archivo dañado", [&] { return recibe(danado); }, false},
        {"recibir un enlace a la base", [&] { return recibe(enlace + paquete); }, false},
        {"tabla dinámica", [&] { return genera([&] { GeneraTablaDinamica(ctx); }, "TablaDinamicaVELMORAN.xlsx"); }, true},
        {"tabla completa en libro", [&] { return completa(false); }, true},
        {"tabla completa en base", [&] { return completa(true); }, true},
        {"tabla de consulta (detalles leídos por hilos)",
         [&] { return TablaTrabajo::ConstruyeGenConsul(ctx.ConexionBD, {"E.Folio", "V.CodTipoViolencia"}, {}) == 1; }, true},
        {"exportar a base", [&] { return exporta(FormatoExportacion::BaseDatos, ctx.RutaDatos + "/E.db"); }, true},
        {"exportar a libro", [&] { return exporta(FormatoExportacion::Excel, ctx.RutaDatos + "/E.xlsx"); }, true},
        {"exportar a dBase", [&] { return exporta(FormatoExportacion::Dbase, ctx.RutaDatos + "/E.dbf"); }, true},
        {"exportar sobre la base", [&] { return exporta(FormatoExportacion::BaseDatos, ctx.ArchivoBD); }, false},
    };
    for (const auto &[operacion, haz, hecha] : casos) {
        EXPECT_EQ(haz(), hecha) << operacion << ": " << p.mensajes.Ultimo().toStdString();
        ASSERT_TRUE(ctx.ConexionBD.EstaAbierta()) << operacion;
        EXPECT_EQ(BloqueosPerdidos(ctx.ArchivoBD), "") << operacion;
    }
    EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT count(*) FROM D_EVENTO"), QStringList({"ok", "1"}));
}

// Every window that can list a folder, shown over Datos and typed into as a
// user looking for a file there does, leaves the working database's files
// alone: only SQLite's own connection opens them, since closing any other
// descriptor of them drops SQLite's locks and the next outside reader deletes
// the live -wal. Qt's machinery that lists the home folder by itself lists
// Datos here.
TEST(Bloqueos, NadaQueListeCarpetasAbreLosArchivosDeLaBase)
{
    ProgramaTemporal p;
    p.AbreBase();
    Contexto &ctx = *p.ctx;
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
              "VALUES ('DFSSA000012', 1, '2004-06-15', 'PEREZ', '2004-06-15')");
    p.Ejecuta("CREATE TEMP TABLE GENCONSUL AS SELECT Clues, Folio, fechaAtencion FROM D_EVENTO");
    const CasaEn casa(ctx.RutaDatos);
    FuenteLista fuente({"nombre"}, {{"PRUEBA"}});
    const DocumentoReporte doc = MaquetaReporte(
        LeeDefinicionReporte(R"({"columnas": [{"campo": "nombre", "titulo": "NOMBRE", "ancho": 60}]})", "prueba"), {}, fuente,
        "Prueba");
    DialogoArchivosQt dialogoReal;
    int cajas = 0;   // boxes that complete paths, typed into
    const auto listaYCancela = [&](QWidget *w) {
        cajas += EscribeCarpeta(w, ctx.RutaDatos);
        Cancela(w);
    };
    // A window of the program: its button opens what lists the folder.
    const auto pulsa = [&](QDialog &ventana, QPushButton *boton) {
        ventana.show();
        AlAbrirse(listaYCancela);
        QTest::mouseClick(boton, Qt::LeftButton);
        ventana.close();
    };
    const auto enLaVista = [&](const QString &boton) {
        AlAbrirse([&](QWidget *vista) {
            for (QPushButton *b : vista->findChildren<QPushButton *>())
                if (b->text() == boton) {
                    AlAbrirse(listaYCancela);
                    QTest::mouseClick(b, Qt::LeftButton);
                }
            Cancela(vista);
        });
        MuestraVistaPrevia(doc, SalidaReporte{ctx.mensajes, nullptr, ctx.RutaDatos, {ctx.ArchivoBD}}, nullptr);
    };
    // Each window, and whether it has a name box (a file dialog does, the print dialog no longer).
    const std::tuple<const char *, std::function<void()>, bool> pasos[] = {
        {"vista previa: Imprimir...", [&] {
             p.mensajes.Responde(true);   // without a printer: "Guardar PDF" instead
             enLaVista("Imprimir...");
         }, QPrinterInfo::availablePrinterNames().isEmpty()},
        {"vista previa: Guardar PDF...", [&] { enLaVista("Guardar PDF..."); }, true},
        {"diálogo de impresión y sus propiedades", [&] {
             QPrinter impresora;
             const auto dialogo = DialogoImpresion(impresora, nullptr);
             AlAbrirse([&](QWidget *w) {
                 if (auto *propiedades = w->findChild<QPushButton *>("properties"); propiedades && propiedades->isVisible()) {
                     AlAbrirse(listaYCancela);
                     QTest::mouseClick(propiedades, Qt::LeftButton);
                 }
                 listaYCancela(w);
             });
             dialogo->exec();
         }, false},
        {"respaldo: Guardar en ...", [&] {
             frmRespaldarBase ventana(ctx, [] { return true; });
             pulsa(ventana, ventana.cmdRuta);
         }, true},
        {"envío: Cambiar Ruta...", [&] {
             frmEnvio ventana(ctx);
             pulsa(ventana, ventana.cmdRuta);
         }, true},
        {"recepción: Seleccionar Archivo ...", [&] {
             frmRecive ventana(ctx);
             pulsa(ventana, ventana.cmdRuta);
         }, true},
        {"exportar consulta", [&] {
             AlAbrirse(listaYCancela);
             ExportaConsulta(ctx, dialogoReal, FormatoExportacion::Excel, "GENCONSUL");
         }, true},
        {"cargar consulta", [&] {
             frmQuery ventana(ctx, dialogoReal, DestinoFiltro{});
             ventana.show();
             AlAbrirse(listaYCancela);
             ventana.CargaConsulta();
         }, true},
    };
    AperturasDeLaBase aperturas(ctx.ArchivoBD);
    ASSERT_EQ(aperturas.Vigilados(), 3);
    for (const auto &[paso, haz, conCaja] : pasos) {
        cajas = 0;
        haz();
        EXPECT_EQ(cajas > 0, conCaja) << paso;
        EXPECT_EQ(aperturas.Cuenta(), 0) << paso;
        EXPECT_EQ(BloqueosPerdidos(ctx.ArchivoBD), "") << paso;
        aperturas.Cuenta();   // the check's own, from a process of its own
    }
    p.Ejecuta("UPDATE D_EVENTO SET Paterno = 'LOPEZ'");
    EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT Paterno FROM D_EVENTO"), QStringList({"ok", "LOPEZ"}));
}
