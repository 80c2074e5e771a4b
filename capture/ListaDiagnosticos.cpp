#include "capture/ListaDiagnosticos.h"

#include "events/HojaDatos.h"
#include "events/modEvento.h"
#include "platform/EsperaAcotada.h"
#include "shell/Contexto.h"

namespace {

constexpr int NingunaFila = -2147483647;
const QString Repetida = QStringLiteral("No puede capturar dos veces la misma causa, verifique por favor....");

} // namespace

ListaDiagnosticos::ListaDiagnosticos(Contexto &ctx, HojaDatos &hoja)
    : ctx_(ctx), hoja_(hoja), almacen_(std::make_unique<modEvento>(ctx, hoja))
{
}

ListaDiagnosticos::~ListaDiagnosticos() = default;

QString ListaDiagnosticos::Codigo() const
{
    return hoja_.Texto(76).trimmed();
}

bool ListaDiagnosticos::Repetida(const QString &codigo, int salvoNumafec)
{
    // The work table decides, not the grid's copy of it.
    const std::optional<QList<FilaAfeccion>> filas = almacen_->LeeAfecciones();
    if (!filas)
        return false;
    for (const FilaAfeccion &f : *filas)
        if (f.numafec != salvoNumafec && f.afeccion.trimmed().compare(codigo, Qt::CaseInsensitive) == 0) {
            ctx_.mensajes.Informa(::Repetida, TituloHojaRegistro());
            return true;
        }
    return false;
}

void ListaDiagnosticos::Refresca()
{
    almacen_->RefrescaGridAfecciones();
}

bool ListaDiagnosticos::Pulsa(const std::function<bool()> &escribe)
{
    // The work table is this sheet's alone: a press never waits for another
    // program's lock on the database. A write that cannot be made beeps and
    // leaves the list and the entry field as they were, so that the code
    // typed can be pressed again.
    const SinEspera sinEspera;
    hoja_.GridAfeccionesEditado = true;
    if (escribe && !escribe()) {
        ctx_.mensajes.Beep();
        return false;
    }
    Refresca();
    return bool(escribe);
}

bool ListaDiagnosticos::Agrega()
{
    const QString codigo = Codigo();
    std::function<bool()> escribe;
    if (!codigo.isEmpty() && !Repetida(codigo, NingunaFila))
        escribe = [&] { return almacen_->AgregaAfeccion(codigo); };
    const bool hecho = Pulsa(escribe);
    if (hoja_.Editable(76))
        hoja_.Enfoca(76);
    return hecho;
}

bool ListaDiagnosticos::Modifica(int fila)
{
    const QString codigo = Codigo();
    std::function<bool()> escribe;
    if (!codigo.isEmpty() && fila >= 0 && fila < hoja_.Afecciones().size()) {
        const int numafec = hoja_.Afecciones()[fila].numafec;
        if (!Repetida(codigo, numafec))
            escribe = [=] { return almacen_->ModificaAfeccion(numafec, codigo); };
    }
    return Pulsa(escribe);
}

bool ListaDiagnosticos::Borra(int fila)
{
    std::function<bool()> escribe;
    if (!Codigo().isEmpty() && fila >= 0 && fila < hoja_.Afecciones().size())
        escribe = [this, numafec = hoja_.Afecciones()[fila].numafec] { return almacen_->BorraAfeccion(numafec); };
    return Pulsa(escribe);
}

void ListaDiagnosticos::FilaElegida(int fila)
{
    if (fila >= 0 && fila < hoja_.Afecciones().size())
        hoja_.PonTexto(76, hoja_.Afecciones()[fila].afeccion);
}
