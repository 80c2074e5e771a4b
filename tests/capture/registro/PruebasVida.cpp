// The record life without a window: opening, browsing, adding, editing,
// saving, cancelling and deleting, as the toolbar and the keys drive them.
#include "AmbienteRegistro.h"

#include "platform/BaseDatos.h"

namespace {

const QString Continuar = "Registro Guardado, ¿Continuar Captura?";
const QString Vacia = "__/__/____";

class RegistroVida : public AmbienteRegistro {
protected:
    // Three events stored out of order; the sheet shows them by CLUES and Folio.
    void TresEventos()
    {
        Inserta("DFSSA000012", 1, "2004-03-01", true);
        Inserta("DFQRV000015", 2, "2004-03-02");
        Inserta("DFQRV000015", 1, "2004-03-03");
    }
    int MarcosAbiertos()
    {
        int n = 0;
        for (Marco m : {Marco::Clues, Marco::Afectado, Marco::Domicilio, Marco::Evento, Marco::Accidente, Marco::Agresor, Marco::Atencion, Marco::Responsable})
            n += Hoja().MarcoHabilitado(m) ? 1 : 0;
        return n;
    }
    // Saves the valid event on the open sheet, answering `continua` to going on.
    void Graba(bool continua = false)
    {
        CapturaValida();
        Msj().Responde(continua);
        Vida().BotonPulsado(8);
        ASSERT_EQ(Msj().Ultimo(), Continuar);
    }
    void EsperaNavegando()
    {
        EXPECT_FALSE(Hoja().EnAlta || Hoja().EnCambio || Vida().ModoBarra() != 2 || MarcosAbiertos() != 0);
    }
    void EsperaHojaVacia()
    {
        EXPECT_EQ(Folio() + Hoja().Texto(29), QString());
        EXPECT_EQ(Hoja().Fecha(0) + Hoja().Fecha(1), Vacia + Vacia);
        for (int l = 0; l < 5; ++l)
            EXPECT_EQ(Hoja().CodigosMarcados(ListaHoja(l)), QStringList()) << l;
        EXPECT_EQ(Titulo(), TituloEsperado(0, 0, 0));
    }
};

TEST_F(RegistroVida, AbreSobreUnaBaseVaciaYUnaCluesDesconocidaAbreLaLista)
{
    QStringList panel;
    prog.ctx->PanelMensajes = [&panel](const QString &t) { panel << t; };
    Vida().Abre();
    EXPECT_EQ(panel, QStringList({"Un momento por favor.....", "Listo....."}));
    EsperaHojaVacia();
    EXPECT_FALSE(Vida().HayEventos());
    // Only the care types below 7.
    EXPECT_TRUE(Hoja().Elementos(ListaHoja::Derechohabiencia).size() == 11 && Hoja().Elementos(ListaHoja::TipoAtencion).size() == 6);
    // First and last beep; editing and deleting do nothing, with no question.
    for (int boton : {1, 4, 6, 11, 2, 3})
        Vida().BotonPulsado(boton);
    EXPECT_TRUE(Msj().beeps == 2 && Msj().cajas.isEmpty());
    EsperaNavegando();
    // "Altas" with no event shown proposes no CLUES.
    Vida().BotonPulsado(5);
    EXPECT_EQ(Clues(), QString());
    Vida().BotonPulsado(9);
    // Not 11 characters once trimmed: not looked up.
    Vida().UltimaClues = "XXSSA99999 ";
    Vida().AgregarEvento();
    EXPECT_TRUE(abiertas.isEmpty() && Hoja().CampoHabilitado(23));
    Vida().BotonPulsado(9);
    // A CLUES of 11 characters missing from the catalog: greyed, pick-list opened.
    Vida().UltimaClues = "XXSSA999999";
    cluesElegida = "DFSSA000012";
    Vida().AgregarEvento();
    EXPECT_EQ(abiertas, QStringList({"Clues"}));
    EXPECT_TRUE(!Hoja().CampoHabilitado(23) && Clues() == "DFSSA000012");
    // The unit catalog cannot be read: a beep, and the CLUES neither greyed nor picked.
    Vida().BotonPulsado(9);
    abiertas.clear();
    prog.Ejecuta("ALTER TABLE CATCLUES RENAME TO CATCLUES_VIEJO");
    Vida().UltimaClues = "DFSSA000012";
    Vida().AgregarEvento();
    EXPECT_TRUE(Msj().beeps == 3 && Msj().cajas.isEmpty() && abiertas.isEmpty() && Hoja().CampoHabilitado(23) && Clues() == "DFSSA000012");
}

// Each step: the button pressed, the event shown after it, beeps so far.
TEST_F(RegistroVida, RecorreEnOrdenDeCluesYFolioHastaAmbosExtremos)
{
    TresEventos();
    Vida().Abre();
    EXPECT_EQ(QStringList({Hoja().Fecha(1), Hoja().Etiqueta(1), Hoja().Etiqueta(28)}), QStringList({"03/03/2004", "MARZO", "HOSPITAL GENERAL DE ZONA QUIRVAL 1-A"}));
    EsperaNavegando();
    const struct {
        int boton, posicion;
        const char *clues;
        int folio, pitidos;
    } pasos[] = {
        {0, 1, "DFQRV000015", 1, 0}, {2, 1, "DFQRV000015", 1, 1},   // before the first: beep, first again
        {3, 2, "DFQRV000015", 2, 1}, {3, 3, "DFSSA000012", 1, 1}, {3, 3, "DFSSA000012", 1, 2},   // past the last: the same
        {1, 1, "DFQRV000015", 1, 2}, {4, 3, "DFSSA000012", 1, 2}, {2, 2, "DFQRV000015", 2, 2},
    };
    for (const auto &p : pasos) {
        if (p.boton)
            Vida().BotonPulsado(p.boton);
        EXPECT_EQ(QStringList({Titulo(), Clues() + Folio(), Hoja().Texto(29), QString::number(Msj().beeps)}),
                  QStringList({TituloEsperado(p.posicion, 3, 1), p.clues + QStringLiteral("%1").arg(p.folio, 8, 10, QLatin1Char('0')),
                               QStringLiteral("PATERNO %1").arg(p.folio), QString::number(p.pitidos)})) << "botón " << p.boton;
    }
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

// The browsing keys themselves are driven on the window (Ventana.NavegaConLasTeclasDesdeLaPestana).
TEST_F(RegistroVida, LasTeclasNoHojeanAlCapturarYCtrlGSoloGrabaEntonces)
{
    Inserta("DFQRV000015", 1, "2004-05-01");
    Inserta("DFQRV000015", 2, "2004-05-01");
    Vida().Abre();
    Vida().Mueve_Registros(Qt::Key_End);
    Vida().Mueve_Registros(Qt::Key_Left);   // no browsing key
    Vida().AtajoGrabar();
    EXPECT_TRUE(Msj().cajas.isEmpty() && Folio() == "00000002");
    Vida().BotonPulsado(5);
    Vida().Mueve_Registros(Qt::Key_Home);
    EXPECT_TRUE(Hoja().EnAlta && Folio().isEmpty());
    // Nor while editing.
    Vida().BotonPulsado(9);
    Vida().BotonPulsado(6);
    Vida().Mueve_Registros(Qt::Key_PageDown);
    EXPECT_TRUE(Hoja().EnCambio && Folio() == "00000001");
}

TEST_F(RegistroVida, AltasProponeLaCluesDelEventoMostradoYCierraLosDependientes)
{
    TresEventos();
    Vida().Abre();
    Vida().BotonPulsado(5);
    EXPECT_TRUE(Hoja().EnAlta && !Hoja().EnCambio && Vida().ModoBarra() == 1 && MarcosAbiertos() == 8 && Hoja().Pagina() == 0);
    EXPECT_EQ(QStringList({Clues(), Hoja().Etiqueta(28), Folio() + Hoja().Texto(29), Hoja().Fecha(0) + Hoja().Fecha(1), focos.value(focos.size() - 1)}),
              QStringList({"DFQRV000015", "HOSPITAL GENERAL DE ZONA QUIRVAL 1-A", "", Vacia + Vacia, "22"}));
    for (int i : {33, 34, 39, 40, 41, 54, 57, 58, 59, 63, 64, 65, 66, 67, 68, 72, 73})
        EXPECT_FALSE(Hoja().CampoHabilitado(i)) << i;
    EXPECT_FALSE(Hoja().ListaHabilitada(ListaHoja::TipoViolencia) || Hoja().ListaHabilitada(ListaHoja::AgresorEfectos) || !abiertas.isEmpty());
}

// No: browsing on the first event of the reopened set; Yes: adding again on
// the CLUES just saved.
TEST_F(RegistroVida, GrabaUnEventoNuevoYContinuaONo)
{
    Inserta("DFQRV000015", 7, "2004-02-02");
    Vida().Abre();
    for (bool continua : {false, true}) {
        SCOPED_TRACE(continua);
        prog.Ejecuta("DELETE FROM D_EVENTO WHERE Folio = 123");
        Msj().Limpia();
        focos.clear();
        Graba(continua);
        ASSERT_EQ(Msj().cajas.size(), 1) << Msj().Ultimo().toStdString();
        EXPECT_TRUE(Msj().cajas[0].titulo == "Atención" && Msj().cajas[0].icono == Mensajes::Icono::Pregunta);
        EXPECT_EQ(prog.Cuenta("D_EVENTO", "Clues = 'DFSSA000012' AND Folio = 123 AND fechaAtencion = '2004-06-15'") * 10 + prog.Cuenta("D_Diagnosticos", "Folio = 123"), 12);
        EXPECT_TRUE(Titulo() == TituloEsperado(1, 2, 1) && Vida().UltimaClues == "DFSSA000012");
        if (!continua) {
            EsperaNavegando();
            EXPECT_EQ(Clues(), "DFQRV000015");
            continue;
        }
        EXPECT_TRUE(Hoja().EnAlta && MarcosAbiertos() == 8);
        EXPECT_EQ(Clues() + "|" + Folio() + Hoja().Texto(29) + "|" + focos.value(focos.size() - 1), "DFSSA000012||22");
    }
    // Ctrl+G on the empty sheet runs the whole save: the validation stops it.
    Msj().Limpia();
    Vida().AtajoGrabar();
    ASSERT_FALSE(Msj().cajas.isEmpty());
    EXPECT_TRUE(Msj().cajas[0].titulo == TituloHoja && Hoja().EnAlta && prog.Cuenta("D_EVENTO") == 2);
}

// A write the database refuses is not reported as saved: the sheet keeps what
// was typed, and nothing of the event changes, its diagnoses included.
TEST_F(RegistroVida, UnaEscrituraQueLaBaseRechazaNoSeDaPorGrabada)
{
    for (bool alta : {true, false}) {
        SCOPED_TRACE(alta ? "alta" : "cambio");
        prog.Ejecuta("DELETE FROM D_EVENTO");
        Vida().Abre();
        if (alta) {
            CapturaValida();
        } else {
            Graba();
            Vida().BotonPulsado(6);
            Hoja().PonTexto(29, "SOTO");
        }
        Msj().Limpia();
        prog.Ejecuta(QStringLiteral("CREATE TRIGGER Rechaza BEFORE %1 ON D_EVENTO BEGIN SELECT RAISE(ABORT, 'rechazo'); END").arg(alta ? "INSERT" : "UPDATE"));
        Vida().BotonPulsado(8);
        prog.Ejecuta("DROP TRIGGER Rechaza");
        ASSERT_EQ(Msj().cajas.size(), 2);
        EXPECT_TRUE(Msj().cajas[0].texto.contains("rechazo")) << Msj().cajas[0].texto.toStdString();
        EXPECT_EQ(QStringList({Msj().cajas[0].titulo, Msj().Ultimo(), Msj().cajas.last().titulo, Folio() + Hoja().Texto(29)}),
                  QStringList({TituloHoja + (alta ? " -- Alta" : " -- Cambios"), "No se pudo Guardar el Evento.....", TituloHoja, alta ? "00000123PEREZ" : "00000123SOTO"}));
        EXPECT_TRUE((alta ? Hoja().EnAlta : Hoja().EnCambio) && Vida().ModoBarra() == 1);
        EXPECT_EQ(QString::number(prog.Cuenta("D_EVENTO", "Paterno = 'PEREZ'")) + QString::number(prog.Cuenta("D_Diagnosticos", "Folio = 123")) +
                      QString::number(prog.Cuenta("D_Derechohabiencia")), alta ? "000" : "121");
        Vida().BotonPulsado(9);
    }
}

// The key fields of an edited event open only when a rule sends the user
// there; a key typed then moves the event, unless another event holds it.
TEST_F(RegistroVida, UnaClaveCambiadaAlEditarMueveElEventoSiNoEstaOcupada)
{
    Inserta("DFSSA000012", 5, "2004-06-15");
    Vida().Abre();
    Graba();   // folio 123 of the same unit and day
    const QString detalles = "SELECT (SELECT count(*) FROM D_Diagnosticos WHERE Folio = ?) || (SELECT count(*) FROM D_TipoViolencia WHERE Folio = ?)";
    const QString antes = prog.Valor(detalles, {123, 123}).toString();
    Vida().BotonPulsado(3);
    ASSERT_EQ(Folio(), "00000123");
    focos.clear();
    Vida().BotonPulsado(6);
    EXPECT_TRUE(focos.value(focos.size() - 1) == "29" && !Hoja().MarcoHabilitado(Marco::Clues) && MarcosAbiertos() == 7);
    Hoja().HabilitaMarco(Marco::Clues, true);
    Hoja().PonTexto(29, "SOTO");
    // 5 is taken: the duplicate message, nothing written; 777 is free.
    Hoja().PonTexto(22, "00000005");
    Msj().Limpia();
    focos.clear();
    Vida().BotonPulsado(8);
    EXPECT_EQ(Msj().Ultimo(), "Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....");
    EXPECT_TRUE(focos.value(0) == "22" && Hoja().EnCambio);
    EXPECT_EQ(prog.Filas("SELECT Folio FROM D_EVENTO ORDER BY Folio"), QStringList({"5", "123"}));
    Hoja().PonTexto(22, "00000777");
    Msj().Limpia();
    Vida().BotonPulsado(8);
    ASSERT_EQ(Msj().cajas.size(), 0) << Msj().Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT Folio, Paterno FROM D_EVENTO ORDER BY Folio"), QStringList({"5|PATERNO 5", "777|SOTO"}));
    EXPECT_EQ(prog.Valor(detalles, {777, 777}).toString(), antes);
    EXPECT_EQ(prog.Cuenta("D_Diagnosticos", "Folio = 123") + prog.Cuenta("D_Derechohabiencia", "Folio = 123"), 0);
    EXPECT_TRUE(Folio() == "00000777" && Titulo() == TituloEsperado(2, 2, 1) && !Hoja().MarcoHabilitado(Marco::Clues));
}

TEST_F(RegistroVida, CancelarDevuelveLoGuardadoOVaciaLaHojaSinEventos)
{
    // Adding with no stored event: the typed data goes, the sheet is empty.
    Vida().Abre();
    CapturaValida();
    Vida().BotonPulsado(9);
    EsperaNavegando();
    EsperaHojaVacia();
    EXPECT_TRUE(Hoja().Afecciones().isEmpty());
    // Editing: the stored values come back.
    Inserta("DFQRV000015", 1, "2004-02-02");
    Inserta("DFQRV000015", 2, "2004-02-02");
    Vida().Abre();
    Vida().BotonPulsado(3);
    Vida().BotonPulsado(6);
    Hoja().PonTexto(29, "CAMBIADO");
    Vida().BotonPulsado(9);
    EsperaNavegando();
    EXPECT_EQ(Folio() + Hoja().Texto(29), "00000002PATERNO 2");
    // Adding with events: the first one is shown.
    Vida().BotonPulsado(5);
    Hoja().PonTexto(22, "00000050");
    Vida().BotonPulsado(9);
    EXPECT_TRUE(Folio() == "00000001" && Titulo() == TituloEsperado(1, 2, 0) && Msj().cajas.isEmpty());
}

TEST_F(RegistroVida, QuitarFiltroMuestraTodoPeroGrabarYBorrarVuelvenAlFiltro)
{
    TresEventos();
    Vida().Abre();
    // A filter run on the events of unit DFSSA000012, as the filter window leaves it.
    Reg().eventos.ConsultaEventos = {"Select * from D_Evento Where Clues = ?", {"DFSSA000012"}};
    Reg().eventos.CargaEventos(Reg().eventos.ConsultaEventos);
    Vida().Actualiza_Ubicacion();
    Vida().FiltroEventos = " Where E.Clues = 'DFSSA000012'";
    EXPECT_EQ(Titulo(), TituloEsperado(1, 1, 1));
    Vida().MenuBuscar(2);
    EXPECT_TRUE(Titulo() == TituloEsperado(1, 3, 1) && Vida().FiltroEventos.isEmpty() && Clues() == "DFQRV000015");
    // Saving reopens the set with the filter's statement; so does deleting, after "Quitar Filtro" again.
    Graba();
    EXPECT_TRUE(Titulo() == TituloEsperado(1, 2, 2) && Clues() == "DFSSA000012");
    Vida().MenuBuscar(2);
    ASSERT_EQ(Titulo(), TituloEsperado(1, 4, 2));
    Msj().Responde(true);
    Vida().BotonPulsado(11);
    EXPECT_TRUE(Titulo() == TituloEsperado(1, 2, 2) && Clues() == "DFSSA000012");
}

TEST_F(RegistroVida, BotonesDePaginaYCerrar)
{
    Vida().Abre();
    Vida().BotonPulsado(5);
    focos.clear();
    Vida().Cambiar(0);
    EXPECT_EQ(Hoja().Pagina(), 1);
    Vida().Cambiar(1);
    EXPECT_EQ(Hoja().Pagina(), 0);
    EXPECT_EQ(focos, QStringList({"69", "29"}));   // the aggressor is closed at capture start
    int cierres = 0;
    QObject::connect(&Vida(), &VidaRegistro::PideCierre, [&cierres] { ++cierres; });
    for (int boton : {7, 10, 12, 13})
        Vida().BotonPulsado(boton);
    EXPECT_EQ(cierres, 1);
}

TEST(TextoErrorBarra, SoloUnaClaveRepetidaEsUnEventoQueYaExiste)
{
    EXPECT_EQ(TextoErrorBarra(ErrorBD(19, "UNIQUE constraint failed", true)),
              "Los Datos de este Registro ya existen (Clave Unidad, Folio y Fecha de Atención)\nverifique por favor.....");
    EXPECT_EQ(TextoErrorBarra(ErrorBD(5, "database is locked")), "5 -- database is locked");
}

} // namespace
