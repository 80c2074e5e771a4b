#include "comun/ProgramaTemporal.h"
#include "comun/Teclado.h"
#include "shell/frmInicio.h"
#include "shell/frmParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Pasted lower case is refused as typed, not made upper case; a wrong
// password selects the user; Esc cancels and closes the connection.
TEST(Login, ClaveErroneaOPegadaSeRechazaYEscCancela)
{
    ProgramaTemporal p;
    p.AbreBase();
    auto login = std::make_unique<frmInicio>(*p.ctx);
    login->show();
    QApplication::setActiveWindow(login.get());
    login->txtUserName->setText("mirto");
    login->txtPassword->setText("mirto");
    login->cmdAccion[0]->click();
    login->txtUserName->clear();
    login->txtPassword->clear();
    Teclea(login->txtUserName, "MIRTO");
    Teclea(login->txtPassword, "OTRA");
    login->cmdAccion[0]->click();
    ASSERT_EQ(p.mensajes.cajas.size(), 2);
    EXPECT_EQ(p.mensajes.Ultimo() + "|" + p.mensajes.cajas[1].titulo,
              "Acceso Denegado, verifique Usuario y Contraseña por favor|Acceso - VELMORAN");
    EXPECT_TRUE(login->isVisible() && login->txtUserName->hasFocus());
    EXPECT_EQ(login->txtUserName->selectedText() + "|" + login->txtPassword->text(), "MIRTO|OTRA");
    EXPECT_TRUE(ValidaUsuario(" MIRTO ", "MIRTO  ") && !ValidaUsuario(QString(), QString()));   // blanks around do not count
    QTest::keyClick(login->txtUserName, Qt::Key_Escape);
    EXPECT_TRUE(login->result() == QDialog::Rejected && !p.ctx->ConexionBD.EstaAbierta());
}

class ParamTest : public ::testing::Test {
protected:
    // The window, on the working database opened first when `conBase`.
    void Abre(bool conBase = false)
    {
        if (conBase)
            p.AbreBase();
        ventana = std::make_unique<frmParamInicio>(*p.ctx);
        ventana->logica.ParamInicioPendiente = !p.ctx->ConexionBD.EstaAbierta();
        ventana->show();
        QApplication::setActiveWindow(ventana.get());
    }
    void Edita(const QString &estado, const QString &ano)
    {
        ventana->cmdAccion[2]->click();
        ventana->txtEstado->setText(estado);
        ventana->txtAno->setText(ano);
    }
    // Edits and presses Aceptar; `crear` answers the offer to create the database.
    void Acepta(const QString &estado, const QString &ano, std::optional<bool> crear = {})
    {
        Edita(estado, ano);
        if (crear)
            p.mensajes.Responde(*crear);
        ventana->cmdAccion[0]->click();
    }
    ProgramaTemporal p;
    std::unique_ptr<frmParamInicio> ventana;
};

TEST_F(ParamTest, AceptarRevisaLasCajasAunqueNoSeHayanVisitadoYSusLimites)
{
    Abre(true);
    const std::pair<const char *, const char *> casos[] = {{"0", "2004"}, {"", "2004"}, {"15", "1999"}, {"15", "2028"}, {"15", ""}, {"15", "20a4"}};
    for (const auto &[estado, ano] : casos) {
        p.mensajes.Limpia();
        ventana->logica.AplicaParamInicio(estado, ano);
        EXPECT_EQ(p.mensajes.cajas.size() == 1 ? p.mensajes.Ultimo() + "|" + p.mensajes.cajas[0].titulo : QString(),
                  (*estado == '1' ? "El año es incorrecto" : "El Estado no puede ser 0 (cero)") + QString("|Parámetros de Inicio"))
            << estado << "/" << ano;
    }
    EXPECT_TRUE(p.ctx->ConexionBD.EstaAbierta());   // nothing was touched
    // The limits of each box; the clock stands in 2026: next year's database may be opened already.
    EXPECT_TRUE(ventana->logica.ValidaEstado("1") && ventana->logica.ValidaEstado("99") && ventana->logica.ValidaAno("2000"));
    EXPECT_FALSE(ventana->logica.ValidaEstado("00"));
}

// A file there that does not open is never offered for creation; declined
// once, Cancelar ends the program; accepted, a one-digit state is padded and
// next year's base is made.
TEST_F(ParamTest, CreaLaBaseVaciaSoloSiFaltaYSiSeAcepta)
{
    const QString ajeno = p.ctx->NombreArchivoBD("16", "2026");
    ASSERT_TRUE(EscribeArchivo(ajeno, "eventos de otra instalacion"));
    Abre(true);
    Acepta("16", "2026");
    EXPECT_TRUE(p.mensajes.cajas.size() == 1 && !p.mensajes.cajas[0].pregunta && LeeArchivo(ajeno) == "eventos de otra instalacion");
    p.mensajes.Limpia();
    Acepta("15", "2026", false);
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo abrir la Base de Datos, por favor verifique sus datos.\n\n¿Desea crear la Base de Datos vacia?");
    EXPECT_TRUE(p.mensajes.cajas[0].pregunta && ventana->logica.ParamInicioPendiente && p.ajustes->Lee("EstadoActual").isNull());
    EXPECT_FALSE(QFileInfo::exists(p.ctx->NombreArchivoBD("15", "2026")) || p.ctx->ConexionBD.EstaAbierta());
    ventana->cmdAccion[1]->click();
    EXPECT_TRUE(ventana->TerminaPrograma());

    Abre();
    Acepta("5", "2027", true);
    EXPECT_TRUE(ventana->Abierta() && BaseDatos::EsBaseVelmoran(p.ctx->ConexionBD.Archivo()));
    EXPECT_EQ(QFileInfo(p.ctx->ConexionBD.Archivo()).fileName() + p.ajustes->Lee("EstadoActual") + p.ajustes->Lee("AnoActual"),
              "VELMORAN2705.db052027");
}

TEST_F(ParamTest, SinPlantillaOConPlantillaDanadaNoQuedaNadaYAlRepararlaSeCrea)
{
    const QString plantilla = p.ctx->ArchivoPlantilla(), ruta = p.ctx->NombreArchivoBD("09", "2026");
    const QByteArray sana = LeeArchivo(plantilla);
    const QStringList antes = QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden);
    ASSERT_TRUE(QFile::remove(plantilla));
    Abre();
    Acepta("9", "2026", true);
    EXPECT_TRUE(p.mensajes.Ultimo().startsWith("No se encontró la Base de Datos vacía ") && p.mensajes.cajas.last().titulo == "Parámetros de Inicio");
    EXPECT_FALSE(ventana->Abierta() || p.ctx->ConexionBD.EstaAbierta() || !ventana->logica.ParamInicioPendiente);
    for (const QByteArray &danada : {QByteArray("texto escrito encima"), sana.left(8192)}) {
        ASSERT_TRUE(EscribeArchivo(plantilla, danada));
        Acepta("9", "2026", true);
        EXPECT_EQ(p.mensajes.Ultimo(), QStringLiteral("No se pudo crear la Base de Datos %1:\nla Base de Datos vacía %2 está dañada; "
                                                      "reponga ese archivo, verifique por favor.....")
                                           .arg(QDir::toNativeSeparators(ruta), QDir::toNativeSeparators(plantilla)));
        EXPECT_TRUE(QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden) == antes && p.ajustes->Lee("EstadoActual").isNull());
    }
    ASSERT_TRUE(EscribeArchivo(plantilla, sana));
    Acepta("9", "2026", true);
    EXPECT_TRUE(ventana->Abierta() && BaseDatos::EsBaseVelmoran(ruta));
}

// Closes a folder to writing, also for root (which the permission bits do
// not stop): the immutable flag. False when it cannot.
bool SinEscritura(const QByteArray &ruta, bool si)
{
    if (geteuid() != 0)
        return chmod(ruta.constData(), si ? 0555 : 0755) == 0;
    const int fd = open(ruta.constData(), O_RDONLY | O_DIRECTORY);
    int banderas = 0;
    bool ok = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &banderas) == 0;
    banderas = si ? banderas | FS_IMMUTABLE_FL : banderas & ~FS_IMMUTABLE_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &banderas) == 0;
    if (fd >= 0)
        close(fd);
    return ok;
}

TEST_F(ParamTest, CarpetaDatosSinEscrituraSeNombraAlAbrirYAlCrear)
{
    p.CreaBase("15", "2026");
    const QString sinEscritura = QStringLiteral("No se puede escribir en la carpeta %1: esa carpeta debe permitir escritura, verifique por favor.....")
                                     .arg(QDir::toNativeSeparators(p.ctx->RutaDatos));
    if (!SinEscritura(QFile::encodeName(p.ctx->RutaDatos), true))
        GTEST_SKIP() << "no se pudo proteger la carpeta contra escritura";
    const auto deshace = qScopeGuard([&] { SinEscritura(QFile::encodeName(p.ctx->RutaDatos), false); });
    Abre();
    Acepta("15", "2026");
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo abrir la Base de Datos, por favor verifique sus datos.\n\n" + sinEscritura);
    const QStringList antes = QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden);
    Acepta("16", "2026", true);
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo crear la Base de Datos " + QDir::toNativeSeparators(p.ctx->NombreArchivoBD("16", "2026"))
                                       + ":\n" + sinEscritura);
    EXPECT_TRUE(QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden) == antes && !ventana->Abierta());
}

TEST_F(ParamTest, DesdeElMenuCierraLasVentanasHijasAntesDeMostrarse)
{
    p.AbreBase();
    mdiPrincipal principal(*p.ctx);
    principal.show();
    principal.Area()->addSubWindow(new QWidget)->show();
    int visibles = -1;
    QTimer::singleShot(0, [&] {
        if (auto *w = qobject_cast<frmParamInicio *>(QApplication::activeModalWidget())) {
            visibles = 0;
            for (QMdiSubWindow *s : principal.Area()->subWindowList())
                visibles += s->isVisible();
            w->reject();
        }
    });
    EXPECT_TRUE(MuestraParamInicio(*p.ctx, &principal, false));   // Cancelar, with the database open
    EXPECT_EQ(visibles, 0);
    EXPECT_TRUE(principal.isVisible() && p.ctx->ConexionBD.EstaAbierta());
}

// The stored settings shown; Enter edits them; only digits go in, and a full
// state box moves on to the year; Enter in a box beeps; Esc only closes.
TEST_F(ParamTest, EnterAlAbrirEditaYEnUnaCajaPitaYEscCancela)
{
    Abre(true);
    EXPECT_EQ(ventana->txtEstado->text() + "|" + ventana->txtAno->text() + "|" + QString::number(ventana->fraParamIni->isEnabled()),
              "36||0");   // no stored year: empty box
    QWidget *foco = QApplication::focusWidget();
    ASSERT_EQ(foco, ventana->cmdAccion[2]);   // not Cancelar: Enter must not close the window
    QTest::keyClick(foco, Qt::Key_Return);
    EXPECT_TRUE(ventana->isVisible() && ventana->fraParamIni->isEnabled() && ventana->txtEstado->hasFocus());
    EXPECT_TRUE(QTest::qWaitFor([this] { return ventana->txtEstado->selectedText() == "36"; }, 2000));
    Teclea(ventana->txtEstado, "a15");
    EXPECT_TRUE(ventana->txtEstado->text() == "15" && p.mensajes.beeps == 1 && ventana->txtAno->hasFocus());
    Teclea(ventana->txtAno, "2004");
    QTest::keyClick(ventana->txtAno, Qt::Key_Return);
    QTest::keyClick(ventana->txtEstado, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(p.mensajes.beeps, 3);
    EXPECT_TRUE(ventana->isVisible() && !ventana->Abierta() && p.ajustes->Lee("EstadoActual").isNull());   // nothing applied
    QTest::keyClick(ventana->txtAno, Qt::Key_Escape);   // no failure: it only closes
    EXPECT_FALSE(ventana->isVisible() || ventana->TerminaPrograma() || !p.ctx->ConexionBD.EstaAbierta());
}

// Leaving a box out of range says so once and takes the focus back, even
// when the box the focus went to is out of range too.
TEST_F(ParamTest, CajasFueraDeRangoAvisanAlSalirSinDevolverseElFocoSinFin)
{
    Abre(true);
    Edita("0", QString());
    ventana->txtEstado->setFocus();
    QTest::mouseClick(ventana->txtAno, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return ventana->txtEstado->hasFocus(); }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(p.mensajes.cajas.size() == 1 ? p.mensajes.Ultimo() : QString(), "El Estado no puede ser 0 (cero)");
    EXPECT_TRUE(ventana->txtEstado->hasFocus());
    Edita("15", "1999");
    ventana->txtAno->setFocus();
    QTest::keyClick(ventana->txtAno, Qt::Key_Tab);
    EXPECT_EQ(p.mensajes.cajas.size() == 2 ? p.mensajes.Ultimo() : QString(), "El año es incorrecto");
    EXPECT_TRUE(QTest::qWaitFor([this] { return ventana->txtAno->hasFocus(); }, 2000));
}

} // namespace
