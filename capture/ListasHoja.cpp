#include "capture/ListasHoja.h"

#include "events/modEvento.h"

namespace {
const QStringList EfectosExclusivos = {QStringLiteral("4"), QStringLiteral("5")};
const QStringList DerechohabienciaExclusiva = {QStringLiteral("8"), QStringLiteral("G"), QStringLiteral("9"),
                                               QStringLiteral("0")};
} // namespace

ListasHoja::ListasHoja(HojaDatos &hoja, modEvento &eventos) : hoja_(hoja), eventos_(eventos)
{
}

QString ListasHoja::Codigo(ListaHoja lista, int fila) const
{
    return hoja_.Elementos(lista).value(fila).texto.left(2).trimmed().toUpper();
}

void ListasHoja::Desmarca(ListaHoja lista, const QStringList &codigos, int salvo)
{
    const int n = int(hoja_.Elementos(lista).size());
    for (int f = 0; f < n; ++f)
        if (f != salvo && (codigos.isEmpty() || codigos.contains(Codigo(lista, f))))
            hoja_.Marca(lista, f, false);
}

void ListasHoja::ElementoMarcado(ListaHoja lista, int fila)
{
    if (enCurso_)
        return;
    enCurso_ = true;
    const bool capturando = hoja_.EnAlta || hoja_.EnCambio;
    switch (lista) {
    case ListaHoja::PacienteEfectos:
    case ListaHoja::AgresorEfectos:
        if (capturando)
            Efectos(lista, fila);
        break;
    case ListaHoja::Derechohabiencia:
        if (capturando)
            Derechohabiencia(fila);
        else
            DerechohabienciaLeida();
        break;
    case ListaHoja::TipoViolencia:
        if (capturando) {
            TipoViolencia();
        } else {
            const QList<ElementoLista> &l = hoja_.Elementos(ListaHoja::TipoViolencia);
            hoja_.MarcaAtencionCompleta = l.size() > 1 && l[1].marcado;
        }
        break;
    case ListaHoja::TipoAtencion:
        break;
    }
    enCurso_ = false;
}

void ListasHoja::Efectos(ListaHoja lista, int fila)
{
    const QString c = Codigo(lista, fila);
    if (!EfectosExclusivos.contains(c))
        Desmarca(lista, EfectosExclusivos);
    else if (hoja_.Elementos(lista).value(fila).marcado)
        Desmarca(lista, {}, fila);
}

// Affiliation fields by the entitlement code just ticked ("" when none).
void ListasHoja::Afiliacion(const QString &codigo)
{
    hoja_.MarcaDerechohabiencia8 = codigo == QLatin1String("8");
    hoja_.MarcaDerechohabienciaG = codigo == QLatin1String("G");
    hoja_.HabilitaCampo(33, hoja_.MarcaDerechohabiencia8 || hoja_.MarcaDerechohabienciaG);
    hoja_.HabilitaCampo(34, hoja_.MarcaDerechohabiencia8);
}

void ListasHoja::Derechohabiencia(int fila)
{
    const QString c = Codigo(ListaHoja::Derechohabiencia, fila);
    const bool marcado = hoja_.Elementos(ListaHoja::Derechohabiencia).value(fila).marcado;
    Afiliacion(marcado ? c : QString());
    if (!hoja_.MarcaDerechohabiencia8)
        hoja_.PonTexto(34, QString());
    if (!hoja_.MarcaDerechohabiencia8 && !hoja_.MarcaDerechohabienciaG)
        hoja_.PonTexto(33, QString());

    if (!DerechohabienciaExclusiva.contains(c))
        Desmarca(ListaHoja::Derechohabiencia, DerechohabienciaExclusiva);
    else if (marcado)
        Desmarca(ListaHoja::Derechohabiencia, {}, fila);
}

// An event being shown: the affiliation fields as its ticks call for, nothing written.
void ListasHoja::DerechohabienciaLeida()
{
    QString codigo;
    const int n = int(hoja_.Elementos(ListaHoja::Derechohabiencia).size());
    for (int f = 0; f < n; ++f) {
        const QString c = Codigo(ListaHoja::Derechohabiencia, f);
        if (hoja_.Elementos(ListaHoja::Derechohabiencia)[f].marcado && (c == QLatin1String("8") || c == QLatin1String("G")))
            codigo = c;
    }
    Afiliacion(codigo);
}

void ListasHoja::TipoViolencia()
{
    hoja_.MarcaAtencionCompleta = false;
    const QList<ElementoLista> &l = hoja_.Elementos(ListaHoja::TipoViolencia);
    if (l.size() > 1 && l[1].marcado) {
        eventos_.CargaLista(QStringLiteral("TipoAtencion"), QStringLiteral("CodTipoAtencion"), ListaHoja::TipoAtencion);
        hoja_.MarcaAtencionCompleta = true;
    } else {
        eventos_.CargaListaCondicion(QStringLiteral("TipoAtencion"), QStringLiteral("CodTipoAtencion"),
                                     QStringLiteral("CodTipoAtencion < 7"), ListaHoja::TipoAtencion);
    }
}
