// Checks on leaving a field, the age check and the CURP form.
#include "AmbienteReglas.h"

#include "events/modEvento.h"


namespace {

class Salida : public AmbienteReglas {
protected:
    // Leaves a field holding `texto`; returns what it holds afterwards.
    QString Sale(int campo, const QString &texto)
    {
        hoja.HabilitaCampo(campo, true);
        hoja.PonTexto(campo, texto);
        reglas->SaleCampo(campo);
        return hoja.Texto(campo);
    }
    QString Titulo() const { return TituloHojaRegistro(); }
};

const QString Quirval = QStringLiteral("El número de afiliación al QUIRVAL, no es correcto, verifique por favor.....\n\n"
                                       "¿Cuenta con el número de afiliación?");
const QString Brestal = QStringLiteral("El número de afiliación al BRESTAL, no es correcto, verifique por favor.....\n\n"
                                       "¿Cuenta con el número de afiliación?");

} // namespace

TEST_F(Salida, RellenoYHorasImposibles)
{
    struct Caso {
        int campo;
        const char *escrito, *queda;
    } casos[] = {
        {22, "123", "00000123"}, {22, "0", "0"}, {22, "000", "000"}, {22, "", ""},
        {48, "1", "0001"}, {48, "", ""},
        {49, "24", ""}, {49, "23", "23"}, {49, "7", "07"}, {69, "30", ""}, {69, "0", "00"},
        {50, "60", ""}, {50, "59", "59"}, {64, "5", "05"}, {70, "75", ""}, {73, "", ""},
        {63, "30", "30"}, {72, "5", "05"}, {72, "", ""},
        {66, "999", "999"}, {66, "0", ""}, {66, "121", ""}, {66, "120", "120"}, {66, "1", "1"}, {66, "", ""},
        {66, "4294967297", ""},   // a stored age read past 32 bits, not cut down to 1
    };
    for (const Caso &c : casos)
        EXPECT_EQ(Sale(c.campo, QString::fromLatin1(c.escrito)), QString::fromLatin1(c.queda))
            << c.campo << " '" << c.escrito << "'";
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, FolioYCluesPruebanLaClave)
{
    Sale(22, "0");
    EXPECT_EQ(consultasClave, 0);
    Sale(22, "5");
    EXPECT_EQ(consultasClave, 1);
    claveDuplicada = true;
    hoja.PonTexto(23, "ZZSSA000001");
    EXPECT_FALSE(reglas->SaleCampo(23));
    EXPECT_EQ(consultasClave, 2);
    EXPECT_EQ(focos, QStringList{"22"});
}

TEST_F(Salida, NadaMientrasSeHojea)
{
    hoja.EnAlta = false;
    EXPECT_EQ(Sale(49, "24"), "24");
    EXPECT_EQ(Sale(32, "12"), "12");
    EXPECT_EQ(Sale(76, "A000"), "A000");
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
    EXPECT_TRUE(abiertas.isEmpty());
}

TEST_F(Salida, EdadEnBlancoSegunLaClave)
{
    struct Caso {
        const char *unidad, *edad;
    } casos[] = {{"3", "999"}, {"1", "99"}, {"0", "99"}, {"2", "99"}, {"", ""}};
    for (const Caso &c : casos) {
        hoja.PonTexto(37, QString::fromLatin1(c.unidad));
        EXPECT_EQ(Sale(36, QString()), QString::fromLatin1(c.edad)) << c.unidad;
    }
    // Leaving the unit fills a blank age only for years.
    for (const char *unidad : {"0", "1", "2"}) {
        hoja.PonTexto(36, QString());
        hoja.PonTexto(37, QString::fromLatin1(unidad));
        reglas->SaleCampo(37);
        EXPECT_EQ(hoja.Texto(36), QString()) << unidad;
    }
    hoja.PonTexto(37, "3");
    reglas->SaleCampo(37);
    EXPECT_EQ(hoja.Texto(36), "999");
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, EdadContraSuClave)
{
    const QString Horas = "Edad incorrecta para clave de edad en HORAS, verifique por favor.....";
    const QString Dias = "Edad incorrecta para clave de edad en DIAS, verifique por favor.....";
    const QString Meses = "Edad incorrecta para clave de edad en MESES, verifique por favor.....";
    const QString Anos = "Edad incorrecta para clave de edad en AÑOS, verifique por favor.....";
    const QString Cero = "La Edad no puede ser 0 (cero), verifique por favor....";
    struct Caso {
        const char *unidad, *edad;
        QString mensaje;   // empty: accepted
        int beeps;
    } casos[] = {
        {"0", "23", {}, 0}, {"0", "99", {}, 0}, {"0", "24", Horas, 0},
        {"1", "29", {}, 0}, {"1", "30", Dias, 0},
        {"2", "11", {}, 0}, {"2", "12", Meses, 0},
        {"3", "130", {}, 0}, {"3", "999", {}, 0}, {"3", "131", Anos, 0},
        {"0", "0", Cero, 1}, {"3", "000", Cero, 1}, {"2", "0", Cero, 1},
        {"3", "", {}, 0},
    };
    for (const Caso &c : casos) {
        hoja.HabilitaCampo(36, true);
        Escribe({{37, QString::fromLatin1(c.unidad)}, {36, QString::fromLatin1(c.edad)}});
        Mensajes().Limpia();
        focos.clear();
        hoja.PonPagina(1);
        hoja.HabilitaMarco(Marco::Afectado, false);
        const bool paso = ValidaEdad(*prog.ctx, hoja);
        EXPECT_EQ(paso, c.mensaje.isEmpty()) << c.unidad << "/" << c.edad;
        EXPECT_EQ(Mensajes().beeps, c.beeps) << c.unidad << "/" << c.edad;
        if (c.mensaje.isEmpty()) {
            EXPECT_TRUE(Mensajes().cajas.isEmpty());
            continue;
        }
        ASSERT_EQ(Mensajes().cajas.size(), 1);
        EXPECT_EQ(Mensajes().cajas[0].texto, c.mensaje);
        EXPECT_EQ(Mensajes().cajas[0].titulo, TituloHojaRegistro());
        EXPECT_EQ(hoja.Pagina(), 0);
        EXPECT_TRUE(hoja.MarcoHabilitado(Marco::Afectado));
        EXPECT_EQ(focos, QStringList{"36"});
    }
}

TEST_F(Salida, ClaveNueveFijaLaEdadYUnaClaveIlegibleNoJuzga)
{
    hoja.PonTexto(36, "45");
    hoja.PonTexto(37, "9");
    EXPECT_TRUE(ValidaEdad(*prog.ctx, hoja));
    EXPECT_EQ(hoja.Texto(36), "999");
    hoja.PonTexto(37, QString());
    hoja.PonTexto(36, "45");
    Mensajes().Limpia();
    EXPECT_TRUE(ValidaEdad(*prog.ctx, hoja));   // no unit to judge by: a beep only
    EXPECT_EQ(Mensajes().beeps, 1);
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, SalirDeLaClaveDeEdadLaJuzgaPrimero)
{
    hoja.PonTexto(36, "30");
    hoja.PonTexto(37, "1");
    EXPECT_FALSE(reglas->SaleCampo(37));
    EXPECT_EQ(Mensajes().Ultimo(), "Edad incorrecta para clave de edad en DIAS, verifique por favor.....");
    EXPECT_EQ(focos, QStringList{"36"});
}

TEST_F(Salida, FormaDeLaCurp)
{
    struct Caso {
        const char *curp;
        bool valida;
    } casos[] = {
        {"ABCD123456", true}, {"ÑABC123456XYZ", true}, {"ABCD123456??????", true},
        {"AB1D123456", false}, {"ABCD12345", false}, {"abcd123456", false}, {"ABCD12345X", false}, {"", false},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(ValidaCurp(QString::fromUtf8(c.curp)), c.valida) << c.curp;
}

TEST_F(Salida, CurpIncorrectaAlSalir)
{
    const QString Mensaje = "La CURP no es correcta, verifique por favor.....\n\n";
    struct Caso {
        const char *curp;
        bool rechaza;
    } casos[] = {{"", false}, {"PELM740312MDFRPR09", false}, {"PELM74031", true}, {"PE1M740312MDFRPR09", true}};
    for (const Caso &c : casos) {
        Mensajes().Limpia();
        focos.clear();
        Sale(32, QString::fromLatin1(c.curp));
        if (!c.rechaza) {
            EXPECT_TRUE(Mensajes().cajas.isEmpty()) << c.curp;
            EXPECT_TRUE(focos.isEmpty()) << c.curp;
            continue;
        }
        ASSERT_EQ(Mensajes().cajas.size(), 1) << c.curp;
        EXPECT_EQ(Mensajes().cajas[0].texto, Mensaje);
        EXPECT_EQ(Mensajes().cajas[0].titulo, "VELMORAN2016");
        EXPECT_EQ(focos, QStringList{"32"});
    }
}

TEST_F(Salida, AfiliacionQuirval)
{
    hoja.MarcaDerechohabiencia8 = true;
    hoja.HabilitaCampo(33, true);
    hoja.HabilitaCampo(34, true);

    // Both blank: nothing, even with code G ticked too.
    hoja.MarcaDerechohabienciaG = true;
    EXPECT_TRUE(reglas->SaleCampo(33));
    EXPECT_TRUE(reglas->SaleCampo(34));
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
    hoja.MarcaDerechohabienciaG = false;

    // A short first part: the focus back on 33, the question; Yes keeps it.
    hoja.PonTexto(33, "12345");
    Mensajes().Responde(true);
    EXPECT_FALSE(reglas->SaleCampo(33));
    EXPECT_EQ(Mensajes().Ultimo(), Quirval);
    EXPECT_EQ(Mensajes().cajas.last().titulo, TituloHojaRegistro());
    EXPECT_EQ(focos, QStringList{"33"});
    EXPECT_EQ(hoja.Texto(33), "12345");

    // No fills both parts.
    Mensajes().Responde(false);
    reglas->SaleCampo(33);
    EXPECT_EQ(hoja.Texto(33), "9999999999");
    EXPECT_EQ(hoja.Texto(34), "99");

    // Ten characters and an empty second part: nothing on 33, the question on 34.
    Mensajes().Limpia();
    focos.clear();
    Escribe({{33, "1234567890"}, {34, QString()}});
    EXPECT_TRUE(reglas->SaleCampo(33));
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
    Mensajes().Responde(true);
    EXPECT_FALSE(reglas->SaleCampo(34));
    EXPECT_EQ(Mensajes().Ultimo(), Quirval);
    EXPECT_EQ(focos, QStringList{"34"});

    // First part blank, second typed: leaving 34 asks and Yes goes to 33.
    focos.clear();
    Escribe({{33, QString()}, {34, "01"}});
    Mensajes().Responde(true);
    EXPECT_FALSE(reglas->SaleCampo(34));
    EXPECT_EQ(focos, QStringList{"33"});
}

TEST_F(Salida, AfiliacionBrestal)
{
    hoja.MarcaDerechohabienciaG = true;
    hoja.HabilitaCampo(33, true);
    EXPECT_TRUE(reglas->SaleCampo(33));
    hoja.PonTexto(34, "07");
    hoja.PonTexto(33, "123");
    Mensajes().Responde(false);
    EXPECT_FALSE(reglas->SaleCampo(33));
    EXPECT_EQ(Mensajes().Ultimo(), Brestal);
    EXPECT_EQ(hoja.Texto(33), "9999999999");
    EXPECT_EQ(hoja.Texto(34), "07");
}

TEST_F(Salida, CascadaDelLugar)
{
    // A state absent from the catalog empties municipality and locality.
    Escribe({{46, "37"}, {47, "001"}, {48, "0001"}});
    reglas->SaleCampo(46);
    EXPECT_EQ(hoja.Texto(47), QString());
    EXPECT_EQ(hoja.Texto(48), QString());

    // A valid place, padded.
    Escribe({{46, "36"}, {47, "2"}, {48, "7"}});
    reglas->SaleCampo(48);
    reglas->SaleCampo(47);
    EXPECT_EQ(hoja.Texto(47), "002");
    EXPECT_EQ(hoja.Texto(48), "0007");
    EXPECT_EQ(hoja.Etiqueta(48), "LOCALIDAD SIETE");

    // Another state where the municipality exists keeps the locality and
    // looks it up again; one where it does not empties the locality.
    hoja.PonTexto(46, "9");
    reglas->SaleCampo(46);
    EXPECT_EQ(hoja.Texto(46), "09");
    EXPECT_EQ(hoja.Etiqueta(47), "MUNICIPIO AJENO");
    EXPECT_EQ(hoja.Texto(48), "0007");
    EXPECT_EQ(hoja.Etiqueta(48), CveInexistente());
    hoja.PonTexto(47, "001");
    reglas->SaleCampo(46);
    EXPECT_EQ(hoja.Etiqueta(47), CveInexistente());
    EXPECT_EQ(hoja.Texto(48), QString());

    // Leaving a blank state or municipality empties what lies below.
    Escribe({{47, "001"}, {48, "0001"}, {46, QString()}});
    reglas->SaleCampo(46);
    EXPECT_EQ(hoja.Texto(47), QString());
    EXPECT_EQ(hoja.Texto(48), QString());
    Escribe({{46, "36"}, {48, "0001"}});
    reglas->SaleCampo(47);
    EXPECT_EQ(hoja.Texto(48), QString());
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Salida, ConsecuenciaMortalFijaElDestino)
{
    hoja.PonTexto(75, "1");
    Sale(61, "19");
    EXPECT_FALSE(hoja.CampoHabilitado(75));
    EXPECT_EQ(hoja.Texto(75), "5");
    Sale(61, "3");
    EXPECT_TRUE(hoja.CampoHabilitado(75));
    EXPECT_EQ(hoja.Texto(75), "5");
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
        {77, "V010", "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; "
                     "verifique por favor.....", "S008"},
        {76, "S99", "El Diagnostico debe ser de 4 dígitos, verifique por favor.....", "S008"},
    };
    for (const auto &c : casos) {
        focos.clear();
        abiertas.clear();
        hoja.HabilitaCampo(c.campo, true);
        hoja.PonTexto(c.campo, c.codigo);
        Mensajes().Limpia();
        EXPECT_FALSE(reglas->SaleCampo(c.campo));
        ASSERT_EQ(Mensajes().cajas.size(), 1) << c.campo;
        EXPECT_EQ(Mensajes().Ultimo(), QString::fromUtf8(c.mensaje));
        EXPECT_EQ(Mensajes().beeps, 1) << c.campo;
        EXPECT_EQ(abiertas, QStringList{QStringLiteral("CIE10(%1)").arg(c.campo)});
        EXPECT_EQ(hoja.Texto(c.campo), c.elegido);
        EXPECT_EQ(focos, QStringList{QString::number(c.campo)});
    }
    // An accepted code opens nothing; a blank field is not checked.
    abiertas.clear();
    Mensajes().Limpia();
    EXPECT_TRUE(reglas->SaleCampo(77));
    hoja.PonTexto(78, QString());
    EXPECT_TRUE(reglas->SaleCampo(78));
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
    EXPECT_TRUE(abiertas.isEmpty());
}
