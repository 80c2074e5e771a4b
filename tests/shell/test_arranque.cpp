#include "comun/ProgramaTemporal.h"
#include "platform/InstanciaUnica.h"
#include "shell/PanelTexto.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"
#include "shell/modGeneral.h"
#include "shell/modPrincipal.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QStatusBar>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class VentanasFalsas : public VentanasArranque {
public:
    bool Login() override { ++logins; return aceptaLogin; }
    bool ParamInicio() override { ++parametros; return alParametros && alParametros(); }
    int logins = 0, parametros = 0;
    bool aceptaLogin = true;
    std::function<bool()> alParametros;
};

class ArranqueTest : public ::testing::Test {
protected:
    bool Arranca() { return Main(*p.ctx, instancia, principal, ventanas, QSize(1024, 768)); }
    ProgramaTemporal p;
    QTemporaryDir candados;
    InstanciaUnica instancia{candados.path()};
    mdiPrincipal principal{*p.ctx};
    VentanasFalsas ventanas;
};

const QString MensajeNombreIncorrecto = "El nombre de la Base de Datos es incorrecto\npor favor ingrese el nombre correcto ";

// The year left blank takes 2004; the state panel names a state of the catalog or only the year.
TEST_F(ArranqueTest, AjustesEnBlancoTomanLosValoresPorOmisionYElPanelLosNombra)
{
    p.ajustes->Escribe("AnoActual", "   ");
    p.ajustes->Escribe("EstadoActual", "09");
    p.CreaBase("09", "2004");
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD).fileName(), "VELMORAN0409.db");
    EXPECT_EQ(ventanas.logins * 10 + ventanas.parametros, 10);
    EXPECT_EQ(principal.Panel(2)->text(), p.Valor("SELECT Descripcion FROM cEstados WHERE CodEstado = '09'").toString() + " - 2004");
    EXPECT_TRUE(p.mensajes.cajas.isEmpty() && principal.isVisible() && !principal.TieneFondo());   // no picture: none, nothing said
    EXPECT_EQ(TextoEstadoAno(p.bd(), "77", "2004"), "2004");
    principal.close();
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta());
    EXPECT_EQ(TextoEstadoAno(p.bd(), "09", "2004"), "2004");
}

TEST_F(ArranqueTest, BaseFaltanteLlevaALosParametrosYSigue)
{
    ventanas.alParametros = [this] {
        // The user creates the database from the start-parameter window.
        p.mensajes.Responde(true);
        return ParamInicio(*p.ctx).AplicaParamInicio("15", "2026") == ParamInicio::Resultado::Abierta;
    };
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(p.mensajes.cajas.value(0).texto + "|" + p.mensajes.cajas.value(0).titulo, MensajeNombreIncorrecto + "|Parámetros del sistema");
    EXPECT_EQ(ventanas.parametros * 10 + ventanas.logins, 11);
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD).fileName() + p.ajustes->Lee("EstadoActual"), "VELMORAN2615.db15");
}

// Every failed open asks again; a file that is there but is no database gets
// its reason after the message of a wrong name, and is never touched.
TEST_F(ArranqueTest, CadaFalloVuelveAPedirLosParametrosYNoTocaUnArchivoAjeno)
{
    const QString ruta = p.ctx->NombreArchivoBD("36", "2004");
    ASSERT_TRUE(EscribeArchivo(ruta, "datos ajenos"));
    ventanas.alParametros = [this] { return ventanas.parametros < 3; };   // closes twice, then gives up
    EXPECT_FALSE(Arranca());
    EXPECT_EQ(ventanas.parametros * 10 + p.mensajes.cajas.size(), 33);
    for (const auto &c : p.mensajes.cajas)
        EXPECT_EQ(c.texto, MensajeNombreIncorrecto + "\n\nEl archivo " + ruta + " no es una Base de Datos de VELMORAN");
    EXPECT_FALSE(ventanas.logins || principal.isVisible());
    EXPECT_EQ(LeeArchivo(ruta), "datos ajenos");
}

TEST_F(ArranqueTest, SegundaInstanciaOLoginCanceladoTerminanSinBaseAbierta)
{
    p.CreaBase();
    {
        InstanciaUnica otra(candados.path());
        ASSERT_TRUE(otra.Adquiere());
        EXPECT_FALSE(Arranca());
        EXPECT_EQ(p.mensajes.Ultimo() + "|" + p.mensajes.cajas.value(0).titulo, "La aplicacion VELMORAN ya se encuentra activa|VELMORAN");
    }
    ventanas.aceptaLogin = false;
    EXPECT_FALSE(Arranca());
    EXPECT_EQ(ventanas.logins, 1);   // once: not on the refused start
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta() || principal.isVisible());
}

TEST_F(ArranqueTest, ElIconoDeRecursosLoLlevanTodasLasVentanas)
{
    p.CreaBase();
    QImage rojo(16, 16, QImage::Format_RGB32);
    rojo.fill(Qt::red);
    ASSERT_TRUE(QDir().mkpath(p.Carpeta() + "/RECURSOS") && rojo.save(ArchivoIcono(p.ctx->CarpetaRecursos()), "PNG"));
    ASSERT_TRUE(Arranca());
    QWidget hija;
    EXPECT_EQ(hija.windowIcon().pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QApplication::setWindowIcon(QIcon());
}

TEST(ImagenFondo, AmbosLimitesDebenCumplirse)
{
    EXPECT_TRUE(ImagenFondo("/p/RECURSOS", QSize(1024, 768)).endsWith("RECURSOS/TELMORIX1024.jpg"));
    EXPECT_TRUE(ImagenFondo("/p/RECURSOS", QSize(1280, 720)).endsWith("RECURSOS/TELMORIX800.jpg"));
}

// The misspelt menu caption opens the catalog under its right title.
TEST(MenuPrincipal, TituloDelProgramaYCadaMenuDeCatalogoAbreSuTabla)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    EXPECT_EQ(m.windowTitle(), "Sistema VELMORAN");
    QStringList abiertos;
    m.AsignaCargaCatalogo([&abiertos](const QString &t, const QString &c, const QString &titulo) { abiertos << t + '|' + c + '|' + titulo; });
    m.Item("mnuCat", 14)->trigger();
    m.Item("mnuCat", 21)->trigger();
    EXPECT_EQ(abiertos, (QStringList{"cSitio|CodSitio|Sitio de Ocurrencia", "cReferido|CodReferido|Usuario Referido por"}));
}

TEST(MenuPrincipal, UnErrorDeBaseEnUnMenuSeMuestraYNoTerminaElPrograma)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    m.AsignaAccion("mnuHerra", 1, [] { throw ErrorBD(5, "database is locked"); });
    EXPECT_NO_THROW(m.Item("mnuHerra", 1)->trigger());
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.cajas[0].texto + "|" + p.mensajes.cajas[0].titulo, "5 - database is locked|Sistema VELMORAN");
    EXPECT_EQ(p.mensajes.cajas[0].icono, Mensajes::Icono::Informacion);
}

// A tool's long stage text, as the flat table writes it into a deep folder:
// at the main window's own size the state and year stay whole beside it, and
// the count keeps its end; the path gives up its middle.
TEST(BarraEstado, TextoLargoDejaEntidadYAnoEnterosYLaCuentaCompleta)
{
    ProgramaTemporal p;
    p.AbreBase("09", "2026");
    p.ctx->EstadoActual = "09";
    p.ctx->AnoActual = "2026";
    mdiPrincipal m(*p.ctx);
    m.MuestraEstadoAno();
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    const QString ruta = "/home/capturista/Documentos/Programas Estatales/Captura 2026/VELMORAN/TablaCompletaVELMORAN.xlsx";
    {
        Progreso trabajo = p.ctx->Trabajo("Escribiendo la Tabla Completa en " + ruta + ": registros");
        trabajo.Cuenta(143360, 300000);
    }
    QApplication::processEvents();
    QLabel *mensajes = m.Panel(1), *entidad = m.Panel(2);
    EXPECT_EQ(mensajes->text(), "Escribiendo la Tabla Completa en " + ruta + ": registros 143,360 de 300,000");
    EXPECT_EQ(entidad->text(), p.Valor("SELECT Descripcion FROM cEstados WHERE CodEstado = '09'").toString() + " - 2026");
    EXPECT_EQ(m.size(), QSize(1024, 740));

    // Panel 2 whole, in the bar, clear of panel 1.
    EXPECT_TRUE(entidad->isVisible());
    EXPECT_GE(entidad->contentsRect().width() - 2 * entidad->margin(), entidad->fontMetrics().horizontalAdvance(entidad->text()));
    EXPECT_TRUE(m.statusBar()->rect().contains(entidad->geometry()));
    EXPECT_LT(mensajes->geometry().right(), entidad->geometry().left());

    // Panel 1 shows what fits its room: the count whole, the file named.
    const QString visto = dynamic_cast<PanelTexto &>(*mensajes).TextoMostrado();
    EXPECT_LE(mensajes->fontMetrics().horizontalAdvance(visto), mensajes->contentsRect().width() - 2 * mensajes->margin());
    EXPECT_TRUE(visto.startsWith("Escribiendo la Tabla Completa en /")) << visto.toStdString();
    EXPECT_TRUE(visto.endsWith("/TablaCompletaVELMORAN.xlsx: registros 143,360 de 300,000")) << visto.toStdString();
    EXPECT_TRUE(visto.contains("…")) << visto.toStdString();
}

// How a text is shortened: whole when it fits; the count kept, the path's
// folders cut in their middle; without a path, what comes before the count
// loses its end.
TEST(BarraEstado, TextoAjustadoGuardaLaCuentaYElNombreDelArchivo)
{
    const QFontMetrics fm(QApplication::font());
    auto ancho = [&fm](const QString &t) { return fm.horizontalAdvance(t); };
    EXPECT_EQ(TextoAjustado("Listo.....", fm, ancho("Listo.....")), "Listo.....");

    const QString conRuta = "Exportando la consulta a /datos/estatal/2026/respaldos/Consulta.xlsx: registros 12,345 de 99,999";
    const QString corto = TextoAjustado(conRuta, fm, ancho(conRuta) - ancho("estatal/2026"));
    EXPECT_LE(ancho(corto), ancho(conRuta) - ancho("estatal/2026"));
    EXPECT_TRUE(corto.startsWith("Exportando la consulta a /d")) << corto.toStdString();
    EXPECT_TRUE(corto.contains("…")) << corto.toStdString();
    EXPECT_TRUE(corto.endsWith("/Consulta.xlsx: registros 12,345 de 99,999")) << corto.toStdString();

    // No room for the file's name either: the whole path gives up its middle.
    const QString sinNombre = TextoAjustado(conRuta, fm, ancho("Exportando la consulta a /d…sx: registros 12,345 de 99,999"));
    EXPECT_TRUE(sinNombre.startsWith("Exportando la consulta a /") && sinNombre.endsWith("sx: registros 12,345 de 99,999")
                && !sinNombre.contains("Consulta.xlsx")) << sinNombre.toStdString();

    // No room even for the whole path's folders: the head gives way, never the count.
    const QString estrecho = TextoAjustado(conRuta, fm, ancho("Exportando … 12,345 de 99,999"));
    EXPECT_TRUE(estrecho.endsWith(" 12,345 de 99,999")) << estrecho.toStdString();
    EXPECT_LE(ancho(estrecho), ancho("Exportando … 12,345 de 99,999"));

    const QString sinRuta = "Generando la Tabla Completa: eventos 1,000,000";
    const QString cortado = TextoAjustado(sinRuta, fm, ancho("Generando la T… 1,000,000"));
    EXPECT_TRUE(cortado.startsWith("Generando") && cortado.endsWith("… 1,000,000")) << cortado.toStdString();
    const QString sinCuenta = "Generando la consulta, un momento por favor.....";
    EXPECT_EQ(TextoAjustado(sinCuenta, fm, ancho("Generando la co…")), fm.elidedText(sinCuenta, Qt::ElideRight, ancho("Generando la co…")));
}

TEST(ValidaFecha, VeredictoYAviso)
{
    // Text, valid, and whether it beeps and says "Fecha invalida, verifique por favor.....".
    const std::tuple<const char *, bool, bool> casos[] = {
        {"29/02/2004", true, false}, {"29/02/2003", false, true}, {"30/02/2004", false, false}, {"15/13/2004", false, false},
        {"01/01/1899", false, false}, {"1/1/2004", false, false}, {"00/01/2004", false, true}, {"__/__/____", false, false},
        // The upper bound is the current year of the clock, not a fixed one.
        {"AB/01/2004", false, true}, {"06/12/2026", true, false}, {"01/01/2027", false, false},
    };
    RelojFijo reloj(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
    for (const auto &[texto, valida, avisa] : casos) {
        MensajesFalsos m;
        const bool dada = ValidaFecha(QString::fromUtf8(texto), m, reloj);
        EXPECT_EQ(QStringLiteral("%1 %2 %3|%4").arg(dada).arg(m.beeps).arg(m.Ultimo(), m.cajas.value(0).titulo),
                  QStringLiteral("%1 %2 ").arg(valida).arg(int(avisa)) + (avisa ? "Fecha invalida, verifique por favor.....|Valida Fecha" : "|"))
            << texto;
    }
}

TEST(ConversionesDeTexto, EnteroDesdeLaIzquierdaYFechaIso)
{
    EXPECT_EQ(QStringLiteral("%1 %2 %3").arg(ValorEntero("12.7X")).arg(ValorEntero("-4")).arg(ValorEntero("A1")), "12 -4 0");
    EXPECT_EQ(FechaSQL("5/1/2004") + "|" + FechaSQL(QString()) + "|" + FechaSQL("31/02/2004"), "2004-01-05||31/02/2004");
}

// A work table or view whose name holds a double quote is dropped as any
// other, now and when the guard goes; a table of that name in the database stays.
TEST(TablasTemporales, NombreConComillasSeBorraEntero)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString tabla = "PASO\"X", vista = "VISTA \"Y\"";
    auto temporales = [&p] { return p.Filas("SELECT name FROM sqlite_temp_master ORDER BY name").join('|'); };
    p.Ejecuta("CREATE TABLE main." + CitaNombre(tabla) + " (a)");
    {
        TablasTemporales trabajo(p.bd());
        for (int vuelta = 0; vuelta < 2; ++vuelta) {
            p.Ejecuta("CREATE TEMP TABLE " + CitaNombre(tabla) + " (a)");
            p.Ejecuta("CREATE TEMP VIEW " + CitaNombre(vista) + " AS SELECT a FROM temp." + CitaNombre(tabla));
            ASSERT_EQ(temporales(), "PASO\"X|VISTA \"Y\"");
            // Each is dropped now, to be built again.
            trabajo.AgregaVista(vista);
            trabajo.Agrega(tabla);
            EXPECT_EQ(temporales(), "") << vuelta;
        }
        p.Ejecuta("CREATE TEMP TABLE " + CitaNombre(tabla) + " (a)");
    }
    EXPECT_EQ(temporales(), "");
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master WHERE name = ?", {tabla}), QStringList{tabla});
}

} // namespace
