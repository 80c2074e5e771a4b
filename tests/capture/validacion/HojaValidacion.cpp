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
    ASSERT_FALSE(h.Valida()) << "the valid event must pass: " << h.Msj().Ultimo().toStdString();
    caso.cambio(h);
    const int antes = h.prog.Cuenta("D_EVENTO");
    // Elsewhere than where the failure must lead.
    h.hoja.PonPagina(1 - caso.pagina);
    for (Marco m : {Marco::Clues, Marco::Afectado, Marco::Domicilio, Marco::Evento, Marco::Accidente, Marco::Agresor,
                    Marco::Atencion, Marco::Responsable})
        h.hoja.HabilitaMarco(m, false);

    EXPECT_TRUE(h.Valida(caso.respuestas));
    EXPECT_EQ(h.Msj().Ultimo(), caso.mensaje);
    if (!h.Msj().cajas.isEmpty()) {
        EXPECT_EQ(h.Msj().cajas.last().titulo, caso.titulo ? QString::fromUtf8(caso.titulo) : TituloHoja);
    }
    EXPECT_EQ(h.Msj().beeps > 0, caso.beep);
    EXPECT_EQ(h.hoja.Pagina(), caso.pagina);
    ASSERT_FALSE(h.focos.isEmpty());
    EXPECT_EQ(h.focos.last(), caso.foco);
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
    EXPECT_TRUE(h.Msj().respuestas.empty()) << "unused answers";
    EXPECT_EQ(h.Msj().cajas.size(), qsizetype(caso.respuestas.size()));
    if (caso.respuestas.empty()) {
        EXPECT_EQ(h.Msj().beeps, 0);
    }
    if (caso.despues)
        caso.despues(h);
}

Cambio Pon(std::initializer_list<std::pair<int, const char *>> textos)
{
    return [v = std::vector(textos)](HojaValidacion &h) {
        for (const auto &t : v)
            h.hoja.PonTexto(t.first, QString::fromUtf8(t.second));
    };
}

Cambio Fuerza(std::initializer_list<std::pair<int, const char *>> textos)
{
    return [v = std::vector(textos)](HojaValidacion &h) {
        for (const auto &t : v) {
            h.hoja.HabilitaCampo(t.first, true);
            h.hoja.PonTexto(t.first, QString::fromUtf8(t.second));
        }
    };
}

Cambio Bloquea(int campo, const char *texto)
{
    return [=](HojaValidacion &h) {
        h.hoja.PonTexto(campo, QString::fromUtf8(texto));
        h.hoja.HabilitaCampo(campo, false);
    };
}

Cambio PonFecha(int indice, const char *fecha)
{
    return [=](HojaValidacion &h) { h.hoja.PonFecha(indice, QString::fromLatin1(fecha)); };
}

Cambio Desmarca(ListaHoja lista)
{
    return [lista](HojaValidacion &h) { h.DesmarcaTodo(lista); };
}

Cambio Y(std::initializer_list<Cambio> cambios)
{
    return [v = std::vector(cambios)](HojaValidacion &h) {
        for (const Cambio &c : v)
            c(h);
    };
}

Cambio Lee(std::initializer_list<std::pair<int, const char *>> textos)
{
    return [v = std::vector(textos)](HojaValidacion &h) {
        for (const auto &t : v)
            EXPECT_EQ(h.hoja.Texto(t.first), QString::fromUtf8(t.second)) << "campo " << t.first;
    };
}

Cambio Cerrados(std::initializer_list<int> campos)
{
    return [v = std::vector(campos)](HojaValidacion &h) {
        for (int c : v)
            EXPECT_FALSE(h.hoja.CampoHabilitado(c)) << "campo " << c;
    };
}

Cambio Vacios(std::initializer_list<int> campos)
{
    return [v = std::vector(campos)](HojaValidacion &h) {
        for (int c : v) {
            EXPECT_EQ(h.hoja.Texto(c), QString()) << "campo " << c;
            EXPECT_FALSE(h.hoja.CampoHabilitado(c)) << "campo " << c;
        }
    };
}

Cambio Abierto(int campo)
{
    return [campo](HojaValidacion &h) { EXPECT_TRUE(h.hoja.CampoHabilitado(campo)) << "campo " << campo; };
}

Cambio Cajas(int cuantas, const char *primera)
{
    return [=](HojaValidacion &h) {
        ASSERT_EQ(h.Msj().cajas.size(), cuantas);
        if (primera) {
            EXPECT_EQ(h.Msj().cajas[0].texto, QString::fromUtf8(primera));
        }
    };
}

TEST_P(Falla, MuestraSuMensajeYEnfocaElCampo)
{
    CompruebaFalla(GetParam());
}

TEST_P(Pasa, GrabaYDejaLasReescrituras)
{
    CompruebaPasa(GetParam());
}
