// The aggressor, the care with its diagnoses, and the person responsible.

#include "HojaValidacion.h"

#include <gtest/gtest.h>

namespace {

using H = HojaValidacion;

Cambio Diagnosticos(const QStringList &codigos)
{
    return [=](H &h) { ASSERT_TRUE(h.almacen.PonAfeccionesTmp(codigos)); };
}

// Violence and care types ticked anew (ticking a violence type reloads the care types).
Cambio Tipos(const QStringList &violencia, const QStringList &atencion,
             std::initializer_list<std::pair<int, const char *>> textos = {})
{
    const auto resto = Pon(textos);
    return [=](H &h) {
        resto(h);
        h.DesmarcaTodo(ListaHoja::TipoViolencia);
        Marca(h.hoja, ListaHoja::TipoViolencia, violencia);
        h.DesmarcaTodo(ListaHoja::TipoAtencion);
        Marca(h.hoja, ListaHoja::TipoAtencion, atencion);
    };
}

const Cambio AtencionTipo1 = Tic(ListaHoja::TipoAtencion, "1");

const QString AgresorDesconocido = "El código de si el agresor fué único no se conoce, verifique por favor....";
const QString RangoEdadAgresor = QStringLiteral("El rango permitido para la edad del agresor es de 1 a 120 y 999 para no especificada, verifique por favor....");
const QString ParentescoSexo = "El parentesco del agresor no corresponde con su sexo, verifique por favor....";
const QString AtencionAntes = "La hora de atención no puede ser menor a la hora de ocurrencia, verifique por favor....";
const QString SinHorasUrgencias = "No ha capturado las horas en el servicio de urgencias, verifique por favor....";
const QString SinMinutosUrgencias = "No ha capturado los minutos en el servicio de urgencias, verifique por favor....";
const QString NoPildoraHombres = QStringLiteral("No se puede otorgar Píldora Anticonceptiva de Emergencia a pacientes que no sean mujeres, verifique por favor....");

const QString tipos = FocoLista(ListaHoja::TipoAtencion);

const CasoFalla Fallan[] = {
    {"SinAgresor", Pon(65, ""), "No ha capturado si el agresor fué único, verifique por favor....", true, 1, "65"},
    {"AgresorDesconocido", Pon(65, "5"), AgresorDesconocido, true, 1, "65"},
    {"AgresorBloqueadoVacio", Bloquea(65), AgresorDesconocido, true, 1, "65"},
    {"SinEdadDelAgresor", Pon(66, ""), "No ha capturado la edad del agresor, verifique por favor....", true, 1, "66"},
    {"AgresorDeEdadCero", Pon(66, "0"), RangoEdadAgresor, true, 1, "66"},
    {"AgresorDe121", Pon(66, "121"), RangoEdadAgresor, true, 1, "66"},
    {"SinSexoDelAgresor", Pon(67, ""), "No ha capturado el sexo del agresor, verifique por favor....", true, 1, "67"},
    {"SexoDelAgresorDesconocido", Pon(67, "5"), "El código de el sexo del agresor no se conoce, verifique por favor....", true, 1, "67"},
    {"SinParentesco", Pon(68, ""), "No ha capturado el parentesco con el agresor, verifique por favor....", true, 1, "68"},
    {"ParentescoDesconocido", Pon(68, "0"), "El código de el parentesco con el agresor no se conoce, verifique por favor....", true, 1, "68"},
    {"HombreComoMadre", Pon(68, "2"), ParentescoSexo, true, 1, "68"},
    {"HombreComoEsposa", Pon(68, "6"), ParentescoSexo, true, 1, "68"},
    {"MujerComoPadre", Pon({{67, "2"}, {68, "1"}}), ParentescoSexo, true, 1, "68"},
    {"MujerComoEsposo", Pon({{67, "2"}, {68, "5"}}), ParentescoSexo, true, 1, "68"},
    {"PadrastroDe9Anos", Pon({{66, "9"}, {68, "3"}}), "El parentesco del agresor no corresponde con su edad, verifique por favor....", true, 1, "68"},
    {"SinEfectosDelAgresor", Desmarca(ListaHoja::AgresorEfectos), "No ha capturado la sospecha si el agresor estaba bajo los efectos de, verifique por favor....", true, 1, FocoLista(ListaHoja::AgresorEfectos)},
    {"SinHoraDeAtencion", Pon(69, ""), "No ha capturado la hora de atención, verifique por favor....", true, 1, "69"},
    {"HoraDeAtencion24", Pon(69, "24"), "La hora de atención no puede ser igual o mayor a 24, verifique por favor....", true, 1, "69"},
    {"SinMinutosDeAtencion", Pon({{69, "9"}, {70, ""}}), "No ha capturado los minutos de la hora de atención, verifique por favor....", true, 1, "70", {}, Lee(69, "09")},
    {"MinutosDeAtencion60", Pon(70, "60"), "Los minutos de la hora de atención no pueden ser iguales o mayores a 60, verifique por favor....", true, 1, "70"},
    {"AtencionAntesDeLaOcurrencia", Y({PonFecha(0, "15/06/2004"), Pon({{49, "10"}, {50, "20"}, {69, "10"}, {70, "15"}})}), AtencionAntes, true, 1, "69"},
    {"AtencionUnaHoraAntes", Y({PonFecha(0, "15/06/2004"), Pon({{49, "10"}, {50, "00"}, {69, "09"}, {70, "59"}})}), AtencionAntes, true, 1, "69"},
    {"SinServicio", Pon(71, ""), "No ha capturado el servicio de atención, verifique por favor....", true, 1, "71"},
    {"ServicioDesconocido", Pon(71, "7"), "El código de servicio de atención no se conoce, verifique por favor....", true, 1, "71"},
    {"SinHorasEnUrgencias", Pon(72, ""), SinHorasUrgencias, true, 1, "72"},
    {"SinMinutosEnUrgencias", Pon({{72, "5"}, {73, ""}}), SinMinutosUrgencias, true, 1, "73", {}, Lee(72, "05")},
    {"MinutosEnUrgencias60", Pon(73, "60"), "Los minutos en el servicio de urgencias no pueden ser iguales o mayores a 60, verifique por favor....", true, 1, "73"},
    {"UrgenciasCero", Pon({{72, "0"}, {73, "0"}}), "El tiempo en el servicio de urgencias no puede ser 0, verifique por favor....", true, 1, "72"},
    // A locked, blank part of the stay counts as not captured.
    {"HorasEnUrgenciasBloqueadasVacias", Bloquea(72), SinHorasUrgencias, true, 1, "72", {}, Abierto(72)},
    {"MinutosEnUrgenciasBloqueadosVacios", Bloquea(73), SinMinutosUrgencias, true, 1, "73", {}, Abierto(73)},
    {"SinTiposDeAtencion", Desmarca(ListaHoja::TipoAtencion), "No ha capturado el/los tipos de atención, verifique por favor....", true, 1, tipos},
    {"QuirurgicaParaViolenciaPsicologica", Tipos({"8"}, {"3"}), "No esta permitido el Tratamiento Quirúrgico para la Violencia Psicologica, verifique por favor....", true, 1, tipos},
    {"ViolenciaSexualSinTratamiento", Tipos({"7"}, {"7"}), "Se debe seleccionar el tipo de atención que otorgó (opciones del 1 al 6), verifique por favor....", true, 1, tipos},
    {"PildoraParaHombre", Tipos({"7"}, {"1", "7"}, {{38, "1"}}), NoPildoraHombres, true, 1, tipos},
    {"PildoraSinSexo", Tipos({"7"}, {"1", "7"}, {{38, "9"}}), NoPildoraHombres, true, 1, tipos, {true}},
    {"PildoraParaEmbarazada", Tipos({"7"}, {"1", "7"}, {{39, "1"}}), "No se puede otorgar Píldora Anticonceptiva de Emergencia a una mujer embarazada, verifique por favor....", true, 1, tipos},
    {"SinReferencia", Pon(74, ""), "No ha capturado usuario referido por, verifique por favor....", true, 1, "74"},
    {"ReferenciaDesconocida", Pon(74, "8"), "El código de usuario referido por no se conoce, verifique por favor....", true, 1, "74"},
    {"SinDestino", Pon(75, ""), "No ha capturado el destino después de la atención, verifique por favor....", true, 1, "75"},
    {"DestinoDesconocido", Pon(75, "50"), "El código de destino después de la atención no se conoce, verifique por favor....", true, 1, "75"},
    {"SinDiagnosticos", Diagnosticos({}), "No ha capturado los diagnósticos finales en orden de importancia, verifique por favor....", true, 1, "76"},
    {"DiagnosticoFueraDeCapitulo", Diagnosticos({"S001", "A000"}), "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; verifique por favor.....", true, 1, "76"},
    {"DiagnosticoInexistente", Diagnosticos({"S00X"}), " El Diagnóstico S00X no existe en la lista detallada, verifique por favor.....", true, 1, "76"},
    {"SinAfeccionPrincipal", Pon(77, ""), "No ha capturado la Reselección de la Afección Principal, verifique por favor.....", true, 1, "77", {}, {}, true, "Hoja de Registro de Atención por Violencia y/o Lesion - 11"},
    {"CausaExternaDeOtroCapitulo", Pon(78, "S001"), "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor.....", true, 1, "78"},
    {"SinMinisterioPublico", Pon(79, ""), "No ha capturado si se dió aviso al Ministerio Público, verifique por favor....", true, 1, "79"},
    {"MinisterioPublicoDesconocido", Pon(79, "5"), "El código de si se dió aviso al Ministerio Público no se conoce, verifique por favor....", true, 1, "79"},
    {"SinResponsable", Pon(80, ""), "No ha capturado el responsable de la atención, verifique por favor....", true, 1, "80"},
    {"ResponsableDesconocido", Pon(80, "5"), "El código de el responsable de la atención no se conoce, verifique por favor....", true, 1, "80"},
    {"SinNombreDelResponsable", Pon(81, " "), "No ha capturado el nombre del responsable de la atención, verifique por favor....", true, 1, "81"},
};

INSTANTIATE_TEST_SUITE_P(AgresorAtencion, Falla, ::testing::ValuesIn(Fallan), NombreCaso<CasoFalla>);

// Several aggressors, their details typed as if the field rules had not run:
// the validation sets them to "not specified".
Cambio VariosAgresores(const char *intencion)
{
    return Y({Pon({{53, intencion}, {54, "1"}}), Tic(ListaHoja::TipoViolencia, "6"), AtencionTipo1, Pon(65, "2"),
              Fuerza({{66, "1"}, {67, "1"}, {68, "1"}}), AbreLista(ListaHoja::AgresorEfectos), Desmarca(ListaHoja::AgresorEfectos)});
}

Cambio SinDetallesDelAgresor(const char *parentesco)
{
    return Y({Lee({{66, "999"}, {67, "9"}, {68, parentesco}}), Cerrados({66, 67, 68}), [](H &h) {
                  EXPECT_EQ(h.hoja.CodigosMarcados(ListaHoja::AgresorEfectos), QStringList{"4"});
                  EXPECT_FALSE(h.hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
              }});
}

const CasoPasa Pasan[] = {
    {"AccidenteSinAgresor", Y({Pon(53, "1"), AtencionTipo1, Fuerza({{65, "1"}, {66, "1"}, {67, "1"}, {68, "1"}}), AbreLista(ListaHoja::AgresorEfectos), Tic(ListaHoja::AgresorEfectos, "1")}), {}, Y({Vacios({65, 66, 67, 68}), ListaVacia(ListaHoja::AgresorEfectos)})},
    {"VariosAgresoresEnViolenciaFamiliar", VariosAgresores("2"), {}, SinDetallesDelAgresor("4")},
    {"VariosAgresoresEnViolenciaNoFamiliar", VariosAgresores("3"), {}, SinDetallesDelAgresor("8")},
    {"TrataDePersonas", Y({Pon(53, "11"), AtencionTipo1, Fuerza({{65, "1"}, {74, "1"}, {78, "Y040"}})}), {},
     Y({SinDetallesDelAgresor("8"), Lee({{65, "2"}, {74, "3"}, {78, "Y079"}, {54, ""}}), Cerrados({74, 78, 54}), ListaVacia(ListaHoja::TipoViolencia)})},
    {"AgresorDeEdadNoEspecificada", Pon({{66, "999"}, {68, "3"}})},
    {"PadrastroDe10Anos", Pon({{66, "10"}, {68, "3"}})},
    {"AgresorSinSexoEsMadre", Pon({{67, "9"}, {68, "2"}})},
    {"HorasDeAtencionRellenadas", Pon({{69, "9"}, {70, "5"}}), {}, Lee({{69, "09"}, {70, "05"}})},
    {"AtencionALaHoraDeOcurrencia", Y({PonFecha(0, "15/06/2004"), Pon({{49, "10"}, {50, "20"}, {69, "10"}, {70, "20"}})})},
    {"OtroDiaCualquierHora", Pon({{49, "23"}, {69, "00"}})},
    {"UrgenciasDeCincoMinutos", Pon({{72, "0"}, {73, "5"}}), {}, Lee({{72, "00"}, {73, "05"}})},
    {"OtroServicioLimpiaUrgencias", Y({Pon(71, "1"), Fuerza({{72, "10"}, {73, "10"}})}), {}, Vacios({72, 73})},
    {"QuirurgicaConOtraViolencia", Tipos({"6", "8"}, {"3"})},
    {"PildoraParaMujer", Tipos({"7"}, {"1", "7"})},
    {"QuirurgicaConViolenciaBloqueada", Y({Tipos({"8"}, {"3"}), [](H &h) { h.hoja.HabilitaLista(ListaHoja::TipoViolencia, false); }})},
};

INSTANTIATE_TEST_SUITE_P(AgresorAtencion, Pasa, ::testing::ValuesIn(Pasan), NombreCaso<CasoPasa>);

} // namespace
