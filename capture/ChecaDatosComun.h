#pragma once

// Shared pieces of the sheet's whole-record validation (ChecaDatos_D_EVENTO),
// used by its three stretches: unit and patient, address and occurrence,
// aggressor, care and responsible.

#include "events/HojaDatos.h"
#include "platform/Mensajes.h"

#include <QDate>
#include <QList>
#include <QString>
#include <initializer_list>

class Contexto;
class modEvento;

// Where a failure sends the user: the control that takes the focus.
struct FocoHoja {
    enum class Tipo { Campo, Fecha, Lista } tipo = Tipo::Campo;
    int indice = 0;                                  // txtDatos or mskDatos index
    ListaHoja lista = ListaHoja::Derechohabiencia;

    static FocoHoja Campo(int indice) { return {Tipo::Campo, indice, ListaHoja::Derechohabiencia}; }
    static FocoHoja Fecha(int indice) { return {Tipo::Fecha, indice, ListaHoja::Derechohabiencia}; }
    static FocoHoja Lista(ListaHoja lista) { return {Tipo::Lista, 0, lista}; }
};

// The page, the frames to enable and the control to focus of a failing rule.
struct DestinoFalla {
    int pagina = 0;
    QList<Marco> marcos;
    FocoHoja foco;
    bool habilitaCampo = false;   // the focused text field is enabled as well
};

// How a failing rule speaks.
enum class CajaFalla {
    Info,            // beep, information box titled with the sheet title
    InfoSinBeep,     // the same box without the beep
    SimpleSinBeep,   // no beep; plain box with the application's title
    YaMostrada       // beep only: the called check has shown its own message
};

// A row of the common shape of the sheet's rules: a field that must not be
// blank, then must be held by its coded catalog (name without the leading
// "c"; none for a free-text field), each with its message.
struct Requisito {
    int campo;
    const char *vacio;
    const char *catalogo = nullptr;
    const char *desconocido = nullptr;
    bool soloHabilitado = false;   // blank counts only while the field is enabled
};

class ValidacionHoja {
public:
    ValidacionHoja(Contexto &ctx, HojaDatos &hoja, modEvento &almacen);

    // The three stretches, in this order; each returns true when a rule failed.
    bool UnidadYPaciente();
    bool DomicilioYEvento();
    bool AgresorYAtencion();

    Contexto &ctx;
    HojaDatos &hoja;
    modEvento &almacen;

    // Field texts: as typed, trimmed, blank test, leading number (0 when none).
    QString Texto(int campo) const;
    QString Recortado(int campo) const;
    bool Blanco(int campo) const;
    qint64 Val(int campo) const;
    bool Es(int campo, std::initializer_list<const char *> textos) const;   // exact text among these
    bool Habilitado(int campo) const;
    // A date box read as a date (invalid when it holds none).
    QDate Fecha(int indice) const;

    // True when the coded catalog (name without the leading "c") holds the
    // trimmed text of the field; a lookup that cannot run counts as not held.
    bool EnCatalogo(const char *catalogo, int campo) const;
    // Rewrites a field holding a number with at least `digitos` digits
    // ("0#" is 2); a blank text stays blank.
    void Rellena(int campo, int digitos);
    // Disables a field, then writes its text (the order the sheet's rules use).
    void Desactiva(int campo, const QString &texto);
    // Disables a check list and unticks every item.
    void DesactivaLista(ListaHoja lista);
    // Codes (Val of the first two characters) of the ticked items of a list.
    QList<int> CodigosMarcados(ListaHoja lista) const;

    // The failure procedure: beep and box as the kind says, then page, frames,
    // field and focus. Always returns true, so rules read `return Falla(...)`.
    bool Falla(const QString &mensaje, CajaFalla caja, const DestinoFalla &destino);
    // Page, frames, field and focus of a failure whose box has been shown.
    bool Termina(const DestinoFalla &destino);
    // A Yes/No question titled with the sheet title; `beep` first when asked.
    bool Pregunta(const QString &texto, Mensajes::Icono icono, bool beep);

    // The messages of an hour and its minutes.
    struct MensajesTiempo {
        QString sinHoras;
        QString horasAltas;    // the hour of a day only: 24 or more
        QString sinMinutos;
        QString minutosAltos;  // 60 or more
        QString cero;          // a stay only: hours and minutes add up to 0
    };
    // The hour of a day in two fields: captured, below 24 and 60, rewritten
    // with two digits. True when a rule failed.
    bool HoraDelDia(int horas, int minutos, const MensajesTiempo &m, int pagina, Marco marco);
    // A stay in two fields, checked while each is enabled; a part that is
    // locked and blank is not captured either, and the whole is not 0.
    bool Estancia(int horas, int minutos, const MensajesTiempo &m, int pagina, Marco marco);

    // Walks rows of the common shape in their order: the field not blank,
    // then held by its catalog; the first failure goes to `en` of its field.
    // True when a rule failed.
    bool Requiere(std::initializer_list<Requisito> filas, DestinoFalla (*en)(int campo));
};

// The icon of the boxes that show none (the CURP and affiliation questions, the CURP box).
constexpr Mensajes::Icono IconoSinIcono = Mensajes::Icono::Ninguno;
