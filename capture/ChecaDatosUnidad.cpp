// Whole-record validation, first stretch: the unit (frmClues) and the patient
// (frmAfectado). Every failure turns to page 1.

#include "capture/ChecaDatosComun.h"
#include "capture/ReglasCampos.h"
#include "events/modEvento.h"
#include "lookups/Descripciones.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"


namespace {

DestinoFalla EnClues(int campo, bool habilitaCampo = false)
{
    return {0, {Marco::Clues}, FocoHoja::Campo(campo), habilitaCampo};
}

DestinoFalla EnFechaAtencion()
{
    return {0, {Marco::Clues}, FocoHoja::Fecha(1), false};
}

DestinoFalla EnAfectado(int campo)
{
    return {0, {Marco::Afectado}, FocoHoja::Campo(campo), false};
}

const QString SaltoLinea = QStringLiteral("\n");

} // namespace

bool ValidacionHoja::UnidadYPaciente()
{
    // Folio
    if (Blanco(22))
        return Falla(QStringLiteral("No ha capturado el Folio, verifique por favor....."), CajaFalla::Info,
                     EnClues(22));
    const qint64 folio = Val(22);
    if (folio == 0)
        return Falla(QStringLiteral("El Folio no puede ser cero, verifique por favor....."), CajaFalla::Info,
                     EnClues(22));
    hoja.PonTexto(22, QString::number(folio).rightJustified(8, QLatin1Char('0')));

    // Health unit: the name the sheet shows for the CLUES, and the catalog itself.
    if (Blanco(23))
        return Falla(QStringLiteral("No ha capturado la clave CLUES de la Unidad, verifique por favor....."),
                     CajaFalla::Info, EnClues(23, true));
    const QString unidad = hoja.Etiqueta(28);
    if (unidad.isEmpty() || unidad == CveInexistente() || !DescClues(ctx.ConexionBD, Recortado(23)).Encontrada())
        return Falla(QStringLiteral("La clave CLUES no es correcta, verifique por favor....."), CajaFalla::Info,
                     EnClues(23, true));

    // Date of care
    const QString textoAtencion = hoja.Fecha(1);
    if (hoja.FechaEnBlanco(1))
        return Falla(QStringLiteral("No ha capturado la Fecha de Atención, verifique por favor...."),
                     CajaFalla::Info, EnFechaAtencion());
    if (!ValidaFecha(textoAtencion, ctx.mensajes, ctx.reloj))
        return Falla(QStringLiteral("La Fecha de Atención no es valida, verifique por favor...."), CajaFalla::Info,
                     EnFechaAtencion());
    const QDate atencion = Fecha(1);
    if (hoja.EnAlta) {
        // An event being changed keeps its date even outside the statistical year.
        const int ano = int(ValorEntero(ctx.AnoActual));   // four digits of the start parameters
        if (atencion < QDate(ano - 1, 12, 26) || atencion > QDate(ano, 12, 25))
            return Falla(QStringLiteral("La Fecha de Atención debe ser del año estadistico en curso, verifique por "
                                        "favor...."),
                         CajaFalla::Info, EnFechaAtencion());
    }
    if (atencion > ctx.reloj.Hoy())
        return Falla(QStringLiteral("La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por "
                                    "favor...."),
                     CajaFalla::InfoSinBeep, EnFechaAtencion());
    if (const std::optional<ClaveEvento> clave = almacen.ClaveHoja(); clave && hoja.ClaveNueva(*clave)) {
        const std::optional<bool> existe = almacen.ExisteEvento(*clave);
        if (!existe)
            throw ErrorBD(0, QStringLiteral("No se pudo comprobar si el Evento ya existe, el Evento no se guardó....."));
        if (*existe)
            return Falla(QStringLiteral("Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención")
                             + SaltoLinea + QStringLiteral("verifique por favor....."),
                         CajaFalla::InfoSinBeep, EnClues(22));
    }

    // Names and entitlement
    if (Requiere({{29, "No ha capturado el Apellido Paterno, verifique por favor....."},
                  {31, "No ha capturado el Nombre del paciente, verifique por favor....."}},
                 EnAfectado))
        return true;
    if (hoja.CodigosMarcados(ListaHoja::Derechohabiencia).isEmpty())
        return Falla(QStringLiteral("No ha capturado la Derechohabiencia, verifique por favor...."), CajaFalla::Info,
                     {0, {Marco::Afectado}, FocoHoja::Lista(ListaHoja::Derechohabiencia), false});

    // CURP: an empty one only once the user says so.
    if (Blanco(32)
        && !Pregunta(QStringLiteral("No ha capturado la CURP") + SaltoLinea
                         + QStringLiteral("¿Esta seguro de no contar con este dato?"),
                     IconoSinIcono, false))
        return Termina(EnAfectado(32));
    const QString curp = Texto(32);
    if (!curp.isEmpty() && (curp.size() < 10 || !ValidaCurp(curp)))
        return Falla(QStringLiteral("La CURP no es correcta, verifique por favor.....") + SaltoLinea + SaltoLinea,
                     CajaFalla::SimpleSinBeep, EnAfectado(32));

    // Affiliation number: both parts for the first program, the first part for the second.
    const QString cuentaConAfiliacion = SaltoLinea + SaltoLinea + QStringLiteral("¿Cuenta con el número de afiliación?");
    if (Habilitado(33) && Habilitado(34) && (Recortado(33).size() < 10 || Recortado(34).size() < 2)) {
        if (Pregunta(QStringLiteral("El número de afiliación al QUIRVAL, no es correcto, verifique por favor.....")
                         + cuentaConAfiliacion,
                     IconoSinIcono, true))
            return Termina(EnAfectado(Recortado(33).size() < 10 ? 33 : 34));
        hoja.PonTexto(33, QStringLiteral("9999999999"));
        hoja.PonTexto(34, QStringLiteral("99"));
    }
    if (Habilitado(33) && !Habilitado(34) && Recortado(33).size() < 10) {
        if (Pregunta(QStringLiteral("El número de afiliación al BRESTAL, no es correcto, verifique por favor.....")
                         + cuentaConAfiliacion,
                     IconoSinIcono, true))
            return Termina(EnAfectado(33));
        hoja.PonTexto(33, QStringLiteral("9999999999"));
    }

    // File number, age and its unit
    if (Requiere({{35, "No ha capturado el Expediente, verifique por favor...."},
                  {36, "No ha capturado la Edad, verifique por favor...."},
                  {37, "No ha capturado la Clave de Edad, verifique por favor...."}},
                 EnAfectado))
        return true;
    if (!ValidaEdad(ctx, hoja))
        return Falla(QStringLiteral("La Clave de Edad no es correcta, verifique por favor...."), CajaFalla::Info,
                     EnAfectado(37));
    const qint64 clave = ValorEntero(Recortado(37));
    const bool edadNoRegistrada =
        ((clave == 0 || clave == 1 || clave == 2) && Val(36) == 99) || ((clave == 3 || clave == 9) && Val(36) == 999);
    if (edadNoRegistrada
        && !Pregunta(QStringLiteral("¿Está seguro de no conocer la EDAD del paciente?"), Mensajes::Icono::Pregunta,
                     false)) {
        hoja.PonTexto(36, QString());
        hoja.PonTexto(37, QString());
        return Termina(EnAfectado(36));
    }

    // Sex
    if (Blanco(38))
        return Falla(QStringLiteral("No ha capturado el Sexo, verifique por favor...."), CajaFalla::Info,
                     EnAfectado(38));
    if (Val(38) == 9
        && !Pregunta(QStringLiteral("¿Está seguro de no conocer el SEXO del paciente?"), Mensajes::Icono::Pregunta,
                     false)) {
        hoja.PonTexto(38, QString());
        return Termina(EnAfectado(38));
    }
    if (!EnCatalogo("Sexo", 38))
        return Falla(QStringLiteral("El código del Sexo no se conoce, verifique por favor...."), CajaFalla::Info,
                     EnAfectado(38));

    // Pregnancy, literacy and schooling, each only where it applies; where it
    // does not, the field gets the value the field rules give it.
    const qint64 edad = ValorEntero(Recortado(36));
    const bool enAnos = Texto(37) == QLatin1String("3");
    if (Texto(38) == QLatin1String("2") && enAnos && edad >= 9 && edad <= 54) {
        if (Requiere({{39, "No ha capturado si la paciente se encuentra embarazada, verifique por favor....",
                       "Embarazada", "El código de Embarazada no se conoce, verifique por favor...."}},
                     EnAfectado))
            return true;
    } else {
        Desactiva(39, QString());
    }
    if (enAnos && edad >= 5) {
        if (Requiere({{40, "No ha capturado si el paciente sabe leer y escribir, verifique por favor....",
                       "LeeEscribe", "El código de Sabe Leer y Escribir no se conoce, verifique por favor...."}},
                     EnAfectado))
            return true;
    } else {
        Desactiva(40, QStringLiteral("2"));
    }
    if (enAnos && edad >= 6) {
        if (Requiere({{41, "No ha capturado la escolaridad, verifique por favor...."}}, EnAfectado))
            return true;
        const bool restringida = (enAnos && edad < 12) || Texto(40) == QLatin1String("2");
        if (restringida && Es(41, {"2", "3", "4"}))
            return Falla(QStringLiteral("El código de la Escolaridad no se conoce ó no está permitido, verifique "
                                        "por favor...."),
                         CajaFalla::Info, EnAfectado(41));
        if (!restringida && !EnCatalogo("Escolaridad", 41))
            return Falla(QStringLiteral("El código de la Escolaridad no se conoce, verifique por favor...."),
                         CajaFalla::Info, EnAfectado(41));
    } else {
        Desactiva(41, QStringLiteral("6"));
    }
    return false;
}
