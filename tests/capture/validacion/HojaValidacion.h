#pragma once

// A capture sheet on a fresh database, with the sheet's own change handling,
// holding the shared valid event, ready to be validated.

#include "capture/ManejadorRegistro.h"
#include "capture/ReglasCampos.h"
#include "comun/EventoValido.h"
#include "comun/ProgramaTemporal.h"
#include "events/HojaDatos.h"
#include "events/modEvento.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// The focus requests of a validation, as one text per request:
// "36" a text field, "msk1" a date box, "lst4" a check list (by ListaHoja).
QString FocoCampo(int indice);
QString FocoFecha(int indice);
QString FocoLista(ListaHoja lista);

class HojaValidacion {
public:
    // Adding a new event (EnAlta) when `alta`, else editing one (EnCambio).
    explicit HojaValidacion(bool alta = true);

    // Runs the validation with the answers queued for its questions.
    bool Valida(const std::vector<bool> &respuestas = {});

    // The number of the list item with this code, -1 when the list lacks it.
    int Fila(ListaHoja lista, const QString &codigo) const;
    void Marca(ListaHoja lista, const QString &codigo, bool si);
    void DesmarcaTodo(ListaHoja lista);
    // D_EVENTO rows stored.
    int EventosGuardados() const;

    ProgramaTemporal p;
    std::unique_ptr<HojaRegistro> registro;   // the sheet with its change handling
    HojaDatos &hoja;
    modEvento &almacen;
    QStringList focos;   // requests since the last Valida()
};

// One case of a table: the smallest change from the valid event that makes a
// rule fail, and what the user must see.
struct CasoFalla {
    const char *nombre;
    std::function<void(HojaValidacion &)> cambio;
    QString mensaje;      // the last box's text
    bool beep;            // a beep came before the box
    int pagina;
    QString foco;         // the last focus request
    std::vector<bool> respuestas = {};
    // Further checks once it failed (rewrites, boxes before the last one).
    std::function<void(HojaValidacion &)> despues = {};
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
    std::function<void(HojaValidacion &)> cambio;
    std::vector<bool> respuestas = {};
    std::function<void(HojaValidacion &)> despues = {};
    bool alta = true;
};

void CompruebaPasa(const CasoPasa &caso);

// Changes and checks the tables are written with.
std::function<void(HojaValidacion &)> Pon(int campo, const char *texto);
std::function<void(HojaValidacion &)> Pon(std::initializer_list<std::pair<int, const char *>> textos);
std::function<void(HojaValidacion &)> Lee(int campo, const char *esperado);
std::function<void(HojaValidacion &)> Lee(std::initializer_list<std::pair<int, const char *>> textos);

// gtest names for the cases of a table.
template <class Caso>
std::string NombreCaso(const Caso &caso)
{
    return caso.nombre;
}
