#pragma once

// A capture sheet on a fresh database, with the sheet's own change handling,
// holding the shared valid event, ready to be validated; and the tables of
// cases that change it.

#include "comun/HojaEnBase.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

class HojaValidacion : public HojaEnBase {
public:
    // Adding a new event (EnAlta) when `alta`, else editing one (EnCambio).
    explicit HojaValidacion(bool alta = true);

    // Runs the validation with the answers queued for its questions.
    bool Valida(const std::vector<bool> &respuestas = {});
    void Marca(ListaHoja lista, const QString &codigo) { ::Marca(hoja, lista, {codigo}); }
    void DesmarcaTodo(ListaHoja lista) { ::DesmarcaTodo(hoja, lista); }

    HojaDatos &hoja;
    modEvento &almacen;
};

using Cambio = std::function<void(HojaValidacion &)>;

// One case of a table: the smallest change from the valid event that makes a
// rule fail, and what the user must see.
struct CasoFalla {
    const char *nombre;
    Cambio cambio;
    QString mensaje;      // the last box's text
    bool beep;            // a beep came before the box
    int pagina;
    QString foco;         // the last focus request: "36", FocoFecha(1), FocoLista(...)
    std::vector<bool> respuestas = {};
    // Further checks once it failed (rewrites, boxes before the last one).
    Cambio despues = {};
    bool alta = true;
    const char *titulo = nullptr;   // the last box's title when not the sheet title
};

// Runs one case: the change, the validation, and every common assertion:
// the message and its title, the beep, the page, the focus, the focused control's frame
// enabled again, and nothing written.
void CompruebaFalla(const CasoFalla &caso);

// A variant of the valid event that must pass, with the answers to its
// questions and what the sheet reads afterwards.
struct CasoPasa {
    const char *nombre;
    Cambio cambio;
    std::vector<bool> respuestas = {};
    Cambio despues = {};
    bool alta = true;
};

void CompruebaPasa(const CasoPasa &caso);

// Changes the tables are written with.
Cambio Pon(std::initializer_list<std::pair<int, const char *>> textos);
inline Cambio Pon(int campo, const char *texto) { return Pon({{campo, texto}}); }
// Written into open fields, as if the field rules had not closed them.
Cambio Fuerza(std::initializer_list<std::pair<int, const char *>> textos);
// The field given this text and closed.
Cambio Bloquea(int campo, const char *texto = "");
Cambio PonFecha(int indice, const char *fecha);
Cambio Desmarca(ListaHoja lista);
Cambio Tic(ListaHoja lista, const char *codigo);
// The list opened, as if the field rules had not closed it.
Cambio AbreLista(ListaHoja lista);
Cambio Y(std::initializer_list<Cambio> cambios);
// Checks after the validation.
Cambio Lee(std::initializer_list<std::pair<int, const char *>> textos);
inline Cambio Lee(int campo, const char *esperado) { return Lee({{campo, esperado}}); }
Cambio Cerrados(std::initializer_list<int> campos);
// Emptied and closed by the validation.
Cambio Vacios(std::initializer_list<int> campos);
// Opened again for the user to type.
Cambio Abierto(int campo);
// Closed with nothing ticked.
Cambio ListaVacia(ListaHoja lista);
// The number of boxes shown, and the first one's text.
Cambio Cajas(int cuantas, const char *primera = nullptr);

// The suites each table instantiates: a failing variant shows its message and
// leads to its field; a passing one saves and leaves its rewrites.
class Falla : public ::testing::TestWithParam<CasoFalla> {};
class Pasa : public ::testing::TestWithParam<CasoPasa> {};

// Cases are named in gtest and ctest by their `nombre`.
inline void PrintTo(const CasoFalla &caso, std::ostream *os) { *os << caso.nombre; }
inline void PrintTo(const CasoPasa &caso, std::ostream *os) { *os << caso.nombre; }
template <class Caso>
std::string NombreCaso(const ::testing::TestParamInfo<Caso> &info)
{
    return info.param.nombre;
}
