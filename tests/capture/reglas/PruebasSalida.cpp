// Checks on leaving a field, the age check and the CURP form.
#include "AmbienteReglas.h"

#include "events/modEvento.h"

using Salida = AmbienteReglas;

namespace {
const QString Quirval = "El número de afiliación al QUIRVAL, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?";
}

TEST_F(Salida, RellenoYHorasImposibles)
{
    const struct {
        int campo;
        const char *escrito, *queda;
    } casos[] = {
        {22, "123", "00000123"}, {22, "0", "0"}, {22, "000", "000"}, {22, "", ""}, {48, "1", "0001"}, {48, "", ""},
        {49, "24", ""}, {49, "23", "23"}, {49, "7", "07"}, {69, "30", ""}, {69, "0", "00"}, {50, "60", ""}, {50, "59", "59"},
        {64, "5", "05"}, {70, "75", ""}, {73, "", ""}, {63, "30", "30"}, {72, "5", "05"}, {72, "", ""}, {66, "999", "999"},
        {66, "0", ""}, {66, "121", ""}, {66, "120", "120"}, {66, "1", "1"}, {66, "", ""},
        {66, "4294967297", ""},   // a stored age read past 32 bits, not cut down to 1
    };
    for (const auto &c : casos)
        EXPECT_EQ(Sale(c.campo, c.escrito), c.queda) << c.campo << " '" << c.escrito << "'";
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, FolioYCluesPruebanLaClave)
{
    Sale(22, "0");
    EXPECT_EQ(consultasClave, 0);
    Sale(22, "5");
    claveDuplicada = true;
    hoja.PonTexto(23, "ZZSSA000001");
    EXPECT_FALSE(reglas->SaleCampo(23));
    EXPECT_TRUE(consultasClave == 2 && focos == QStringList{"22"});
}

TEST_F(Salida, NadaMientrasSeHojea)
{
    hoja.EnAlta = false;
    EXPECT_EQ(Sale(49, "24") + Sale(32, "12") + Sale(76, "A000"), "2412A000");
    EXPECT_TRUE(Mensajes().cajas.isEmpty() && abiertas.isEmpty());
}

TEST_F(Salida, EdadEnBlancoSegunLaClave)
{
    const struct {
        const char *unidad, *edad, *alSalirDeLaClave;
    } casos[] = {{"3", "999", "999"}, {"1", "99", ""}, {"0", "99", ""}, {"2", "99", ""}, {"", "", ""}};
    for (const auto &c : casos) {
        hoja.PonTexto(37, c.unidad);
        EXPECT_EQ(Sale(36, QString()), c.edad) << c.unidad;
        // Leaving the unit fills a blank age only for years.
        hoja.PonTexto(36, QString());
        reglas->SaleCampo(37);
        EXPECT_EQ(hoja.Texto(36), c.alSalirDeLaClave) << c.unidad;
    }
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, EdadContraSuClave)
{
    const QString Mal = "Edad incorrecta para clave de edad en %1, verifique por favor.....", Cero = "La Edad no puede ser 0 (cero), verifique por favor....";
    const struct {
        const char *unidad, *edad;
        QString mensaje;   // empty: accepted
    } casos[] = {
        {"0", "23", {}}, {"0", "99", {}}, {"0", "24", Mal.arg("HORAS")}, {"1", "29", {}}, {"1", "30", Mal.arg("DIAS")}, {"2", "11", {}},
        {"2", "12", Mal.arg("MESES")}, {"3", "130", {}}, {"3", "999", {}}, {"3", "131", Mal.arg("AÑOS")}, {"0", "0", Cero},
        {"3", "000", Cero}, {"2", "0", Cero}, {"3", "", {}},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(std::string(c.unidad) + "/" + c.edad);
        hoja.HabilitaCampo(36, true);
        Escribe({{37, c.unidad}, {36, c.edad}});
        Mensajes().Limpia();
        focos.clear();
        hoja.PonPagina(1);
        hoja.HabilitaMarco(Marco::Afectado, false);
        EXPECT_EQ(ValidaEdad(*prog.ctx, hoja), c.mensaje.isEmpty());
        EXPECT_EQ(Mensajes().beeps, c.mensaje == Cero ? 1 : 0);   // only a zero beeps
        // Refused: one box, back on the age on page 1 with its frame open.
        ASSERT_EQ(Mensajes().cajas.size(), c.mensaje.isEmpty() ? 0 : 1);
        EXPECT_TRUE(c.mensaje.isEmpty() || (Mensajes().cajas[0].texto == c.mensaje && Mensajes().cajas[0].titulo == TituloHojaRegistro() &&
                                            hoja.Pagina() == 0 && hoja.MarcoHabilitado(Marco::Afectado) && focos == QStringList{"36"}));
    }
    // Unit 9 sets the age; no unit to judge by: a beep only.
    Escribe({{36, "45"}, {37, "9"}});
    EXPECT_TRUE(ValidaEdad(*prog.ctx, hoja));
    EXPECT_EQ(hoja.Texto(36), "999");
    Escribe({{37, ""}, {36, "45"}});
    Mensajes().Limpia();
    EXPECT_TRUE(ValidaEdad(*prog.ctx, hoja) && Mensajes().beeps == 1 && Mensajes().cajas.isEmpty());
    // Leaving the unit judges the age first.
    Escribe({{36, "30"}, {37, "1"}});
    focos.clear();
    EXPECT_FALSE(reglas->SaleCampo(37));
    EXPECT_TRUE(Mensajes().Ultimo() == Mal.arg("DIAS") && focos == QStringList{"36"});
}

TEST_F(Salida, LaCurp)
{
    const struct {
        const char *curp;
        bool valida;
    } formas[] = {{"ABCD123456", true}, {"ÑABC123456XYZ", true}, {"ABCD123456??????", true}, {"AB1D123456", false},
                  {"ABCD12345", false}, {"abcd123456", false}, {"ABCD12345X", false}, {"", false}};
    for (const auto &c : formas)
        EXPECT_EQ(ValidaCurp(QString::fromUtf8(c.curp)), c.valida) << c.curp;
    // Leaving the field: a blank one passes, a short or ill-formed one is refused.
    for (const auto &[curp, rechaza] : {std::pair{"", false}, {"PELM740312MDFRPR09", false}, {"PELM74031", true}, {"PE1M740312MDFRPR09", true}}) {
        Mensajes().Limpia();
        focos.clear();
        Sale(32, curp);
        EXPECT_EQ(Mensajes().Ultimo() + "|" + (Mensajes().cajas.isEmpty() ? "" : Mensajes().cajas[0].titulo) + "|" + focos.join(','),
                  rechaza ? "La CURP no es correcta, verifique por favor.....\n\n|VELMORAN2016|32" : "||") << curp;
    }
}

TEST_F(Salida, AfiliacionQuirval)
{
    hoja.MarcaDerechohabiencia8 = true;
    hoja.HabilitaCampo(33, true);
    hoja.HabilitaCampo(34, true);
    // Both blank: nothing, even with code G ticked too.
    hoja.MarcaDerechohabienciaG = true;
    EXPECT_TRUE(reglas->SaleCampo(33) && reglas->SaleCampo(34) && Mensajes().cajas.isEmpty());
    hoja.MarcaDerechohabienciaG = false;

    // Each step: the two parts, the field left, the answer, the focus, what the two parts hold then.
    const struct {
        const char *a, *b;
        int sale;
        bool si;
        const char *foco, *quedaA, *quedaB;
    } pasos[] = {
        {"12345", "", 33, true, "33", "12345", ""},                 // a short first part: Yes keeps it
        {"12345", "", 33, false, nullptr, "9999999999", "99"},      // No fills both parts
        {"1234567890", "", 34, true, "34", "1234567890", ""},       // ten characters, the second part empty
        {"", "01", 34, true, "33", "", "01"},                       // first part blank: Yes goes to 33
    };
    for (const auto &p : pasos) {
        Escribe({{33, p.a}, {34, p.b}});
        Mensajes().Limpia();
        focos.clear();
        Mensajes().Responde(p.si);
        const bool sigue = reglas->SaleCampo(p.sale);
        EXPECT_TRUE(Mensajes().Ultimo() == Quirval && Mensajes().cajas.last().titulo == TituloHojaRegistro());
        EXPECT_TRUE(!p.foco || (!sigue && focos == QStringList{p.foco})) << p.a;
        EXPECT_EQ(hoja.Texto(33) + "|" + hoja.Texto(34), QString(p.quedaA) + "|" + p.quedaB);
    }
    Escribe({{33, "1234567890"}, {34, ""}});
    Mensajes().Limpia();
    EXPECT_TRUE(reglas->SaleCampo(33) && Mensajes().cajas.isEmpty());   // a whole first part: nothing on leaving it
}

TEST_F(Salida, AfiliacionBrestal)
{
    hoja.MarcaDerechohabienciaG = true;
    hoja.HabilitaCampo(33, true);
    EXPECT_TRUE(reglas->SaleCampo(33));
    Escribe({{34, "07"}, {33, "123"}});
    Mensajes().Responde(false);
    EXPECT_FALSE(reglas->SaleCampo(33));
    EXPECT_EQ(Mensajes().Ultimo(), "El número de afiliación al BRESTAL, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?");
    EXPECT_EQ(hoja.Texto(33) + hoja.Texto(34), "999999999907");
}

TEST_F(Salida, CascadaDelLugar)
{
    const QString No = CveInexistente();
    // Each step: texts written, the field left, then state, municipality, locality and their labels.
    const struct {
        Textos escribe;
        QList<int> sale;
        QString estado, municipio, localidad, etiquetaMunicipio, etiquetaLocalidad;
    } pasos[] = {
        {{{46, "37"}, {47, "001"}, {48, "0001"}}, {46}, "37", "", "", "", ""},   // a state absent from the catalog
        {{{46, "36"}, {47, "2"}, {48, "7"}}, {48, 47}, "36", "002", "0007", "", "LOCALIDAD SIETE"},
        // Another state where the municipality exists keeps the locality; one where it does not empties it.
        {{{46, "9"}}, {46}, "09", "002", "0007", "MUNICIPIO AJENO", No},
        {{{47, "001"}}, {46}, "09", "001", "", No, ""},
        // Leaving a blank state or municipality empties what lies below.
        {{{47, "001"}, {48, "0001"}, {46, ""}}, {46}, "", "", "", "", ""},
        {{{46, "36"}, {48, "0001"}}, {47}, "36", "", "", "", ""},
    };
    for (const auto &p : pasos) {
        Escribe(p.escribe);
        for (int c : p.sale)
            reglas->SaleCampo(c);
        Espera({{46, p.estado}, {47, p.municipio}, {48, p.localidad}}, {}, {});
        EXPECT_TRUE(p.etiquetaMunicipio.isEmpty() || hoja.Etiqueta(47) == p.etiquetaMunicipio) << hoja.Etiqueta(47).toStdString();
        EXPECT_TRUE(p.etiquetaLocalidad.isEmpty() || hoja.Etiqueta(48) == p.etiquetaLocalidad) << hoja.Etiqueta(48).toStdString();
    }
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, ConsecuenciaMortalFijaElDestino)
{
    hoja.PonTexto(75, "1");
    Sale(61, "19");
    Espera({{75, "5"}}, {}, {75});
    Sale(61, "3");
    Espera({{75, "5"}}, {75}, {});
}

// The field's ICD-10 list opens (which causes it offers is the list's own
// test), and the code chosen there stands in the field.
TEST_F(Salida, DiagnosticoRechazadoAbreLaListaDelCampoYVuelveAlCampo)
{
    listas.CIE10 = [this, anota = listas.CIE10](QWidget *w, int campo) {
        anota(w, campo);
        hoja.PonTexto(campo, campo == 78 ? "Y040" : "S008");
    };
    reglas = std::make_unique<ReglasCampos>(*prog.ctx, hoja, listas);
    manejador.reglas = reglas.get();
    Escribe({{38, "1"}, {37, "3"}, {36, "30"}});
    const struct {
        int campo;
        const char *codigo, *mensaje, *elegido;
    } casos[] = {
        {78, "S001", "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor.....", "Y040"},
        {77, "V010", "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; verifique por favor.....", "S008"},
        {76, "S99", "El Diagnostico debe ser de 4 dígitos, verifique por favor.....", "S008"},
    };
    for (const auto &c : casos) {
        focos.clear();
        abiertas.clear();
        Escribe({{c.campo, c.codigo}});
        Mensajes().Limpia();
        EXPECT_FALSE(reglas->SaleCampo(c.campo));
        ASSERT_EQ(Mensajes().cajas.size(), 1) << c.campo;
        EXPECT_EQ(QStringList({Mensajes().Ultimo(), QString::number(Mensajes().beeps), abiertas.join(','), hoja.Texto(c.campo), focos.join(',')}),
                  QStringList({QString::fromUtf8(c.mensaje), "1", QStringLiteral("CIE10(%1)").arg(c.campo), c.elegido, QString::number(c.campo)}));
    }
    // An accepted code opens nothing; a blank field is not checked.
    abiertas.clear();
    Mensajes().Limpia();
    EXPECT_TRUE(reglas->SaleCampo(77));
    hoja.PonTexto(78, QString());
    EXPECT_TRUE(reglas->SaleCampo(78) && Mensajes().cajas.isEmpty() && abiertas.isEmpty());
}
