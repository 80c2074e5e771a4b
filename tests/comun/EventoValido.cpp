#include "comun/EventoValido.h"

DatosEvento EventoValido()
{
    DatosEvento d;
    d.textos = {
        {22, QStringLiteral("00000123")},
        {23, QStringLiteral("DFSSA000012")},   // HOSPITAL GENERAL IZTAPALAPA
        {29, QStringLiteral("PEREZ")},
        {30, QStringLiteral("LOPEZ")},
        {31, QStringLiteral("MARIA")},
        {32, QStringLiteral("PELM740312MDFRPR09")},
        {33, QStringLiteral("1234567890")},    // QUIRVAL affiliation, both fields open
        {34, QStringLiteral("01")},
        {35, QStringLiteral("A123456")},
        {36, QStringLiteral("30")},
        {37, QStringLiteral("3")},             // years
        {38, QStringLiteral("2")},             // female
        {39, QStringLiteral("2")},             // not pregnant
        {40, QStringLiteral("1")},
        {41, QStringLiteral("3")},
        {42, QStringLiteral("AVENIDA MORELOS 12")},
        {43, QStringLiteral("CALLE JUAREZ")},
        {44, QStringLiteral("CALLE HIDALGO")},
        {45, QStringLiteral("CENTRO")},
        {46, QStringLiteral("09")},
        {47, QStringLiteral("007")},
        {48, QStringLiteral("0001")},
        {49, QStringLiteral("22")},
        {50, QStringLiteral("30")},
        {51, QStringLiteral("2")},
        {52, QStringLiteral("2")},
        {53, QStringLiteral("2")},             // family violence
        {54, QStringLiteral("2")},
        {55, QStringLiteral("1")},
        {56, QStringLiteral("5")},             // not a motor vehicle: 57 to 59 stay empty
        {60, QStringLiteral("2")},
        {61, QStringLiteral("6")},
        {62, QStringLiteral("2")},             // no prehospital care: 63 and 64 stay empty
        {65, QStringLiteral("1")},             // a single aggressor
        {66, QStringLiteral("35")},
        {67, QStringLiteral("1")},
        {68, QStringLiteral("5")},
        {69, QStringLiteral("09")},
        {70, QStringLiteral("15")},
        {71, QStringLiteral("3")},             // emergency room
        {72, QStringLiteral("02")},
        {73, QStringLiteral("30")},
        {74, QStringLiteral("1")},
        {75, QStringLiteral("1")},
        {77, QStringLiteral("S001")},
        {78, QStringLiteral("Y040")},
        {79, QStringLiteral("1")},
        {80, QStringLiteral("1")},
        {81, QStringLiteral("JUAN HERNANDEZ")},
    };
    d.fechaOcurrencia = QStringLiteral("14/06/2004");
    d.fechaAtencion = QStringLiteral("15/06/2004");
    d.marcados = {
        {ListaHoja::Derechohabiencia, {QStringLiteral("8")}},
        {ListaHoja::TipoViolencia, {QStringLiteral("6"), QStringLiteral("8")}},
        {ListaHoja::PacienteEfectos, {QStringLiteral("5")}},
        {ListaHoja::AgresorEfectos, {QStringLiteral("1")}},
        {ListaHoja::TipoAtencion, {QStringLiteral("1"), QStringLiteral("2")}},
    };
    d.diagnosticos = {QStringLiteral("S001"), QStringLiteral("S008")};
    return d;
}
