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
            // females only; from 5 years; up to 11 months
            {"T9A1", "2", "", "", "", "", ""}, {"T9A2", "", "005A", "", "", "", ""}, {"T9A3", "", "", "011M", "", "", ""},
            // withdrawn and males only; eradicated and not principal; eradicated
            {"T9A4", "1", "", "", "", "", "B"}, {"T9A5", "", "", "", "T", "T", ""}, {"T9A6", "", "", "", " T", "", ""},
            // external cause, eradicated and not principal; obstetric; obstetric, eradicated
            {"W9A2", "", "", "", "T", "T", ""}, {"O9A1", "2", "", "", "", "", ""}, {"O9A2", "2", "", "", "T", "", ""},
            // padded with blanks, as a received catalog may be
            {"T9Q1 ", "", "", "", "", "", ""}, {" T9R1", "", "", "", "", "", ""},
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

// The boundaries of each rule; ValidaDiagnostico below gives each verdict its message.
TEST_F(CIE10, TablaDeVeredictos)
{
    using V = VeredictoCIE10;
    const std::tuple<const char *, const char *, const char *, const char *, V> casos[] = {   // code, sex, age key, age

        {"T9A1", "9", "3", "30", V::Aceptado}, {"T9A1", "2", "3", "30", V::Aceptado}, {" t9a1 ", "1", "3", "30", V::Sexo},
        {"T9A2", "2", "3", "4", V::Edad},      {"T9A2", "2", "3", "5", V::Aceptado},  {"T9A2", "2", "2", "11", V::Edad},
        {"T9A3", "1", "2", "11", V::Aceptado}, {"T9A3", "1", "2", "12", V::Edad},     {"T9A3", "1", "3", "1", V::Edad},
        {"T9A3", "1", "1", "20", V::Aceptado}, {"T9A3", "1", "9", "999", V::Edad},
        // Missing patient data skips only the tests that need it.
        {"T9A1", "", "3", "30", V::Aceptado},  {"T9A2", "2", "", "4", V::Aceptado},   {"T9A4", "", "", "", V::Baja},
        {"T9Q1", "1", "3", "30", V::Aceptado}, {"t9r1 ", "1", "3", "30", V::Aceptado},
    };
    for (const auto &[codigo, sexo, clave, edad, veredicto] : casos) {
        Paciente(sexo, clave, edad);
        EXPECT_EQ(int(almacen->ConsultaCIE10(QString::fromLatin1(codigo))), int(veredicto)) << codigo << " " << sexo << clave << edad;
    }
}

TEST_F(CIE10, ValidaDiagnosticoPorCampo)
{
    // Code, field, pregnant, and the message (ending in ", verifique por favor.....") or nullptr: accepted.
    const std::tuple<const char *, int, const char *, const char *> casos[] = {
        {"", 76, "", "No ha capturado el Diagnóstico"}, {" ", 77, "", "No ha capturado la Reselección de la Afección Principal"},
        {"", 78, "", "No ha capturado El Diagnóstico Externa"}, {"S00", 76, "", "El Diagnostico debe ser de 4 dígitos"},
        {"T9Z9", 77, "", " El Diagnóstico T9Z9 no existe en la lista detallada"}, {"T9A3", 76, "", "El Diagnóstico T9A3 no es valida para la edad"},
        {"T9A1", 76, "", "El Diagnóstico T9A1 no es valida para el sexo del paciente"},
        {"T9A4", 76, "", " El Diagnóstico T9A4 es una categoría dada de baja"},
        {"T9A5", 77, "", "No se acepta El Diagnóstico T9A5 como afección principal"},
        {"T9A5", 76, "", nullptr}, {"W9A2", 78, "", nullptr}, {"O9A1", 77, "1", nullptr},
        {"O9A1", 76, "2", " El Diagnóstico O9A1 no puede ser registrado si la paciente no esta embarazada"},
        {"O9A1", 76, "", " El Diagnóstico O9A1 no puede ser registrado si la paciente no esta embarazada"},
        // The catalog is consulted before the pregnancy rule.
        {"O9Z9", 76, "2", " El Diagnóstico O9Z9 no existe en la lista detallada"},
    };
    for (const auto &[codigo, campo, embarazada, mensaje] : casos) {
        // A man of 30 years, but for the obstetric cases.
        Paciente(codigo[0] == 'O' ? "2" : "1", "3", "30", embarazada);
        prog.mensajes.Limpia();
        EXPECT_EQ(almacen->ValidaDiagnostico(QString::fromLatin1(codigo), campo), mensaje == nullptr) << codigo;
        // Only the blank fields' messages carry their number in the title.
        const QString titulo = TituloHoja + (codigo[0] && codigo[0] != ' ' ? "|" : " - 11|");
        EXPECT_EQ(prog.mensajes.cajas.size() == 1 ? prog.mensajes.Ultimo() + "|" + prog.mensajes.cajas[0].titulo + "|"
                                                        + QString::number(int(prog.mensajes.cajas[0].icono)) : QString(),
                  mensaje ? QString::fromUtf8(mensaje) + ", verifique por favor.....|" + titulo + QString::number(int(Mensajes::Icono::Informacion)) : QString())
            << codigo << " " << campo;
    }
    // A catalog that cannot be read accepts nothing.
    prog.Ejecuta("DROP TABLE CATCIE10");
    EXPECT_FALSE(almacen->ValidaDiagnostico("S001", 76));
    EXPECT_EQ(almacen->ConsultaCIE10("T9A1"), VeredictoCIE10::Error);
}

// The first character by field: a refused letter gets its chapter message; an
// allowed letter or any other character goes on to the catalog, which has no
// such cause (and one that begins with a digit, made here, is accepted).
TEST_F(CIE10, CapituloPorPrimerCaracter)
{
    const QString v = "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; verifique por favor.....";
    const QString xx = "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor.....";
    const auto noExiste = [](const char *c) { return " El Diagnóstico " + QString::fromLatin1(c) + " no existe en la lista detallada, verifique por favor....."; };
    QStringList pasan76, pasan78;
    for (char l = 'A'; l <= 'Z'; ++l) {
        Paciente("1", "3", "30", "1");
        for (int campo : {76, 77, 78}) {
            const QString codigo = QString(QLatin1Char(l)) + "9Z9";
            prog.mensajes.Limpia();
            EXPECT_FALSE(almacen->ValidaDiagnostico(codigo, campo));
            if (prog.mensajes.Ultimo() == (campo == 78 ? xx : v))
                continue;
            EXPECT_EQ(prog.mensajes.Ultimo(), noExiste(qPrintable(codigo))) << campo;
            (campo == 78 ? pasan78 : pasan76) << QString(QLatin1Char(l)) + QString::number(campo);
        }
    }
    EXPECT_EQ(pasan76, (QStringList{"F76", "F77", "O76", "O77", "S76", "S77", "T76", "T77"}));
    EXPECT_EQ(pasan78, (QStringList{"V78", "W78", "X78", "Y78"}));

    prog.Ejecuta("INSERT INTO CATCIE10 (Causa, nombre) VALUES ('9ABC', 'PRUEBA')");
    for (int campo : {76, 77, 78}) {
        prog.mensajes.Limpia();
        EXPECT_FALSE(almacen->ValidaDiagnostico("1234", campo));
        EXPECT_EQ(prog.mensajes.Ultimo() + "|" + prog.mensajes.cajas[0].titulo, noExiste("1234") + "|" + TituloHoja) << campo;
        EXPECT_TRUE(almacen->ValidaDiagnostico("9abc", campo)) << campo;
        EXPECT_EQ(prog.mensajes.cajas.size(), 1);
    }
}

TEST_F(CIE10, CausaErradicadaPreguntaYLaRespuestaDecide)
{
    Paciente("2", "3", "30", "2");
    prog.mensajes.Responde(false);
    EXPECT_FALSE(almacen->ValidaDiagnostico("T9A6", 76));
    EXPECT_EQ(prog.mensajes.Ultimo(), "Se trata de una Causa erradicada,\n¿Desea continuar?");
    EXPECT_TRUE(prog.mensajes.cajas[0].pregunta && prog.mensajes.cajas[0].icono == Mensajes::Icono::Pregunta);
    // Yes goes on to the next rule.
    for (int i = 0; i < 2; ++i)
        prog.mensajes.Responde(true);
    EXPECT_TRUE(almacen->ValidaDiagnostico("T9A6", 76));
    EXPECT_FALSE(almacen->ValidaDiagnostico("O9A2", 77));
    EXPECT_TRUE(prog.mensajes.Ultimo().endsWith("no esta embarazada, verifique por favor....."));
}

// Not found (with a beep) and unreadable; a blank code is not looked up.
TEST_F(CIE10, NombreSinCausaOSinCatalogo)
{
    using H = Descripcion::Hallazgo;
    auto nombre = [this](const char *codigo) {   // outcome, text and beeps so far
        const Descripcion d = almacen->NombreCIE10(codigo);
        return QStringLiteral("%1|%2|%3").arg(int(d.hallazgo)).arg(d.texto).arg(prog.mensajes.beeps);
    };
    EXPECT_TRUE(nombre("   ").endsWith("||0"));
    EXPECT_EQ(nombre("S99Z"), QStringLiteral("%1|CVE INEXISTENTE|1").arg(int(H::NoEncontrado)));
    prog.Ejecuta("DROP TABLE CATCIE10");
    EXPECT_EQ(nombre("S001"), QStringLiteral("%1||1").arg(int(H::Error)));
}

} // namespace
