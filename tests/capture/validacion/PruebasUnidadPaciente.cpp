// The unit and the patient: Folio, CLUES, date of care, names, entitlement,
// CURP, affiliation, file, age, sex, pregnancy, literacy and schooling.

#include "HojaValidacion.h"

#include <gtest/gtest.h>

namespace {

using H = HojaValidacion;

const QString Quirval = QStringLiteral("El número de afiliación al QUIRVAL, no es correcto, verifique por favor....."
                                       "\n\n¿Cuenta con el número de afiliación?");
const QString Brestal = QStringLiteral("El número de afiliación al BRESTAL, no es correcto, verifique por favor....."
                                       "\n\n¿Cuenta con el número de afiliación?");

void SoloBrestal(H &h)
{
    h.Marca(ListaHoja::Derechohabiencia, QStringLiteral("G"), true);
    h.hoja.PonTexto(33, QStringLiteral("12345"));
}

const std::vector<CasoFalla> &Casos()
{
    static const std::vector<CasoFalla> casos = {
        {"FolioVacio", Pon(22, "  "), "No ha capturado el Folio, verifique por favor.....", true, 0, FocoCampo(22)},
        {"FolioCero", Pon(22, "00000000"), "El Folio no puede ser cero, verifique por favor.....", true, 0,
         FocoCampo(22)},
        {"CluesVacia",
         [](H &h) {
             h.hoja.PonTexto(23, QString());
             h.hoja.HabilitaCampo(23, false);
         },
         "No ha capturado la clave CLUES de la Unidad, verifique por favor.....", true, 0, FocoCampo(23), {},
         [](H &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(23)); }},
        {"CluesFueraDelCatalogo",
         [](H &h) {
             h.hoja.PonTexto(23, QStringLiteral("DFSSA999999"));
             h.hoja.HabilitaCampo(23, false);
         },
         "La clave CLUES no es correcta, verifique por favor.....", true, 0, FocoCampo(23), {},
         [](H &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(23)); }},
        {"CluesFueraDelCatalogoEnCambio", Pon(23, "DFSSA999999"), "La clave CLUES no es correcta, verifique por favor.....",
         true, 0, FocoCampo(23), {}, [](H &h) { EXPECT_TRUE(h.hoja.MarcoHabilitado(Marco::Clues)); }, false},
        {"FechaAtencionVacia", [](H &h) { h.hoja.PonFecha(1, QString()); },
         "No ha capturado la Fecha de Atención, verifique por favor....", true, 0, FocoFecha(1)},
        {"FechaAtencionInvalida", [](H &h) { h.hoja.PonFecha(1, QStringLiteral("31/04/2004")); },
         "La Fecha de Atención no es valida, verifique por favor....", true, 0, FocoFecha(1), {},
         [](H &h) { EXPECT_EQ(h.p.mensajes.cajas.size(), 1); }},
        {"FechaAtencionNoEsDelCalendario", [](H &h) { h.hoja.PonFecha(1, QStringLiteral("29/02/2005")); },
         "La Fecha de Atención no es valida, verifique por favor....", true, 0, FocoFecha(1), {},
         [](H &h) {
             ASSERT_EQ(h.p.mensajes.cajas.size(), 2);
             EXPECT_EQ(h.p.mensajes.cajas[0].texto, QStringLiteral("Fecha invalida, verifique por favor....."));
         }},
        {"FechaAtencionAntesDelAno", [](H &h) { h.hoja.PonFecha(1, QStringLiteral("25/12/2003")); },
         "La Fecha de Atención debe ser del año estadistico en curso, verifique por favor....", true, 0, FocoFecha(1)},
        {"FechaAtencionDespuesDelAno", [](H &h) { h.hoja.PonFecha(1, QStringLiteral("26/12/2004")); },
         "La Fecha de Atención debe ser del año estadistico en curso, verifique por favor....", true, 0, FocoFecha(1)},
        {"FechaAtencionFutura", [](H &h) { h.p.reloj.Fija(QDateTime(QDate(2004, 6, 14), QTime(23, 0))); },
         "La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor....", false, 0, FocoFecha(1)},
        {"EventoRepetido", [](H &h) { ASSERT_TRUE(h.almacen.AltaEvento()); },
         "Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....", false, 0,
         FocoCampo(22)},
        {"SinPaterno", Pon(29, " "), "No ha capturado el Apellido Paterno, verifique por favor.....", true, 0,
         FocoCampo(29)},
        {"SinNombre", Pon(31, ""), "No ha capturado el Nombre del paciente, verifique por favor.....", true, 0,
         FocoCampo(31)},
        {"SinDerechohabiencia", [](H &h) { h.DesmarcaTodo(ListaHoja::Derechohabiencia); },
         "No ha capturado la Derechohabiencia, verifique por favor....", true, 0, FocoLista(ListaHoja::Derechohabiencia)},
        {"SinCurpNo", Pon(32, ""), "No ha capturado la CURP\n¿Esta seguro de no contar con este dato?", false, 0,
         FocoCampo(32), {false}},
        {"CurpCorta", Pon(32, "PELM74031"), "La CURP no es correcta, verifique por favor.....\n\n", false, 0,
         FocoCampo(32), {},
         [](H &h) {
             EXPECT_FALSE(h.p.mensajes.cajas.last().pregunta);
             EXPECT_EQ(h.p.mensajes.cajas.last().icono, Mensajes::Icono::Ninguno);
         },
         true, "VELMORAN"},
        {"CurpMalFormada", Pon(32, "PEL1740312MDFRPR09"), "La CURP no es correcta, verifique por favor.....\n\n", false,
         0, FocoCampo(32), {}, {}, true, "VELMORAN"},
        {"CurpDeBlancosSi", Pon(32, "   "), "La CURP no es correcta, verifique por favor.....\n\n", false, 0,
         FocoCampo(32), {true}, {}, true, "VELMORAN"},
        {"QuirvalCortaSi", Pon(33, "12345"), Quirval, true, 0, FocoCampo(33), {true},
         [](H &h) { EXPECT_EQ(h.hoja.Texto(33), QStringLiteral("12345")); }},
        {"QuirvalSufijoCortoSi", Pon(34, "1"), Quirval, true, 0, FocoCampo(34), {true}},
        {"BrestalCortaSi", SoloBrestal, Brestal, true, 0, FocoCampo(33), {true}},
        {"SinExpediente", Pon(35, ""), "No ha capturado el Expediente, verifique por favor....", true, 0, FocoCampo(35)},
        {"SinEdad", Pon(36, ""), "No ha capturado la Edad, verifique por favor....", true, 0, FocoCampo(36)},
        {"SinClaveEdad", Pon(37, ""), "No ha capturado la Clave de Edad, verifique por favor....", true, 0,
         FocoCampo(37)},
        {"EdadFueraDeSuClave", Pon(36, "131"), "La Clave de Edad no es correcta, verifique por favor....", true, 0,
         FocoCampo(37), {},
         [](H &h) {
             ASSERT_EQ(h.p.mensajes.cajas.size(), 2);
             EXPECT_EQ(h.p.mensajes.cajas[0].texto,
                       QStringLiteral("Edad incorrecta para clave de edad en AÑOS, verifique por favor....."));
         }},
        {"ClaveEdadDesconocida", Pon(37, "5"), "La Clave de Edad no es correcta, verifique por favor....", true, 0,
         FocoCampo(37), {}, [](H &h) { EXPECT_EQ(h.p.mensajes.cajas.size(), 1); }},
        {"EdadNoRegistradaNo", Pon({{37, "2"}, {36, "99"}}), "¿Está seguro de no conocer la EDAD del paciente?", false, 0,
         FocoCampo(36), {false},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(36), QString());
             EXPECT_EQ(h.hoja.Texto(37), QString());
             EXPECT_EQ(h.p.mensajes.cajas.last().icono, Mensajes::Icono::Pregunta);
         }},
        {"ClaveEdadNoEspecificadaNo", Pon(37, "9"), "¿Está seguro de no conocer la EDAD del paciente?", false, 0,
         FocoCampo(36), {false}},
        {"SinSexo", Pon(38, ""), "No ha capturado el Sexo, verifique por favor....", true, 0, FocoCampo(38)},
        {"SexoNoEspecificadoNo", Pon(38, "9"), "¿Está seguro de no conocer el SEXO del paciente?", false, 0,
         FocoCampo(38), {false}, Lee(38, "")},
        {"SexoDesconocido", Pon(38, "5"), "El código del Sexo no se conoce, verifique por favor....", true, 0,
         FocoCampo(38)},
        {"SinEmbarazo", Pon(39, ""), "No ha capturado si la paciente se encuentra embarazada, verifique por favor....",
         true, 0, FocoCampo(39)},
        {"SinEmbarazoA9Anos", Pon({{36, "9"}, {39, ""}}),
         "No ha capturado si la paciente se encuentra embarazada, verifique por favor....", true, 0, FocoCampo(39)},
        {"EmbarazoDesconocido", Pon(39, "5"), "El código de Embarazada no se conoce, verifique por favor....", true, 0,
         FocoCampo(39)},
        {"SinLeeEscribe", Pon(40, ""), "No ha capturado si el paciente sabe leer y escribir, verifique por favor....",
         true, 0, FocoCampo(40)},
        {"SinLeeEscribeA5Anos", Pon({{36, "5"}, {40, ""}}),
         "No ha capturado si el paciente sabe leer y escribir, verifique por favor....", true, 0, FocoCampo(40)},
        {"LeeEscribeDesconocido", Pon(40, "5"), "El código de Sabe Leer y Escribir no se conoce, verifique por favor....",
         true, 0, FocoCampo(40)},
        {"SinEscolaridad", Pon(41, ""), "No ha capturado la escolaridad, verifique por favor....", true, 0,
         FocoCampo(41)},
        {"EscolaridadNoPermitidaA11Anos", Pon({{36, "11"}, {41, "2"}}),
         "El código de la Escolaridad no se conoce ó no está permitido, verifique por favor....", true, 0,
         FocoCampo(41)},
        {"EscolaridadNoPermitidaSinLeer", Pon({{40, "2"}, {41, "4"}}),
         "El código de la Escolaridad no se conoce ó no está permitido, verifique por favor....", true, 0,
         FocoCampo(41)},
        {"EscolaridadDesconocida", Pon(41, "7"), "El código de la Escolaridad no se conoce, verifique por favor....",
         true, 0, FocoCampo(41)},
    };
    return casos;
}

class FallaUnidadPaciente : public ::testing::TestWithParam<CasoFalla> {};

TEST_P(FallaUnidadPaciente, MuestraSuMensajeYEnfocaElCampo)
{
    CompruebaFalla(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Reglas, FallaUnidadPaciente, ::testing::ValuesIn(Casos()),
                         [](const auto &info) { return NombreCaso(info.param); });

const std::vector<CasoPasa> &Pasan()
{
    static const std::vector<CasoPasa> casos = {
        {"FolioSinCeros", Pon(22, "123"), {}, Lee(22, "00000123")},
        {"SinMaterno", Pon(30, ""), {}, {}},
        {"InicioDelAno",
         [](H &h) {
             h.hoja.PonFecha(1, QStringLiteral("26/12/2003"));
             h.hoja.PonFecha(0, QStringLiteral("26/12/2003"));
             h.hoja.PonTexto(49, QStringLiteral("08"));
         },
         {}, {}},
        {"FinDelAno",
         [](H &h) {
             h.hoja.PonFecha(1, QStringLiteral("25/12/2004"));
             h.hoja.PonFecha(0, QStringLiteral("25/12/2004"));
             h.hoja.PonTexto(49, QStringLiteral("08"));
         },
         {}, {}},
        {"FueraDelAnoEnCambio",
         [](H &h) {
             h.hoja.PonFecha(1, QStringLiteral("26/12/2004"));
             h.hoja.PonFecha(0, QStringLiteral("26/12/2004"));
             h.hoja.PonTexto(49, QStringLiteral("08"));
         },
         {}, {}, false},
        {"FechaBisiesta",
         [](H &h) {
             h.hoja.PonFecha(1, QStringLiteral("29/02/2004"));
             h.hoja.PonFecha(0, QStringLiteral("29/02/2004"));
             h.hoja.PonTexto(49, QStringLiteral("08"));
         },
         {}, {}},
        {"FechaDeHoy", [](H &h) { h.p.reloj.Fija(QDateTime(QDate(2004, 6, 15), QTime(0, 1))); }, {}, {}},
        {"EventoGuardadoEnCambio", [](H &h) { ASSERT_TRUE(h.almacen.AltaEvento()); }, {}, {}, false},
        {"SinCurpSi", Pon(32, ""), {true}, {}},
        {"QuirvalDesconocida", Pon(33, "12345"), {false},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(33), QStringLiteral("9999999999"));
             EXPECT_EQ(h.hoja.Texto(34), QStringLiteral("99"));
         }},
        {"BrestalDesconocida", SoloBrestal, {false},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(33), QStringLiteral("9999999999"));
             EXPECT_FALSE(h.hoja.CampoHabilitado(34));
         }},
        {"EdadNoRegistradaSi", Pon({{37, "2"}, {36, "99"}}), {true}, {}},
        {"NoventaYNueveAnos", Pon(36, "99"), {}, {}},
        {"SexoNoEspecificadoSi", Pon(38, "9"), {true}, Lee(39, "")},
        // Where a field does not apply the validation itself gives it its value.
        {"NinaDe8AnosSinEmbarazo",
         [](H &h) {
             h.hoja.PonTexto(36, QStringLiteral("8"));
             h.hoja.HabilitaCampo(39, true);
             h.hoja.PonTexto(39, QStringLiteral("1"));
             h.hoja.PonTexto(41, QStringLiteral("5"));
         },
         {},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(39), QString());
             EXPECT_FALSE(h.hoja.CampoHabilitado(39));
         }},
        {"MujerDe55SinEmbarazo",
         [](H &h) {
             h.hoja.PonTexto(36, QStringLiteral("55"));
             h.hoja.HabilitaCampo(39, true);
             h.hoja.PonTexto(39, QStringLiteral("2"));
         },
         {}, Lee(39, "")},
        {"NinoDe4Anos",
         [](H &h) {
             h.hoja.PonTexto(36, QStringLiteral("4"));
             h.hoja.HabilitaCampo(40, true);
             h.hoja.PonTexto(40, QStringLiteral("1"));
             h.hoja.HabilitaCampo(41, true);
             h.hoja.PonTexto(41, QStringLiteral("5"));
         },
         {},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(40), QStringLiteral("2"));
             EXPECT_EQ(h.hoja.Texto(41), QStringLiteral("6"));
             EXPECT_FALSE(h.hoja.CampoHabilitado(40));
             EXPECT_FALSE(h.hoja.CampoHabilitado(41));
         }},
        {"NinoDe5Anos", Pon({{36, "5"}, {40, "1"}}), {}, Lee(41, "6")},
        {"NinoDe8AnosEscolaridadLibre", Pon({{36, "8"}, {40, "1"}, {41, "8"}}), {}, {}},
        {"BebeEnMeses", Pon({{37, "2"}, {36, "8"}}), {},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(39), QString());
             EXPECT_EQ(h.hoja.Texto(40), QStringLiteral("2"));
             EXPECT_EQ(h.hoja.Texto(41), QStringLiteral("6"));
         }},
    };
    return casos;
}

class PasaUnidadPaciente : public ::testing::TestWithParam<CasoPasa> {};

TEST_P(PasaUnidadPaciente, GrabaYDejaLasReescrituras)
{
    CompruebaPasa(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Variantes, PasaUnidadPaciente, ::testing::ValuesIn(Pasan()),
                         [](const auto &info) { return NombreCaso(info.param); });

} // namespace
