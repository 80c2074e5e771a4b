#include "comun/ProgramaTemporal.h"
#include "tools/Bitacora.h"
#include "tools/frmBitacora.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

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

// Each kind in its grid with the archive's real file and folder; Enter closes
// keeping the rows; Borrar empties every grid without asking.
TEST(Bitacora, CadaTipoEnSuGridEnterCierraYBorrarVaciaSinPreguntar)
{
    ProgramaTemporal p;
    p.AbreBase();
    for (const RenglonBitacora &r : {RenglonBitacora{TipoBitacora::Respaldo, "/media/O'Brien/VELMORAN0436_061226.ZIP", 12, 0, "", "", 0},
                                     {TipoBitacora::Envio, "/tmp/envios/ENV.zip", 30, 2, "26/12/2003", "25/01/2004", 3},
                                     {TipoBitacora::Envio, "/tmp/envios/SINPERIODO.zip", 0, 1, "", "", 5},
                                     {TipoBitacora::Recepcion, "/tmp/Recive.zip", 0, 0, "", "", 4}})
        RegistraBitacora(p.bd(), r, p.reloj.Ahora());
    frmBitacora ventana(*p.ctx);
    EXPECT_EQ(Filas(ventana.grdRespaldos), QStringList{"VELMORAN0436_061226.ZIP|/media/O'Brien/|06/12/2026 10:00:00"});
    EXPECT_EQ(Filas(ventana.grdEnvios), (QStringList{"ENV.zip|/tmp/envios/|06/12/2026 10:00:00|3|2|26/12/2003|25/01/2004|30",
                                                     "SINPERIODO.zip|/tmp/envios/|06/12/2026 10:00:00|5|1|||0"}));
    EXPECT_EQ(Filas(ventana.grdRecepciones), QStringList{"Recive.zip|/tmp/|06/12/2026 10:00:00|4|0|0"});
    EXPECT_EQ(p.Filas("SELECT UNIDADES IS NULL, FECHAINI IS NULL, CATALOGOS IS NULL FROM BITACORA WHERE TIPO=1"),
              QStringList{"1|1|1"});
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    QTest::keyClick(&ventana, Qt::Key_Return);
    EXPECT_FALSE(ventana.isVisible());
    EXPECT_EQ(p.Cuenta("BITACORA"), 4);
    ventana.cmdLimpiar->click();
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
    // The empty grids keep their columns.
    for (const auto &[grid, columnas] : {std::pair{ventana.grdRespaldos, 3}, {ventana.grdEnvios, 8}, {ventana.grdRecepciones, 6}}) {
        EXPECT_EQ(grid->model()->rowCount(), 0);
        EXPECT_EQ(grid->model()->columnCount(), columnas);
    }
}

} // namespace
