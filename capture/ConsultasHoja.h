#pragma once

#include <functional>

class frmRegistro;

// The query windows that the sheet's "Buscar" drop-down opens ("Filtrar",
// "Ver Tabla", "Exportar"). They live above the sheet, so the program's
// wiring hands them in; an item whose window is not given stays disabled.
struct ConsultasHoja {
    std::function<void(frmRegistro &hoja)> Filtrar;
    std::function<void(frmRegistro &hoja)> VerTabla;
    std::function<void(frmRegistro &hoja)> Exportar;
};
