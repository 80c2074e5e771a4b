// The whole-record validation of the sheet: each rule's message, beep, page
// and focus when it fails; the rewrites it leaves when the event passes; the
// first failing rule the only one; a broken query stopping the save.

#include "capture/ChecaDatos.h"
#include "comun/HojaEnBase.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// The shared valid event typed into a sheet adding it (editing it when `alta`
// is false), the field rules running as for a user.
class HojaValidacion : public HojaEnBase {
public:
    explicit HojaValidacion(bool alta) : hoja(Reg().hoja), almacen(Reg().eventos)
    {
        hoja.EnAlta = alta;
        hoja.EnCambio = !alta;
        EXPECT_TRUE(LlenaEvento(almacen, EventoValido()));
        hoja.PonPagina(0);
        if (!alta)
            hoja.HabilitaMarco(Marco::Clues, false);
    }
    // Runs the validation with the answers queued for its questions.
    bool Valida(const std::vector<bool> &respuestas = {})
    {
        Msj().Limpia();
        for (bool r : respuestas)
            Msj().Responde(r);
        focos.clear();
        return ChecaDatos_D_EVENTO(*prog.ctx, hoja);
    }

    HojaDatos &hoja;
    modEvento &almacen;
};

using H = HojaValidacion;
using Cambio = std::function<void(H &)>;
using Textos = std::initializer_list<std::pair<int, const char *>>;

QString Texto(const char *t) { return QString::fromUtf8(t); }

// Changes the tables are written with.
Cambio Y(std::initializer_list<Cambio> cambios) { return [v = std::vector(cambios)](H &h) { for (const Cambio &c : v) c(h); }; }
Cambio Pon(Textos textos) { return [v = std::vector(textos)](H &h) { for (const auto &[c, t] : v) h.hoja.PonTexto(c, Texto(t)); }; }
Cambio Pon(int campo, const char *texto) { return Pon({{campo, texto}}); }
// Written into open fields, as if the field rules had not closed them.
Cambio Fuerza(Textos textos) { return Y({[v = std::vector(textos)](H &h) { for (const auto &[c, t] : v) h.hoja.HabilitaCampo(c, true); }, Pon(textos)}); }
// The field given this text and closed.
Cambio Bloquea(int campo, const char *texto = "") { return Y({Pon(campo, texto), [=](H &h) { h.hoja.HabilitaCampo(campo, false); }}); }
Cambio PonFecha(int indice, const char *fecha) { return [=](H &h) { h.hoja.PonFecha(indice, Texto(fecha)); }; }
Cambio Desmarca(ListaHoja lista) { return [lista](H &h) { DesmarcaTodo(h.hoja, lista); }; }
Cambio Tic(ListaHoja lista, const QStringList &codigos) { return [=](H &h) { Marca(h.hoja, lista, codigos); }; }
// The list opened, as if the field rules had not closed it.
Cambio AbreLista(ListaHoja lista) { return [=](H &h) { h.hoja.HabilitaLista(lista, true); }; }
Cambio Sql(const char *sql) { return [=](H &h) { h.prog.Ejecuta(Texto(sql)); }; }
// Both dates on that day, the occurrence at 08:00.
Cambio Dia(const char *fecha) { return Y({PonFecha(1, fecha), PonFecha(0, fecha), Pon(49, "08")}); }
Cambio Hoy(QDateTime ahora) { return [=](H &h) { h.prog.reloj.Fija(ahora); }; }
const Cambio Repetido = [](H &h) { ASSERT_TRUE(h.almacen.AltaEvento()); };
const Cambio SoloBrestal = Y({Tic(ListaHoja::Derechohabiencia, {"G"}), Pon(33, "12345")});
// A motor-vehicle agent, typed as the user would.
Cambio Vehiculo(Textos textos) { return Y({Pon(56, "20"), Pon(textos)}); }
Cambio Diagnosticos(const QStringList &codigos) { return [=](H &h) { ASSERT_TRUE(h.almacen.PonAfeccionesTmp(codigos)); }; }
// Violence and care types ticked anew (ticking a violence type reloads the care types).
Cambio Tipos(const QStringList &violencia, const QStringList &atencion, Textos textos = {})
{
    return Y({Pon(textos), Desmarca(ListaHoja::TipoViolencia), Tic(ListaHoja::TipoViolencia, violencia), Desmarca(ListaHoja::TipoAtencion), Tic(ListaHoja::TipoAtencion, atencion)});
}
const Cambio AtencionTipo1 = Tic(ListaHoja::TipoAtencion, {"1"});
// Several aggressors, their details typed as if the field rules had not run.
Cambio VariosAgresores(const char *intencion)
{
    return Y({Pon({{53, intencion}, {54, "1"}}), Tic(ListaHoja::TipoViolencia, {"6"}), AtencionTipo1, Pon(65, "2"),
              Fuerza({{66, "1"}, {67, "1"}, {68, "1"}}), AbreLista(ListaHoja::AgresorEfectos), Desmarca(ListaHoja::AgresorEfectos)});
}

// Checks after the validation.
Cambio Lee(Textos textos) { return [v = std::vector(textos)](H &h) { for (const auto &[c, t] : v) EXPECT_EQ(h.hoja.Texto(c), Texto(t)) << c; }; }
Cambio Lee(int campo, const char *esperado) { return Lee({{campo, esperado}}); }
Cambio Cerrados(std::initializer_list<int> campos, bool si = false)
{
    return [v = std::vector(campos), si](H &h) { for (int c : v) EXPECT_EQ(h.hoja.CampoHabilitado(c), si) << c; };
}
Cambio Abierto(int campo) { return Cerrados({campo}, true); }
// Emptied and closed.
Cambio Vacios(std::initializer_list<int> campos) { return Y({Cerrados(campos), [v = std::vector(campos)](H &h) { for (int c : v) EXPECT_EQ(h.hoja.Texto(c), ""); }}); }
// Open or closed with these codes ticked.
Cambio Lista(ListaHoja lista, bool abierta, const QStringList &marcados)
{
    return [=](H &h) { EXPECT_EQ(h.hoja.CodigosMarcados(lista) << QString::number(h.hoja.ListaHabilitada(lista)), marcados + QStringList{QString::number(abierta)}); };
}
// The number of boxes shown, and the first one's text.
Cambio Cajas(int cuantas, const char *primera = nullptr)
{
    return [=](H &h) { EXPECT_TRUE(h.Msj().cajas.size() == cuantas && (!primera || h.Msj().cajas[0].texto == Texto(primera))) << h.Msj().Ultimo().toStdString(); };
}
// The aggressor's details "not specified", closed.
Cambio SinDetallesDelAgresor(const char *parentesco)
{
    return Y({Lee({{66, "999"}, {67, "9"}, {68, parentesco}}), Cerrados({66, 67, 68}), Lista(ListaHoja::AgresorEfectos, false, {"4"})});
}

// The frames of the control of a focus request are open again.
bool FocoHabilitado(const HojaDatos &hoja, const QString &foco)
{
    const std::pair<QString, Marco> otros[] = {
        {FocoFecha(0), Marco::Evento}, {FocoFecha(1), Marco::Clues}, {FocoLista(ListaHoja::Derechohabiencia), Marco::Afectado},
        {FocoLista(ListaHoja::TipoViolencia), Marco::Evento}, {FocoLista(ListaHoja::PacienteEfectos), Marco::Evento},
        {FocoLista(ListaHoja::AgresorEfectos), Marco::Agresor}, {FocoLista(ListaHoja::TipoAtencion), Marco::Atencion}};
    const CampoHoja *c = CampoDe(foco.toInt());
    Marco marco = c ? c->marco : Marco::Clues;
    for (const auto &[nombre, m] : otros)
        if (nombre == foco)
            marco = m;
    return hoja.MarcoHabilitado(marco) && hoja.MarcoHabilitado(MarcoExterior(marco));
}

// The smallest change from the valid event that makes a rule fail, and what
// the user must see.
struct CasoFalla {
    const char *nombre;
    Cambio cambio;
    QString mensaje;      // the last box's text
    bool beep;            // a beep came before the box
    int pagina;
    QString foco;         // the last focus request: "36", FocoFecha(1), FocoLista(...)
    std::vector<bool> respuestas = {};
    Cambio despues = {};  // further checks once it failed
    bool alta = true;
    const char *titulo = nullptr;   // the last box's title when not the sheet title
};

// A variant of the valid event that must pass, with the answers to its
// questions and what the sheet reads afterwards.
struct CasoPasa {
    const char *nombre;
    Cambio cambio;
    std::vector<bool> respuestas = {};
    Cambio despues = {};
    bool alta = true;
};

class Falla : public ::testing::TestWithParam<CasoFalla> {};
class Pasa : public ::testing::TestWithParam<CasoPasa> {};

// Elsewhere than where the failure must lead, the message, its title, the beep,
// the page, and the focus with its frames open again.
TEST_P(Falla, MuestraSuMensajeYEnfocaElCampo)
{
    const CasoFalla &caso = GetParam();
    H h(caso.alta);
    caso.cambio(h);
    h.hoja.PonPagina(1 - caso.pagina);
    for (Marco m : {Marco::Clues, Marco::Afectado, Marco::Domicilio, Marco::Evento, Marco::Accidente, Marco::Agresor, Marco::Atencion, Marco::Responsable})
        h.hoja.HabilitaMarco(m, false);
    EXPECT_TRUE(h.Valida(caso.respuestas));
    ASSERT_FALSE(h.Msj().cajas.isEmpty() || h.focos.isEmpty());
    const auto resumen = [](const QString &m, const QString &t, bool b, int p, const QString &f) { return QStringList({m, t, QString::number(b), QString::number(p), f}); };
    EXPECT_EQ(resumen(h.Msj().Ultimo(), h.Msj().cajas.last().titulo, h.Msj().beeps > 0, h.hoja.Pagina(), h.focos.last()),
              resumen(caso.mensaje, caso.titulo ? Texto(caso.titulo) : TituloHoja, caso.beep, caso.pagina, caso.foco));
    EXPECT_TRUE(h.Msj().respuestas.empty()) << "unused answers";
    EXPECT_TRUE(FocoHabilitado(h.hoja, h.focos.last())) << h.focos.last().toStdString();
    if (caso.despues)
        caso.despues(h);
}

TEST_P(Pasa, GrabaYDejaLasReescrituras)
{
    const CasoPasa &caso = GetParam();
    H h(caso.alta);
    caso.cambio(h);
    EXPECT_FALSE(h.Valida(caso.respuestas)) << h.Msj().Ultimo().toStdString();
    EXPECT_TRUE(h.Msj().respuestas.empty() && h.Msj().cajas.size() == qsizetype(caso.respuestas.size())) << "unused answers or boxes";
    EXPECT_TRUE(!caso.respuestas.empty() || h.Msj().beeps == 0);
    if (caso.despues)
        caso.despues(h);
}

const QString Localidad = "La Localidad no es correcta, verifique por favor....";
const QString AbortoNoPermitido = "La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite para el sexo ó la edad del paciente, verifique por favor....";
const QString tipos = FocoLista(ListaHoja::TipoAtencion);

const CasoFalla Fallan[] = {
    {"FolioVacio", Pon(22, "  "), "No ha capturado el Folio, verifique por favor.....", true, 0, "22"},
    {"FolioCero", Pon(22, "00000000"), "El Folio no puede ser cero, verifique por favor.....", true, 0, "22"},
    {"CluesVacia", Bloquea(23), "No ha capturado la clave CLUES de la Unidad, verifique por favor.....", true, 0, "23", {}, Abierto(23)},
    {"CluesFueraDelCatalogo", Bloquea(23, "DFSSA999999"), "La clave CLUES no es correcta, verifique por favor.....", true, 0, "23", {}, Abierto(23)},
    {"FechaAtencionVacia", PonFecha(1, ""), "No ha capturado la Fecha de Atención, verifique por favor....", true, 0, FocoFecha(1)},
    {"FechaAtencionInvalida", PonFecha(1, "31/04/2004"), "La Fecha de Atención no es valida, verifique por favor....", true, 0, FocoFecha(1), {}, Cajas(1)},
    {"FechaAtencionNoEsDelCalendario", PonFecha(1, "29/02/2005"), "La Fecha de Atención no es valida, verifique por favor....", true, 0, FocoFecha(1), {}, Cajas(2, "Fecha invalida, verifique por favor.....")},
    {"FechaAtencionAntesDelAno", PonFecha(1, "25/12/2003"), "La Fecha de Atención debe ser del año estadistico en curso, verifique por favor....", true, 0, FocoFecha(1)},
    {"FechaAtencionDespuesDelAno", PonFecha(1, "26/12/2004"), "La Fecha de Atención debe ser del año estadistico en curso, verifique por favor....", true, 0, FocoFecha(1)},
    {"FechaAtencionFutura", Hoy(QDateTime(QDate(2004, 6, 14), QTime(23, 0))), "La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor....", false, 0, FocoFecha(1)},
    {"EventoRepetido", Repetido, "Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....", false, 0, "22"},
    {"SinPaterno", Pon(29, " "), "No ha capturado el Apellido Paterno, verifique por favor.....", true, 0, "29"},
    {"SinNombre", Pon(31, ""), "No ha capturado el Nombre del paciente, verifique por favor.....", true, 0, "31"},
    {"SinDerechohabiencia", Desmarca(ListaHoja::Derechohabiencia), "No ha capturado la Derechohabiencia, verifique por favor....", true, 0, FocoLista(ListaHoja::Derechohabiencia)},
    {"SinCurpNo", Pon(32, ""), "No ha capturado la CURP\n¿Esta seguro de no contar con este dato?", false, 0, "32", {false}},
    {"CurpCorta", Pon(32, "PELM74031"), "La CURP no es correcta, verifique por favor.....\n\n", false, 0, "32", {},
     [](H &h) { EXPECT_FALSE(h.Msj().cajas.last().pregunta); EXPECT_EQ(h.Msj().cajas.last().icono, Mensajes::Icono::Ninguno); }, true, "VELMORAN2016"},
    {"CurpDeBlancosSi", Pon(32, "   "), "La CURP no es correcta, verifique por favor.....\n\n", false, 0, "32", {true}, {}, true, "VELMORAN2016"},
    {"QuirvalCortaSi", Pon(33, "12345"), "El número de afiliación al QUIRVAL, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?", true, 0, "33", {true}, Lee(33, "12345")},
    {"BrestalCortaSi", SoloBrestal, "El número de afiliación al BRESTAL, no es correcto, verifique por favor.....\n\n¿Cuenta con el número de afiliación?", true, 0, "33", {true}},
    {"SinExpediente", Pon(35, ""), "No ha capturado el Expediente, verifique por favor....", true, 0, "35"},
    {"SinEdad", Pon(36, ""), "No ha capturado la Edad, verifique por favor....", true, 0, "36"},
    {"SinClaveEdad", Pon(37, ""), "No ha capturado la Clave de Edad, verifique por favor....", true, 0, "37"},
    {"EdadFueraDeSuClave", Pon(36, "131"), "La Clave de Edad no es correcta, verifique por favor....", true, 0, "37", {}, Cajas(2, "Edad incorrecta para clave de edad en AÑOS, verifique por favor.....")},
    {"ClaveEdadDesconocida", Pon(37, "5"), "La Clave de Edad no es correcta, verifique por favor....", true, 0, "37", {}, Cajas(1)},
    {"EdadNoRegistradaNo", Pon({{37, "2"}, {36, "99"}}), "¿Está seguro de no conocer la EDAD del paciente?", false, 0, "36", {false},
     [](H &h) { Lee({{36, ""}, {37, ""}})(h); EXPECT_EQ(h.Msj().cajas.last().icono, Mensajes::Icono::Pregunta); }},
    {"ClaveEdadNoEspecificadaNo", Pon(37, "9"), "¿Está seguro de no conocer la EDAD del paciente?", false, 0, "36", {false}},
    {"SinSexo", Pon(38, ""), "No ha capturado el Sexo, verifique por favor....", true, 0, "38"},
    {"SexoNoEspecificadoNo", Pon(38, "9"), "¿Está seguro de no conocer el SEXO del paciente?", false, 0, "38", {false}, Lee(38, "")},
    {"SexoDesconocido", Pon(38, "5"), "El código del Sexo no se conoce, verifique por favor....", true, 0, "38"},
    {"SinEmbarazoA9Anos", Pon({{36, "9"}, {39, ""}}), "No ha capturado si la paciente se encuentra embarazada, verifique por favor....", true, 0, "39"},
    {"EmbarazoDesconocido", Pon(39, "5"), "El código de Embarazada no se conoce, verifique por favor....", true, 0, "39"},
    {"SinLeeEscribeA5Anos", Pon({{36, "5"}, {40, ""}}), "No ha capturado si el paciente sabe leer y escribir, verifique por favor....", true, 0, "40"},
    {"LeeEscribeDesconocido", Pon(40, "5"), "El código de Sabe Leer y Escribir no se conoce, verifique por favor....", true, 0, "40"},
    {"SinEscolaridad", Pon(41, ""), "No ha capturado la escolaridad, verifique por favor....", true, 0, "41"},
    {"EscolaridadNoPermitidaA11Anos", Pon({{36, "11"}, {41, "2"}}), "El código de la Escolaridad no se conoce ó no está permitido, verifique por favor....", true, 0, "41"},
    {"EscolaridadDesconocida", Pon(41, "7"), "El código de la Escolaridad no se conoce, verifique por favor....", true, 0, "41"},
    {"SinCalle", Pon(42, "   "), "No ha capturado la calle, verifique por favor....", true, 0, "42"},
    {"SinEntreCalleUno", Pon(43, ""), "No ha capturado la entre calle uno, verifique por favor....", true, 0, "43"},
    {"SinEntreCalleDos", Pon(44, ""), "No ha capturado la entre calle dos, verifique por favor....", true, 0, "44"},
    {"SinColonia", Pon(45, " "), "No ha capturado la colonia, verifique por favor....", true, 0, "45"},
    {"SinEntidad", Pon(46, ""), "La Entidad no es correcta, verifique por favor....", true, 0, "46"},
    {"EntidadDesconocida", Pon(46, "77"), "La Entidad no es correcta, verifique por favor....", true, 0, "46"},
    {"SinMunicipio", Pon(47, ""), "El municipio no es correcto, verifique por favor....", true, 0, "47"},
    {"MunicipioDeOtraEntidad", Pon(47, "20"), "El municipio no es correcto, verifique por favor....", true, 0, "47", {}, Lee(47, "020")},
    {"LugarRellenadoAntesDeFallar", Pon({{46, "9"}, {47, "4"}, {48, "2"}}), Localidad, true, 0, "48", {}, Lee({{46, "09"}, {47, "004"}, {48, "0002"}})},
    {"SinLocalidad", Pon(48, ""), Localidad, true, 0, "48"},
    {"LocalidadDeOtroMunicipio", Pon(48, "7"), Localidad, true, 0, "48", {}, Lee(48, "0007")},
    {"SinFechaOcurrencia", PonFecha(0, ""), "No ha capturado la Fecha de Ocurrencia, verifique por favor....", true, 0, FocoFecha(0)},
    {"FechaOcurrenciaIncompleta", PonFecha(0, "14/06/20__"), "La Fecha de Ocurrencia no es valida, verifique por favor....", true, 0, FocoFecha(0)},
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
    {"AutoinfligidoSinVez", Pon(53, "4"), "No ha capturado si el evento es único o repetido, verifique por favor....", true, 0, "54"},
    {"VezDesconocida", Pon(54, "5"), "El código de si el evento es único o repetido no se conoce, verifique por favor....", true, 0, "54"},
    {"SinEfectosDelPaciente", Desmarca(ListaHoja::PacienteEfectos), "No ha capturado la sospecha si el paciente estaba bajo los efectos de, verifique por favor....", true, 0, FocoLista(ListaHoja::PacienteEfectos)},
    {"SinSitio", Pon(55, ""), "No ha capturado el sitio de ocurrencia, verifique por favor....", true, 0, "55"},
    {"SitioDesconocido", Pon(55, "50"), "El código de el sitio de ocurrencia no se conoce, verifique por favor....", true, 0, "55"},
    {"SinAgente", Pon(56, ""), "No ha capturado el agente de la lesión, verifique por favor....", true, 0, "56"},
    {"AgenteDesconocido", Pon(56, "50"), "El código de el agente de la lesión no se conoce, verifique por favor....", true, 0, "56"},
    {"VehiculoSinLesionado", Vehiculo({}), "No ha capturado el tipo de lesionado de accidente de vehículo de motor, verifique por favor....", true, 0, "57"},
    {"LesionadoDesconocido", Vehiculo({{57, "5"}}), "El código de el lesionado de accidente de vehículo de motor no se conoce, verifique por favor....", true, 0, "57"},
    {"ConductorSinUsoDeEquipo", Vehiculo({{57, "1"}}), "No ha capturado si uso equipo de seguridad, verifique por favor....", true, 0, "58"},
    {"UsoDeEquipoDesconocido", Vehiculo({{57, "2"}, {58, "5"}}), "El código de si uso equipo de seguridad no se conoce, verifique por favor....", true, 0, "58", {}, Abierto(58)},
    {"UsoDeEquipoBloqueadoVacio", Y({Vehiculo({{57, "1"}}), Bloquea(58)}), "El código de si uso equipo de seguridad no se conoce, verifique por favor....", true, 0, "58", {}, Abierto(58)},
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
    {"SinHorasDeTraslado", Pon(62, "1"), "No ha capturado las horas de tiempo de traslado, verifique por favor....", true, 0, "63"},
    {"SinMinutosDeTraslado", Pon({{62, "1"}, {63, "1"}}), "No ha capturado los minutos de tiempo de traslado, verifique por favor....", true, 0, "64", {}, Lee(63, "01")},
    {"MinutosDeTraslado60", Pon({{62, "1"}, {63, "1"}, {64, "60"}}), "Los minutos de tiempo de traslado no pueden ser iguales o mayores a 60, verifique por favor....", true, 0, "64"},
    {"TrasladoCero", Pon({{62, "1"}, {63, "0"}, {64, "0"}}), "El tiempo de traslado no puede ser 0, verifique por favor....", true, 0, "63"},
    // A locked, blank part of the transfer time counts as not captured.
    {"HorasDeTrasladoBloqueadasVacias", Y({Pon({{62, "1"}, {64, "5"}}), Bloquea(63)}), "No ha capturado las horas de tiempo de traslado, verifique por favor....", true, 0, "63", {}, Abierto(63)},
    {"MinutosDeTrasladoBloqueadosVacios", Y({Pon({{62, "1"}, {63, "2"}}), Bloquea(64)}), "No ha capturado los minutos de tiempo de traslado, verifique por favor....", true, 0, "64", {}, Abierto(64)},
    {"SinAgresor", Pon(65, ""), "No ha capturado si el agresor fué único, verifique por favor....", true, 1, "65"},
    {"AgresorDesconocido", Pon(65, "5"), "El código de si el agresor fué único no se conoce, verifique por favor....", true, 1, "65", {}, Abierto(65)},
    {"AgresorBloqueadoVacio", Bloquea(65), "El código de si el agresor fué único no se conoce, verifique por favor....", true, 1, "65", {}, Abierto(65)},
    {"SinEdadDelAgresor", Pon(66, ""), "No ha capturado la edad del agresor, verifique por favor....", true, 1, "66"},
    {"AgresorDeEdadCero", Pon(66, "0"), "El rango permitido para la edad del agresor es de 1 a 120 y 999 para no especificada, verifique por favor....", true, 1, "66"},
    {"AgresorDe121", Pon(66, "121"), "El rango permitido para la edad del agresor es de 1 a 120 y 999 para no especificada, verifique por favor....", true, 1, "66"},
    {"SinSexoDelAgresor", Pon(67, ""), "No ha capturado el sexo del agresor, verifique por favor....", true, 1, "67"},
    {"SexoDelAgresorDesconocido", Pon(67, "5"), "El código de el sexo del agresor no se conoce, verifique por favor....", true, 1, "67"},
    {"SinParentesco", Pon(68, ""), "No ha capturado el parentesco con el agresor, verifique por favor....", true, 1, "68"},
    {"ParentescoDesconocido", Pon(68, "0"), "El código de el parentesco con el agresor no se conoce, verifique por favor....", true, 1, "68"},
    {"HombreComoMadre", Pon(68, "2"), "El parentesco del agresor no corresponde con su sexo, verifique por favor....", true, 1, "68"},
    {"MujerComoEsposo", Pon({{67, "2"}, {68, "5"}}), "El parentesco del agresor no corresponde con su sexo, verifique por favor....", true, 1, "68"},
    {"PadrastroDe9Anos", Pon({{66, "9"}, {68, "3"}}), "El parentesco del agresor no corresponde con su edad, verifique por favor....", true, 1, "68"},
    {"SinEfectosDelAgresor", Desmarca(ListaHoja::AgresorEfectos), "No ha capturado la sospecha si el agresor estaba bajo los efectos de, verifique por favor....", true, 1, FocoLista(ListaHoja::AgresorEfectos)},
    {"SinHoraDeAtencion", Pon(69, ""), "No ha capturado la hora de atención, verifique por favor....", true, 1, "69"},
    {"HoraDeAtencion24", Pon(69, "24"), "La hora de atención no puede ser igual o mayor a 24, verifique por favor....", true, 1, "69"},
    {"SinMinutosDeAtencion", Pon({{69, "9"}, {70, ""}}), "No ha capturado los minutos de la hora de atención, verifique por favor....", true, 1, "70", {}, Lee(69, "09")},
    {"MinutosDeAtencion60", Pon(70, "60"), "Los minutos de la hora de atención no pueden ser iguales o mayores a 60, verifique por favor....", true, 1, "70"},
    {"AtencionUnaHoraAntes", Y({PonFecha(0, "15/06/2004"), Pon({{49, "10"}, {50, "00"}, {69, "09"}, {70, "59"}})}), "La hora de atención no puede ser menor a la hora de ocurrencia, verifique por favor....", true, 1, "69"},
    {"SinServicio", Pon(71, ""), "No ha capturado el servicio de atención, verifique por favor....", true, 1, "71"},
    {"ServicioDesconocido", Pon(71, "7"), "El código de servicio de atención no se conoce, verifique por favor....", true, 1, "71"},
    {"SinHorasEnUrgencias", Pon(72, ""), "No ha capturado las horas en el servicio de urgencias, verifique por favor....", true, 1, "72"},
    {"SinMinutosEnUrgencias", Pon({{72, "5"}, {73, ""}}), "No ha capturado los minutos en el servicio de urgencias, verifique por favor....", true, 1, "73", {}, Lee(72, "05")},
    {"MinutosEnUrgencias60", Pon(73, "60"), "Los minutos en el servicio de urgencias no pueden ser iguales o mayores a 60, verifique por favor....", true, 1, "73"},
    {"UrgenciasCero", Pon({{72, "0"}, {73, "0"}}), "El tiempo en el servicio de urgencias no puede ser 0, verifique por favor....", true, 1, "72"},
    // A locked, blank part of the stay counts as not captured.
    {"HorasEnUrgenciasBloqueadasVacias", Bloquea(72), "No ha capturado las horas en el servicio de urgencias, verifique por favor....", true, 1, "72", {}, Abierto(72)},
    {"MinutosEnUrgenciasBloqueadosVacios", Bloquea(73), "No ha capturado los minutos en el servicio de urgencias, verifique por favor....", true, 1, "73", {}, Abierto(73)},
    {"SinTiposDeAtencion", Desmarca(ListaHoja::TipoAtencion), "No ha capturado el/los tipos de atención, verifique por favor....", true, 1, tipos},
    {"QuirurgicaParaViolenciaPsicologica", Tipos({"8"}, {"3"}), "No esta permitido el Tratamiento Quirúrgico para la Violencia Psicologica, verifique por favor....", true, 1, tipos},
    {"ViolenciaSexualSinTratamiento", Tipos({"7"}, {"7"}), "Se debe seleccionar el tipo de atención que otorgó (opciones del 1 al 6), verifique por favor....", true, 1, tipos},
    {"PildoraParaHombre", Tipos({"7"}, {"1", "7"}, {{38, "1"}}), "No se puede otorgar Píldora Anticonceptiva de Emergencia a pacientes que no sean mujeres, verifique por favor....", true, 1, tipos},
    {"PildoraParaEmbarazada", Tipos({"7"}, {"1", "7"}, {{39, "1"}}), "No se puede otorgar Píldora Anticonceptiva de Emergencia a una mujer embarazada, verifique por favor....", true, 1, tipos},
    {"SinReferencia", Pon(74, ""), "No ha capturado usuario referido por, verifique por favor....", true, 1, "74"},
    {"ReferenciaDesconocida", Pon(74, "8"), "El código de usuario referido por no se conoce, verifique por favor....", true, 1, "74"},
    {"SinDestino", Pon(75, ""), "No ha capturado el destino después de la atención, verifique por favor....", true, 1, "75"},
    {"DestinoDesconocido", Pon(75, "50"), "El código de destino después de la atención no se conoce, verifique por favor....", true, 1, "75"},
    {"SinDiagnosticos", Diagnosticos({}), "No ha capturado los diagnósticos finales en orden de importancia, verifique por favor....", true, 1, "76"},
    {"DiagnosticoFueraDeCapitulo", Diagnosticos({"S001", "A000"}), "El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos de obstetricia; verifique por favor.....", true, 1, "76"},
    {"SinAfeccionPrincipal", Pon(77, ""), "No ha capturado la Reselección de la Afección Principal, verifique por favor.....", true, 1, "77", {}, {}, true, "Hoja de Registro de Atención por Violencia y/o Lesion - 11"},
    {"CausaExternaDeOtroCapitulo", Pon(78, "S001"), "El Diagnóstico debe pertenecer al capítulo XX; verifique por favor.....", true, 1, "78"},
    {"SinMinisterioPublico", Pon(79, ""), "No ha capturado si se dió aviso al Ministerio Público, verifique por favor....", true, 1, "79"},
    {"MinisterioPublicoDesconocido", Pon(79, "5"), "El código de si se dió aviso al Ministerio Público no se conoce, verifique por favor....", true, 1, "79"},
    {"SinResponsable", Pon(80, ""), "No ha capturado el responsable de la atención, verifique por favor....", true, 1, "80"},
    {"ResponsableDesconocido", Pon(80, "5"), "El código de el responsable de la atención no se conoce, verifique por favor....", true, 1, "80"},
    {"SinNombreDelResponsable", Pon(81, " "), "No ha capturado el nombre del responsable de la atención, verifique por favor....", true, 1, "81"},
    {"LaPrimeraReglaQueFallaEsLaUnica", Pon({{81, ""}, {42, ""}, {35, ""}}), "No ha capturado el Expediente, verifique por favor....", true, 0, "35", {}, Cajas(1)},
    {"LasReescriturasQuedanCuandoFallaOtraRegla", Pon({{22, "77"}, {49, "5"}, {33, "1"}, {81, ""}}),
     "No ha capturado el nombre del responsable de la atención, verifique por favor....", true, 1, "81", {false},
     Lee({{22, "00000077"}, {33, "9999999999"}, {34, "99"}, {49, "05"}})},
    {"UnCatalogoIlegibleCuentaComoCodigoDesconocido", Sql("ALTER TABLE cSexo RENAME TO cSexoViejo"), "El código del Sexo no se conoce, verifique por favor....", true, 0, "38"},
};

INSTANTIATE_TEST_SUITE_P(Validacion, Falla, ::testing::ValuesIn(Fallan), [](const auto &i) { return std::string(i.param.nombre); });

const CasoPasa Pasan[] = {
    {"FolioSinCeros", Pon(22, "123"), {}, Lee(22, "00000123")},
    {"InicioDelAno", Dia("26/12/2003")},
    {"FinDelAno", Dia("25/12/2004")},
    {"FueraDelAnoEnCambio", Dia("26/12/2004"), {}, {}, false},
    {"FechaDeHoy", Hoy(QDateTime(QDate(2004, 6, 15), QTime(0, 1)))},
    {"EventoGuardadoEnCambio", Repetido, {}, {}, false},
    {"SinCurpSi", Pon(32, ""), {true}},
    {"QuirvalDesconocida", Pon(33, "12345"), {false}, Lee({{33, "9999999999"}, {34, "99"}})},
    {"BrestalDesconocida", SoloBrestal, {false}, Y({Lee(33, "9999999999"), Cerrados({34})})},
    {"EdadNoRegistradaSi", Pon({{37, "2"}, {36, "99"}}), {true}},
    {"SexoNoEspecificadoSi", Pon(38, "9"), {true}, Lee(39, "")},
    // Where a field does not apply the validation itself gives it its value.
    {"NinaDe8AnosSinEmbarazo", Y({Pon(36, "8"), Fuerza({{39, "1"}}), Pon(41, "5")}), {}, Vacios({39})},
    {"MujerDe55SinEmbarazo", Y({Pon(36, "55"), Fuerza({{39, "2"}})}), {}, Lee(39, "")},
    {"NinoDe4Anos", Y({Pon(36, "4"), Fuerza({{40, "1"}, {41, "5"}})}), {}, Y({Lee({{40, "2"}, {41, "6"}}), Cerrados({40, 41})})},
    {"NinoDe5Anos", Pon({{36, "5"}, {40, "1"}}), {}, Lee(41, "6")},
    {"NinoDe8AnosEscolaridadLibre", Pon({{36, "8"}, {40, "1"}, {41, "8"}})},
    {"BebeEnMeses", Pon({{37, "2"}, {36, "8"}}), {}, Lee({{39, ""}, {40, "2"}, {41, "6"}})},
    {"CodigosDeLugarRellenados", Pon({{46, "9"}, {47, "7"}, {48, "1"}}), {}, Lee({{46, "09"}, {47, "007"}, {48, "0001"}})},
    {"OcurrenciaElMismoDia", Y({PonFecha(0, "15/06/2004"), Pon(49, "08")})},
    {"UltimoMinutoDelDia", Pon({{49, "23"}, {50, "59"}, {69, "23"}, {70, "59"}})},
    // The care types are offered again once the violence types go.
    {"AutoinfligidoSinTiposDeViolencia", Y({Pon({{53, "4"}, {54, "1"}}), Tic(ListaHoja::TipoAtencion, {"1"})}), {}, Lista(ListaHoja::TipoViolencia, false, {})},
    // Intent "se ignora", with the violence types and the repeat left
    // open as if the field rules had not run: closed without a message.
    {"IntencionIgnoradaCierraViolenciaYVez", Y({Pon(53, "5"), AbreLista(ListaHoja::TipoViolencia), Fuerza({{54, "2"}}), Tic(ListaHoja::TipoAtencion, {"1"})}), {}, Y({Lista(ListaHoja::TipoViolencia, false, {}), Vacios({54}), Lee(65, "")})},
    {"AccidenteLimpiaLaVez", Y({Pon(53, "1"), Fuerza({{54, "2"}}), Tic(ListaHoja::TipoAtencion, {"1"})}), {}, Vacios({54})},
    {"OtroAgenteLimpiaElVehiculo", Fuerza({{57, "1"}, {58, "1"}, {59, "1"}}), {}, Vacios({57, 58, 59})},
    // 59 is left to the change handling of 58, which empties it as well.
    {"PeatonLimpiaElUsoDeEquipo", Y({Vehiculo({{57, "3"}}), Fuerza({{58, "1"}, {59, "2"}})}), {}, Vacios({58})},
    {"SinUsoDeEquipoLimpiaElEquipo", Y({Vehiculo({{57, "1"}, {58, "2"}}), Fuerza({{59, "1"}})}), {}, Lee(59, "")},
    {"SillaPara12Anos", Vehiculo({{36, "12"}, {57, "2"}, {58, "1"}, {59, "3"}})},
    {"AbortoA9Anos", Pon({{36, "9"}, {40, "1"}, {41, "5"}, {61, "7"}})},
    {"EmbarazoA54Anos", Pon({{36, "54"}, {61, "11"}})},
    {"TrasladoDeCincoMinutos", Pon({{62, "1"}, {63, "0"}, {64, "5"}}), {}, Lee({{63, "00"}, {64, "05"}})},
    {"SinPrehospitalariaLimpiaElTraslado", Fuerza({{63, "10"}, {64, "10"}}), {}, Vacios({63, 64})},
    {"AccidenteSinAgresor", Y({Pon(53, "1"), AtencionTipo1, Fuerza({{65, "1"}, {66, "1"}, {67, "1"}, {68, "1"}}), AbreLista(ListaHoja::AgresorEfectos), Tic(ListaHoja::AgresorEfectos, {"1"})}), {}, Y({Vacios({65, 66, 67, 68}), Lista(ListaHoja::AgresorEfectos, false, {})})},
    {"VariosAgresoresEnViolenciaFamiliar", VariosAgresores("2"), {}, SinDetallesDelAgresor("4")},
    {"VariosAgresoresEnViolenciaNoFamiliar", VariosAgresores("3"), {}, SinDetallesDelAgresor("8")},
    {"TrataDePersonas", Y({Pon(53, "11"), AtencionTipo1, Fuerza({{65, "1"}, {74, "1"}, {78, "Y040"}})}), {},
     Y({SinDetallesDelAgresor("8"), Lee({{65, "2"}, {74, "3"}, {78, "Y079"}, {54, ""}}), Cerrados({74, 78, 54}), Lista(ListaHoja::TipoViolencia, false, {})})},
    {"AgresorDeEdadNoEspecificada", Pon({{66, "999"}, {68, "3"}})},
    {"PadrastroDe10Anos", Pon({{66, "10"}, {68, "3"}})},
    {"AgresorSinSexoEsMadre", Pon({{67, "9"}, {68, "2"}})},
    {"HorasDeAtencionRellenadas", Pon({{69, "9"}, {70, "5"}}), {}, Lee({{69, "09"}, {70, "05"}})},
    {"AtencionALaHoraDeOcurrencia", Y({PonFecha(0, "15/06/2004"), Pon({{49, "10"}, {50, "20"}, {69, "10"}, {70, "20"}})})},
    {"OtroDiaCualquierHora", Pon({{49, "23"}, {69, "00"}})},
    {"OtroServicioLimpiaUrgencias", Y({Pon(71, "1"), Fuerza({{72, "10"}, {73, "10"}})}), {}, Vacios({72, 73})},
    {"QuirurgicaConOtraViolencia", Tipos({"6", "8"}, {"3"})},
    {"PildoraParaMujer", Tipos({"7"}, {"1", "7"})},
    {"QuirurgicaConViolenciaBloqueada", Y({Tipos({"8"}, {"3"}), [](H &h) { h.hoja.HabilitaLista(ListaHoja::TipoViolencia, false); }})},
};

INSTANTIATE_TEST_SUITE_P(Validacion, Pasa, ::testing::ValuesIn(Pasan), [](const auto &i) { return std::string(i.param.nombre); });

// A query that cannot run stops the save and says why.
TEST(ChecaDatos, UnErrorDeConsultaDetieneElGuardado)
{
    for (const auto &[sql, alta, mensaje] : {std::tuple{"ALTER TABLE D_EVENTO RENAME TO D_EVENTO_VIEJO", true, "No se pudo comprobar si el Evento ya existe"},
                                             {"ALTER TABLE TMPGRIDAFEC RENAME COLUMN AFECCION TO OTRA", false, "No se pudo leer la lista de diagnósticos"}}) {
        H h(alta);
        Sql(sql)(h);
        EXPECT_TRUE(h.Valida());
        ASSERT_EQ(h.Msj().cajas.size(), 1);
        const MensajesFalsos::Caja &caja = h.Msj().cajas[0];
        EXPECT_EQ(QStringList({caja.texto, caja.titulo, QString::number(int(caja.icono)), QString::number(h.Msj().beeps)}),
                  QStringList({Texto(mensaje) + ", el Evento no se guardó.....", TituloHojaRegistro(), QString::number(int(Mensajes::Icono::Informacion)), "1"}));
    }
}

} // namespace
