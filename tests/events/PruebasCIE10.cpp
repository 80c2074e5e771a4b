#include "FixtureEventos.h"

namespace {

class CIE10 : public PruebaAlmacen {
protected:
    void SetUp() override
    {
        PruebaAlmacen::SetUp();
        // Causes made for the tests: sex, age limits and flags.
        const struct {
            const char *causa, *lsex, *linf, *lsup, *errad, *no_aph, *baja;
        } causas[] = {
            {"T9A1", "2", "", "", "", "", ""},       // females only
            {"T9A2", "", "005A", "", "", "", ""},    // from 5 years
            {"T9A3", "", "", "011M", "", "", ""},    // up to 11 months
            {"T9A4", "1", "", "", "", "", "B"},      // withdrawn and males only
            {"T9A5", "", "", "", "T", "T", ""},      // eradicated and not principal
            {"T9A6", "", "", "", " T", "", ""},      // eradicated
            {"W9A1", "", "", "", "", "T", ""},       // external cause, not principal
            {"W9A2", "", "", "", "T", "T", ""},      // external cause, eradicated and not principal
            {"O9A1", "2", "", "", "", "", ""},       // obstetric
            {"O9A2", "2", "", "", "T", "", ""},      // obstetric, eradicated
            {"T9Q1 ", "", "", "", "", "", ""},       // padded with blanks, as a received catalog may be
            {" T9R1", "", "", "", "", "", ""},
        };
        for (const auto &c : causas)
            prog.Ejecuta(QStringLiteral("INSERT INTO CATCIE10 (Causa, nombre, lsex, linf, lsup, errad, no_aph, "
                                        "Actualizac) VALUES (?, 'PRUEBA', ?, ?, ?, ?, ?, ?)"),
                         {c.causa, c.lsex, c.linf, c.lsup, c.errad, c.no_aph, c.baja});
    }

    void Paciente(const char *sexo, const char *clave, const char *edad, const char *embarazada = "")
    {
        hoja.PonTexto(38, QString::fromLatin1(sexo));
        hoja.PonTexto(37, QString::fromLatin1(clave));
        hoja.PonTexto(36, QString::fromLatin1(edad));
        hoja.PonTexto(39, QString::fromLatin1(embarazada));
    }
};

TEST_F(CIE10, TablaDeVeredictos)
{
    using V = VeredictoCIE10;
    const struct {
        const char *codigo, *sexo, *clave, *edad;
        V veredicto;
    } casos[] = {
        {"T9A1", "1", "3", "30", V::Sexo},        {"T9A1", "9", "3", "30", V::Aceptado},
        {"T9A1", "2", "3", "30", V::Aceptado},    {"T9A2", "2", "3", "4", V::Edad},
        {"T9A2", "2", "3", "5", V::Aceptado},     {"T9A2", "2", "2", "11", V::Edad},
        {"T9A3", "1", "2", "11", V::Aceptado},    {"T9A3", "1", "2", "12", V::Edad},
        {"T9A3", "1", "3", "1", V::Edad},         {"T9A3", "1", "1", "20", V::Aceptado},
        {"T9A3", "1", "9", "999", V::Edad},       {"T9A4", "2", "3", "30", V::Baja},
        {"T9A5", "2", "3", "30", V::NoAfeccionPrincipal}, {"T9A6", "2", "3", "30", V::Erradicada},
        {"ZZZZ", "2", "3", "30", V::NoExiste},    {" t9a1 ", "1", "3", "30", V::Sexo},
        // Missing patient data skips only the tests that need it.
        {"T9A1", "", "3", "30", V::Aceptado},     {"T9A2", "2", "", "4", V::Aceptado},
        {"T9A4", "", "", "", V::Baja},            {"ZZZZ", "", "", "", V::NoExiste},
        {"T9Q1", "1", "3", "30", V::Aceptado},    {"t9r1 ", "1", "3", "30", V::Aceptado},
    };
    for (const auto &c : casos) {
        Paciente(c.sexo, c.clave, c.edad);
        EXPECT_EQ(int(almacen->ConsultaCIE10(QString::fromLatin1(c.codigo))), int(c.veredicto))
            << c.codigo << " sexo " << c.sexo << " clave " << c.clave << " edad " << c.edad;
    }
    prog.Ejecuta("DROP TABLE CATCIE10");
    EXPECT_EQ(almacen->ConsultaCIE10("T9A1"), V::Error);
}

TEST_F(CIE10, ValidaDiagnosticoPorCampo)
{
    const struct {
        const char *codigo;
        int campo;
        const char *embarazada;
        const char *mensaje;   // nullptr: accepted
        bool titulo11;
    } casos[] = {
        {"", 76, "", "No ha capturado el Diagnóstico, verifique por favor.....", true},
        {" ", 77, "", "No ha capturado la Reselección de la Afección Principal, verifique por favor.....", true},
        {"", 78, "", "No ha capturado El Diagnóstico Externa, verifique por favor.....", true},
        {"S00", 76, "", "El Diagnostico debe ser de 4 dígitos, verifique por favor.....", false},
        {"S010", 78, "", "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor.....", false},
        {"A010", 77, "", "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; "
                         "verifique por favor.....", false},
        {"Y040", 78, "", nullptr, false},
        {"T9Q1", 76, "", nullptr, false},
        {"T9Z9", 77, "", " El Diagnóstico T9Z9 no existe en la lista detallada, verifique por favor.....", false},
        {"T9A1", 76, "", "El Diagnóstico T9A1 no es valida para el sexo del paciente, verifique por favor.....", false},
        {"T9A3", 76, "", "El Diagnóstico T9A3 no es valida para la edad, verifique por favor.....", false},
        {"T9A4", 76, "", " El Diagnóstico T9A4 es una categoría dada de baja, verifique por favor.....", false},
        {"T9A5", 77, "", "No se acepta El Diagnóstico T9A5 como afección principal, verifique por favor.....", false},
        {"T9A5", 76, "", nullptr, false},
        {"W9A1", 78, "", nullptr, false},
        {"W9A2", 78, "", nullptr, false},
        {"O9A1", 76, "2", " El Diagnóstico O9A1 no puede ser registrado si la paciente no esta embarazada, "
                          "verifique por favor.....", false},
        {"O9A1", 76, "", " El Diagnóstico O9A1 no puede ser registrado si la paciente no esta embarazada, "
                         "verifique por favor.....", false},
        // The catalog is consulted before the pregnancy rule.
        {"O9Z9", 76, "2", " El Diagnóstico O9Z9 no existe en la lista detallada, verifique por favor.....", false},
        {"O9A1", 77, "1", nullptr, false},
    };
    for (const auto &c : casos) {
        // A man of 30 years, but for the obstetric cases.
        if (c.codigo[0] == 'O')
            Paciente("2", "3", "30", c.embarazada);
        else
            Paciente("1", "3", "30");
        prog.mensajes.Limpia();
        const bool ok = almacen->ValidaDiagnostico(QString::fromLatin1(c.codigo), c.campo);
        EXPECT_EQ(ok, c.mensaje == nullptr) << c.codigo << " " << c.campo;
        if (c.mensaje) {
            ASSERT_EQ(prog.mensajes.cajas.size(), 1) << c.codigo;
            const auto &caja = prog.mensajes.cajas[0];
            EXPECT_EQ(caja.texto + "|" + caja.titulo + "|" + QString::number(int(caja.icono)),
                      QString::fromUtf8(c.mensaje) + "|" + TituloHoja + (c.titulo11 ? " - 11|" : "|")
                          + QString::number(int(Mensajes::Icono::Informacion)));
        } else {
            EXPECT_TRUE(prog.mensajes.cajas.isEmpty()) << c.codigo << ": " << prog.mensajes.Ultimo().toStdString();
        }
    }
    // A catalog that cannot be read accepts nothing.
    prog.Ejecuta("DROP TABLE CATCIE10");
    EXPECT_FALSE(almacen->ValidaDiagnostico("S001", 76));
}

TEST_F(CIE10, CausaErradicadaPreguntaYLaRespuestaDecide)
{
    Paciente("1", "3", "30");
    prog.mensajes.Responde(false);
    EXPECT_FALSE(almacen->ValidaDiagnostico("T9A6", 76));
    ASSERT_EQ(prog.mensajes.cajas.size(), 1);
    EXPECT_EQ(prog.mensajes.cajas[0].texto, "Se trata de una Causa erradicada,\n¿Desea continuar?");
    EXPECT_TRUE(prog.mensajes.cajas[0].pregunta && prog.mensajes.cajas[0].icono == Mensajes::Icono::Pregunta);
    prog.mensajes.Responde(true);
    EXPECT_TRUE(almacen->ValidaDiagnostico("T9A6", 76));

    // Yes goes on to the pregnancy rule.
    Paciente("2", "3", "30", "2");
    prog.mensajes.Limpia();
    prog.mensajes.Responde(true);
    EXPECT_FALSE(almacen->ValidaDiagnostico("O9A2", 77));
    ASSERT_EQ(prog.mensajes.cajas.size(), 2);
    EXPECT_EQ(prog.mensajes.cajas[1].texto, " El Diagnóstico O9A2 no puede ser registrado si la paciente "
                                            "no esta embarazada, verifique por favor.....");
}

// Found, not found (with a beep) and unreadable; a blank code is not looked up.
TEST_F(CIE10, NombreConSusTresDesenlaces)
{
    using H = Descripcion::Hallazgo;
    // Outcome, text and beeps so far.
    auto nombre = [this](const char *codigo) {
        const Descripcion d = almacen->NombreCIE10(codigo);
        return QStringLiteral("%1|%2|%3").arg(int(d.hallazgo)).arg(d.texto).arg(prog.mensajes.beeps);
    };
    EXPECT_EQ(nombre("S001"), QStringLiteral("%1|CONTUSION DEL PARPADO Y DE LA REGION PERIOCULAR|0").arg(int(H::Encontrado)));
    EXPECT_TRUE(nombre("   ").endsWith("||0"));
    EXPECT_EQ(nombre("S99Z"), QStringLiteral("%1|CVE INEXISTENTE|1").arg(int(H::NoEncontrado)));
    prog.Ejecuta("DROP TABLE CATCIE10");
    EXPECT_EQ(nombre("S001"), QStringLiteral("%1||1").arg(int(H::Error)));
}

} // namespace
