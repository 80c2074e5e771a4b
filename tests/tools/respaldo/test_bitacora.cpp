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
                                     {TipoBitacora::Recepcion, "/tmp/Recive.zip", 0, 0, "", "", 4}})
        RegistraBitacora(p.bd(), r, p.reloj.Ahora());
    frmBitacora ventana(*p.ctx);
    EXPECT_EQ(Filas(ventana.grdRespaldos) + Filas(ventana.grdEnvios) + Filas(ventana.grdRecepciones),
              (QStringList{"VELMORAN0436_061226.ZIP|/media/O'Brien/|06/12/2026 10:00:00",
                           "ENV.zip|/tmp/envios/|06/12/2026 10:00:00|3|2|26/12/2003|25/01/2004|30", "Recive.zip|/tmp/|06/12/2026 10:00:00|4|0|0"}));
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    QTest::keyClick(&ventana, Qt::Key_Return);
    EXPECT_FALSE(ventana.isVisible());
    EXPECT_EQ(p.Cuenta("BITACORA"), 3);
    ventana.cmdLimpiar->click();
    EXPECT_EQ(p.Cuenta("BITACORA") + ventana.grdRespaldos->model()->rowCount() + ventana.grdEnvios->model()->rowCount(), 0);
}

} // namespace
