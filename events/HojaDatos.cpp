#include "events/HojaDatos.h"

namespace {

std::vector<CampoHoja> Construye()
{
    using M = Marco;
    return {
        {22, M::Clues, 8, true, 0},        {23, M::Clues, 11, false, 1},
        {29, M::Afectado, 50, false, 3},   {30, M::Afectado, 50, false, 4},
        {31, M::Afectado, 50, false, 5},   {32, M::Afectado, 18, false, 7},
        {33, M::Afectado, 10, false, 8},   {34, M::Afectado, 2, false, 9},
        {35, M::Afectado, 13, false, 10},  {36, M::Afectado, 3, true, 11},
        {37, M::Afectado, 1, true, 12},    {38, M::Afectado, 1, true, 13},
        {39, M::Afectado, 1, true, 14},    {40, M::Afectado, 1, true, 15},
        {41, M::Afectado, 1, true, 16},    {42, M::Domicilio, 100, false, 17},
        {43, M::Domicilio, 50, false, 18}, {44, M::Domicilio, 50, false, 19},
        {45, M::Domicilio, 50, false, 20}, {46, M::Domicilio, 2, true, 21},
        {47, M::Domicilio, 3, true, 22},   {48, M::Domicilio, 4, true, 23},
        {49, M::Evento, 2, false, 25},     {50, M::Evento, 2, false, 26},
        {51, M::Evento, 1, false, 27},     {52, M::Evento, 1, false, 28},
        {53, M::Evento, 2, false, 29},     {54, M::Evento, 1, false, 31},
        {55, M::Evento, 2, false, 33},     {56, M::Evento, 2, false, 34},
        {57, M::Accidente, 1, false, 35},  {58, M::Accidente, 1, false, 36},
        {59, M::Accidente, 1, false, 37},  {60, M::Evento, 2, false, 38},
        {61, M::Evento, 2, false, 39},     {62, M::Evento, 1, false, 40},
        {63, M::Evento, 2, false, 41},     {64, M::Evento, 2, false, 42},
        {65, M::Agresor, 1, false, 44},    {66, M::Agresor, 3, false, 45},
        {67, M::Agresor, 1, false, 46},    {68, M::Agresor, 1, false, 47},
        {69, M::Atencion, 2, false, 49},   {70, M::Atencion, 2, false, 50},
        {71, M::Atencion, 1, false, 51},   {72, M::Atencion, 2, false, 52},
        {73, M::Atencion, 2, false, 53},   {74, M::Atencion, 1, false, 55},
        {75, M::Atencion, 2, false, 56},   {76, M::Atencion, 4, false, 57},
        {77, M::Atencion, 4, false, 59},   {78, M::Atencion, 4, false, 60},
        {79, M::Atencion, 1, false, 61},   {80, M::Responsable, 1, false, 62},
        {81, M::Responsable, 50, false, 63},
    };
}

} // namespace

const std::vector<CampoHoja> &CamposHoja()
{
    static const std::vector<CampoHoja> campos = Construye();
    return campos;
}

const CampoHoja *CampoDe(int indice)
{
    for (const CampoHoja &c : CamposHoja())
        if (c.indice == indice)
            return &c;
    return nullptr;
}

int PaginaDe(Marco marco)
{
    switch (marco) {
    case Marco::Agresor:
    case Marco::Atencion:
    case Marco::Responsable:
        return 1;
    default:
        return 0;
    }
}

Marco MarcoExterior(Marco marco)
{
    if (marco == Marco::Domicilio)
        return Marco::Afectado;
    if (marco == Marco::Accidente)
        return Marco::Evento;
    return marco;
}

HojaDatos::HojaDatos(QObject *padre) : QObject(padre)
{
    fechas_[0] = fechas_[1] = QString::fromLatin1(FechaVacia);
}

QString HojaDatos::Texto(int indice) const
{
    return textos_.value(indice);
}

void HojaDatos::PonTexto(int indice, const QString &texto)
{
    // The field's length limits typing only: a longer stored value (a folio of
    // nine digits from another installation) is kept whole, never cut on a save.
    if (textos_.value(indice) == texto && textos_.contains(indice))
        return;
    textos_[indice] = texto;
    emit TextoCambiado(indice);
    if (manejador_)
        manejador_->CampoCambiado(indice);
}

bool HojaDatos::CampoHabilitado(int indice) const
{
    return habilitados_.value(indice, true);
}

void HojaDatos::HabilitaCampo(int indice, bool si)
{
    if (CampoHabilitado(indice) == si)
        return;
    habilitados_[indice] = si;
    emit HabilitacionCambiada();
}

bool HojaDatos::Editable(int indice) const
{
    const CampoHoja *c = CampoDe(indice);
    if (!c)
        return false;
    return CampoHabilitado(indice) && MarcoHabilitado(c->marco) && MarcoHabilitado(MarcoExterior(c->marco));
}

void HojaDatos::Enfoca(int indice)
{
    emit PideFoco(indice);
}

QString HojaDatos::Etiqueta(int indice) const
{
    return etiquetas_.value(indice);
}

void HojaDatos::PonEtiqueta(int indice, const QString &texto)
{
    if (etiquetas_.value(indice) == texto && etiquetas_.contains(indice))
        return;
    etiquetas_[indice] = texto;
    emit EtiquetaCambiada(indice);
}

QString HojaDatos::Fecha(int indice) const
{
    return indice == 0 || indice == 1 ? fechas_[indice] : QString();
}

void HojaDatos::PonFecha(int indice, const QString &texto)
{
    if (indice != 0 && indice != 1)
        return;
    const QString nuevo = texto.isEmpty() ? QString::fromLatin1(FechaVacia) : texto.left(10);
    if (fechas_[indice] == nuevo)
        return;
    fechas_[indice] = nuevo;
    emit FechaModificada(indice);
    if (manejador_)
        manejador_->FechaCambiada(indice);
}

bool HojaDatos::FechaEnBlanco(int indice) const
{
    const QString f = Fecha(indice);
    return f.trimmed().isEmpty() || f == QLatin1String(FechaVacia);
}

bool HojaDatos::MarcoHabilitado(Marco marco) const
{
    return marcos_.value(marco, true);
}

void HojaDatos::HabilitaMarco(Marco marco, bool si)
{
    HabilitaMarcos({marco}, si);
}

void HojaDatos::HabilitaMarcos(const std::vector<Marco> &marcos, bool si)
{
    bool cambio = false;
    for (Marco m : marcos) {
        if (MarcoHabilitado(m) == si)
            continue;
        marcos_[m] = si;
        cambio = true;
    }
    if (cambio)
        emit HabilitacionCambiada();
}

const QList<ElementoLista> &HojaDatos::Elementos(ListaHoja lista) const
{
    return listas_[int(lista)];
}

void HojaDatos::PonElementos(ListaHoja lista, const QStringList &textos)
{
    QList<ElementoLista> &l = listas_[int(lista)];
    l.clear();
    for (const QString &t : textos)
        l.append({t, false});
    emit ListaRecargada(lista);
}

void HojaDatos::Marca(ListaHoja lista, int fila, bool si)
{
    QList<ElementoLista> &l = listas_[int(lista)];
    if (fila < 0 || fila >= l.size() || l[fila].marcado == si)
        return;
    l[fila].marcado = si;
    emit MarcaCambiada(lista, fila);
    if (manejador_)
        manejador_->ElementoMarcado(lista, fila);
}

QStringList HojaDatos::CodigosMarcados(ListaHoja lista) const
{
    QStringList codigos;
    for (const ElementoLista &e : Elementos(lista))
        if (e.marcado)
            codigos << e.texto.left(2).trimmed();
    return codigos;
}

bool HojaDatos::ListaHabilitada(ListaHoja lista) const
{
    return listasHabilitadas_[int(lista)];
}

void HojaDatos::HabilitaLista(ListaHoja lista, bool si)
{
    if (listasHabilitadas_[int(lista)] == si)
        return;
    listasHabilitadas_[int(lista)] = si;
    emit HabilitacionCambiada();
}

void HojaDatos::EnfocaFecha(int indice)
{
    if (indice == 0 || indice == 1)
        emit PideFocoFecha(indice);
}

void HojaDatos::EnfocaLista(ListaHoja lista)
{
    emit PideFocoLista(lista);
}

void HojaDatos::PonPagina(int pagina)
{
    if (pagina_ == pagina)
        return;
    pagina_ = pagina;
    emit PaginaCambiada(pagina);
}

void HojaDatos::PonTitulo(const QString &titulo)
{
    if (titulo_ == titulo)
        return;
    titulo_ = titulo;
    emit TituloCambiado(titulo);
}

void HojaDatos::PonAfecciones(const QList<FilaAfeccion> &filas)
{
    afecciones_ = filas;
    emit AfeccionesCambiadas();
}

void HojaDatos::Limpia()
{
    for (const CampoHoja &c : CamposHoja())
        PonTexto(c.indice, QString());
    PonFecha(0, QString());
    PonFecha(1, QString());
    for (int l = 0; l < 5; ++l)
        for (int f = 0; f < listas_[l].size(); ++f)
            Marca(ListaHoja(l), f, false);
}
