#include "comun/EventoValido.h"

DatosEvento EventoValido()
{
    DatosEvento d;
    // 23: HOSPITAL GENERAL IZTAPALAPA; 33: QUIRVAL affiliation, both fields open; 37: years; 38: female; 39: not
    // pregnant; 53: family violence; 56: not a motor vehicle, 57 to 59 stay empty; 62: no prehospital care, 63 and
    // 64 stay empty; 65: a single aggressor; 71: emergency room.
    d.textos = {
        {22, "00000123"}, {23, "DFSSA000012"}, {29, "PEREZ"}, {30, "LOPEZ"}, {31, "MARIA"}, {32, "PELM740312MDFRPR09"},
        {33, "1234567890"}, {34, "01"}, {35, "A123456"}, {36, "30"}, {37, "3"}, {38, "2"}, {39, "2"}, {40, "1"}, {41, "3"},
        {42, "AVENIDA MORELOS 12"}, {43, "CALLE JUAREZ"}, {44, "CALLE HIDALGO"}, {45, "CENTRO"}, {46, "09"}, {47, "007"},
        {48, "0001"}, {49, "22"}, {50, "30"}, {51, "2"}, {52, "2"}, {53, "2"}, {54, "2"}, {55, "1"}, {56, "5"}, {60, "2"},
        {61, "6"}, {62, "2"}, {65, "1"}, {66, "35"}, {67, "1"}, {68, "5"}, {69, "09"}, {70, "15"}, {71, "3"}, {72, "02"},
        {73, "30"}, {74, "1"}, {75, "1"}, {77, "S001"}, {78, "Y040"}, {79, "1"}, {80, "1"}, {81, "JUAN HERNANDEZ"},
    };
    d.fechaOcurrencia = "14/06/2004";
    d.fechaAtencion = "15/06/2004";
    d.marcados = {{ListaHoja::Derechohabiencia, {"8"}}, {ListaHoja::TipoViolencia, {"6", "8"}}, {ListaHoja::PacienteEfectos, {"5"}},
                  {ListaHoja::AgresorEfectos, {"1"}}, {ListaHoja::TipoAtencion, {"1", "2"}}};
    d.diagnosticos = {"S001", "S008"};
    return d;
}
