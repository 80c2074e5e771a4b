#include "capture/ChecaDatos.h"

#include "capture/ChecaDatosComun.h"
#include "events/modEvento.h"
#include "lookups/Descripciones.h"
#include "platform/FechaTexto.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <exception>

bool ChecaDatos_D_EVENTO(Contexto &ctx, HojaDatos &hoja)
{
    // Any error while checking stops the save: an unchecked record must never
    // reach the database because a query or a lookup broke half way.
    QString error;
    try {
        modEvento almacen(ctx, hoja);
        ValidacionHoja v(ctx, hoja, almacen);
        return v.UnidadYPaciente() || v.DomicilioYEvento() || v.AgresorYAtencion();
    } catch (const ErrorBD &e) {
        // Failures found here carry no engine number: their text says it all.
        error = e.Numero() != 0 ? QStringLiteral("%1 -- %2").arg(e.Numero()).arg(e.Descripcion()) : e.Descripcion();
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    }
    ctx.mensajes.Beep();
    ctx.mensajes.Informa(error, TituloHojaRegistro());
    return true;
}

ValidacionHoja::ValidacionHoja(Contexto &ctx, HojaDatos &hoja, modEvento &almacen)
    : ctx(ctx), hoja(hoja), almacen(almacen)
{
}

QString ValidacionHoja::Texto(int campo) const
{
    return hoja.Texto(campo);
}

QString ValidacionHoja::Recortado(int campo) const
{
    return hoja.Texto(campo).trimmed();
}

bool ValidacionHoja::Blanco(int campo) const
{
    return Recortado(campo).isEmpty();
}

qint64 ValidacionHoja::Val(int campo) const
{
    return ValorEntero(hoja.Texto(campo));
}

bool ValidacionHoja::Es(int campo, std::initializer_list<const char *> textos) const
{
    const QString t = hoja.Texto(campo);
    for (const char *x : textos)
        if (t == QLatin1String(x))
            return true;
    return false;
}

bool ValidacionHoja::Habilitado(int campo) const
{
    return hoja.CampoHabilitado(campo);
}

QDate ValidacionHoja::Fecha(int indice) const
{
    return FechaDeTexto(hoja.Fecha(indice).left(10));
}

bool ValidacionHoja::EnCatalogo(const char *catalogo, int campo) const
{
    return DescCatalogo(ctx.ConexionBD, QLatin1String(catalogo), Recortado(campo)).Encontrada();
}

void ValidacionHoja::Rellena(int campo, int digitos)
{
    const QString t = Recortado(campo);
    if (t.isEmpty())
        return;
    bool numero = false;
    const qlonglong n = t.toLongLong(&numero);
    if (!numero)
        return;   // the keyboard lets only digits in; anything else is left as it is
    hoja.PonTexto(campo, QString::number(n).rightJustified(digitos, QLatin1Char('0')));
}

void ValidacionHoja::Desactiva(int campo, const QString &texto)
{
    hoja.HabilitaCampo(campo, false);
    hoja.PonTexto(campo, texto);
}

void ValidacionHoja::DesactivaLista(ListaHoja lista)
{
    hoja.HabilitaLista(lista, false);
    for (int i = 0; i < hoja.Elementos(lista).size(); ++i)
        hoja.Marca(lista, i, false);
}

QList<int> ValidacionHoja::CodigosMarcados(ListaHoja lista) const
{
    QList<int> codigos;
    for (const QString &c : hoja.CodigosMarcados(lista))
        codigos << int(ValorEntero(c));   // catalog codes, far inside an int
    return codigos;
}

bool ValidacionHoja::Falla(const QString &mensaje, CajaFalla caja, const DestinoFalla &destino)
{
    switch (caja) {
    case CajaFalla::Info:
        ctx.mensajes.Beep();
        ctx.mensajes.Informa(mensaje, TituloHojaRegistro());
        break;
    case CajaFalla::InfoSinBeep:
        ctx.mensajes.Informa(mensaje, TituloHojaRegistro());
        break;
    case CajaFalla::SimpleSinBeep:
        ctx.mensajes.Muestra(mensaje, IconoSinIcono, TituloAplicacion());
        break;
    case CajaFalla::YaMostrada:
        ctx.mensajes.Beep();
        break;
    }
    return Termina(destino);
}

bool ValidacionHoja::Termina(const DestinoFalla &destino)
{
    hoja.PonPagina(destino.pagina);
    for (Marco m : destino.marcos)
        hoja.HabilitaMarco(m, true);
    const FocoHoja &f = destino.foco;
    switch (f.tipo) {
    case FocoHoja::Tipo::Campo:
        if (destino.habilitaCampo)
            hoja.HabilitaCampo(f.indice, true);
        hoja.Enfoca(f.indice);
        break;
    case FocoHoja::Tipo::Fecha:
        hoja.EnfocaFecha(f.indice);
        break;
    case FocoHoja::Tipo::Lista:
        hoja.EnfocaLista(f.lista);
        break;
    }
    return true;
}

bool ValidacionHoja::Pregunta(const QString &texto, Mensajes::Icono icono, bool beep)
{
    if (beep)
        ctx.mensajes.Beep();
    return ctx.mensajes.Pregunta(texto, icono, TituloHojaRegistro());
}

bool ValidacionHoja::Requiere(std::initializer_list<Requisito> filas, DestinoFalla (*en)(int campo))
{
    for (const Requisito &r : filas) {
        // A refused field is opened: a closed one sent the focus nowhere and left the event unsaveable.
        DestinoFalla destino = en(r.campo);
        destino.habilitaCampo = true;
        if ((!r.soloHabilitado || Habilitado(r.campo)) && Blanco(r.campo))
            return Falla(QString::fromUtf8(r.vacio), CajaFalla::Info, destino);
        if (r.catalogo && !EnCatalogo(r.catalogo, r.campo))
            return Falla(QString::fromUtf8(r.desconocido), CajaFalla::Info, destino);
    }
    return false;
}

bool ValidacionHoja::HoraDelDia(int horas, int minutos, const MensajesTiempo &m, int pagina, Marco marco)
{
    const auto en = [&](int campo) { return DestinoFalla{pagina, {marco}, FocoHoja::Campo(campo), false}; };
    if (Blanco(horas))
        return Falla(m.sinHoras, CajaFalla::Info, en(horas));
    if (Val(horas) >= 24)
        return Falla(m.horasAltas, CajaFalla::Info, en(horas));
    Rellena(horas, 2);
    if (Blanco(minutos))
        return Falla(m.sinMinutos, CajaFalla::Info, en(minutos));
    if (Val(minutos) >= 60)
        return Falla(m.minutosAltos, CajaFalla::Info, en(minutos));
    Rellena(minutos, 2);
    return false;
}

bool ValidacionHoja::Estancia(int horas, int minutos, const MensajesTiempo &m, int pagina, Marco marco)
{
    const auto en = [&](int campo, bool habilita = false) {
        return DestinoFalla{pagina, {marco}, FocoHoja::Campo(campo), habilita};
    };
    if (Habilitado(horas)) {
        if (Blanco(horas))
            return Falla(m.sinHoras, CajaFalla::Info, en(horas));
        Rellena(horas, 2);
    }
    if (Habilitado(minutos)) {
        if (Blanco(minutos))
            return Falla(m.sinMinutos, CajaFalla::Info, en(minutos));
        if (Val(minutos) >= 60)
            return Falla(m.minutosAltos, CajaFalla::Info, en(minutos));
        Rellena(minutos, 2);
    }
    // Locked and blank: not captured, so it cannot be added up; the field is
    // opened so that the user can fill it in.
    if (Blanco(horas))
        return Falla(m.sinHoras, CajaFalla::Info, en(horas, true));
    if (Blanco(minutos))
        return Falla(m.sinMinutos, CajaFalla::Info, en(minutos, true));
    if (Val(horas) + Val(minutos) == 0)
        return Falla(m.cero, CajaFalla::Info, en(horas));
    return false;
}
