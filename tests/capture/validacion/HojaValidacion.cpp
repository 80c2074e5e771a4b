#include "HojaValidacion.h"

#include "capture/ChecaDatos.h"

#include <gtest/gtest.h>

HojaValidacion::HojaValidacion(bool alta) : hoja(Reg().hoja), almacen(Reg().eventos)
{
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
    prog.mensajes.Limpia();
    for (bool r : respuestas)
        prog.mensajes.Responde(r);
    focos.clear();
    return ChecaDatos_D_EVENTO(*prog.ctx, hoja);
}

namespace {

// The frame holding the control of a focus request, and the outer one.
bool MarcoDeFocoHabilitado(const HojaDatos &hoja, const QString &foco)
{
    const std::pair<QString, Marco> otros[] = {
        {FocoFecha(0), Marco::Evento}, {FocoFecha(1), Marco::Clues}, {FocoLista(ListaHoja::Derechohabiencia), Marco::Afectado},
        {FocoLista(ListaHoja::TipoViolencia), Marco::Evento}, {FocoLista(ListaHoja::PacienteEfectos), Marco::Evento},
        {FocoLista(ListaHoja::AgresorEfectos), Marco::Agresor}, {FocoLista(ListaHoja::TipoAtencion), Marco::Atencion}};
    const CampoHoja *c = CampoDe(foco.toInt());
    Marco marco = c ? c->marco : Marco::Clues;
    bool hallado = c != nullptr;
    for (const auto &[nombre, m] : otros)
        if (nombre == foco)
            marco = m, hallado = true;
    return hallado && hoja.MarcoHabilitado(marco) && hoja.MarcoHabilitado(MarcoExterior(marco));
}

QString Texto(const char *t) { return QString::fromUtf8(t); }

} // namespace

void CompruebaFalla(const CasoFalla &caso)
{
    HojaValidacion h(caso.alta);
    ASSERT_FALSE(h.Valida()) << "the valid event must pass: " << h.Msj().Ultimo().toStdString();
    caso.cambio(h);
    const int antes = h.prog.Cuenta("D_EVENTO");
    // Elsewhere than where the failure must lead.
    h.hoja.PonPagina(1 - caso.pagina);
    for (Marco m : {Marco::Clues, Marco::Afectado, Marco::Domicilio, Marco::Evento, Marco::Accidente, Marco::Agresor,
                    Marco::Atencion, Marco::Responsable})
        h.hoja.HabilitaMarco(m, false);

    EXPECT_TRUE(h.Valida(caso.respuestas));
    ASSERT_FALSE(h.Msj().cajas.isEmpty() || h.focos.isEmpty());
    // Message, title, beep, page and focus as one text.
    const auto resumen = [](const QString &m, const QString &t, bool b, int p, const QString &f) { return QStringList({m, t, QString::number(b), QString::number(p), f}); };
    EXPECT_EQ(resumen(h.Msj().Ultimo(), h.Msj().cajas.last().titulo, h.Msj().beeps > 0, h.hoja.Pagina(), h.focos.last()),
              resumen(caso.mensaje, caso.titulo ? Texto(caso.titulo) : TituloHoja, caso.beep, caso.pagina, caso.foco));
    EXPECT_TRUE(h.Msj().respuestas.empty()) << "unused answers";
    EXPECT_TRUE(MarcoDeFocoHabilitado(h.hoja, h.focos.last())) << h.focos.last().toStdString();
    EXPECT_EQ(h.prog.Cuenta("D_EVENTO"), antes);
    if (caso.despues)
        caso.despues(h);
}

void CompruebaPasa(const CasoPasa &caso)
{
    HojaValidacion h(caso.alta);
    caso.cambio(h);
    EXPECT_FALSE(h.Valida(caso.respuestas)) << h.Msj().Ultimo().toStdString();
    EXPECT_TRUE(h.Msj().respuestas.empty() && h.Msj().cajas.size() == qsizetype(caso.respuestas.size())) << "unused answers or boxes";
    EXPECT_TRUE(!caso.respuestas.empty() || h.Msj().beeps == 0);
    if (caso.despues)
        caso.despues(h);
}

using Textos = std::initializer_list<std::pair<int, const char *>>;
using Campos = std::initializer_list<int>;

Cambio Pon(Textos textos)
{
    return [v = std::vector(textos)](HojaValidacion &h) { for (const auto &[c, t] : v) h.hoja.PonTexto(c, Texto(t)); };
}
Cambio Fuerza(Textos textos)
{
    return [v = std::vector(textos)](HojaValidacion &h) { for (const auto &[c, t] : v) h.hoja.HabilitaCampo(c, true), h.hoja.PonTexto(c, Texto(t)); };
}
Cambio Bloquea(int campo, const char *texto) { return Y({Pon(campo, texto), [=](HojaValidacion &h) { h.hoja.HabilitaCampo(campo, false); }}); }
Cambio PonFecha(int indice, const char *fecha) { return [=](HojaValidacion &h) { h.hoja.PonFecha(indice, Texto(fecha)); }; }
Cambio Desmarca(ListaHoja lista) { return [lista](HojaValidacion &h) { h.DesmarcaTodo(lista); }; }
Cambio Tic(ListaHoja lista, const char *codigo) { return [=](HojaValidacion &h) { h.Marca(lista, Texto(codigo)); }; }
Cambio AbreLista(ListaHoja lista) { return [=](HojaValidacion &h) { h.hoja.HabilitaLista(lista, true); }; }
Cambio Y(std::initializer_list<Cambio> cambios) { return [v = std::vector(cambios)](HojaValidacion &h) { for (const Cambio &c : v) c(h); }; }

Cambio Lee(Textos textos)
{
    return [v = std::vector(textos)](HojaValidacion &h) { for (const auto &[c, t] : v) EXPECT_EQ(h.hoja.Texto(c), Texto(t)) << "campo " << c; };
}
Cambio Cerrados(Campos campos)
{
    return [v = std::vector(campos)](HojaValidacion &h) { for (int c : v) EXPECT_FALSE(h.hoja.CampoHabilitado(c)) << "campo " << c; };
}
Cambio Vacios(Campos campos)
{
    return [v = std::vector(campos)](HojaValidacion &h) { for (int c : v) EXPECT_TRUE(!h.hoja.CampoHabilitado(c) && h.hoja.Texto(c).isEmpty()) << "campo " << c; };
}
Cambio Abierto(int campo) { return [=](HojaValidacion &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(campo)) << "campo " << campo; }; }
Cambio ListaVacia(ListaHoja lista)
{
    return [=](HojaValidacion &h) { EXPECT_TRUE(!h.hoja.ListaHabilitada(lista) && h.hoja.CodigosMarcados(lista).isEmpty()) << int(lista); };
}
Cambio Cajas(int cuantas, const char *primera)
{
    return [=](HojaValidacion &h) {
        ASSERT_EQ(h.Msj().cajas.size(), cuantas);
        EXPECT_TRUE(!primera || h.Msj().cajas[0].texto == Texto(primera)) << h.Msj().cajas[0].texto.toStdString();
    };
}

TEST_P(Falla, MuestraSuMensajeYEnfocaElCampo) { CompruebaFalla(GetParam()); }
TEST_P(Pasa, GrabaYDejaLasReescrituras) { CompruebaPasa(GetParam()); }
