#include "Paquetes.h"

#include "platform/Empaque.h"
#include "tools/frmEnvio.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

struct CasoValida {
    const char *nombre, *ini, *fin;
    bool eventos;
    int unidades, tablas;
    const char *mensaje, *titulo;
    Envio::Foco foco;
};

const char *const Blanco = "__/__/____";
const CasoValida CasosValida[] = {
    {"FechaIniInvalida", "31/02/2004", Blanco, true, 1, 0, "Fecha de Inicio invalida, verifique por favor.....", "Valida Fecha", Envio::Foco::FechaIni},
    {"FechaFinInvalida", Blanco, "00/13/2004", true, 1, 0, "Fecha de Fin invalida, verifique por favor.....", "Valida Fecha", Envio::Foco::FechaFin},
    {"FinAntesDeInicio", "02/01/2004", "01/01/2004", true, 1, 0,
     "Fecha Inicial no puede ser mayor a Fecha Final, verifique por favor.....", "VELMORAN2016", Envio::Foco::FechaIni},
    {"EventosSinUnidad", Blanco, Blanco, true, 0, 1,
     "Debe seleccionar al menos una Unidad Médica de Eventos, verifique por favor.....", "VELMORAN2016", Envio::Foco::Unidades},
    {"NadaQueEnviar", Blanco, Blanco, false, 0, 0,
     "No ha seleccionado información para generar el envío, verifique por favor.....", "VELMORAN2016", Envio::Foco::Tablas},
    {"FechasIgualesPasan", "15/06/2004", "15/06/2004", true, 1, 0, "", "", Envio::Foco::Ninguno},
};

class ValidaEnvio : public Paquetes, public ::testing::WithParamInterface<CasoValida> {};

TEST_P(ValidaEnvio, MensajeYFoco)
{
    const CasoValida &c = GetParam();
    Envio::Seleccion s;
    s.eventos = c.eventos;
    s.unidades = QStringList(c.unidades, A + "  UNIDAD");
    s.tablas = QStringList(c.tablas, "cSexo");
    EXPECT_EQ(Envio(*p.ctx).ValidaEnvio(c.ini, c.fin, s), c.foco);
    EXPECT_EQ(p.mensajes.Ultimo(), QString::fromUtf8(c.mensaje));
    if (!p.mensajes.cajas.isEmpty()) {
        EXPECT_EQ(p.mensajes.cajas.last().titulo, QString::fromUtf8(c.titulo));
    }
}

INSTANTIATE_TEST_SUITE_P(Envio, ValidaEnvio, ::testing::ValuesIn(CasosValida),
                         [](const auto &i) { return std::string(i.param.nombre); });

// The events each unit and period choice sends, by unit and folio.
struct CasoMatriz {
    const char *nombre;
    bool todas;
    const char *ini, *fin;
    QStringList esperados;   // "A1": unit A, folio 1
};

const CasoMatriz CasosMatriz[] = {
    {"TodasSinPeriodo", true, "", "", {"A1", "A2", "B1", "X7"}},
    {"SoloA", false, "", "", {"A1", "A2"}},
    {"SoloADesdeJunio", false, "01/06/2004", "", {"A2"}},
    {"TodasHastaMarzo", true, "", "01/03/2004", {"A1", "X7"}},
    {"UnDia", true, "15/06/2004", "15/06/2004", {"A2", "B1"}},
    {"NadaEnElPeriodo", true, "01/01/2005", "", {}},
};

class MatrizEnvio : public Paquetes, public ::testing::WithParamInterface<CasoMatriz> {};

TEST_P(MatrizEnvio, ElPaqueteLlevaLosEventosYSusDetalles)
{
    const CasoMatriz &c = GetParam();
    QTemporaryDir dir;
    Envio::Seleccion s;
    s.eventos = true;
    s.todasUnidades = c.todas;
    s.unidades = QStringList{A + "  UNO", B + "  DOS"}.mid(0, c.todas ? 2 : 1);
    s.fechaIni = c.ini;
    s.fechaFin = c.fin;
    QString error;
    ASSERT_TRUE(ExtraeMiembro(Envia(s, dir.path()), "ENV0436.db", dir.filePath("r.db"), LimiteExtraccion, &error)) << qPrintable(error);
    BaseAdjunta recibido(p.bd(), dir.filePath("r.db"), "r", true);
    // The six tables hold exactly the sent events' rows.
    QStringList esperado;
    for (const QString &f : Contenido(p.bd()))
        for (const QString &k : c.esperados)
            if (!f.startsWith("cSexo") && f.section(": ", 1).startsWith((k[0] == 'A' ? A : k[0] == 'B' ? B : X) + "|" + k.mid(1) + "|"))
                esperado << f;
    EXPECT_EQ(Contenido(p.bd(), "r"), esperado);
    EXPECT_EQ(p.Filas("SELECT name FROM r.sqlite_master WHERE type = 'table'").size(), 6);
}

INSTANTIATE_TEST_SUITE_P(Envio, MatrizEnvio, ::testing::ValuesIn(CasosMatriz),
                         [](const auto &i) { return std::string(i.param.nombre); });

// The package's name is fixed (the round trip reads it back); only its folder is chosen.
TEST_F(Paquetes, NombreFijoSoloCambiaLaCarpeta)
{
    Envio envio(*p.ctx);
    EXPECT_EQ(envio.RutaElegida("/media/usb/otro.zip"), "/media/usb/ENVIO0436_061226VEL.ZIP");
    EXPECT_EQ(envio.RutaElegida(""), p.ctx->RutaDatos + "/ENVIO0436_061226VEL.ZIP");
}

TEST_F(Paquetes, VentanaEnviaSoloCatalogosYAnotaLaBitacoraDespuesDeEntregar)
{
    QTemporaryDir dir;
    frmEnvio ventana(*p.ctx);
    EXPECT_TRUE(ventana.chkTodasUnidades->isChecked());
    EXPECT_EQ(LineasMarcadas(ventana.lstUnidades).size(), 2);   // X is not in CATCLUES
    ventana.lstUnidades->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(ventana.chkTodasUnidades->isChecked());
    ventana.chkEventos->click();
    EXPECT_EQ(ventana.lstUnidades->count(), 0);
    ventana.lstTablas->findItems("cSexo", Qt::MatchExactly)[0]->setCheckState(Qt::Checked);
    ventana.PideRuta = [&](const QString &) { return dir.filePath("cualquiera.zip"); };
    ventana.cmdRuta->click();
    ventana.cmdAceptar->click();

    EXPECT_EQ(p.mensajes.Ultimo(), "El Envío se genero con la siguiente información....\n***     ***\n\n"
                                   "Eventos de VELMORAN y/o Violencias  = 0\nCatálogos     = 1");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Envíos VELMORAN");
    EXPECT_EQ(p.Filas("SELECT TIPO, NOMBRE, RUTA, UNIDADES, EVENTOS, FECHAINI, FECHAFIN, CATALOGOS FROM BITACORA"),
              QStringList{"2|ENVIO0436_061226VEL.ZIP|" + dir.path() + "/|0|0|||1"});
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("ENVIO0436_061226VEL.ZIP")));
}

TEST_F(Paquetes, UnaFallaNoDejaArchivosNiRenglon)
{
    Envio::Seleccion s;
    s.eventos = true;
    s.unidades = {A + "  UNO"};
    const QStringList antes = QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_FALSE(Envio(*p.ctx).GeneraEnvio(s, p.Carpeta() + "/no existe/ENVIO0436_061226VEL.ZIP"));
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo generar el Envío.\n\nNo existe la carpeta " + p.Carpeta() + "/no existe.");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Envío VELMORAN");
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), antes);
}

} // namespace
