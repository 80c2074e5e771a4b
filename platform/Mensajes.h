#pragma once

#include <QString>

class QWidget;

// Message boxes, questions and beeps: one service owned by the application,
// so that tests can answer questions and read what was said.
class Mensajes {
public:
    enum class Icono { Ninguno, Informacion, Exclamacion, Pregunta, Critico };

    virtual ~Mensajes() = default;
    // A modal message with an OK button.
    virtual void Muestra(const QString &texto, Icono icono, const QString &titulo) = 0;
    // A modal Yes/No question; true when the answer is Yes.
    virtual bool Pregunta(const QString &texto, Icono icono, const QString &titulo) = 0;
    virtual void Beep() = 0;

    // Shorthands for the two common cases.
    void Informa(const QString &texto, const QString &titulo) { Muestra(texto, Icono::Informacion, titulo); }
    bool Confirma(const QString &texto, const QString &titulo) { return Pregunta(texto, Icono::Pregunta, titulo); }
};

// The real service on QMessageBox, parented to the active window.
class MensajesQt : public Mensajes {
public:
    void Muestra(const QString &texto, Icono icono, const QString &titulo) override;
    bool Pregunta(const QString &texto, Icono icono, const QString &titulo) override;
    void Beep() override;
};
