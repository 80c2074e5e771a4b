#pragma once

#include "lookups/Descripciones.h"

#include <QString>
#include <optional>

class BaseDatos;
class Mensajes;

// Verdicts of the ICD-10 catalog test, with the old numbers.
enum class VeredictoCIE10 {
    Aceptado = 0,
    Sexo = 1,                  // not valid for the patient's sex
    Edad = 2,                  // outside the cause's age limits
    Erradicada = 3,            // eradicated cause
    NoAfeccionPrincipal = 5,   // not accepted as principal affection
    NoExiste = 8,              // not in the catalog
    Baja = 9,                  // withdrawn from the catalog
    Error = -1                 // the catalog could not be read
};

// The patient data the catalog test reads; a missing value skips only the
// test that needs it (sex: the sex test; unit or age: both age tests).
struct PacienteCIE10 {
    std::optional<int> sexo;        // 1 male, 2 female, 9 not specified
    std::optional<int> claveEdad;   // 0 hours, 1 days, 2 months, 3 years, 9 not specified
    std::optional<int> edad;
};

// The name of a cause for the label beside a diagnosis field. A blank code
// gives an empty text without a query; a code absent from CATCIE10 gives
// "CVE INEXISTENTE" and a beep; a query that cannot run gives Error.
Descripcion NombreCIE10(const BaseDatos &bd, Mensajes &mensajes, const QString &codigo);

// Tests a code (trimmed) against CATCIE10 for a patient: withdrawn, sex,
// lower and upper age limits, not principal, eradicated, in that order.
VeredictoCIE10 ConsultaCIE10(const BaseDatos &bd, const QString &codigo, const PacienteCIE10 &paciente);
