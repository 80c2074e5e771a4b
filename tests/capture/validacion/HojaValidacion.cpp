#include "HojaValidacion.h"

#include "capture/ChecaDatos.h"

#include <gtest/gtest.h>

QString FocoCampo(int indice)
{
    return QString::number(indice);
}

QString FocoFecha(int indice)
{
    return QStringLiteral("msk%1").arg(indice);
}

QString FocoLista(ListaHoja lista)
{
    return QStringLiteral("lst%1").arg(int(lista));
}

namespace {
std::unique_ptr<HojaRegistro> AbreHoja(ProgramaTemporal &p)
{
    p.AbreBase();
    // No pick-list opens: nothing here double-clicks.
    return std::make_unique<HojaRegistro>(*p.ctx, ListasSeleccion{});
}
} // namespace

HojaValidacion::HojaValidacion(bool alta) : registro(AbreHoja(p)), hoja(registro->hoja), almacen(registro->eventos)
{
    QObject::connect(&hoja, &HojaDatos::PideFoco, [this](int i) { focos << FocoCampo(i); });
    QObject::connect(&hoja, &HojaDatos::PideFocoFecha, [this](int i) { focos << FocoFecha(i); });
    QObject::connect(&hoja, &HojaDatos::PideFocoLista, [this](ListaHoja l) { focos << FocoLista(l); });
    // Typed as a user would: the field rules run while adding or editing.
    hoja.EnAlta = alta;
    hoja.EnCambio = !alta;
    EXPECT_TRUE(LlenaEvento(almacen, EventoValido()));
    hoja.PonPagina(0);
    if (!alta)
        hoja.HabilitaMarco(Marco::Clues, false);
}

bool HojaValidacion::Valida(const std::vector<bool> &respuestas)
{
    p.mensajes.Limpia();
    for (bool r : respuestas)
        p.mensajes.Responde(r);
    focos.clear();
    return ChecaDatos_D_EVENTO(*p.ctx, hoja);
}

int HojaValidacion::Fila(ListaHoja lista, const QString &codigo) const
{
    const QList<ElementoLista> &items = hoja.Elementos(lista);
    for (int i = 0; i < items.size(); ++i)
        if (items[i].texto.left(2).trimmed() == codigo)
            return i;
    return -1;
}

void HojaValidacion::Marca(ListaHoja lista, const QString &codigo, bool si)
{
    const int fila = Fila(lista, codigo);
    ASSERT_GE(fila, 0) << codigo.toStdString();
    hoja.Marca(lista, fila, si);
}

void HojaValidacion::DesmarcaTodo(ListaHoja lista)
{
    for (int i = 0; i < hoja.Elementos(lista).size(); ++i)
        hoja.Marca(lista, i, false);
}

int HojaValidacion::EventosGuardados() const
{
    return p.ctx->ConexionBD.Valor(QStringLiteral("SELECT COUNT(*) FROM D_EVENTO")).toInt();
}

namespace {

// The frame holding the control of a focus request, and the outer one.
bool MarcoDeFocoHabilitado(const HojaDatos &hoja, const QString &foco)
{
    Marco marco = Marco::Clues;
    if (foco == FocoFecha(0))
        marco = Marco::Evento;
    else if (foco == FocoFecha(1))
        marco = Marco::Clues;
    else if (foco == FocoLista(ListaHoja::Derechohabiencia))
        marco = Marco::Afectado;
    else if (foco == FocoLista(ListaHoja::TipoViolencia) || foco == FocoLista(ListaHoja::PacienteEfectos))
        marco = Marco::Evento;
    else if (foco == FocoLista(ListaHoja::AgresorEfectos))
        marco = Marco::Agresor;
    else if (foco == FocoLista(ListaHoja::TipoAtencion))
        marco = Marco::Atencion;
    else if (const CampoHoja *c = CampoDe(foco.toInt()))
        marco = c->marco;
    else
        return false;
    return hoja.MarcoHabilitado(marco) && hoja.MarcoHabilitado(MarcoExterior(marco));
}

} // namespace

void CompruebaFalla(const CasoFalla &caso)
{
    HojaValidacion h(caso.alta);
    ASSERT_FALSE(h.Valida()) << "the valid event must pass: " << h.p.mensajes.Ultimo().toStdString();
    caso.cambio(h);
    const int antes = h.EventosGuardados();
    // Elsewhere than where the failure must lead.
    h.hoja.PonPagina(1 - caso.pagina);
    for (Marco m : {Marco::Clues, Marco::Afectado, Marco::Domicilio, Marco::Evento, Marco::Accidente, Marco::Agresor,
                    Marco::Atencion, Marco::Responsable})
        h.hoja.HabilitaMarco(m, false);

    EXPECT_TRUE(h.Valida(caso.respuestas));
    EXPECT_EQ(h.p.mensajes.Ultimo(), caso.mensaje);
    if (!h.p.mensajes.cajas.isEmpty())
        EXPECT_EQ(h.p.mensajes.cajas.last().titulo,
                  caso.titulo ? QString::fromUtf8(caso.titulo) : TituloHojaRegistro());
    EXPECT_EQ(h.p.mensajes.beeps > 0, caso.beep);
    EXPECT_EQ(h.hoja.Pagina(), caso.pagina);
    ASSERT_FALSE(h.focos.isEmpty());
    EXPECT_EQ(h.focos.last(), caso.foco);
    EXPECT_TRUE(h.p.mensajes.respuestas.empty()) << "unused answers";
    EXPECT_TRUE(MarcoDeFocoHabilitado(h.hoja, h.focos.last())) << h.focos.last().toStdString();
    EXPECT_EQ(h.EventosGuardados(), antes);
    if (caso.despues)
        caso.despues(h);
}

void CompruebaPasa(const CasoPasa &caso)
{
    HojaValidacion h(caso.alta);
    caso.cambio(h);
    EXPECT_FALSE(h.Valida(caso.respuestas)) << h.p.mensajes.Ultimo().toStdString();
    EXPECT_TRUE(h.p.mensajes.respuestas.empty()) << "unused answers";
    EXPECT_EQ(h.p.mensajes.cajas.size(), qsizetype(caso.respuestas.size()));
    if (caso.respuestas.empty())
        EXPECT_EQ(h.p.mensajes.beeps, 0);
    if (caso.despues)
        caso.despues(h);
}

std::function<void(HojaValidacion &)> Pon(int campo, const char *texto)
{
    return Pon({{campo, texto}});
}

std::function<void(HojaValidacion &)> Pon(std::initializer_list<std::pair<int, const char *>> textos)
{
    const std::vector<std::pair<int, const char *>> v(textos);
    return [v](HojaValidacion &h) {
        for (const auto &t : v)
            h.hoja.PonTexto(t.first, QString::fromUtf8(t.second));
    };
}

std::function<void(HojaValidacion &)> Lee(int campo, const char *esperado)
{
    return Lee({{campo, esperado}});
}

std::function<void(HojaValidacion &)> Lee(std::initializer_list<std::pair<int, const char *>> textos)
{
    const std::vector<std::pair<int, const char *>> v(textos);
    return [v](HojaValidacion &h) {
        for (const auto &t : v)
            EXPECT_EQ(h.hoja.Texto(t.first), QString::fromUtf8(t.second)) << "campo " << t.first;
    };
}
