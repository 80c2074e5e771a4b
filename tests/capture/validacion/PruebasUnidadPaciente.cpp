// The unit and the patient: Folio, CLUES, date of care, names, entitlement,
// CURP, affiliation, file, age, sex, pregnancy, literacy and schooling.

#include "HojaValidacion.h"

#include <gtest/gtest.h>

namespace {

using H = HojaValidacion;

const QString Quirval = QStringLiteral("El número de afiliación al QUIRVAL, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?");
const QString Brestal = QStringLiteral("El número de afiliación al BRESTAL, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?");
const QString CurpIncorrecta = "La CURP no es correcta, verifique por favor.....\n\n";
const QString FechaNoValida = "La Fecha de Atención no es valida, verifique por favor....";
const QString FueraDelAno = "La Fecha de Atención debe ser del año estadistico en curso, verifique por favor....";
const QString ClaveEdadIncorrecta = "La Clave de Edad no es correcta, verifique por favor....";
const QString EdadDesconocida = "¿Está seguro de no conocer la EDAD del paciente?";
const QString SinEmbarazo = "No ha capturado si la paciente se encuentra embarazada, verifique por favor....";
const QString SinLeeEscribe = "No ha capturado si el paciente sabe leer y escribir, verifique por favor....";
const QString EscolaridadNoPermitida = "El código de la Escolaridad no se conoce ó no está permitido, verifique por favor....";

const Cambio SoloBrestal = [](H &h) {
    h.Marca(ListaHoja::Derechohabiencia, "G");
    h.hoja.PonTexto(33, "12345");
};

// Both dates on that day, the occurrence at 08:00.
Cambio Dia(const char *fecha)
{
    return Y({PonFecha(1, fecha), PonFecha(0, fecha), Pon(49, "08")});
}

Cambio Hoy(QDateTime ahora)
{
    return [=](H &h) { h.prog.reloj.Fija(ahora); };
}

const Cambio Repetido = [](H &h) { ASSERT_TRUE(h.almacen.AltaEvento()); };

const CasoFalla Fallan[] = {
    {"FolioVacio", Pon(22, "  "), "No ha capturado el Folio, verifique por favor.....", true, 0, "22"},
    {"FolioCero", Pon(22, "00000000"), "El Folio no puede ser cero, verifique por favor.....", true, 0, "22"},
    {"CluesVacia", Bloquea(23), "No ha capturado la clave CLUES de la Unidad, verifique por favor.....", true, 0, "23", {}, Abierto(23)},
    {"CluesFueraDelCatalogo", Bloquea(23, "DFSSA999999"), "La clave CLUES no es correcta, verifique por favor.....", true, 0, "23", {}, Abierto(23)},
    {"CluesFueraDelCatalogoEnCambio", Pon(23, "DFSSA999999"), "La clave CLUES no es correcta, verifique por favor.....", true, 0, "23", {}, {}, false},
    {"FechaAtencionVacia", PonFecha(1, ""), "No ha capturado la Fecha de Atención, verifique por favor....", true, 0, FocoFecha(1)},
    {"FechaAtencionInvalida", PonFecha(1, "31/04/2004"), FechaNoValida, true, 0, FocoFecha(1), {}, Cajas(1)},
    {"FechaAtencionNoEsDelCalendario", PonFecha(1, "29/02/2005"), FechaNoValida, true, 0, FocoFecha(1), {}, Cajas(2, "Fecha invalida, verifique por favor.....")},
    {"FechaAtencionAntesDelAno", PonFecha(1, "25/12/2003"), FueraDelAno, true, 0, FocoFecha(1)},
    {"FechaAtencionDespuesDelAno", PonFecha(1, "26/12/2004"), FueraDelAno, true, 0, FocoFecha(1)},
    {"FechaAtencionFutura", Hoy(QDateTime(QDate(2004, 6, 14), QTime(23, 0))), "La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor....", false, 0, FocoFecha(1)},
    {"EventoRepetido", Repetido, "Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....", false, 0, "22"},
    {"SinPaterno", Pon(29, " "), "No ha capturado el Apellido Paterno, verifique por favor.....", true, 0, "29"},
    {"SinNombre", Pon(31, ""), "No ha capturado el Nombre del paciente, verifique por favor.....", true, 0, "31"},
    {"SinDerechohabiencia", Desmarca(ListaHoja::Derechohabiencia), "No ha capturado la Derechohabiencia, verifique por favor....", true, 0, FocoLista(ListaHoja::Derechohabiencia)},
    {"SinCurpNo", Pon(32, ""), "No ha capturado la CURP\n¿Esta seguro de no contar con este dato?", false, 0, "32", {false}},
    {"CurpCorta", Pon(32, "PELM74031"), CurpIncorrecta, false, 0, "32", {},
     [](H &h) { EXPECT_FALSE(h.Msj().cajas.last().pregunta); EXPECT_EQ(h.Msj().cajas.last().icono, Mensajes::Icono::Ninguno); }, true, "VELMORAN2016"},
    {"CurpDeBlancosSi", Pon(32, "   "), CurpIncorrecta, false, 0, "32", {true}, {}, true, "VELMORAN2016"},
    {"QuirvalCortaSi", Pon(33, "12345"), Quirval, true, 0, "33", {true}, Lee(33, "12345")},
    {"QuirvalSufijoCortoSi", Pon(34, "1"), Quirval, true, 0, "34", {true}},
    {"BrestalCortaSi", SoloBrestal, Brestal, true, 0, "33", {true}},
    {"SinExpediente", Pon(35, ""), "No ha capturado el Expediente, verifique por favor....", true, 0, "35"},
    {"SinEdad", Pon(36, ""), "No ha capturado la Edad, verifique por favor....", true, 0, "36"},
    {"SinClaveEdad", Pon(37, ""), "No ha capturado la Clave de Edad, verifique por favor....", true, 0, "37"},
    {"EdadFueraDeSuClave", Pon(36, "131"), ClaveEdadIncorrecta, true, 0, "37", {}, Cajas(2, "Edad incorrecta para clave de edad en AÑOS, verifique por favor.....")},
    {"ClaveEdadDesconocida", Pon(37, "5"), ClaveEdadIncorrecta, true, 0, "37", {}, Cajas(1)},
    {"EdadNoRegistradaNo", Pon({{37, "2"}, {36, "99"}}), EdadDesconocida, false, 0, "36", {false},
     [](H &h) { Lee({{36, ""}, {37, ""}})(h); EXPECT_EQ(h.Msj().cajas.last().icono, Mensajes::Icono::Pregunta); }},
    {"ClaveEdadNoEspecificadaNo", Pon(37, "9"), EdadDesconocida, false, 0, "36", {false}},
    {"SinSexo", Pon(38, ""), "No ha capturado el Sexo, verifique por favor....", true, 0, "38"},
    {"SexoNoEspecificadoNo", Pon(38, "9"), "¿Está seguro de no conocer el SEXO del paciente?", false, 0, "38", {false}, Lee(38, "")},
    {"SexoDesconocido", Pon(38, "5"), "El código del Sexo no se conoce, verifique por favor....", true, 0, "38"},
    {"SinEmbarazo", Pon(39, ""), SinEmbarazo, true, 0, "39"},
    {"SinEmbarazoA9Anos", Pon({{36, "9"}, {39, ""}}), SinEmbarazo, true, 0, "39"},
    {"EmbarazoDesconocido", Pon(39, "5"), "El código de Embarazada no se conoce, verifique por favor....", true, 0, "39"},
    {"SinLeeEscribe", Pon(40, ""), SinLeeEscribe, true, 0, "40"},
    {"SinLeeEscribeA5Anos", Pon({{36, "5"}, {40, ""}}), SinLeeEscribe, true, 0, "40"},
    {"LeeEscribeDesconocido", Pon(40, "5"), "El código de Sabe Leer y Escribir no se conoce, verifique por favor....", true, 0, "40"},
    {"SinEscolaridad", Pon(41, ""), "No ha capturado la escolaridad, verifique por favor....", true, 0, "41"},
    {"EscolaridadNoPermitidaA11Anos", Pon({{36, "11"}, {41, "2"}}), EscolaridadNoPermitida, true, 0, "41"},
    {"EscolaridadNoPermitidaSinLeer", Pon({{40, "2"}, {41, "4"}}), EscolaridadNoPermitida, true, 0, "41"},
    {"EscolaridadDesconocida", Pon(41, "7"), "El código de la Escolaridad no se conoce, verifique por favor....", true, 0, "41"},
};

INSTANTIATE_TEST_SUITE_P(UnidadPaciente, Falla, ::testing::ValuesIn(Fallan), NombreCaso<CasoFalla>);

const CasoPasa Pasan[] = {
    {"FolioSinCeros", Pon(22, "123"), {}, Lee(22, "00000123")},
    {"SinMaterno", Pon(30, "")},
    {"InicioDelAno", Dia("26/12/2003")},
    {"FinDelAno", Dia("25/12/2004")},
    {"FueraDelAnoEnCambio", Dia("26/12/2004"), {}, {}, false},
    {"FechaBisiesta", Dia("29/02/2004")},
    {"FechaDeHoy", Hoy(QDateTime(QDate(2004, 6, 15), QTime(0, 1)))},
    {"EventoGuardadoEnCambio", Repetido, {}, {}, false},
    {"SinCurpSi", Pon(32, ""), {true}},
    {"QuirvalDesconocida", Pon(33, "12345"), {false}, Lee({{33, "9999999999"}, {34, "99"}})},
    {"BrestalDesconocida", SoloBrestal, {false}, Y({Lee(33, "9999999999"), Cerrados({34})})},
    {"EdadNoRegistradaSi", Pon({{37, "2"}, {36, "99"}}), {true}},
    {"NoventaYNueveAnos", Pon(36, "99")},
    {"SexoNoEspecificadoSi", Pon(38, "9"), {true}, Lee(39, "")},
    // Where a field does not apply the validation itself gives it its value.
    {"NinaDe8AnosSinEmbarazo", Y({Pon(36, "8"), Fuerza({{39, "1"}}), Pon(41, "5")}), {}, Vacios({39})},
    {"MujerDe55SinEmbarazo", Y({Pon(36, "55"), Fuerza({{39, "2"}})}), {}, Lee(39, "")},
    {"NinoDe4Anos", Y({Pon(36, "4"), Fuerza({{40, "1"}, {41, "5"}})}), {}, Y({Lee({{40, "2"}, {41, "6"}}), Cerrados({40, 41})})},
    {"NinoDe5Anos", Pon({{36, "5"}, {40, "1"}}), {}, Lee(41, "6")},
    {"NinoDe8AnosEscolaridadLibre", Pon({{36, "8"}, {40, "1"}, {41, "8"}})},
    {"BebeEnMeses", Pon({{37, "2"}, {36, "8"}}), {}, Lee({{39, ""}, {40, "2"}, {41, "6"}})},
};

INSTANTIATE_TEST_SUITE_P(UnidadPaciente, Pasa, ::testing::ValuesIn(Pasan), NombreCaso<CasoPasa>);

} // namespace
