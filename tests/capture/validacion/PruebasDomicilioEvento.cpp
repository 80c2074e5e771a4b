// The address, the occurrence, the injury, the prehospital care and the
// transfer time.

#include "HojaValidacion.h"

#include <gtest/gtest.h>

namespace {

using H = HojaValidacion;

std::function<void(H &)> PonFechaOcurrencia(const char *fecha)
{
    return [=](H &h) { h.hoja.PonFecha(0, QString::fromLatin1(fecha)); };
}

// A motor-vehicle agent, typed as the user would.
std::function<void(H &)> Vehiculo(std::initializer_list<std::pair<int, const char *>> textos)
{
    const auto resto = Pon(textos);
    return [=](H &h) {
        h.hoja.PonTexto(56, QStringLiteral("20"));
        resto(h);
    };
}

const std::vector<CasoFalla> &Casos()
{
    static const std::vector<CasoFalla> casos = {
        {"SinCalle", Pon(42, "   "), "No ha capturado la calle, verifique por favor....", true, 0, FocoCampo(42)},
        {"SinEntreCalleUno", Pon(43, ""), "No ha capturado la entre calle uno, verifique por favor....", true, 0,
         FocoCampo(43)},
        {"SinEntreCalleDos", Pon(44, ""), "No ha capturado la entre calle dos, verifique por favor....", true, 0,
         FocoCampo(44)},
        {"SinColonia", Pon(45, " "), "No ha capturado la colonia, verifique por favor....", true, 0, FocoCampo(45)},
        {"SinEntidad", Pon(46, ""), "La Entidad no es correcta, verifique por favor....", true, 0, FocoCampo(46)},
        {"EntidadDesconocida", Pon(46, "77"), "La Entidad no es correcta, verifique por favor....", true, 0,
         FocoCampo(46)},
        {"SinMunicipio", Pon(47, ""), "El municipio no es correcto, verifique por favor....", true, 0, FocoCampo(47)},
        {"MunicipioDeOtraEntidad", Pon(47, "20"), "El municipio no es correcto, verifique por favor....", true, 0,
         FocoCampo(47), {}, Lee(47, "020")},
        {"LugarRellenadoAntesDeFallar", Pon({{46, "9"}, {47, "4"}, {48, "2"}}),
         "La Localidad no es correcta, verifique por favor....", true, 0, FocoCampo(48), {},
         Lee({{46, "09"}, {47, "004"}, {48, "0002"}})},
        {"SinLocalidad", Pon(48, ""), "La Localidad no es correcta, verifique por favor....", true, 0, FocoCampo(48)},
        {"LocalidadDeOtroMunicipio", Pon(48, "7"), "La Localidad no es correcta, verifique por favor....", true, 0,
         FocoCampo(48), {}, Lee(48, "0007")},
        {"SinFechaOcurrencia", PonFechaOcurrencia(""), "No ha capturado la Fecha de Ocurrencia, verifique por favor....",
         true, 0, FocoFecha(0)},
        {"FechaOcurrenciaInvalida", PonFechaOcurrencia("31/04/2004"),
         "La Fecha de Ocurrencia no es valida, verifique por favor....", true, 0, FocoFecha(0)},
        {"FechaOcurrenciaIncompleta", PonFechaOcurrencia("14/06/20__"),
         "La Fecha de Ocurrencia no es valida, verifique por favor....", true, 0, FocoFecha(0)},
        {"OcurrenciaDespuesDeAtencion", PonFechaOcurrencia("16/06/2004"),
         "La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, verifique por favor....", false, 0,
         FocoFecha(0)},
        {"SinHoraOcurrencia", Pon(49, ""), "No ha capturado la hora de ocurrencia, verifique por favor....", true, 0,
         FocoCampo(49)},
        {"HoraOcurrencia24", Pon(49, "24"),
         "La hora de ocurrencia no puede ser igual o mayor a 24, verifique por favor....", true, 0, FocoCampo(49)},
        {"SinMinutosOcurrencia", Pon(50, ""),
         "No ha capturado los minutos de la hora de ocurrencia, verifique por favor....", true, 0, FocoCampo(50)},
        {"MinutosOcurrencia60", Pon({{49, "7"}, {50, "60"}}),
         "Los minutos de la hora de ocurrencia no pueden ser iguales o mayores a 60, verifique por favor....", true, 0,
         FocoCampo(50), {}, Lee(49, "07")},
        {"SinFestivo", Pon(51, ""), "No ha capturado si fué día festivo, verifique por favor....", true, 0,
         FocoCampo(51)},
        {"FestivoDesconocido", Pon(51, "5"), "El código de Día Festivo no se conoce, verifique por favor....", true, 0,
         FocoCampo(51)},
        {"SinDiscapacidad", Pon(52, ""), "No ha capturado discapacidad preexistente, verifique por favor....", true, 0,
         FocoCampo(52)},
        {"DiscapacidadDesconocida", Pon(52, "5"), "El código de Discapacidad no se conoce, verifique por favor....",
         true, 0, FocoCampo(52)},
        {"SinIntencionalidad", Pon(53, ""), "No ha capturado la Intencionalidad, verifique por favor....", true, 0,
         FocoCampo(53)},
        {"IntencionalidadDesconocida", Pon(53, "7"),
         "El código de la Intencionalidad no se conoce, verifique por favor....", true, 0, FocoCampo(53)},
        {"ViolenciaSinTipos", [](H &h) { h.DesmarcaTodo(ListaHoja::TipoViolencia); },
         "No ha capturado el/los tipos de violencia, verifique por favor....", true, 0,
         FocoLista(ListaHoja::TipoViolencia)},
        {"SinVez", Pon(54, ""), "No ha capturado si el evento es único o repetido, verifique por favor....", true, 0,
         FocoCampo(54)},
        {"AutoinfligidoSinVez", Pon(53, "4"),
         "No ha capturado si el evento es único o repetido, verifique por favor....", true, 0, FocoCampo(54)},
        {"VezDesconocida", Pon(54, "5"),
         "El código de si el evento es único o repetido no se conoce, verifique por favor....", true, 0, FocoCampo(54)},
        {"SinEfectosDelPaciente", [](H &h) { h.DesmarcaTodo(ListaHoja::PacienteEfectos); },
         "No ha capturado la sospecha si el paciente estaba bajo los efectos de, verifique por favor....", true, 0,
         FocoLista(ListaHoja::PacienteEfectos)},
        {"SinSitio", Pon(55, ""), "No ha capturado el sitio de ocurrencia, verifique por favor....", true, 0,
         FocoCampo(55)},
        {"SitioDesconocido", Pon(55, "50"), "El código de el sitio de ocurrencia no se conoce, verifique por favor....",
         true, 0, FocoCampo(55)},
        {"SinAgente", Pon(56, ""), "No ha capturado el agente de la lesión, verifique por favor....", true, 0,
         FocoCampo(56)},
        {"AgenteDesconocido", Pon(56, "50"), "El código de el agente de la lesión no se conoce, verifique por favor....",
         true, 0, FocoCampo(56)},
        {"VehiculoSinLesionado", Vehiculo({}),
         "No ha capturado el tipo de lesionado de accidente de vehículo de motor, verifique por favor....", true, 0,
         FocoCampo(57)},
        {"LesionadoDesconocido", Vehiculo({{57, "5"}}),
         "El código de el lesionado de accidente de vehículo de motor no se conoce, verifique por favor....", true, 0,
         FocoCampo(57)},
        {"ConductorSinUsoDeEquipo", Vehiculo({{57, "1"}}),
         "No ha capturado si uso equipo de seguridad, verifique por favor....", true, 0, FocoCampo(58)},
        {"UsoDeEquipoDesconocido", Vehiculo({{57, "2"}, {58, "5"}}),
         "El código de si uso equipo de seguridad no se conoce, verifique por favor....", true, 0, FocoCampo(58)},
        {"UsoDeEquipoBloqueadoVacio",
         [](H &h) {
             Vehiculo({{57, "1"}})(h);
             h.hoja.HabilitaCampo(58, false);
         },
         "El código de si uso equipo de seguridad no se conoce, verifique por favor....", true, 0, FocoCampo(58)},
        {"SinEquipo", Vehiculo({{57, "1"}, {58, "1"}}),
         "No ha capturado que equipo de seguridad utilizó, verifique por favor....", true, 0, FocoCampo(59)},
        {"EquipoDesconocido", Vehiculo({{57, "1"}, {58, "1"}, {59, "5"}}),
         "El código de que equipo de seguridad utilizó no se conoce, verifique por favor....", true, 0, FocoCampo(59)},
        {"SillaParaConductor", Vehiculo({{57, "1"}, {58, "1"}, {59, "3"}}),
         "El equipo de seguridad no corresponde con el tipo de lesionado, verifique por favor....", true, 0,
         FocoCampo(59)},
        {"SillaPara13Anos", Vehiculo({{36, "13"}, {57, "2"}, {58, "1"}, {59, "3"}}),
         "El equipo de seguridad no corresponde con la edad del lesionado, verifique por favor....", true, 0,
         FocoCampo(59)},
        {"SinArea", Pon(60, ""), "No ha capturado el área anatómica de mayor gravedad, verifique por favor....", true, 0,
         FocoCampo(60)},
        {"AreaDesconocida", Pon(60, "50"),
         "El código de el área anatómica de mayor gravedad no se conoce, verifique por favor....", true, 0,
         FocoCampo(60)},
        {"SinConsecuencia", Pon(61, ""),
         "No ha capturado la consecuencia resultante de mayor gravedad, verifique por favor....", true, 0,
         FocoCampo(61)},
        {"ConsecuenciaDesconocida", Pon(61, "50"),
         "El código de la consecuencia resultante de mayor gravedad no se conoce, verifique por favor....", true, 0,
         FocoCampo(61)},
        {"AbortoEnHombre", Pon({{38, "1"}, {61, "7"}}),
         "La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite para el sexo ó la edad del "
         "paciente, verifique por favor....",
         true, 0, FocoCampo(61)},
        {"AbortoA8Anos", Pon({{36, "8"}, {40, "1"}, {41, "5"}, {61, "7"}}),
         "La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite para el sexo ó la edad del "
         "paciente, verifique por favor....",
         true, 0, FocoCampo(61)},
        {"EmbarazoA55Anos", Pon({{36, "55"}, {61, "11"}}),
         "La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite para el sexo ó la edad del "
         "paciente, verifique por favor....",
         true, 0, FocoCampo(61)},
        {"AbortoEnMeses", Pon({{37, "2"}, {36, "10"}, {61, "7"}}),
         "La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite para el sexo ó la edad del "
         "paciente, verifique por favor....",
         true, 0, FocoCampo(61)},
        {"SinPrehospitalaria", Pon(62, ""), "No ha capturado si recibió atención prehospitalaria, verifique por favor....",
         true, 0, FocoCampo(62)},
        {"PrehospitalariaDesconocida", Pon(62, "5"),
         "El código de si recibió atención prehospitalaria no se conoce, verifique por favor....", true, 0,
         FocoCampo(62)},
        {"SinHorasDeTraslado", Pon(62, "1"), "No ha capturado las horas de tiempo de traslado, verifique por favor....",
         true, 0, FocoCampo(63)},
        {"SinMinutosDeTraslado", Pon({{62, "1"}, {63, "1"}}),
         "No ha capturado los minutos de tiempo de traslado, verifique por favor....", true, 0, FocoCampo(64), {},
         Lee(63, "01")},
        {"MinutosDeTraslado60", Pon({{62, "1"}, {63, "1"}, {64, "60"}}),
         "Los minutos de tiempo de traslado no pueden ser iguales o mayores a 60, verifique por favor....", true, 0,
         FocoCampo(64)},
        {"TrasladoCero", Pon({{62, "1"}, {63, "0"}, {64, "0"}}),
         "El tiempo de traslado no puede ser 0, verifique por favor....", true, 0, FocoCampo(63)},
        // A locked, blank part of the transfer time counts as not captured.
        {"HorasDeTrasladoBloqueadasVacias",
         [](H &h) {
             Pon({{62, "1"}, {64, "5"}})(h);
             h.hoja.HabilitaCampo(63, false);
         },
         "No ha capturado las horas de tiempo de traslado, verifique por favor....", true, 0, FocoCampo(63), {},
         [](H &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(63)); }},
        {"MinutosDeTrasladoBloqueadosVacios",
         [](H &h) {
             Pon({{62, "1"}, {63, "2"}})(h);
             h.hoja.HabilitaCampo(64, false);
         },
         "No ha capturado los minutos de tiempo de traslado, verifique por favor....", true, 0, FocoCampo(64), {},
         [](H &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(64)); }},
    };
    return casos;
}

class FallaDomicilioEvento : public ::testing::TestWithParam<CasoFalla> {};

TEST_P(FallaDomicilioEvento, MuestraSuMensajeYEnfocaElCampo)
{
    CompruebaFalla(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Reglas, FallaDomicilioEvento, ::testing::ValuesIn(Casos()),
                         [](const auto &info) { return NombreCaso(info.param); });

const std::vector<CasoPasa> &Pasan()
{
    static const std::vector<CasoPasa> casos = {
        {"CodigosDeLugarRellenados",
         [](H &h) {
             h.hoja.PonTexto(46, QStringLiteral("9"));
             h.hoja.PonTexto(47, QStringLiteral("7"));
             h.hoja.PonTexto(48, QStringLiteral("1"));
         },
         {}, Lee({{46, "09"}, {47, "007"}, {48, "0001"}})},
        {"OcurrenciaElMismoDia",
         [](H &h) {
             h.hoja.PonFecha(0, QStringLiteral("15/06/2004"));
             h.hoja.PonTexto(49, QStringLiteral("08"));
         }},
        {"HorasRellenadas", Pon({{49, "7"}, {50, "5"}}), {}, Lee({{49, "07"}, {50, "05"}})},
        {"UltimoMinutoDelDia", Pon({{49, "23"}, {50, "59"}, {69, "23"}, {70, "59"}})},
        {"AutoinfligidoSinTiposDeViolencia",
         [](H &h) {
             h.hoja.PonTexto(53, QStringLiteral("4"));
             h.hoja.PonTexto(54, QStringLiteral("1"));
             // the care types are offered again once the violence types go
             h.Marca(ListaHoja::TipoAtencion, QStringLiteral("1"), true);
         },
         {},
         [](H &h) {
             EXPECT_FALSE(h.hoja.ListaHabilitada(ListaHoja::TipoViolencia));
             EXPECT_TRUE(h.hoja.CodigosMarcados(ListaHoja::TipoViolencia).isEmpty());
         }},
        // Intent "se ignora", with the violence types and the repeat left
        // open as if the field rules had not run: closed without a message.
        {"IntencionIgnoradaCierraViolenciaYVez",
         [](H &h) {
             h.hoja.PonTexto(53, QStringLiteral("5"));
             h.hoja.HabilitaLista(ListaHoja::TipoViolencia, true);
             h.hoja.HabilitaCampo(54, true);
             h.hoja.PonTexto(54, QStringLiteral("2"));
             h.Marca(ListaHoja::TipoAtencion, QStringLiteral("1"), true);
         },
         {},
         [](H &h) {
             EXPECT_FALSE(h.hoja.ListaHabilitada(ListaHoja::TipoViolencia));
             EXPECT_TRUE(h.hoja.CodigosMarcados(ListaHoja::TipoViolencia).isEmpty());
             EXPECT_EQ(h.hoja.Texto(54), QString());
             EXPECT_FALSE(h.hoja.CampoHabilitado(54));
             EXPECT_EQ(h.hoja.Texto(65), QString());
         }},
        {"AccidenteLimpiaLaVez",
         [](H &h) {
             h.hoja.PonTexto(53, QStringLiteral("1"));
             h.hoja.HabilitaCampo(54, true);
             h.hoja.PonTexto(54, QStringLiteral("2"));
             h.Marca(ListaHoja::TipoAtencion, QStringLiteral("1"), true);
         },
         {},
         [](H &h) {
             EXPECT_EQ(h.hoja.Texto(54), QString());
             EXPECT_FALSE(h.hoja.CampoHabilitado(54));
         }},
        {"OtroAgenteLimpiaElVehiculo",
         [](H &h) {
             for (int campo : {57, 58, 59}) {
                 h.hoja.HabilitaCampo(campo, true);
                 h.hoja.PonTexto(campo, QStringLiteral("1"));
             }
         },
         {},
         [](H &h) {
             for (int campo : {57, 58, 59}) {
                 EXPECT_EQ(h.hoja.Texto(campo), QString()) << campo;
                 EXPECT_FALSE(h.hoja.CampoHabilitado(campo)) << campo;
             }
         }},
        {"PeatonLimpiaElUsoDeEquipo",
         [](H &h) {
             Vehiculo({{57, "3"}})(h);
             h.hoja.HabilitaCampo(58, true);
             h.hoja.PonTexto(58, QStringLiteral("1"));
             h.hoja.HabilitaCampo(59, true);
             h.hoja.PonTexto(59, QStringLiteral("2"));
         },
         {},
         [](H &h) {
             // 59 is left to the change handling of 58, which empties it as well
             EXPECT_EQ(h.hoja.Texto(58), QString());
             EXPECT_FALSE(h.hoja.CampoHabilitado(58));
         }},
        {"SinUsoDeEquipoLimpiaElEquipo",
         [](H &h) {
             Vehiculo({{57, "1"}, {58, "2"}})(h);
             h.hoja.HabilitaCampo(59, true);
             h.hoja.PonTexto(59, QStringLiteral("1"));
         },
         {}, Lee(59, "")},
        {"SillaPara12Anos", Vehiculo({{36, "12"}, {57, "2"}, {58, "1"}, {59, "3"}})},
        {"SillaPara8Meses",
         Vehiculo({{37, "2"}, {36, "8"}, {57, "2"}, {58, "1"}, {59, "3"}})},
        {"AbortoA9Anos", Pon({{36, "9"}, {40, "1"}, {41, "5"}, {61, "7"}})},
        {"EmbarazoA54Anos", Pon({{36, "54"}, {61, "11"}})},
        {"TrasladoDeCincoMinutos", Pon({{62, "1"}, {63, "0"}, {64, "5"}}), {}, Lee({{63, "00"}, {64, "05"}})},
        {"SinPrehospitalariaLimpiaElTraslado",
         [](H &h) {
             for (int campo : {63, 64}) {
                 h.hoja.HabilitaCampo(campo, true);
                 h.hoja.PonTexto(campo, QStringLiteral("10"));
             }
         },
         {},
         [](H &h) {
             for (int campo : {63, 64}) {
                 EXPECT_EQ(h.hoja.Texto(campo), QString()) << campo;
                 EXPECT_FALSE(h.hoja.CampoHabilitado(campo)) << campo;
             }
         }},
    };
    return casos;
}

class PasaDomicilioEvento : public ::testing::TestWithParam<CasoPasa> {};

TEST_P(PasaDomicilioEvento, GrabaYDejaLasReescrituras)
{
    CompruebaPasa(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Variantes, PasaDomicilioEvento, ::testing::ValuesIn(Pasan()),
                         [](const auto &info) { return NombreCaso(info.param); });

} // namespace
