#pragma once

#include <QDate>
#include <QDateEdit>
#include <QString>
#include <functional>

// Typing over a "dd/MM/yyyy" date as a masked entry does, without a screen.
// Digits overwrite the text from the start of the section the cursor stands
// in, each section emptied ('_') when its first digit comes; a full section
// steps over its separator; "/" closes a section of one digit ("5/3/2026"),
// or is taken as the separator just stepped over ("05/03/2026").
class TecleoFecha {
public:
    static constexpr int Largo = 10;   // "dd/MM/yyyy"

    // Typing starts over `texto` in the section at `cursor`.
    void Empieza(const QString &texto, int cursor);
    void Termina() { activo_ = false; }
    bool Activo() const { return activo_; }

    // False when the key has no place (past the year, a "/" in the year).
    bool Digito(QChar c);
    bool Separador();
    void Retrocede();                // Backspace: the character before the cursor emptied
    void Seccion(int cursor);        // the cursor to the start of the section at `cursor`
    void Mueve(int secciones);       // the cursor to the start of a section before (-1) or after (1)

    const QString &Texto() const { return texto_; }
    int Posicion() const { return pos_; }
    // The date of the text, a day or month of one digit read as typed
    // ("5_" is 05); invalid while it is no whole date.
    QDate Fecha() const;
    // Whether the last digit of the year has just been typed.
    bool AlFinal() const { return pos_ == Largo; }

private:
    static int InicioSeccion(int pos);
    static int FinSeccion(int inicio) { return inicio == 6 ? Largo : inicio + 2; }

    QString texto_;
    int pos_ = 0;
    bool activo_ = false;
    bool empezada_ = false;    // a digit was typed in the current section
    bool saltado_ = false;     // the separator before the cursor was just stepped over
};

// A date box typed like a masked "dd/mm/yyyy" entry: a single click anywhere
// in a section, or Home, and the digits typed (with or without the "/")
// make the date shown. The date counts when its last digit is typed or the
// box is left (Tab, Enter, a click elsewhere, even in the box, Confirma); a
// text that is no date is then refused (alRechazar) and the box goes back to
// its date. Tab leaves the box; while typing the arrows move a section; Up,
// Down, the wheel and the calendar work as in QDateEdit.
class CajaFecha : public QDateEdit {
public:
    explicit CajaFecha(QWidget *padre = nullptr);

    // Takes what is being typed; false when it was refused.
    bool Confirma();

    // Told the typed text that was refused.
    std::function<void(const QString &texto)> alRechazar;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool focusNextPrevChild(bool siguiente) override;
    bool eventFilter(QObject *objeto, QEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    QValidator::State validate(QString &texto, int &pos) const override;

private:
    // Typing starts (or follows a cursor the mouse moved) at the cursor's section.
    void Sigue();
    void Muestra();

    TecleoFecha tecleo_;
};
