#include "comun/ProgramaTemporal.h"
#include "tools/Bitacora.h"
#include "tools/frmBitacora.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList Columnas(QTableView *grid)
{
    QStringList c;
    for (int i = 0; i < grid->model()->columnCount(); ++i)
        c << grid->model()->headerData(i, Qt::Horizontal).toString();
    return c;
}

QStringList Filas(QTableView *grid)
{
    QStringList filas;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        QStringList f;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            f << grid->model()->index(r, c).data().toString();
        filas << f.join('|');
    }
    return filas;
}

class Bitacora : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase(); }
    void Registra(const RenglonBitacora &r) { RegistraBitacora(p.bd(), r, p.reloj.Ahora()); }
    ProgramaTemporal p;
};

TEST_F(Bitacora, CadaTipoEnSuGridConElArchivoYLaCarpetaReales)
{
    // An apostrophe in a path is a value like any other.
    Registra({TipoBitacora::Respaldo, "/media/O'Brien/VELMORAN0436_061226.ZIP", 12, 0, "", "", 0});
    Registra({TipoBitacora::Envio, "/tmp/envios/ENV.zip", 30, 2, "26/12/2003", "25/01/2004", 3});
    Registra({TipoBitacora::Envio, "/tmp/envios/SINPERIODO.zip", 0, 1, "", "", 5});
    Registra({TipoBitacora::Recepcion, "/tmp/Recive.zip", 0, 0, "", "", 4});

    frmBitacora ventana(*p.ctx);
    EXPECT_EQ(Filas(ventana.grdRespaldos), QStringList{"VELMORAN0436_061226.ZIP|/media/O'Brien/|06/12/2026 10:00:00"});
    EXPECT_EQ(Filas(ventana.grdEnvios), (QStringList{"ENV.zip|/tmp/envios/|06/12/2026 10:00:00|3|2|26/12/2003|25/01/2004|30",
                                                     "SINPERIODO.zip|/tmp/envios/|06/12/2026 10:00:00|5|1|||0"}));
    EXPECT_EQ(Filas(ventana.grdRecepciones), QStringList{"Recive.zip|/tmp/|06/12/2026 10:00:00|4|0|0"});
    EXPECT_EQ(p.Filas("SELECT UNIDADES IS NULL, FECHAINI IS NULL, CATALOGOS IS NULL FROM BITACORA WHERE TIPO=1"),
              QStringList{"1|1|1"});
}

TEST_F(Bitacora, BorrarVaciaLosTresGridsSinPreguntarYQuedanSusColumnas)
{
    Registra({TipoBitacora::Respaldo, "/tmp/R.ZIP", 1, 0, "", "", 0});
    Registra({TipoBitacora::Envio, "/tmp/E.zip", 1, 1, "", "", 1});
    Registra({TipoBitacora::Recepcion, "/tmp/R.zip", 1, 1, "", "", 1});
    frmBitacora ventana(*p.ctx);
    ventana.cmdLimpiar->click();
    for (QTableView *g : {ventana.grdRespaldos, ventana.grdEnvios, ventana.grdRecepciones})
        EXPECT_EQ(g->model()->rowCount(), 0);
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
    // The empty grids keep their columns.
    EXPECT_EQ(Columnas(ventana.grdRespaldos), (QStringList{"NOMBRE", "RUTA", "FECHA"}));
    EXPECT_EQ(Columnas(ventana.grdEnvios),
              (QStringList{"NOMBRE", "RUTA", "FECHA", "CATALOGOS", "UNIDADES", "FECHAINI", "FECHAFIN", "EVENTOS"}));
    EXPECT_EQ(Columnas(ventana.grdRecepciones),
              (QStringList{"NOMBRE", "RUTA", "FECHA", "CATALOGOS", "UNIDADES", "EVENTOS"}));
    EXPECT_EQ(ventana.windowTitle(), "frmBitacora");
}

TEST_F(Bitacora, EnterCierraSinBorrar)
{
    Registra({TipoBitacora::Respaldo, "/tmp/R.ZIP", 1, 0, "", "", 0});
    frmBitacora ventana(*p.ctx);
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    QTest::keyClick(&ventana, Qt::Key_Return);
    EXPECT_EQ(p.Cuenta("BITACORA"), 1);
    EXPECT_FALSE(ventana.isVisible());
}

// A picture for a person to look at; run with VELMORAN_CAPTURAS=<folder> under xvfb-run.
TEST_F(Bitacora, Captura)
{
    const QString carpeta = qEnvironmentVariable("VELMORAN_CAPTURAS");
    if (carpeta.isEmpty())
        GTEST_SKIP() << "VELMORAN_CAPTURAS no está puesta";
    Registra({TipoBitacora::Respaldo, p.ctx->RutaDatos + "/VELMORAN0436_061226.ZIP", 1250, 0, "", "", 0});
    Registra({TipoBitacora::Envio, "/home/captura/envios/ENV0436CLUES000001.zip", 310, 4, "26/12/2003", "25/06/2004", 3});
    Registra({TipoBitacora::Recepcion, p.ctx->RutaDatos + "/Recive.zip", 120, 2, "", "", 0});
    frmBitacora ventana(*p.ctx);
    ventana.show();
    QApplication::processEvents();
    EXPECT_TRUE(ventana.grab().save(QDir(carpeta).filePath("bitacora.png")));
}

} // namespace
