#include "Paquetes.h"

#include "platform/Empaque.h"
#include "tools/frmEnvio.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

TEST_F(Paquetes, ValidaEnvioDiceQueFaltaYDondeVolver)
{
    using F = Envio::Foco;
    const QString b = "__/__/____";
    const struct {
        QString ini, fin;
        bool eventos;
        int unidades, tablas;
        const char *mensaje, *titulo;   // ", verifique por favor....." follows the message
        F foco;
    } casos[] = {
        {"31/02/2004", b, true, 1, 0, "Fecha de Inicio invalida", "Valida Fecha", F::FechaIni},
        {b, "00/13/2004", true, 1, 0, "Fecha de Fin invalida", "Valida Fecha", F::FechaFin},
        {"02/01/2004", "01/01/2004", true, 1, 0, "Fecha Inicial no puede ser mayor a Fecha Final", "VELMORAN2016", F::FechaIni},
        {b, b, true, 0, 1, "Debe seleccionar al menos una Unidad Médica de Eventos", "VELMORAN2016", F::Unidades},
        {b, b, false, 0, 0, "No ha seleccionado información para generar el envío", "VELMORAN2016", F::Tablas},
        {"15/06/2004", "15/06/2004", true, 1, 0, nullptr, nullptr, F::Ninguno},
    };
    for (const auto &c : casos) {
        p.mensajes.Limpia();
        Envio::Seleccion s{c.eventos, true, QStringList(c.unidades, A + "  UNIDAD"), {}, {}, QStringList(c.tablas, "cSexo")};
        EXPECT_EQ(Envio(*p.ctx).ValidaEnvio(c.ini, c.fin, s), c.foco) << c.ini.toStdString();
        EXPECT_EQ(p.mensajes.Ultimo(), c.mensaje ? QString::fromUtf8(c.mensaje) + ", verifique por favor....." : QString());
        EXPECT_EQ(p.mensajes.Titulos(), c.titulo ? QStringList{c.titulo} : QStringList());
    }
}

// The events each unit and period choice sends ("A1": unit A, folio 1), each with its details.
TEST_F(Paquetes, ElPaqueteLlevaLosEventosElegidosConSusDetalles)
{
    const struct {
        bool todas;
        const char *ini, *fin;
        QStringList esperados;
    } casos[] = {
        {true, "", "", {"A1", "A2", "B1", "X7"}},
        {false, "", "", {"A1", "A2"}},
        {true, "", "01/03/2004", {"A1", "X7"}},
        {true, "15/06/2004", "15/06/2004", {"A2", "B1"}},
    };
    QTemporaryDir dir;
    for (const auto &c : casos) {
        Envio::Seleccion s{true, c.todas, QStringList{A + "  UNO", B + "  DOS"}.mid(0, c.todas ? 2 : 1), c.ini, c.fin, {}};
        QString error;
        QFile::remove(dir.filePath("r.db"));
        ASSERT_TRUE(ExtraeMiembro(Envia(s, dir.path()), "ENV0436.db", dir.filePath("r.db"), LimiteExtraccion, &error)) << qPrintable(error);
        BaseAdjunta recibido(p.bd(), dir.filePath("r.db"), "r", true);
        QStringList esperado;
        for (const QString &f : Contenido(p.bd()))
            for (const QString &k : c.esperados)
                if (!f.startsWith("cSexo") && f.section(": ", 1).startsWith((k[0] == 'A' ? A : k[0] == 'B' ? B : X) + "|" + k.mid(1) + "|"))
                    esperado << f;
        EXPECT_EQ(Contenido(p.bd(), "r"), esperado);
    }
}

// The package's name is fixed (the round trip reads it back); only its folder is chosen.
TEST_F(Paquetes, NombreFijoSoloCambiaLaCarpeta)
{
    Envio envio(*p.ctx);
    EXPECT_EQ(envio.RutaElegida("/media/usb/otro.zip"), "/media/usb/ENVIO0436_061226VEL.ZIP");
    EXPECT_EQ(envio.RutaElegida(""), p.ctx->RutaDatos + "/ENVIO0436_061226VEL.ZIP");
}

TEST_F(Paquetes, VentanaEnviaSoloCatalogosYAnotaLaBitacoraDespuesDeEntregar)
{
    frmEnvio ventana(*p.ctx);
    EXPECT_EQ(LineasMarcadas(ventana.lstUnidades).size(), 2);   // X is not in CATCLUES
    ventana.lstUnidades->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(ventana.chkTodasUnidades->isChecked());
    ventana.chkEventos->click();
    ventana.lstTablas->findItems("cSexo", Qt::MatchExactly)[0]->setCheckState(Qt::Checked);
    ventana.cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Ultimo(), "El Envío se genero con la siguiente información....\n***     ***\n\n"
                                   "Eventos de VELMORAN y/o Violencias  = 0\nCatálogos     = 1");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Envíos VELMORAN");
    EXPECT_EQ(p.Filas("SELECT TIPO, NOMBRE, RUTA, UNIDADES, EVENTOS, FECHAINI, FECHAFIN, CATALOGOS FROM BITACORA"),
              QStringList{"2|ENVIO0436_061226VEL.ZIP|" + p.ctx->RutaDatos + "/|0|0|||1"});
}

TEST_F(Paquetes, UnaFallaNoDejaArchivosNiRenglon)
{
    const QStringList antes = QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_FALSE(Envio(*p.ctx).GeneraEnvio({true, true, {}, {}, {}, {}}, p.Carpeta() + "/no existe/ENVIO0436_061226VEL.ZIP"));
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo generar el Envío.\n\nNo existe la carpeta " + p.Carpeta() + "/no existe.");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Envío VELMORAN");
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), antes);
}

} // namespace
