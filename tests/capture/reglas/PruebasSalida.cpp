// Checks on leaving a field, the age check and the CURP form.
#include "AmbienteReglas.h"

using Salida = AmbienteReglas;

TEST_F(Salida, RellenoYHorasImposibles)
{
    // The field, what is written, what it holds once left.
    for (const auto &[campo, escrito, queda] : {
             std::tuple{22, "123", "00000123"}, {22, "000", "000"}, {22, "", ""}, {48, "1", "0001"}, {49, "24", ""}, {69, "7", "07"}, {50, "60", ""},
             {70, "59", "59"}, {64, "5", "05"}, {63, "30", "30"}, {72, "5", "05"}, {66, "0", ""}, {66, "1", "1"}, {66, "120", "120"},
             {66, "121", ""}, {66, "999", "999"}, {66, "4294967297", ""}})   // the last: a stored age read past 32 bits, not cut down to 1
        EXPECT_EQ(Sale(campo, escrito), queda) << campo << " '" << escrito << "'";
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

// The valid event saved, then a new one on its day of care: leaving a Folio of
// zero looks nothing up; leaving the Folio or the CLUES of the saved one warns.
TEST_F(Salida, FolioYCluesPruebanLaClaveYNadaMientrasSeHojea)
{
    Captura(Reg(), EventoValido());
    Msj().Responde(false);
    Vida().BotonPulsado(8);
    Vida().BotonPulsado(5);
    hoja.PonFecha(1, "15/06/2004");
    Msj().Limpia();
    Sale(22, "0");
    EXPECT_TRUE(Msj().cajas.isEmpty());
    Sale(22, "123");
    Sale(23, "DFSSA000012");
    EXPECT_EQ(Msj().cajas.size(), 2);
    // Browsing: nothing is checked on leaving.
    hoja.EnAlta = false;
    EXPECT_EQ(Sale(49, "24") + Sale(32, "12") + Sale(76, "A000") + Sale(22, "7"), "2412A0007");
    EXPECT_TRUE(Msj().cajas.size() == 2 && abiertas.isEmpty());
}

TEST_F(Salida, EdadEnBlancoSegunLaClave)
{
    // The unit, the age left blank becomes; leaving the unit fills a blank age only for years.
    for (const auto &[unidad, edad, alSalirDeLaClave] : {std::tuple{"3", "999", "999"}, {"1", "99", ""}, {"0", "99", ""}, {"2", "99", ""}, {"", "", ""}}) {
        hoja.PonTexto(37, unidad);
        EXPECT_EQ(Sale(36, QString()), edad) << unidad;
        hoja.PonTexto(36, QString());
        reglas->SaleCampo(37);
        EXPECT_EQ(hoja.Texto(36), alSalirDeLaClave) << unidad;
    }
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

TEST_F(Salida, EdadContraSuClave)
{
    const QString Mal = "Edad incorrecta para clave de edad en %1, verifique por favor.....", Cero = "La Edad no puede ser 0 (cero), verifique por favor....";
    // The unit, the age, the message (none: accepted) and the beeps.
    for (const auto &[unidad, edad, mensaje, beeps] : {
             std::tuple{"0", "23", QString(), 0}, {"0", "99", {}, 0}, {"0", "24", Mal.arg("HORAS"), 0}, {"1", "29", {}, 0}, {"1", "30", Mal.arg("DIAS"), 0},
        {"2", "11", {}, 0}, {"2", "12", Mal.arg("MESES"), 0}, {"3", "130", {}, 0}, {"3", "999", {}, 0}, {"3", "000", Cero, 1}, {"3", "", {}, 0},
        {"", "45", {}, 1},   // no unit to judge by: a beep only
        {"3", "131", Mal.arg("AÑOS"), 0}}) {   // the last: where it leads is looked at below
        Escribe({{37, unidad}, {36, edad}});
        Msj().Limpia();
        hoja.PonPagina(1);
        hoja.HabilitaMarco(Marco::Afectado, false);
        EXPECT_EQ(ValidaEdad(*prog.ctx, hoja), mensaje.isEmpty()) << unidad << "/" << edad;
        EXPECT_EQ(Msj().Ultimo() + QString::number(Msj().beeps), mensaje + QString::number(beeps)) << unidad << "/" << edad;
    }
    // Refused: back on the age on page 1 with its frame open.
    EXPECT_TRUE(Msj().cajas.last().titulo == TituloHojaRegistro() && hoja.Pagina() == 0 && hoja.MarcoHabilitado(Marco::Afectado) && focos.last() == "36");
    // Unit 9 sets the age; leaving the unit judges the age first.
    Escribe({{36, "45"}, {37, "9"}});
    EXPECT_TRUE(ValidaEdad(*prog.ctx, hoja) && hoja.Texto(36) == "999");
    Escribe({{37, "1"}, {36, "30"}});
    EXPECT_FALSE(reglas->SaleCampo(37));
    EXPECT_EQ(Msj().Ultimo(), Mal.arg("DIAS"));
}

TEST_F(Salida, LaCurp)
{
    for (const auto &[curp, valida] : {std::pair{"ABCD123456", true}, {"ÑABC123456XYZ", true}, {"ABCD123456??????", true}, {"AB1D123456", false},
                                       {"ABCD12345", false}, {"abcd123456", false}, {"ABCD12345X", false}})
        EXPECT_EQ(ValidaCurp(QString::fromUtf8(curp)), valida) << curp;
    // Leaving the field: a blank one passes, a short or ill-formed one is refused.
    for (const auto &[curp, rechaza] : {std::pair{"", false}, {"PELM740312MDFRPR09", false}, {"PELM74031", true}, {"PE1M740312MDFRPR09", true}}) {
        Msj().Limpia();
        focos.clear();
        Sale(32, curp);
        EXPECT_EQ(Msj().Ultimo() + "|" + (Msj().cajas.isEmpty() ? "" : Msj().cajas[0].titulo) + "|" + focos.join(','),
                  rechaza ? "La CURP no es correcta, verifique por favor.....\n\n|VELMORAN2016|32" : "||") << curp;
    }
}

TEST_F(Salida, Afiliacion)
{
    const QString Pregunta = "El número de afiliación al %1, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?";
    // Each step: the two parts, the field left, the answer, the body asked about, the focus, what the two parts hold then.
    const struct {
        bool brestal;   // code G ticked, else code 8
        const char *a, *b;
        int sale;
        bool si;
        const char *pregunta, *foco, *quedaA, *quedaB;
    } pasos[] = {
        {false, "", "", 33, true, nullptr, nullptr, "", ""},                        // both blank: nothing
        {false, "12345", "", 33, true, "QUIRVAL", "33", "12345", ""},               // a short first part: Yes keeps it
        {false, "12345", "", 33, false, "QUIRVAL", nullptr, "9999999999", "99"},    // No fills both parts
        {false, "1234567890", "", 34, true, "QUIRVAL", "34", "1234567890", ""},     // ten characters, the second part empty
        {false, "", "01", 34, true, "QUIRVAL", "33", "", "01"},                     // first part blank: Yes goes to 33
        {false, "1234567890", "", 33, true, nullptr, nullptr, "1234567890", ""},    // a whole first part: nothing on leaving it
        {true, "123", "07", 33, false, "BRESTAL", nullptr, "9999999999", "07"},     // No fills the first part alone
    };
    for (const auto &p : pasos) {
        hoja.MarcaDerechohabiencia8 = !p.brestal;
        hoja.MarcaDerechohabienciaG = p.brestal;
        Escribe({{33, p.a}, {34, p.b}});
        Msj().Limpia();
        focos.clear();
        Msj().Responde(p.si);
        const bool sigue = reglas->SaleCampo(p.sale);
        EXPECT_EQ(Msj().Ultimo(), p.pregunta ? Pregunta.arg(p.pregunta) : QString()) << p.a;
        EXPECT_TRUE(!p.foco || (!sigue && focos == QStringList{p.foco})) << p.a;
        EXPECT_EQ(hoja.Texto(33) + "|" + hoja.Texto(34), QString(p.quedaA) + "|" + p.quedaB);
    }
    EXPECT_EQ(Msj().cajas.last().titulo, TituloHojaRegistro());
}

TEST_F(Salida, CascadaDelLugar)
{
    // Each step: texts written, the fields left, then state, municipality and locality.
    const struct {
        Textos escribe;
        QList<int> sale;
        Textos queda;
    } pasos[] = {
        {{{46, "37"}, {47, "004"}, {48, "0007"}}, {46}, {{46, "37"}, {47, ""}, {48, ""}}},   // a state absent from the catalog
        {{{46, "17"}, {47, "4"}, {48, "1"}}, {48, 47}, {{46, "17"}, {47, "004"}, {48, "0001"}}},
        // Another state where the municipality exists keeps the locality; one where it does not empties it.
        {{{46, "9"}}, {46}, {{46, "09"}, {47, "004"}, {48, "0001"}}},
        {{{46, "15"}}, {46}, {{46, "15"}, {47, "004"}, {48, ""}}},
        // Leaving a blank state or municipality empties what lies below.
        {{{47, "004"}, {48, "0001"}, {46, ""}}, {46}, {{46, ""}, {47, ""}, {48, ""}}},
        {{{46, "09"}, {48, "0001"}}, {47}, {{46, "09"}, {47, ""}, {48, ""}}},
    };
    for (const auto &p : pasos) {
        Escribe(p.escribe);
        for (int c : p.sale)
            reglas->SaleCampo(c);
        Espera(p.queda);
    }
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

TEST_F(Salida, ConsecuenciaMortalFijaElDestino)
{
    hoja.PonTexto(75, "1");
    Sale(61, "19");
    Espera({{75, "5"}}, {}, {75});
    Sale(61, "3");
    Espera({{75, "5"}}, {75}, {});
}

// A refused code beeps, opens the field's ICD-10 list and comes back to the
// field holding the code chosen there (the refused one when none was chosen);
// an accepted one opens nothing; a blank field is not checked.
TEST_F(Salida, DiagnosticoRechazadoAbreLaListaDelCampoYVuelveAlCampo)
{
    QString alVolver;   // the field's text when the focus is asked back
    QObject::connect(&hoja, &HojaDatos::PideFoco, [&](int campo) { alVolver = hoja.Texto(campo); });
    Escribe({{38, "1"}, {37, "3"}, {36, "30"}});
    // The field, the code typed, the code chosen in the list (none: closed without a choice), the message.
    for (const auto &[campo, escrito, elegido, mensaje] : {
             std::tuple{76, "S99", "", "El Diagnostico debe ser de 4 dígitos, verifique por favor....."},
             {76, "S99", "S008", "El Diagnostico debe ser de 4 dígitos, verifique por favor....."},
             {78, "S001", "Y040", "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor....."},
             {77, "V010", "S008", "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; verifique por favor....."}}) {
        Msj().Limpia();
        abiertas.clear();
        focos.clear();
        cie10Elegido = elegido;
        hoja.HabilitaCampo(campo, true);
        hoja.PonTexto(campo, escrito);
        EXPECT_FALSE(reglas->SaleCampo(campo));
        const QString queda = cie10Elegido.isEmpty() ? QString(escrito) : cie10Elegido;
        EXPECT_EQ(QStringList({Msj().Ultimo(), QString::number(Msj().beeps), abiertas.join(','), focos.join(','), alVolver, hoja.Texto(campo)}),
                  QStringList({mensaje, "1", QString("CIE10(%1)").arg(campo), QString::number(campo), queda, queda}));
    }
    abiertas.clear();
    hoja.PonTexto(76, "S001");
    hoja.PonTexto(78, QString());
    EXPECT_TRUE(reglas->SaleCampo(76) && reglas->SaleCampo(78) && abiertas.isEmpty() && Msj().cajas.size() == 1);
}
