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

bool ListaDiagnosticos::Agrega()
{
    // A press is one run: its statements share one wait for another program's lock.
    const EsperaAcotada espera;
    hoja_.GridAfeccionesEditado = true;
    const QString codigo = Codigo();
    bool hecho = false;
    if (!codigo.isEmpty() && !Repetida(codigo, NingunaFila))
        hecho = almacen_->AgregaAfeccion(codigo);
    Refresca();
    if (hoja_.Editable(76))
        hoja_.Enfoca(76);
    return hecho;
}

bool ListaDiagnosticos::Modifica(int fila)
{
    const EsperaAcotada espera;
    hoja_.GridAfeccionesEditado = true;
    const QString codigo = Codigo();
    bool hecho = false;
    if (!codigo.isEmpty() && fila >= 0 && fila < hoja_.Afecciones().size()) {
        const int numafec = hoja_.Afecciones()[fila].numafec;
        if (!Repetida(codigo, numafec))
            hecho = almacen_->ModificaAfeccion(numafec, codigo);
    }
    Refresca();
    return hecho;
}

bool ListaDiagnosticos::Borra(int fila)
{
    const EsperaAcotada espera;
    hoja_.GridAfeccionesEditado = true;
    bool hecho = false;
    if (!Codigo().isEmpty() && fila >= 0 && fila < hoja_.Afecciones().size())
        hecho = almacen_->BorraAfeccion(hoja_.Afecciones()[fila].numafec);
    Refresca();
    return hecho;
}

void ListaDiagnosticos::FilaElegida(int fila)
{
    if (fila >= 0 && fila < hoja_.Afecciones().size())
        hoja_.PonTexto(76, hoja_.Afecciones()[fila].afeccion);
}
