// Whole-record validation, last stretch: the aggressor (frmAgresor), the care
// with its diagnoses (frmAtencion) and the person responsible (frmResponsable).
// Every failure turns to page 2.

#include "capture/ChecaDatosComun.h"
#include "events/modEvento.h"
#include "shell/Contexto.h"

#include <algorithm>

namespace {

DestinoFalla EnAgresor(int campo)
{
    return {1, {Marco::Agresor}, FocoHoja::Campo(campo), false};
}

DestinoFalla EnAtencion(int campo)
{
    return {1, {Marco::Atencion}, FocoHoja::Campo(campo), false};
}

DestinoFalla EnResponsable(int campo)
{
    return {1, {Marco::Responsable}, FocoHoja::Campo(campo), false};
}

DestinoFalla EnTiposAtencion()
{
    return {1, {Marco::Atencion}, FocoHoja::Lista(ListaHoja::TipoAtencion), false};
}

} // namespace

bool ValidacionHoja::AgresorYAtencion()
{
    // The aggressor only for violence and trafficking.
    const bool trata = Texto(53) == QLatin1String("11");
    if (!Es(53, {"11", "3", "2"})) {
        for (int campo : {65, 66, 67, 68})
            Desactiva(campo, QString());
        DesactivaLista(ListaHoja::AgresorEfectos);
    } else {
        if (trata)
            hoja.PonTexto(65, QStringLiteral("2"));
        // Blank counts only while the field is open; the code is tested either way.
        if (Requiere({{65, "No ha capturado si el agresor fué único, verifique por favor....", "Agresor",
                       "El código de si el agresor fué único no se conoce, verifique por favor....", true}},
                     EnAgresor))
            return true;
        if (Texto(65) != QLatin1String("1")) {
            // Several or unknown aggressors: their details are not specified.
            Desactiva(66, QStringLiteral("999"));
            Desactiva(67, QStringLiteral("9"));
            hoja.HabilitaCampo(68, false);
            if (Texto(53) == QLatin1String("2"))
                hoja.PonTexto(68, QStringLiteral("4"));
            else
                hoja.PonTexto(68, QStringLiteral("8"));
            hoja.Marca(ListaHoja::AgresorEfectos, 3, true);
            hoja.HabilitaLista(ListaHoja::AgresorEfectos, false);
        } else {
            if (Requiere({{66, "No ha capturado la edad del agresor, verifique por favor...."}}, EnAgresor))
                return true;
            const int edad = Val(66);
            if ((edad < 1 || edad > 120) && edad != 999)
                return Falla(QStringLiteral("El rango permitido para la edad del agresor es de 1 a 120 y 999 para no "
                                            "especificada, verifique por favor...."),
                             CajaFalla::Info, EnAgresor(66));
            if (Requiere({{67, "No ha capturado el sexo del agresor, verifique por favor....", "Sexo",
                           "El código de el sexo del agresor no se conoce, verifique por favor...."},
                          {68, "No ha capturado el parentesco con el agresor, verifique por favor....", "Parentesco",
                           "El código de el parentesco con el agresor no se conoce, verifique por favor...."}},
                         EnAgresor))
                return true;
            if ((Texto(67) == QLatin1String("1") && Es(68, {"6", "2"}))
                || (Texto(67) == QLatin1String("2") && Es(68, {"5", "1"})))
                return Falla(QStringLiteral("El parentesco del agresor no corresponde con su sexo, verifique por "
                                            "favor...."),
                             CajaFalla::Info, EnAgresor(68));
            if (Es(68, {"5", "1", "3", "6", "2"}) && edad < 10)
                return Falla(QStringLiteral("El parentesco del agresor no corresponde con su edad, verifique por "
                                            "favor...."),
                             CajaFalla::Info, EnAgresor(68));
            if (hoja.CodigosMarcados(ListaHoja::AgresorEfectos).isEmpty())
                return Falla(QStringLiteral("No ha capturado la sospecha si el agresor estaba bajo los efectos de, "
                                            "verifique por favor...."),
                             CajaFalla::Info,
                             {1, {Marco::Agresor}, FocoHoja::Lista(ListaHoja::AgresorEfectos), false});
        }
    }

    // Hour of care, not before the hour of occurrence on the same day.
    if (HoraDelDia(69, 70,
                   {QStringLiteral("No ha capturado la hora de atención, verifique por favor...."),
                    QStringLiteral("La hora de atención no puede ser igual o mayor a 24, verifique por favor...."),
                    QStringLiteral("No ha capturado los minutos de la hora de atención, verifique por favor...."),
                    QStringLiteral("Los minutos de la hora de atención no pueden ser iguales o mayores a 60, "
                                   "verifique por favor...."),
                    {}},
                   1, Marco::Atencion))
        return true;
    // Both times are captured by now (the hour of occurrence in the stretch
    // before); a blank part of either is not compared.
    const bool horasCapturadas = !Blanco(49) && !Blanco(50) && !Blanco(69) && !Blanco(70);
    if (horasCapturadas && Fecha(1) == Fecha(0)
        && (Val(69) < Val(49) || (Val(69) == Val(49) && Val(70) < Val(50))))
        return Falla(QStringLiteral("La hora de atención no puede ser menor a la hora de ocurrencia, verifique por "
                                    "favor...."),
                     CajaFalla::Info, EnAtencion(69));

    // Service, and the stay in the emergency room it may call for.
    if (Requiere({{71, "No ha capturado el servicio de atención, verifique por favor....", "Servicio",
                   "El código de servicio de atención no se conoce, verifique por favor...."}},
                 EnAtencion))
        return true;
    if (Texto(71) == QLatin1String("3")) {
        if (Estancia(72, 73,
                     {QStringLiteral("No ha capturado las horas en el servicio de urgencias, verifique por favor...."),
                      {},
                      QStringLiteral("No ha capturado los minutos en el servicio de urgencias, verifique por "
                                     "favor...."),
                      QStringLiteral("Los minutos en el servicio de urgencias no pueden ser iguales o mayores a 60, "
                                     "verifique por favor...."),
                      QStringLiteral("El tiempo en el servicio de urgencias no puede ser 0, verifique por favor....")},
                     1, Marco::Atencion))
            return true;
    } else {
        Desactiva(72, QString());
        Desactiva(73, QString());
    }

    // Care types against the violence types and the patient.
    const QList<int> atencion = CodigosMarcados(ListaHoja::TipoAtencion);
    if (atencion.isEmpty())
        return Falla(QStringLiteral("No ha capturado el/los tipos de atención, verifique por favor...."),
                     CajaFalla::Info, EnTiposAtencion());
    if (hoja.ListaHabilitada(ListaHoja::TipoViolencia)) {
        const QList<int> violencia = CodigosMarcados(ListaHoja::TipoViolencia);
        const bool soloPsicologica =
            !violencia.isEmpty() && std::all_of(violencia.begin(), violencia.end(), [](int c) { return c == 8; });
        if (soloPsicologica && atencion.contains(3))
            return Falla(QStringLiteral("No esta permitido el Tratamiento Quirúrgico para la Violencia Psicologica, "
                                        "verifique por favor...."),
                         CajaFalla::Info, EnTiposAtencion());
        if (violencia.contains(7)) {
            const bool tratamiento =
                std::any_of(atencion.begin(), atencion.end(), [](int c) { return c >= 1 && c <= 6; });
            if (!tratamiento)
                return Falla(QStringLiteral("Se debe seleccionar el tipo de atención que otorgó (opciones del 1 al "
                                            "6), verifique por favor...."),
                             CajaFalla::Info, EnTiposAtencion());
            if (atencion.contains(7) && Val(38) != 2)
                return Falla(QStringLiteral("No se puede otorgar Píldora Anticonceptiva de Emergencia a pacientes que "
                                            "no sean mujeres, verifique por favor...."),
                             CajaFalla::Info, EnTiposAtencion());
            if (atencion.contains(7) && Val(39) == 1)
                return Falla(QStringLiteral("No se puede otorgar Píldora Anticonceptiva de Emergencia a una mujer "
                                            "embarazada, verifique por favor...."),
                             CajaFalla::Info, EnTiposAtencion());
        }
    }

    if (Requiere({{74, "No ha capturado usuario referido por, verifique por favor....", "Referido",
                   "El código de usuario referido por no se conoce, verifique por favor...."}},
                 EnAtencion))
        return true;
    if (trata)
        Desactiva(74, QStringLiteral("3"));
    if (Requiere({{75, "No ha capturado el destino después de la atención, verifique por favor....", "Destino",
                   "El código de destino después de la atención no se conoce, verifique por favor...."}},
                 EnAtencion))
        return true;

    // Diagnoses: the final ones in the list's order, the principal affection
    // and the external cause. ValidaDiagnostico says what is wrong itself.
    const std::optional<QList<FilaAfeccion>> afecciones = almacen.LeeAfecciones();
    if (!afecciones)
        throw ErrorBD(0, QStringLiteral("No se pudo leer la lista de diagnósticos, el Evento no se guardó....."));
    if (afecciones->isEmpty())
        return Falla(QStringLiteral("No ha capturado los diagnósticos finales en orden de importancia, verifique por "
                                    "favor...."),
                     CajaFalla::Info, EnAtencion(76));
    for (const FilaAfeccion &f : *afecciones)
        if (!almacen.ValidaDiagnostico(f.afeccion, 76))
            return Falla(QString(), CajaFalla::YaMostrada, EnAtencion(76));
    if (!almacen.ValidaDiagnostico(Recortado(77), 77))
        return Falla(QString(), CajaFalla::YaMostrada, EnAtencion(77));
    if (!almacen.ValidaDiagnostico(Recortado(78), 78))
        return Falla(QString(), CajaFalla::YaMostrada, EnAtencion(78));
    if (trata)
        Desactiva(78, QStringLiteral("Y079"));

    if (Requiere({{79, "No ha capturado si se dió aviso al Ministerio Público, verifique por favor....", "MP",
                   "El código de si se dió aviso al Ministerio Público no se conoce, verifique por favor...."}},
                 EnAtencion))
        return true;
    return Requiere({{80, "No ha capturado el responsable de la atención, verifique por favor....", "Responsable",
                      "El código de el responsable de la atención no se conoce, verifique por favor...."},
                     {81, "No ha capturado el nombre del responsable de la atención, verifique por favor...."}},
                    EnResponsable);
}
