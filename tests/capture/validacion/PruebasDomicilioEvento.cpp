// The address, the occurrence, the injury, the prehospital care and the
// transfer time.

#include "HojaValidacion.h"

#include <gtest/gtest.h>

namespace {

using H = HojaValidacion;

// A motor-vehicle agent, typed as the user would.
Cambio Vehiculo(std::initializer_list<std::pair<int, const char *>> textos)
{
    return Y({Pon(56, "20"), Pon(textos)});
}

const QString Entidad = "La Entidad no es correcta, verifique por favor....";
const QString Municipio = "El municipio no es correcto, verifique por favor....";
const QString Localidad = "La Localidad no es correcta, verifique por favor....";
const QString OcurrenciaNoValida = "La Fecha de Ocurrencia no es valida, verifique por favor....";
const QString SinVez = "No ha capturado si el evento es único o repetido, verifique por favor....";
const QString UsoDeEquipoDesconocido = "El código de si uso equipo de seguridad no se conoce, verifique por favor....";
const QString AbortoNoPermitido = QStringLiteral("La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite para el sexo ó la edad del paciente, verifique por favor....");
const QString SinHorasDeTraslado = "No ha capturado las horas de tiempo de traslado, verifique por favor....";
const QString SinMinutosDeTraslado = "No ha capturado los minutos de tiempo de traslado, verifique por favor....";

const CasoFalla Fallan[] = {
    {"SinCalle", Pon(42, "   "), "No ha capturado la calle, verifique por favor....", true, 0, "42"},
    {"SinEntreCalleUno", Pon(43, ""), "No ha capturado la entre calle uno, verifique por favor....", true, 0, "43"},
    {"SinEntreCalleDos", Pon(44, ""), "No ha capturado la entre calle dos, verifique por favor....", true, 0, "44"},
    {"SinColonia", Pon(45, " "), "No ha capturado la colonia, verifique por favor....", true, 0, "45"},
    {"SinEntidad", Pon(46, ""), Entidad, true, 0, "46"},
    {"EntidadDesconocida", Pon(46, "77"), Entidad, true, 0, "46"},
    {"SinMunicipio", Pon(47, ""), Municipio, true, 0, "47"},
    {"MunicipioDeOtraEntidad", Pon(47, "20"), Municipio, true, 0, "47", {}, Lee(47, "020")},
    {"LugarRellenadoAntesDeFallar", Pon({{46, "9"}, {47, "4"}, {48, "2"}}), Localidad, true, 0, "48", {}, Lee({{46, "09"}, {47, "004"}, {48, "0002"}})},
    {"SinLocalidad", Pon(48, ""), Localidad, true, 0, "48"},
    {"LocalidadDeOtroMunicipio", Pon(48, "7"), Localidad, true, 0, "48", {}, Lee(48, "0007")},
    {"SinFechaOcurrencia", PonFecha(0, ""), "No ha capturado la Fecha de Ocurrencia, verifique por favor....", true, 0, FocoFecha(0)},
    {"FechaOcurrenciaInvalida", PonFecha(0, "31/04/2004"), OcurrenciaNoValida, true, 0, FocoFecha(0)},
    {"FechaOcurrenciaIncompleta", PonFecha(0, "14/06/20__"), OcurrenciaNoValida, true, 0, FocoFecha(0)},
    {"OcurrenciaDespuesDeAtencion", PonFecha(0, "16/06/2004"), "La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, verifique por favor....", false, 0, FocoFecha(0)},
    {"SinHoraOcurrencia", Pon(49, ""), "No ha capturado la hora de ocurrencia, verifique por favor....", true, 0, "49"},
    {"HoraOcurrencia24", Pon(49, "24"), "La hora de ocurrencia no puede ser igual o mayor a 24, verifique por favor....", true, 0, "49"},
    {"SinMinutosOcurrencia", Pon(50, ""), "No ha capturado los minutos de la hora de ocurrencia, verifique por favor....", true, 0, "50"},
    {"MinutosOcurrencia60", Pon({{49, "7"}, {50, "60"}}), "Los minutos de la hora de ocurrencia no pueden ser iguales o mayores a 60, verifique por favor....", true, 0, "50", {}, Lee(49, "07")},
    {"SinFestivo", Pon(51, ""), "No ha capturado si fué día festivo, verifique por favor....", true, 0, "51"},
    {"FestivoDesconocido", Pon(51, "5"), "El código de Día Festivo no se conoce, verifique por favor....", true, 0, "51"},
    {"SinDiscapacidad", Pon(52, ""), "No ha capturado discapacidad preexistente, verifique por favor....", true, 0, "52"},
    {"DiscapacidadDesconocida", Pon(52, "5"), "El código de Discapacidad no se conoce, verifique por favor....", true, 0, "52"},
    {"SinIntencionalidad", Pon(53, ""), "No ha capturado la Intencionalidad, verifique por favor....", true, 0, "53"},
    {"IntencionalidadDesconocida", Pon(53, "7"), "El código de la Intencionalidad no se conoce, verifique por favor....", true, 0, "53"},
    {"ViolenciaSinTipos", Desmarca(ListaHoja::TipoViolencia), "No ha capturado el/los tipos de violencia, verifique por favor....", true, 0, FocoLista(ListaHoja::TipoViolencia)},
    {"SinVez", Pon(54, ""), SinVez, true, 0, "54"},
    {"AutoinfligidoSinVez", Pon(53, "4"), SinVez, true, 0, "54"},
    {"VezDesconocida", Pon(54, "5"), "El código de si el evento es único o repetido no se conoce, verifique por favor....", true, 0, "54"},
    {"SinEfectosDelPaciente", Desmarca(ListaHoja::PacienteEfectos), "No ha capturado la sospecha si el paciente estaba bajo los efectos de, verifique por favor....", true, 0, FocoLista(ListaHoja::PacienteEfectos)},
    {"SinSitio", Pon(55, ""), "No ha capturado el sitio de ocurrencia, verifique por favor....", true, 0, "55"},
    {"SitioDesconocido", Pon(55, "50"), "El código de el sitio de ocurrencia no se conoce, verifique por favor....", true, 0, "55"},
    {"SinAgente", Pon(56, ""), "No ha capturado el agente de la lesión, verifique por favor....", true, 0, "56"},
    {"AgenteDesconocido", Pon(56, "50"), "El código de el agente de la lesión no se conoce, verifique por favor....", true, 0, "56"},
    {"VehiculoSinLesionado", Vehiculo({}), "No ha capturado el tipo de lesionado de accidente de vehículo de motor, verifique por favor....", true, 0, "57"},
    {"LesionadoDesconocido", Vehiculo({{57, "5"}}), "El código de el lesionado de accidente de vehículo de motor no se conoce, verifique por favor....", true, 0, "57"},
    {"ConductorSinUsoDeEquipo", Vehiculo({{57, "1"}}), "No ha capturado si uso equipo de seguridad, verifique por favor....", true, 0, "58"},
    {"UsoDeEquipoDesconocido", Vehiculo({{57, "2"}, {58, "5"}}), UsoDeEquipoDesconocido, true, 0, "58"},
    {"UsoDeEquipoBloqueadoVacio", Y({Vehiculo({{57, "1"}}), Bloquea(58)}), UsoDeEquipoDesconocido, true, 0, "58"},
    {"SinEquipo", Vehiculo({{57, "1"}, {58, "1"}}), "No ha capturado que equipo de seguridad utilizó, verifique por favor....", true, 0, "59"},
    {"EquipoDesconocido", Vehiculo({{57, "1"}, {58, "1"}, {59, "5"}}), "El código de que equipo de seguridad utilizó no se conoce, verifique por favor....", true, 0, "59"},
    {"SillaParaConductor", Vehiculo({{57, "1"}, {58, "1"}, {59, "3"}}), "El equipo de seguridad no corresponde con el tipo de lesionado, verifique por favor....", true, 0, "59"},
    {"SillaPara13Anos", Vehiculo({{36, "13"}, {57, "2"}, {58, "1"}, {59, "3"}}), "El equipo de seguridad no corresponde con la edad del lesionado, verifique por favor....", true, 0, "59"},
    {"SinArea", Pon(60, ""), "No ha capturado el área anatómica de mayor gravedad, verifique por favor....", true, 0, "60"},
    {"AreaDesconocida", Pon(60, "50"), "El código de el área anatómica de mayor gravedad no se conoce, verifique por favor....", true, 0, "60"},
    {"SinConsecuencia", Pon(61, ""), "No ha capturado la consecuencia resultante de mayor gravedad, verifique por favor....", true, 0, "61"},
    {"ConsecuenciaDesconocida", Pon(61, "50"), "El código de la consecuencia resultante de mayor gravedad no se conoce, verifique por favor....", true, 0, "61"},
    {"AbortoEnHombre", Pon({{38, "1"}, {61, "7"}}), AbortoNoPermitido, true, 0, "61"},
    {"AbortoA8Anos", Pon({{36, "8"}, {40, "1"}, {41, "5"}, {61, "7"}}), AbortoNoPermitido, true, 0, "61"},
    {"EmbarazoA55Anos", Pon({{36, "55"}, {61, "11"}}), AbortoNoPermitido, true, 0, "61"},
    {"AbortoEnMeses", Pon({{37, "2"}, {36, "10"}, {61, "7"}}), AbortoNoPermitido, true, 0, "61"},
    {"SinPrehospitalaria", Pon(62, ""), "No ha capturado si recibió atención prehospitalaria, verifique por favor....", true, 0, "62"},
    {"PrehospitalariaDesconocida", Pon(62, "5"), "El código de si recibió atención prehospitalaria no se conoce, verifique por favor....", true, 0, "62"},
    {"SinHorasDeTraslado", Pon(62, "1"), SinHorasDeTraslado, true, 0, "63"},
    {"SinMinutosDeTraslado", Pon({{62, "1"}, {63, "1"}}), SinMinutosDeTraslado, true, 0, "64", {}, Lee(63, "01")},
    {"MinutosDeTraslado60", Pon({{62, "1"}, {63, "1"}, {64, "60"}}), "Los minutos de tiempo de traslado no pueden ser iguales o mayores a 60, verifique por favor....", true, 0, "64"},
    {"TrasladoCero", Pon({{62, "1"}, {63, "0"}, {64, "0"}}), "El tiempo de traslado no puede ser 0, verifique por favor....", true, 0, "63"},
    // A locked, blank part of the transfer time counts as not captured.
    {"HorasDeTrasladoBloqueadasVacias", Y({Pon({{62, "1"}, {64, "5"}}), Bloquea(63)}), SinHorasDeTraslado, true, 0, "63", {}, Abierto(63)},
    {"MinutosDeTrasladoBloqueadosVacios", Y({Pon({{62, "1"}, {63, "2"}}), Bloquea(64)}), SinMinutosDeTraslado, true, 0, "64", {}, Abierto(64)},
};

INSTANTIATE_TEST_SUITE_P(DomicilioEvento, Falla, ::testing::ValuesIn(Fallan), NombreCaso<CasoFalla>);

const CasoPasa Pasan[] = {
    {"CodigosDeLugarRellenados", Pon({{46, "9"}, {47, "7"}, {48, "1"}}), {}, Lee({{46, "09"}, {47, "007"}, {48, "0001"}})},
    {"OcurrenciaElMismoDia", Y({PonFecha(0, "15/06/2004"), Pon(49, "08")})},
    {"HorasRellenadas", Pon({{49, "7"}, {50, "5"}}), {}, Lee({{49, "07"}, {50, "05"}})},
    {"UltimoMinutoDelDia", Pon({{49, "23"}, {50, "59"}, {69, "23"}, {70, "59"}})},
    // The care types are offered again once the violence types go.
    {"AutoinfligidoSinTiposDeViolencia", Y({Pon({{53, "4"}, {54, "1"}}), Tic(ListaHoja::TipoAtencion, "1")}), {}, ListaVacia(ListaHoja::TipoViolencia)},
    // Intent "se ignora", with the violence types and the repeat left
    // open as if the field rules had not run: closed without a message.
    {"IntencionIgnoradaCierraViolenciaYVez", Y({Pon(53, "5"), AbreLista(ListaHoja::TipoViolencia), Fuerza({{54, "2"}}), Tic(ListaHoja::TipoAtencion, "1")}), {}, Y({ListaVacia(ListaHoja::TipoViolencia), Vacios({54}), Lee(65, "")})},
    {"AccidenteLimpiaLaVez", Y({Pon(53, "1"), Fuerza({{54, "2"}}), Tic(ListaHoja::TipoAtencion, "1")}), {}, Vacios({54})},
    {"OtroAgenteLimpiaElVehiculo", Fuerza({{57, "1"}, {58, "1"}, {59, "1"}}), {}, Vacios({57, 58, 59})},
    // 59 is left to the change handling of 58, which empties it as well.
    {"PeatonLimpiaElUsoDeEquipo", Y({Vehiculo({{57, "3"}}), Fuerza({{58, "1"}, {59, "2"}})}), {}, Vacios({58})},
    {"SinUsoDeEquipoLimpiaElEquipo", Y({Vehiculo({{57, "1"}, {58, "2"}}), Fuerza({{59, "1"}})}), {}, Lee(59, "")},
    {"SillaPara12Anos", Vehiculo({{36, "12"}, {57, "2"}, {58, "1"}, {59, "3"}})},
    {"SillaPara8Meses", Vehiculo({{37, "2"}, {36, "8"}, {57, "2"}, {58, "1"}, {59, "3"}})},
    {"AbortoA9Anos", Pon({{36, "9"}, {40, "1"}, {41, "5"}, {61, "7"}})},
    {"EmbarazoA54Anos", Pon({{36, "54"}, {61, "11"}})},
    {"TrasladoDeCincoMinutos", Pon({{62, "1"}, {63, "0"}, {64, "5"}}), {}, Lee({{63, "00"}, {64, "05"}})},
    {"SinPrehospitalariaLimpiaElTraslado", Fuerza({{63, "10"}, {64, "10"}}), {}, Vacios({63, 64})},
};

INSTANTIATE_TEST_SUITE_P(DomicilioEvento, Pasa, ::testing::ValuesIn(Pasan), NombreCaso<CasoPasa>);

} // namespace
