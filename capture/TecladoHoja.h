#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class HojaDatos;
class Mensajes;
class QLineEdit;
class QKeyEvent;
class ReglasCampos;

// Background of the field that has the focus (&HC0E0FF) and of a field left (white).
QColor ColorEnfoque();
QColor ColorCampoDejado();

// The keyboard and focus handling of the sheet's text fields (txtDatos), for
// the window to install on each field:
// - while adding or editing, every typed key goes through the field's key set
//   (upper case, a beep on refusal), and so does pasted, dropped and
//   input-method text (pasted and dropped text before the field's length cuts
//   it; a validator on the field for the rest);
// - Enter moves to the next stop; Esc asks and then calls Cancelar (Ctrl+G
//   is the window's shortcut);
// - on focus the field turns &HC0E0FF and its text is selected; on leaving it
//   turns white, and, when the user moved the focus himself (Tab, Enter,
//   Backtab, a click, a shortcut), the leave checks run once the focus has
//   settled. A focus taken by a message box, a pick-list or a focus request of
//   the sheet (the window should set it with Qt::OtherFocusReason) runs no
//   check, so a refused field never makes another one refuse in turn;
// - a double click opens the field's pick-list.
// The window still mirrors texts (textEdited -> HojaDatos::PonTexto) and
// honours HojaDatos::PideFoco.
class TecladoHoja : public QObject {
    Q_OBJECT
public:
    TecladoHoja(ReglasCampos &reglas, HojaDatos &hoja, Mensajes &mensajes, QObject *padre = nullptr);

    void Instala(int indice, QLineEdit *campo);
    // Shows in a field a text written by code (the sheet state, which its
    // rules have made). The key filter is for what the user puts in, and
    // QLineEdit validates setText too, so it is set aside meanwhile.
    static void MuestraTexto(QLineEdit *campo, const QString &texto);

    std::function<void()> Cancelar;   // toolbar button 9
    // Key down in a field, handed on for the navigation keys (Mueve_Registros).
    std::function<void(QKeyEvent *)> TeclaAbajo;

    // Runs the leave checks waiting for the event loop now (tests, or a
    // window that must have them done before it acts).
    bool SalidaPendiente() const { return !pendientes_.isEmpty(); }
    void RevisaSalida();

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    struct Pendiente {
        int indice;
        QPointer<QWidget> ventana;
    };
    bool Capturando() const;
    bool TeclaPulsada(int indice, QLineEdit *campo, QKeyEvent *tecla);
    void Pega(int indice, QLineEdit *campo, const QString &texto);
    void Entra(QLineEdit *campo);
    void Sale(int indice, QLineEdit *campo, Qt::FocusReason razon);

    ReglasCampos &reglas_;
    HojaDatos &hoja_;
    Mensajes &mensajes_;
    QHash<QObject *, int> indices_;
    QList<Pendiente> pendientes_;
    bool revisando_ = false;
};
