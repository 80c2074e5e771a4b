#include "capture/VidaRegistro.h"

#include "capture/ChecaDatos.h"
#include "capture/FechasHoja.h"
#include "events/modEvento.h"
#include "lookups/Descripciones.h"
#include "platform/CursorOcupado.h"
#include "shell/Contexto.h"

namespace {

const std::vector<Marco> TodosLosMarcos = {Marco::Clues,     Marco::Afectado, Marco::Domicilio, Marco::Evento,
                                           Marco::Accidente, Marco::Agresor,  Marco::Atencion,  Marco::Responsable};

// Fields and description labels closed at the start of a new event; the rules
// open them again as the answers that call for them are typed.
const int CamposDependientes[] = {33, 34, 39, 40, 41, 54, 57, 58, 59, 63, 64, 65, 66, 67, 68, 72, 73};
const int EtiquetasDependientes[] = {39, 40, 41, 54, 57, 58, 59, 65, 67, 68};

} // namespace

bool PreguntaTerminarOperacion(Mensajes &mensajes)
{
    return mensajes.Pregunta(QStringLiteral("Se perderan los cambios hechos al registro actual.\n\n"
                                            "¿Desea terminar esta operación?"),
                             Mensajes::Icono::Pregunta, TituloHojaRegistro());
}

bool ExisteRegistro(Contexto &ctx, HojaDatos &hoja)
{
    if (!hoja.EnAlta && !hoja.EnCambio)
        return false;
    if (hoja.Texto(23).trimmed().size() != 11 || hoja.Texto(22).trimmed().size() != 8
        || hoja.Fecha(1).trimmed().size() != 10 || hoja.FechaEnBlanco(1))
        return false;
    modEvento eventos(ctx, hoja);
    const std::optional<ClaveEvento> clave = eventos.ClaveHoja();
    if (!clave || !hoja.ClaveNueva(*clave) || !eventos.ExisteEvento(*clave).value_or(false))
        return false;
    ctx.mensajes.Informa(QStringLiteral("Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\n"
                                        "verifique por favor....."),
                         TituloHojaRegistro());
    hoja.Enfoca(22);
    return true;
}

QString TextoErrorBarra(const ErrorBD &error)
{
    if (error.ViolaClave())
        return QStringLiteral("Los Datos de este Registro ya existen (Clave Unidad, Folio y Fecha de Atención)\n"
                              "verifique por favor.....");
    return QString::number(error.Numero()) + QStringLiteral(" -- ") + error.Descripcion();
}

VidaRegistro::VidaRegistro(Contexto &ctx, HojaDatos &hoja, modEvento &eventos, QObject *padre)
    : QObject(padre), ctx_(ctx), hoja_(hoja), eventos_(eventos)
{
}

bool VidaRegistro::HayEventos() const
{
    return eventos_.rsAtencion.Cuenta() > 0;
}

void VidaRegistro::PonModo(int modo)
{
    modoBarra_ = modo;
    emit BarraCambiada();
}

void VidaRegistro::HabilitaMarcos(bool si)
{
    hoja_.HabilitaMarcos(TodosLosMarcos, si);
}

void VidaRegistro::Abre()
{
    ctx_.EscribePanel(QStringLiteral("Un momento por favor....."));
    {
        CursorOcupado ocupado;
        eventos_.ConsultaEventos = modEvento::TodosLosEventos();
        eventos_.CargaEventos(eventos_.ConsultaEventos);
        hoja_.PonPagina(0);
        PonModo(2);
        HabilitaMarcos(false);
        Actualiza_Ubicacion();
    }
    ctx_.EscribePanel(QStringLiteral("Listo....."));
}

bool VidaRegistro::Reabre()
{
    if (!PuedeCerrar())
        return false;
    FiltroEventos.clear();
    Abre();
    return true;
}

void VidaRegistro::Actualiza_Ubicacion()
{
    ConjuntoEventos &rs = eventos_.rsAtencion;
    if (rs.Cuenta() > 0 && !rs.EnFila()) {
        if (rs.Bof())
            rs.MueveInicio();
        else
            rs.MueveFinal();
        eventos_.LeeEvento();
    }
    EscribeTitulo(rs.Posicion());
}

void VidaRegistro::EscribeTitulo(int posicion)
{
    const int hoy = eventos_.CapturadosHoy().value_or(0);
    posicionTitulo_ = posicion;
    hoja_.PonTitulo(TituloHojaRegistro() + QStringLiteral(". Registro: ") + QString::number(posicion)
                    + QStringLiteral(" de ") + QString::number(eventos_.rsAtencion.Cuenta())
                    + QStringLiteral("     Capturados en el día: ") + QString::number(hoy));
    emit BarraCambiada();
}

void VidaRegistro::Recarga()
{
    ConjuntoEventos &rs = eventos_.rsAtencion;
    const ConsultaSQL consulta = rs.Consulta();
    if (consulta.sql.isEmpty() || !ctx_.ConexionBD.EstaAbierta() || rs.AlDia(ctx_.ConexionBD))
        return;
    if (!hoja_.EnAlta && !hoja_.EnCambio) {
        eventos_.CargaEventos(consulta, rs.Actual());
        if (!HayEventos())
            LimpiaDatos_D_EVENTO();
        Actualiza_Ubicacion();
        return;
    }
    try {
        rs.Abre(ctx_.ConexionBD, consulta);
    } catch (const ErrorBD &e) {
        // The set stays out of date: the save or the cancel reads it again.
        ctx_.mensajes.Informa(TextoErrorBarra(e), TituloHojaRegistro());
        return;
    }
    // Where the capture left the set: the last row for a new event, the
    // edited event (the first row when it is gone). A new event's caption
    // keeps naming the event the sheet showed when it began.
    if (hoja_.EnAlta) {
        rs.MueveFinal();
        EscribeTitulo(qMin(posicionTitulo_, rs.Cuenta()));
        return;
    }
    if (hoja_.MarcaEvento)
        rs.Busca(*hoja_.MarcaEvento);
    Actualiza_Ubicacion();
}

bool VidaRegistro::PuedeCerrar()
{
    if (!hoja_.EnAlta && !hoja_.EnCambio)
        return true;
    if (!PreguntaTerminarOperacion(ctx_.mensajes))
        return false;
    BotonPulsado(9);
    return true;
}

void VidaRegistro::BotonPulsado(int posicion)
{
    try {
        Accion(posicion);
    } catch (const ErrorBD &e) {
        // The action stops where it failed; the state stays as it was.
        ctx_.mensajes.Informa(TextoErrorBarra(e), TituloHojaRegistro());
    }
}

void VidaRegistro::Accion(int posicion)
{
    switch (posicion) {
    case 1: Primero(false); break;
    case 2: Paso(false); break;
    case 3: Paso(true); break;
    case 4: Primero(true); break;
    case 5: Altas(); break;
    case 6: Cambios(); break;
    case 8: Grabar(); break;
    case 9: Cancelar(); break;
    case 11: Bajas(); break;
    case 13: emit PideCierre(); break;
    default: break;   // 7 "Refrescar", 10 "Buscar" and 12 "Imprimir" do nothing
    }
}

// Buttons 1 and 4: the first or the last event; a beep with none.
void VidaRegistro::Primero(bool alFinal)
{
    ConjuntoEventos &rs = eventos_.rsAtencion;
    if (rs.Cuenta() == 0) {
        ctx_.mensajes.Beep();
        return;
    }
    if (alFinal)
        rs.MueveFinal();
    else
        rs.MueveInicio();
    eventos_.LeeEvento();
    Actualiza_Ubicacion();
}

// Buttons 2 and 3: one event back or forward; past either end a beep and the end event again.
void VidaRegistro::Paso(bool adelante)
{
    ConjuntoEventos &rs = eventos_.rsAtencion;
    auto fuera = [&rs, adelante] { return adelante ? rs.Eof() : rs.Bof(); };
    if (!fuera()) {
        if (adelante)
            rs.MueveSiguiente();
        else
            rs.MueveAnterior();
    }
    if (fuera() && rs.Cuenta() > 0) {
        ctx_.mensajes.Beep();
        if (adelante)
            rs.MueveFinal();
        else
            rs.MueveInicio();
    }
    if (!fuera())
        eventos_.LeeEvento();
    Actualiza_Ubicacion();
}

void VidaRegistro::Mueve_Registros(int tecla)
{
    if (hoja_.EnAlta || hoja_.EnCambio)
        return;
    switch (tecla) {
    case Qt::Key_Home: BotonPulsado(1); return;
    case Qt::Key_Up: BotonPulsado(2); return;
    case Qt::Key_Down: BotonPulsado(3); return;
    case Qt::Key_End: BotonPulsado(4); return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: break;
    default: return;
    }
    ConjuntoEventos &rs = eventos_.rsAtencion;
    rs.Mueve(tecla == Qt::Key_PageUp ? -PasoPagina : PasoPagina);
    if (rs.Cuenta() == 0)
        return;
    if (rs.Bof())
        rs.MueveInicio();
    else if (rs.Eof())
        rs.MueveFinal();
    eventos_.LeeEvento();
    Actualiza_Ubicacion();
}

void VidaRegistro::AtajoGrabar()
{
    if (!hoja_.EnAlta && !hoja_.EnCambio)
        return;
    // The field refuses the key's control character with its beep, then the save runs.
    ctx_.mensajes.Beep();
    BotonPulsado(8);
}

void VidaRegistro::Cambiar(int indice)
{
    if (indice == 0) {
        hoja_.PonPagina(1);
        if (hoja_.Editable(65))
            hoja_.Enfoca(65);
        else if (hoja_.Editable(69))
            hoja_.Enfoca(69);
    } else if (indice == 1) {
        hoja_.PonPagina(0);
        if (hoja_.Editable(29))
            hoja_.Enfoca(29);
    }
}

void VidaRegistro::Altas()
{
    UltimaClues = hoja_.Texto(23);
    AgregarEvento();
    if (hoja_.Editable(22)) {
        hoja_.PonTexto(22, QString());
        hoja_.Enfoca(22);
    }
}

void VidaRegistro::AgregarEvento()
{
    const QString clues = UltimaClues;
    PonModo(1);
    LimpiaDatos_D_EVENTO();
    HabilitaMarcos(true);
    hoja_.PonPagina(0);
    hoja_.HabilitaCampo(23, true);
    hoja_.PonTexto(23, clues);
    ValidaClues();
    hoja_.EnAlta = true;
    hoja_.EnCambio = false;
    hoja_.MarcaEvento.reset();
    eventos_.rsAtencion.MueveFinal();
    ActivaControles();
    if (hoja_.Editable(22))
        hoja_.Enfoca(22);
}

void VidaRegistro::ValidaClues()
{
    const QString clues = hoja_.Texto(23).trimmed();
    if (clues.size() != 11)
        return;
    const Descripcion unidad = DescClues(ctx_.ConexionBD, clues);
    if (unidad.hallazgo == Descripcion::Hallazgo::Error) {
        ctx_.mensajes.Beep();
        return;
    }
    if (unidad.Inexistente()) {
        hoja_.HabilitaCampo(23, false);
        hoja_.PonEtiqueta(28, QString());
        if (AbreSeleccionClues)
            AbreSeleccionClues();
        return;
    }
    hoja_.PonTexto(23, clues);
    hoja_.PonEtiqueta(28, unidad.texto);
}

void VidaRegistro::LimpiaDatos_D_EVENTO()
{
    hoja_.Limpia();
    // With no violence type ticked only the care types below 7 are offered,
    // also when the event shown before offered them all.
    eventos_.CargaListas();
    // The diagnosis list follows the now empty key, also after unsaved edits.
    hoja_.GridAfeccionesEditado = false;
    eventos_.RefrescaGridAfecciones();
}

void VidaRegistro::ActivaControles()
{
    for (int i : CamposDependientes)
        hoja_.HabilitaCampo(i, false);
    for (int i : EtiquetasDependientes)
        hoja_.PonEtiqueta(i, QString());
    hoja_.HabilitaLista(ListaHoja::TipoViolencia, false);
    hoja_.HabilitaLista(ListaHoja::AgresorEfectos, false);
}

void VidaRegistro::Cambios()
{
    if (!HayEventos() || hoja_.EnAlta || hoja_.EnCambio)
        return;
    hoja_.EnCambio = true;
    PonModo(1);
    HabilitaMarcos(true);
    hoja_.HabilitaMarco(Marco::Clues, false);
    hoja_.MarcaEvento = eventos_.rsAtencion.Actual();
    hoja_.Enfoca(29);
}

void VidaRegistro::Grabar()
{
    if (!hoja_.EnAlta && !hoja_.EnCambio)
        return;
    const bool alta = hoja_.EnAlta;
    // The checks and the save are one run: another program's lock is waited
    // for once, not by each of them.
    const EsperaAcotada espera;
    // A failing rule leaves open what it sends the user to, the key fields of
    // an edited event too: a key that is no longer valid can be corrected.
    if (ChecaDatos_D_EVENTO(ctx_, hoja_))
        return;

    bool grabado;
    {
        CursorOcupado ocupado;
        grabado = alta ? eventos_.AltaEvento() : eventos_.ModificaEvento();
    }
    if (alta)
        UltimaClues = hoja_.Texto(23);
    if (!grabado) {
        ctx_.mensajes.Informa(QStringLiteral("No se pudo Guardar el Evento....."), TituloHojaRegistro());
        return;
    }

    // The reopened set is read while browsing, so that no capture rule
    // rewrites the event being shown.
    hoja_.EnAlta = false;
    hoja_.EnCambio = false;
    if (!alta) {
        // The edited event, at the key it was saved under.
        eventos_.CargaEventos(eventos_.ConsultaEventos, eventos_.ClaveHoja());
        Actualiza_Ubicacion();
    } else {
        eventos_.CargaEventos(eventos_.ConsultaEventos);
        const bool sigue = ctx_.mensajes.Pregunta(QStringLiteral("Registro Guardado, ¿Continuar Captura?"),
                                                  Mensajes::Icono::Pregunta, QStringLiteral("Atención"));
        Actualiza_Ubicacion();
        if (sigue) {
            AgregarEvento();
            return;
        }
    }
    TerminaCaptura();
}

void VidaRegistro::TerminaCaptura()
{
    hoja_.EnAlta = false;
    hoja_.EnCambio = false;
    hoja_.MarcaEvento.reset();
    HabilitaMarcos(false);
    PonModo(2);
}

void VidaRegistro::Cancelar()
{
    if (!hoja_.EnAlta && !hoja_.EnCambio)
        return;
    CursorOcupado ocupado;
    const bool alta = hoja_.EnAlta;
    PonModo(2);
    hoja_.EnAlta = false;
    hoja_.EnCambio = false;
    ConjuntoEventos &rs = eventos_.rsAtencion;
    if (rs.Cuenta() > 0) {
        if (!alta && hoja_.MarcaEvento)
            rs.Busca(*hoja_.MarcaEvento);
        else
            rs.MueveInicio();
    }
    hoja_.MarcaEvento.reset();
    HabilitaMarcos(false);
    // With no stored event there is nothing to read back: the sheet is emptied.
    if (rs.EnFila())
        eventos_.LeeEvento();
    else
        LimpiaDatos_D_EVENTO();
    Actualiza_Ubicacion();
}

void VidaRegistro::Bajas()
{
    if (!HayEventos() || hoja_.EnAlta || hoja_.EnCambio)
        return;
    if (!ctx_.mensajes.Pregunta(QStringLiteral("¿Desea borrar el registro Actual?"), Mensajes::Icono::Pregunta,
                                QStringLiteral("Atención")))
        return;
    if (!eventos_.BorraEvento())
        return;
    eventos_.CargaEventos(eventos_.ConsultaEventos);
    if (!HayEventos())
        LimpiaDatos_D_EVENTO();
    TerminaCaptura();
    Actualiza_Ubicacion();
}

void VidaRegistro::MenuBuscar(int posicion)
{
    if (hoja_.EnAlta || hoja_.EnCambio)
        return;
    // "Filtrar", "Ver Tabla" and "Exportar" open the query windows, which
    // the window opens itself.
    if (posicion == 2)
        QuitaFiltro();
}

void VidaRegistro::QuitaFiltro()
{
    // ConsultaEventos stays: a later save or delete reopens the set with it.
    eventos_.CargaEventos(modEvento::TodosLosEventos());
    Actualiza_Ubicacion();
    FiltroEventos.clear();
}
