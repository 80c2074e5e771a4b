// The record life without a window: opening, adding, editing, saving and
// cancelling, as the toolbar and the keys drive them.
#include "AmbienteRegistro.h"

#include "platform/BaseDatos.h"

namespace {

const QString Vacia = "__/__/____";

class RegistroVida : public AmbienteRegistro {
protected:
    bool Navegando() { return !Hoja().EnAlta && !Hoja().EnCambio && Vida().ModoBarra() == 2 && !Hoja().MarcoHabilitado(Marco::Evento); }
    QString UltimoFoco() { return focos.value(focos.size() - 1); }
};

TEST_F(RegistroVida, SinEventosPitaEnLosExtremosYUnaCluesDesconocidaAbreLaLista)
{
    Vida().Abre();
    // First and last beep; editing and deleting do nothing, with no question.
    for (int boton : {1, 4, 6, 11, 2, 3})
        Vida().BotonPulsado(boton);
    EXPECT_TRUE(Msj().beeps == 2 && Msj().cajas.isEmpty() && Navegando());
    Vida().BotonPulsado(5);
    EXPECT_EQ(Clues(), QString());   // no event shown: no CLUES proposed
    // Not 11 characters once trimmed: not looked up. 11 missing from the catalog: greyed, pick-list opened.
    cluesElegida = "DFSSA000012";
    for (const char *clues : {"XXSSA99999 ", "XXSSA999999"}) {
        Vida().BotonPulsado(9);
        Vida().UltimaClues = clues;
        Vida().AgregarEvento();
    }
    EXPECT_TRUE(abiertas == QStringList({"Clues"}) && !Hoja().CampoHabilitado(23) && Clues() == "DFSSA000012");
    // The unit catalog cannot be read: a beep, and the CLUES neither greyed nor picked.
    Vida().BotonPulsado(9);
    prog.Ejecuta("ALTER TABLE CATCLUES RENAME TO CATCLUES_VIEJO");
    Vida().UltimaClues = "DFSSA000012";
    Vida().AgregarEvento();
    EXPECT_TRUE(Msj().beeps == 3 && Msj().cajas.isEmpty() && abiertas.size() == 1 && Hoja().CampoHabilitado(23) && Clues() == "DFSSA000012");
}

// PgUp and PgDn move ten events and stop on the first or the last one when
// fewer than ten lie that way, silently: the edges of the ten steps.
TEST_F(RegistroVida, DiezAtrasODiezAdelanteSeDetienenEnLosExtremos)
{
    for (int folio = 1; folio <= 25; ++folio)
        Inserta("DFQRV000015", folio, "2004-03-03");
    Vida().Abre();
    const int PgUp = Qt::Key_PageUp, PgDn = Qt::Key_PageDown;
    // Each key and the event shown after it.
    const std::pair<int, int> pasos[] = {{PgDn, 11}, {PgDn, 21}, {PgUp, 11}, {PgUp, 1}, {PgUp, 1}, {PgDn, 11}, {Qt::Key_Up, 10},
                                         {PgUp, 1}, {Qt::Key_End, 25}, {PgUp, 15}, {PgDn, 25}, {PgDn, 25}, {PgUp, 15},
                                         {Qt::Key_Down, 16}, {PgDn, 25}, {PgUp, 15}};
    for (const auto &[tecla, folio] : pasos) {
        Vida().Mueve_Registros(tecla);
        EXPECT_EQ(Folio().toInt(), folio) << tecla;
        EXPECT_EQ(Titulo(), TituloEsperado(folio, 25, 0));
    }
    EXPECT_TRUE(Msj().beeps == 0 && Msj().cajas.isEmpty());
}

// The browsing keys themselves are driven on the window (Ventana.NavegaConLasTeclasDesdeLaPestana).
TEST_F(RegistroVida, LasTeclasNoHojeanAlCapturar)
{
    Inserta("DFQRV000015", 1, "2004-05-01");
    Vida().Abre();
    Vida().BotonPulsado(5);
    Vida().Mueve_Registros(Qt::Key_Home);
    EXPECT_TRUE(Hoja().EnAlta && Folio().isEmpty());
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
        Graba(EventoValido(), continua);
        EXPECT_TRUE(Msj().cajas.size() == 1 && Msj().cajas[0].titulo == "Atención" && Msj().cajas[0].icono == Mensajes::Icono::Pregunta);
        EXPECT_TRUE(Titulo() == TituloEsperado(1, 2, 1) && Navegando() == !continua);
        EXPECT_EQ(Clues() + "|" + Folio(), continua ? "DFSSA000012|" : "DFQRV000015|00000007");
    }
}

// A write the database refuses is not reported as saved: the sheet keeps what
// was typed, and the stored event stays as it was.
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
        EXPECT_EQ(QStringList({Msj().cajas[0].titulo, Msj().Ultimo(), Msj().cajas.last().titulo, Folio() + Hoja().Texto(29)}),
                  QStringList({TituloHoja + (alta ? " -- Alta" : " -- Cambios"), "No se pudo Guardar el Evento.....", TituloHoja, alta ? "00000123PEREZ" : "00000123SOTO"}));
        EXPECT_TRUE((alta ? Hoja().EnAlta : Hoja().EnCambio) && Vida().ModoBarra() == 1);
        EXPECT_EQ(prog.Cuenta("D_EVENTO", "Paterno = 'PEREZ'"), alta ? 0 : 1);
        Vida().BotonPulsado(9);
    }
}

// The key fields of an edited event open only when a rule sends the user
// there; a key another event holds is refused (the move itself:
// Ventana.UnaUnidadQueSalioDelCatalogoSeCorrigeYElEventoSeMueve).
TEST_F(RegistroVida, UnaClaveCambiadaAlEditarQueOtroEventoTieneSeRechaza)
{
    Inserta("DFSSA000012", 5, "2004-06-15");
    Vida().Abre();
    Graba();   // folio 123 of the same unit and day
    Vida().BotonPulsado(3);
    Vida().BotonPulsado(6);
    EXPECT_TRUE(UltimoFoco() == "29" && !Hoja().MarcoHabilitado(Marco::Clues) && Hoja().MarcoHabilitado(Marco::Evento));
    Hoja().HabilitaMarco(Marco::Clues, true);
    Hoja().PonTexto(22, "00000005");
    Vida().BotonPulsado(8);
    EXPECT_EQ(Msj().Ultimo(), "Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....");
    EXPECT_TRUE(UltimoFoco() == "22" && Hoja().EnCambio && prog.Cuenta("D_EVENTO", "Folio = 123") == 1);
}

TEST_F(RegistroVida, CancelarDevuelveLoGuardadoOVaciaLaHojaSinEventos)
{
    // Adding with no stored event: the typed data goes, the sheet is empty.
    Vida().Abre();
    CapturaValida();
    Vida().BotonPulsado(9);
    EXPECT_TRUE(Navegando() && Folio().isEmpty() && Hoja().Afecciones().isEmpty() && Hoja().CodigosMarcados(ListaHoja::TipoAtencion).isEmpty());
    EXPECT_EQ(Hoja().Fecha(0) + Hoja().Fecha(1) + Titulo(), Vacia + Vacia + TituloEsperado(0, 0, 0));
    // Editing: the stored values come back.
    Inserta("DFQRV000015", 1, "2004-02-02");
    Inserta("DFQRV000015", 2, "2004-02-02");
    Vida().Abre();
    Vida().BotonPulsado(3);
    Vida().BotonPulsado(6);
    Hoja().PonTexto(29, "CAMBIADO");
    Vida().BotonPulsado(9);
    EXPECT_TRUE(Navegando() && Folio() + Hoja().Texto(29) == "00000002PATERNO 2");
    // "Altas" proposes the CLUES shown and empties the rest; cancelled, the first event is shown.
    Vida().BotonPulsado(5);
    EXPECT_EQ(QStringList({Clues(), Hoja().Etiqueta(28), Folio() + Hoja().Texto(29), Hoja().Fecha(0) + Hoja().Fecha(1), UltimoFoco()}),
              QStringList({"DFQRV000015", "HOSPITAL GENERAL DE ZONA QUIRVAL 1-A", "", Vacia + Vacia, "22"}));
    Vida().BotonPulsado(9);
    EXPECT_TRUE(Folio() == "00000001" && Titulo() == TituloEsperado(1, 2, 0) && Msj().cajas.isEmpty());
}

TEST(TextoErrorBarra, SoloUnaClaveRepetidaEsUnEventoQueYaExiste)
{
    EXPECT_EQ(TextoErrorBarra(ErrorBD(19, "UNIQUE constraint failed", true)),
              "Los Datos de este Registro ya existen (Clave Unidad, Folio y Fecha de Atención)\nverifique por favor.....");
    EXPECT_EQ(TextoErrorBarra(ErrorBD(5, "database is locked")), "5 -- database is locked");
}

} // namespace
