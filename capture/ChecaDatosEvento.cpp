// Whole-record validation, second stretch: the address of the place of
// occurrence (frmDomicilio), the occurrence, the injury, the prehospital care
// and the transfer time (frmEvento, frmAccidente). Every failure turns to page 1.

#include "capture/ChecaDatosComun.h"
#include "lookups/Descripciones.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"


namespace {

DestinoFalla EnDomicilio(int campo)
{
    return {0, {Marco::Afectado, Marco::Domicilio}, FocoHoja::Campo(campo), false};
}

DestinoFalla EnEvento(int campo)
{
    return {0, {Marco::Evento}, FocoHoja::Campo(campo), false};
}

DestinoFalla EnAccidente(int campo)
{
    return {0, {Marco::Evento, Marco::Accidente}, FocoHoja::Campo(campo), false};
}

DestinoFalla EnFechaOcurrencia()
{
    return {0, {Marco::Evento}, FocoHoja::Fecha(0), false};
}

} // namespace

bool ValidacionHoja::DomicilioYEvento()
{
    // Address; blanks only count as not captured.
    if (Requiere({{42, "No ha capturado la calle, verifique por favor...."},
                  {43, "No ha capturado la entre calle uno, verifique por favor...."},
                  {44, "No ha capturado la entre calle dos, verifique por favor...."},
                  {45, "No ha capturado la colonia, verifique por favor...."}},
                 EnDomicilio))
        return true;

    // The place, each code within its parent, after its leading zeros.
    const BaseDatos &bd = ctx.ConexionBD;
    Rellena(46, 2);
    if (Blanco(46) || !DescEstado(bd, Texto(46)).Encontrada())
        return Falla(QStringLiteral("La Entidad no es correcta, verifique por favor...."), CajaFalla::Info,
                     EnDomicilio(46));
    Rellena(47, 3);
    if (Blanco(47) || !DescMunicipio(bd, Texto(46), Texto(47)).Encontrada())
        return Falla(QStringLiteral("El municipio no es correcto, verifique por favor...."), CajaFalla::Info,
                     EnDomicilio(47));
    Rellena(48, 4);
    if (Blanco(48) || !DescLocalidad(bd, Texto(46), Texto(47), Texto(48)).Encontrada())
        return Falla(QStringLiteral("La Localidad no es correcta, verifique por favor...."), CajaFalla::Info,
                     EnDomicilio(48));

    // Date of occurrence: a real date, not after the care.
    if (hoja.FechaEnBlanco(0))
        return Falla(QStringLiteral("No ha capturado la Fecha de Ocurrencia, verifique por favor...."),
                     CajaFalla::Info, EnFechaOcurrencia());
    if (!ValidaFecha(hoja.Fecha(0), ctx.mensajes, ctx.reloj))
        return Falla(QStringLiteral("La Fecha de Ocurrencia no es valida, verifique por favor...."), CajaFalla::Info,
                     EnFechaOcurrencia());
    if (Fecha(1) < Fecha(0))
        return Falla(QStringLiteral("La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, verifique por "
                                    "favor...."),
                     CajaFalla::InfoSinBeep, EnFechaOcurrencia());

    if (HoraDelDia(49, 50,
                   {QStringLiteral("No ha capturado la hora de ocurrencia, verifique por favor...."),
                    QStringLiteral("La hora de ocurrencia no puede ser igual o mayor a 24, verifique por favor...."),
                    QStringLiteral("No ha capturado los minutos de la hora de ocurrencia, verifique por favor...."),
                    QStringLiteral("Los minutos de la hora de ocurrencia no pueden ser iguales o mayores a 60, "
                                   "verifique por favor...."),
                    {}},
                   0, Marco::Evento))
        return true;

    if (Requiere({{51, "No ha capturado si fué día festivo, verifique por favor....", "Festivo",
                   "El código de Día Festivo no se conoce, verifique por favor...."},
                  {52, "No ha capturado discapacidad preexistente, verifique por favor....", "Discapacidad",
                   "El código de Discapacidad no se conoce, verifique por favor...."},
                  {53, "No ha capturado la Intencionalidad, verifique por favor....", "Intencionalidad",
                   "El código de la Intencionalidad no se conoce, verifique por favor...."}},
                 EnEvento))
        return true;

    // Violence types only for family and non-family violence; the repeat
    // question also for self-inflicted events.
    if (Es(53, {"2", "3"})) {
        if (hoja.CodigosMarcados(ListaHoja::TipoViolencia).isEmpty())
            return Falla(QStringLiteral("No ha capturado el/los tipos de violencia, verifique por favor...."),
                         CajaFalla::Info, {0, {Marco::Evento}, FocoHoja::Lista(ListaHoja::TipoViolencia), false});
    } else {
        DesactivaLista(ListaHoja::TipoViolencia);
    }
    if (Es(53, {"2", "3", "4"})) {
        if (Requiere({{54, "No ha capturado si el evento es único o repetido, verifique por favor....", "Vez",
                       "El código de si el evento es único o repetido no se conoce, verifique por favor...."}},
                     EnEvento))
            return true;
    } else {
        Desactiva(54, QString());
    }

    if (hoja.CodigosMarcados(ListaHoja::PacienteEfectos).isEmpty())
        return Falla(QStringLiteral("No ha capturado la sospecha si el paciente estaba bajo los efectos de, verifique "
                                    "por favor...."),
                     CajaFalla::Info, {0, {Marco::Evento}, FocoHoja::Lista(ListaHoja::PacienteEfectos), false});
    if (Requiere({{55, "No ha capturado el sitio de ocurrencia, verifique por favor....", "Sitio",
                   "El código de el sitio de ocurrencia no se conoce, verifique por favor...."},
                  {56, "No ha capturado el agente de la lesión, verifique por favor....", "Agente",
                   "El código de el agente de la lesión no se conoce, verifique por favor...."}},
                 EnEvento))
        return true;

    // Motor-vehicle questions, each opened by the answer before it.
    if (Texto(56) == QLatin1String("20")) {
        if (Requiere({{57, "No ha capturado el tipo de lesionado de accidente de vehículo de motor, verifique por "
                           "favor....",
                       "LesionadoVehiculo",
                       "El código de el lesionado de accidente de vehículo de motor no se conoce, verifique por "
                       "favor...."}},
                     EnAccidente))
            return true;
        if (Es(57, {"1", "2"})) {
            // Blank counts only while the field is open; the code is tested either way.
            if (Requiere({{58, "No ha capturado si uso equipo de seguridad, verifique por favor....", "UsoSeguridad",
                           "El código de si uso equipo de seguridad no se conoce, verifique por favor....", true}},
                         EnAccidente))
                return true;
            if (Texto(58) == QLatin1String("1")) {
                if (Requiere({{59, "No ha capturado que equipo de seguridad utilizó, verifique por favor....",
                               "Equipo",
                               "El código de que equipo de seguridad utilizó no se conoce, verifique por favor...."}},
                             EnAccidente))
                    return true;
                // Equipment 3 only for an occupant, and not past 12 years of age.
                if (Recortado(59) == QLatin1String("3") && Recortado(57) != QLatin1String("2"))
                    return Falla(QStringLiteral("El equipo de seguridad no corresponde con el tipo de lesionado, "
                                                "verifique por favor...."),
                                 CajaFalla::Info, EnAccidente(59));
                if (Recortado(59) == QLatin1String("3") && Recortado(37) == QLatin1String("3") && Val(36) > 12)
                    return Falla(QStringLiteral("El equipo de seguridad no corresponde con la edad del lesionado, "
                                                "verifique por favor...."),
                                 CajaFalla::Info, EnAccidente(59));
            } else {
                Desactiva(59, QString());
            }
        } else {
            Desactiva(58, QString());
        }
    } else {
        Desactiva(57, QString());
        Desactiva(58, QString());
        Desactiva(59, QString());
    }

    if (Requiere({{60, "No ha capturado el área anatómica de mayor gravedad, verifique por favor....", "Area",
                   "El código de el área anatómica de mayor gravedad no se conoce, verifique por favor...."},
                  {61, "No ha capturado la consecuencia resultante de mayor gravedad, verifique por favor....",
                   "Consecuencia",
                   "El código de la consecuencia resultante de mayor gravedad no se conoce, verifique por "
                   "favor...."}},
                 EnEvento))
        return true;
    // Abortion and pregnancy consequences: women from 9 to 54 years only.
    if ((Recortado(61) == QLatin1String("7") || Recortado(61) == QLatin1String("11"))
        && !(Texto(38) == QLatin1String("2") && Texto(37) == QLatin1String("3") && Val(36) >= 9 && Val(36) <= 54))
        return Falla(QStringLiteral("La consecuencia resultante de mayor gravedad (Aborto/Embarazo), no se permite "
                                    "para el sexo ó la edad del paciente, verifique por favor...."),
                     CajaFalla::Info, EnEvento(61));

    // Prehospital care and the transfer time it calls for.
    if (Requiere({{62, "No ha capturado si recibió atención prehospitalaria, verifique por favor....",
                   "Prehospitalaria",
                   "El código de si recibió atención prehospitalaria no se conoce, verifique por favor...."}},
                 EnEvento))
        return true;
    if (Texto(62) != QLatin1String("1")) {
        Desactiva(63, QString());
        Desactiva(64, QString());
        return false;
    }
    return Estancia(63, 64,
                    {QStringLiteral("No ha capturado las horas de tiempo de traslado, verifique por favor...."), {},
                     QStringLiteral("No ha capturado los minutos de tiempo de traslado, verifique por favor...."),
                     QStringLiteral("Los minutos de tiempo de traslado no pueden ser iguales o mayores a 60, "
                                    "verifique por favor...."),
                     QStringLiteral("El tiempo de traslado no puede ser 0, verifique por favor....")},
                    0, Marco::Evento);
}
