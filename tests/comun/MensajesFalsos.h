#pragma once

#include "platform/Mensajes.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

// The scripted Mensajes of the tests: records every box and beep, and answers
// questions from a queue (a question with no answer queued fails the test).
class MensajesFalsos : public Mensajes {
public:
    struct Caja {
        QString texto, titulo;
        Icono icono;
        bool pregunta;
    };

    void Muestra(const QString &texto, Icono icono, const QString &titulo) override
    {
        cajas.append({texto, titulo, icono, false});
        if (alMostrar)
            alMostrar(cajas.last());
    }
    bool Pregunta(const QString &texto, Icono icono, const QString &titulo) override;
    void Beep() override { ++beeps; }

    void Responde(bool si) { respuestas.push_back(si); }
    // The last box's text, or an empty text when none was shown.
    QString Ultimo() const { return cajas.isEmpty() ? QString() : cajas.last().texto; }
    // Every box's title, in order.
    QStringList Titulos() const
    {
        QStringList t;
        for (const Caja &c : cajas)
            t << c.titulo;
        return t;
    }
    void Limpia() { *this = MensajesFalsos(); }

    QList<Caja> cajas;
    int beeps = 0;
    // Called as each box or question is shown, to look at what stands at that moment.
    std::function<void(const Caja &)> alMostrar;
    std::deque<bool> respuestas;
};
