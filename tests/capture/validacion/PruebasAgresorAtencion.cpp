// The aggressor, the care with its diagnoses, and the person responsible.

#include "HojaValidacion.h"

#include "events/modEvento.h"

#include <gtest/gtest.h>

namespace {

using H = HojaValidacion;

std::function<void(H &)> Diagnosticos(const QStringList &codigos)
{
    return [=](H &h) { ASSERT_TRUE(h.almacen.PonAfeccionesTmp(codigos)); };
}

// Violence and care types ticked anew (ticking a violence type reloads the care types).
std::function<void(H &)> Tipos(const QStringList &violencia, const QStringList &atencion,
                               std::initializer_list<std::pair<int, const char *>> textos = {})
{
    const auto resto = Pon(textos);
    return [=](H &h) {
        resto(h);
        h.DesmarcaTodo(ListaHoja::TipoViolencia);
        for (const QString &c : violencia)
            h.Marca(ListaHoja::TipoViolencia, c, true);
        h.DesmarcaTodo(ListaHoja::TipoAtencion);
        for (const QString &c : atencion)
            h.Marca(ListaHoja::TipoAtencion, c, true);
    };
}

const QString NoPildoraHombres = QStringLiteral(
    "No se puede otorgar Píldora Anticonceptiva de Emergencia a pacientes que no sean mujeres, verifique por favor....");

const std::vector<CasoFalla> &Casos()
{
    static const std::vector<CasoFalla> casos = {
        {"SinAgresor", Pon(65, ""), "No ha capturado si el agresor fué único, verifique por favor....", true, 1,
         FocoCampo(65)},
        {"AgresorDesconocido", Pon(65, "5"), "El código de si el agresor fué único no se conoce, verifique por favor....",
         true, 1, FocoCampo(65)},
        {"AgresorBloqueadoVacio",
         [](H &h) {
             h.hoja.PonTexto(65, QString());
             h.hoja.HabilitaCampo(65, false);
         },
         "El código de si el agresor fué único no se conoce, verifique por favor....", true, 1, FocoCampo(65)},
        {"SinEdadDelAgresor", Pon(66, ""), "No ha capturado la edad del agresor, verifique por favor....", true, 1,
         FocoCampo(66)},
        {"AgresorDeEdadCero", Pon(66, "0"),
         "El rango permitido para la edad del agresor es de 1 a 120 y 999 para no especificada, verifique por "
         "favor....",
         true, 1, FocoCampo(66)},
        {"AgresorDe121", Pon(66, "121"),
         "El rango permitido para la edad del agresor es de 1 a 120 y 999 para no especificada, verifique por "
         "favor....",
         true, 1, FocoCampo(66)},
        {"SinSexoDelAgresor", Pon(67, ""), "No ha capturado el sexo del agresor, verifique por favor....", true, 1,
         FocoCampo(67)},
        {"SexoDelAgresorDesconocido", Pon(67, "5"), "El código de el sexo del agresor no se conoce, verifique por favor....",
         true, 1, FocoCampo(67)},
        {"SinParentesco", Pon(68, ""), "No ha capturado el parentesco con el agresor, verifique por favor....", true, 1,
         FocoCampo(68)},
        {"ParentescoDesconocido", Pon(68, "0"),
         "El código de el parentesco con el agresor no se conoce, verifique por favor....", true, 1, FocoCampo(68)},
        {"HombreComoMadre", Pon(68, "2"), "El parentesco del agresor no corresponde con su sexo, verifique por favor....",
         true, 1, FocoCampo(68)},
        {"HombreComoEsposa", Pon(68, "6"), "El parentesco del agresor no corresponde con su sexo, verifique por favor....",
         true, 1, FocoCampo(68)},
        {"MujerComoPadre", Pon({{67, "2"}, {68, "1"}}),
         "El parentesco del agresor no corresponde con su sexo, verifique por favor....", true, 1, FocoCampo(68)},
        {"MujerComoEsposo", Pon({{67, "2"}, {68, "5"}}),
         "El parentesco del agresor no corresponde con su sexo, verifique por favor....", true, 1, FocoCampo(68)},
        {"PadrastroDe9Anos", Pon({{66, "9"}, {68, "3"}}),
         "El parentesco del agresor no corresponde con su edad, verifique por favor....", true, 1, FocoCampo(68)},
        {"SinEfectosDelAgresor", [](H &h) { h.DesmarcaTodo(ListaHoja::AgresorEfectos); },
         "No ha capturado la sospecha si el agresor estaba bajo los efectos de, verifique por favor....", true, 1,
         FocoLista(ListaHoja::AgresorEfectos)},
        {"SinHoraDeAtencion", Pon(69, ""), "No ha capturado la hora de atención, verifique por favor....", true, 1,
         FocoCampo(69)},
        {"HoraDeAtencion24", Pon(69, "24"), "La hora de atención no puede ser igual o mayor a 24, verifique por favor....",
         true, 1, FocoCampo(69)},
        {"SinMinutosDeAtencion", Pon({{69, "9"}, {70, ""}}),
         "No ha capturado los minutos de la hora de atención, verifique por favor....", true, 1, FocoCampo(70), {},
         Lee(69, "09")},
        {"MinutosDeAtencion60", Pon(70, "60"),
         "Los minutos de la hora de atención no pueden ser iguales o mayores a 60, verifique por favor....", true, 1,
         FocoCampo(70)},
        {"AtencionAntesDeLaOcurrencia",
         [](H &h) {
             h.hoja.PonFecha(0, QStringLiteral("15/06/2004"));
             Pon({{49, "10"}, {50, "20"}, {69, "10"}, {70, "15"}})(h);
         },
         "La hora de atención no puede ser menor a la hora de ocurrencia, verifique por favor....", true, 1,
         FocoCampo(69)},
        {"AtencionUnaHoraAntes",
         [](H &h) {
             h.hoja.PonFecha(0, QStringLiteral("15/06/2004"));
             Pon({{49, "10"}, {50, "00"}, {69, "09"}, {70, "59"}})(h);
         },
         "La hora de atención no puede ser menor a la hora de ocurrencia, verifique por favor....", true, 1,
         FocoCampo(69)},
        {"SinServicio", Pon(71, ""), "No ha capturado el servicio de atención, verifique por favor....", true, 1,
         FocoCampo(71)},
        {"ServicioDesconocido", Pon(71, "7"), "El código de servicio de atención no se conoce, verifique por favor....",
         true, 1, FocoCampo(71)},
        {"SinHorasEnUrgencias", Pon(72, ""),
         "No ha capturado las horas en el servicio de urgencias, verifique por favor....", true, 1, FocoCampo(72)},
        {"SinMinutosEnUrgencias", Pon({{72, "5"}, {73, ""}}),
         "No ha capturado los minutos en el servicio de urgencias, verifique por favor....", true, 1, FocoCampo(73), {},
         Lee(72, "05")},
        {"MinutosEnUrgencias60", Pon(73, "60"),
         "Los minutos en el servicio de urgencias no pueden ser iguales o mayores a 60, verifique por favor....", true,
         1, FocoCampo(73)},
        {"UrgenciasCero", Pon({{72, "0"}, {73, "0"}}),
         "El tiempo en el servicio de urgencias no puede ser 0, verifique por favor....", true, 1, FocoCampo(72)},
        // A locked, blank part of the stay counts as not captured.
        {"HorasEnUrgenciasBloqueadasVacias",
         [](H &h) {
             h.hoja.PonTexto(72, QString());
             h.hoja.HabilitaCampo(72, false);
         },
         "No ha capturado las horas en el servicio de urgencias, verifique por favor....", true, 1, FocoCampo(72), {},
         [](H &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(72)); }},
        {"MinutosEnUrgenciasBloqueadosVacios",
         [](H &h) {
             h.hoja.PonTexto(73, QString());
             h.hoja.HabilitaCampo(73, false);
         },
         "No ha capturado los minutos en el servicio de urgencias, verifique por favor....", true, 1, FocoCampo(73), {},
         [](H &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(73)); }},
        {"SinTiposDeAtencion", [](H &h) { h.DesmarcaTodo(ListaHoja::TipoAtencion); },
         "No ha capturado el/los tipos de atención, verifique por favor....", true, 1,
         FocoLista(ListaHoja::TipoAtencion)},
        {"QuirurgicaParaViolenciaPsicologica", Tipos({"8"}, {"3"}),
         "No esta permitido el Tratamiento Quirúrgico para la Violencia Psicologica, verifique por favor....", true, 1,
         FocoLista(ListaHoja::TipoAtencion)},
        {"ViolenciaSexualSinTratamiento", Tipos({"7"}, {"7"}),
         "Se debe seleccionar el tipo de atención que otorgó (opciones del 1 al 6), verifique por favor....", true, 1,
         FocoLista(ListaHoja::TipoAtencion)},
        {"PildoraParaHombre", Tipos({"7"}, {"1", "7"}, {{38, "1"}}), NoPildoraHombres, true, 1,
         FocoLista(ListaHoja::TipoAtencion)},
        {"PildoraSinSexo", Tipos({"7"}, {"1", "7"}, {{38, "9"}}), NoPildoraHombres, true, 1,
         FocoLista(ListaHoja::TipoAtencion), {true}},
        {"PildoraParaEmbarazada", Tipos({"7"}, {"1", "7"}, {{39, "1"}}),
         "No se puede otorgar Píldora Anticonceptiva de Emergencia a una mujer embarazada, verifique por favor....",
         true, 1, FocoLista(ListaHoja::TipoAtencion)},
        {"SinReferencia", Pon(74, ""), "No ha capturado usuario referido por, verifique por favor....", true, 1,
         FocoCampo(74)},
        {"ReferenciaDesconocida", Pon(74, "8"), "El código de usuario referido por no se conoce, verifique por favor....",
         true, 1, FocoCampo(74)},
        {"SinDestino", Pon(75, ""), "No ha capturado el destino después de la atención, verifique por favor....", true, 1,
         FocoCampo(75)},
        {"DestinoDesconocido", Pon(75, "50"),
         "El código de destino después de la atención no se conoce, verifique por favor....", true, 1, FocoCampo(75)},
        {"SinDiagnosticos", Diagnosticos({}),
         "No ha capturado los diagnósticos finales en orden de importancia, verifique por favor....", true, 1,
         FocoCampo(76)},
        {"DiagnosticoFueraDeCapitulo", Diagnosticos({"S001", "A000"}),
         "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; verifique por "
         "favor.....",
         true, 1, FocoCampo(76)},
        {"DiagnosticoInexistente", Diagnosticos({"S00X"}),
         " El Diagnóstico S00X no existe en la lista detallada, verifique por favor.....", true, 1, FocoCampo(76)},
        {"SinAfeccionPrincipal", Pon(77, ""),
         "No ha capturado la Reselección de la Afección Principal, verifique por favor.....", true, 1, FocoCampo(77), {},
         {}, true, "Hoja de Registro de Atención por Violencia y/o Lesion - 11"},
        {"CausaExternaDeOtroCapitulo", Pon(78, "S001"),
         "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor.....", true, 1, FocoCampo(78)},
        {"SinMinisterioPublico", Pon(79, ""),
         "No ha capturado si se dió aviso al Ministerio Público, verifique por favor....", true, 1, FocoCampo(79)},
        {"MinisterioPublicoDesconocido", Pon(79, "5"),
         "El código de si se dió aviso al Ministerio Público no se conoce, verifique por favor....", true, 1,
         FocoCampo(79)},
        {"SinResponsable", Pon(80, ""), "No ha capturado el responsable de la atención, verifique por favor....", true, 1,
         FocoCampo(80)},
        {"ResponsableDesconocido", Pon(80, "5"),
         "El código de el responsable de la atención no se conoce, verifique por favor....", true, 1, FocoCampo(80)},
        {"SinNombreDelResponsable", Pon(81, " "),
         "No ha capturado el nombre del responsable de la atención, verifique por favor....", true, 1, FocoCampo(81)},
    };
    return casos;
}

class FallaAgresorAtencion : public ::testing::TestWithParam<CasoFalla> {};

TEST_P(FallaAgresorAtencion, MuestraSuMensajeYEnfocaElCampo)
{
    CompruebaFalla(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Reglas, FallaAgresorAtencion, ::testing::ValuesIn(Casos()),
                         [](const auto &info) { return NombreCaso(info.param); });

// Several aggressors: their details are set to "not specified".
void VariosAgresores(H &h, const char *intencion)
{
    h.hoja.PonTexto(53, QString::fromLatin1(intencion));
    h.hoja.PonTexto(54, QStringLiteral("1"));
    h.Marca(ListaHoja::TipoViolencia, QStringLiteral("6"), true);
    h.Marca(ListaHoja::TipoAtencion, QStringLiteral("1"), true);
    h.hoja.PonTexto(65, QStringLiteral("2"));
    // as if the field rules had not run
    for (int campo : {66, 67, 68}) {
        h.hoja.HabilitaCampo(campo, true);
        h.hoja.PonTexto(campo, QStringLiteral("1"));
    }
    h.hoja.HabilitaLista(ListaHoja::AgresorEfectos, true);
    h.DesmarcaTodo(ListaHoja::AgresorEfectos);
}

void SinDetallesDelAgresor(H &h, const char *parentesco)
{
    Lee({{66, "999"}, {67, "9"}, {68, parentesco}})(h);
    for (int campo : {66, 67, 68})
        EXPECT_FALSE(h.hoja.CampoHabilitado(campo)) << campo;
    EXPECT_EQ(h.hoja.CodigosMarcados(ListaHoja::AgresorEfectos), QStringList{QStringLiteral("4")});
    EXPECT_FALSE(h.hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
}

const std::vector<CasoPasa> &Pasan()
{
    static const std::vector<CasoPasa> casos = {
        {"AccidenteSinAgresor",
         [](H &h) {
             h.hoja.PonTexto(53, QStringLiteral("1"));
             h.Marca(ListaHoja::TipoAtencion, QStringLiteral("1"), true);
             for (int campo : {65, 66, 67, 68}) {
                 h.hoja.HabilitaCampo(campo, true);
                 h.hoja.PonTexto(campo, QStringLiteral("1"));
             }
             h.hoja.HabilitaLista(ListaHoja::AgresorEfectos, true);
             h.Marca(ListaHoja::AgresorEfectos, QStringLiteral("1"), true);
         },
         {},
         [](H &h) {
             for (int campo : {65, 66, 67, 68}) {
                 EXPECT_EQ(h.hoja.Texto(campo), QString()) << campo;
                 EXPECT_FALSE(h.hoja.CampoHabilitado(campo)) << campo;
             }
             EXPECT_TRUE(h.hoja.CodigosMarcados(ListaHoja::AgresorEfectos).isEmpty());
             EXPECT_FALSE(h.hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
         }},
        {"VariosAgresoresEnViolenciaFamiliar", [](H &h) { VariosAgresores(h, "2"); }, {},
         [](H &h) { SinDetallesDelAgresor(h, "4"); }},
        {"VariosAgresoresEnViolenciaNoFamiliar", [](H &h) { VariosAgresores(h, "3"); }, {},
         [](H &h) { SinDetallesDelAgresor(h, "8"); }},
        {"TrataDePersonas",
         [](H &h) {
             h.hoja.PonTexto(53, QStringLiteral("11"));
             h.Marca(ListaHoja::TipoAtencion, QStringLiteral("1"), true);
             // as if the field rules had not run
             for (int campo : {65, 74, 78})
                 h.hoja.HabilitaCampo(campo, true);
             Pon({{65, "1"}, {74, "1"}, {78, "Y040"}})(h);
         },
         {},
         [](H &h) {
             SinDetallesDelAgresor(h, "8");
             Lee({{65, "2"}, {74, "3"}, {78, "Y079"}, {54, ""}})(h);
             EXPECT_FALSE(h.hoja.CampoHabilitado(74));
             EXPECT_FALSE(h.hoja.CampoHabilitado(78));
             EXPECT_FALSE(h.hoja.CampoHabilitado(54));
             EXPECT_FALSE(h.hoja.ListaHabilitada(ListaHoja::TipoViolencia));
             EXPECT_TRUE(h.hoja.CodigosMarcados(ListaHoja::TipoViolencia).isEmpty());
         }},
        {"AgresorDeEdadNoEspecificada", Pon({{66, "999"}, {68, "3"}})},
        {"PadrastroDe10Anos", Pon({{66, "10"}, {68, "3"}})},
        {"AgresorSinSexoEsMadre", Pon({{67, "9"}, {68, "2"}})},
        {"HorasDeAtencionRellenadas", Pon({{69, "9"}, {70, "5"}}), {}, Lee({{69, "09"}, {70, "05"}})},
        {"AtencionALaHoraDeOcurrencia",
         [](H &h) {
             h.hoja.PonFecha(0, QStringLiteral("15/06/2004"));
             Pon({{49, "10"}, {50, "20"}, {69, "10"}, {70, "20"}})(h);
         }},
        {"OtroDiaCualquierHora", Pon({{49, "23"}, {69, "00"}})},
        {"UrgenciasDeCincoMinutos", Pon({{72, "0"}, {73, "5"}}), {}, Lee({{72, "00"}, {73, "05"}})},
        {"OtroServicioLimpiaUrgencias",
         [](H &h) {
             h.hoja.PonTexto(71, QStringLiteral("1"));
             for (int campo : {72, 73}) {
                 h.hoja.HabilitaCampo(campo, true);
                 h.hoja.PonTexto(campo, QStringLiteral("10"));
             }
         },
         {},
         [](H &h) {
             for (int campo : {72, 73}) {
                 EXPECT_EQ(h.hoja.Texto(campo), QString()) << campo;
                 EXPECT_FALSE(h.hoja.CampoHabilitado(campo)) << campo;
             }
         }},
        {"QuirurgicaConOtraViolencia", Tipos({"6", "8"}, {"3"})},
        {"PildoraParaMujer", Tipos({"7"}, {"1", "7"})},
        {"QuirurgicaConViolenciaBloqueada",
         [](H &h) {
             Tipos({"8"}, {"3"})(h);
             h.hoja.HabilitaLista(ListaHoja::TipoViolencia, false);
         }},
    };
    return casos;
}

class PasaAgresorAtencion : public ::testing::TestWithParam<CasoPasa> {};

TEST_P(PasaAgresorAtencion, GrabaYDejaLasReescrituras)
{
    CompruebaPasa(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Variantes, PasaAgresorAtencion, ::testing::ValuesIn(Pasan()),
                         [](const auto &info) { return NombreCaso(info.param); });

} // namespace
