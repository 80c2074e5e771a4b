#include "comun/ProgramaTemporal.h"
#include "platform/DialogoArchivos.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <string>

namespace {
const char *const VariableHijo = "VELMORAN_PRUEBA_HIJO";

// Cancels the next file dialog once it has listed its folder.
void CancelaAlListar()
{
    QTimer::singleShot(0, [] {
        auto *dialogo = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialogo, nullptr);
        auto *modelo = dialogo->findChild<QFileSystemModel *>();
        QObject::connect(modelo, &QFileSystemModel::directoryLoaded, dialogo,
                         [dialogo] { QTimer::singleShot(300, dialogo, &QDialog::reject); });
        QTimer::singleShot(5000, dialogo, &QDialog::reject);
    });
}

// The program: saves, shows both dialogs over Datos, and once told saves
// again and dies without closing anything.
void ProgramaHijo(const QString &archivo)
{
    BaseDatos bd;
    bd.Abre(archivo);
    bd.EjecutaAccion("INSERT INTO Guardados VALUES (1)");
    const QString datos = QFileInfo(archivo).absolutePath();
    CancelaAlListar();
    DialogoArchivosQt().Abrir("Seleccionar Archivo ...", datos, "Archivos Comprimidos (*.zip)");
    CancelaAlListar();
    DialogoArchivosQt().Guardar("Guardar en ...", datos, "VELMORAN.ZIP", "Archivos Comprimidos (*.zip)");
    std::cout << "\nDIALOGOS CERRADOS" << std::endl;
    std::string orden;
    std::getline(std::cin, orden);
    bd.EjecutaAccion("INSERT INTO Guardados VALUES (2)");
    std::raise(SIGKILL);
}
} // namespace

// A dialog over Datos must not read the working database: closing that read
// would drop SQLite's locks, the next reader would delete the live -wal and
// later saves would go into a deleted file.
TEST(DialogoArchivos, SobreDatosNoSueltaLosBloqueosDeLaBase)
{
    if (qEnvironmentVariableIsSet(VariableHijo))
        return ProgramaHijo(qEnvironmentVariable(VariableHijo));
    ProgramaTemporal p;
    p.AbreBase();
    p.Ejecuta("CREATE TABLE Guardados (n INTEGER)");
    p.bd().Cierra();

    QProcess hijo;
    qputenv(VariableHijo, p.ctx->ArchivoBD.toUtf8());
    hijo.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=DialogoArchivos.SobreDatosNoSueltaLosBloqueosDeLaBase"});
    qunsetenv(VariableHijo);
    QByteArray salida;
    while (!salida.contains("DIALOGOS CERRADOS") && hijo.waitForReadyRead(20000))
        salida += hijo.readAllStandardOutput();
    ASSERT_TRUE(salida.contains("DIALOGOS CERRADOS")) << salida.toStdString() << hijo.readAllStandardError().toStdString();

    // Another program reads the database and leaves.
    p.bd().Abre(p.ctx->ArchivoBD);
    EXPECT_EQ(p.Cuenta("Guardados"), 1);
    p.bd().Cierra();
    EXPECT_EQ(BloqueosPerdidos(p.ctx->ArchivoBD, hijo.processId()), "");
    hijo.write("graba\n");
    EXPECT_TRUE(hijo.waitForFinished(20000) && hijo.exitStatus() == QProcess::CrashExit);

    p.ctx->ConexionBD.Abre(p.ctx->ArchivoBD);
    EXPECT_EQ(p.Filas("SELECT n FROM Guardados ORDER BY n") + p.Filas("PRAGMA integrity_check"), QStringList({"1", "2", "ok"}));
}
