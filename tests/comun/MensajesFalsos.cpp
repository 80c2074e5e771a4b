#include "comun/MensajesFalsos.h"

#include <gtest/gtest.h>

bool MensajesFalsos::Pregunta(const QString &texto, Icono icono, const QString &titulo)
{
    cajas.append({texto, titulo, icono, true});
    if (alMostrar)
        alMostrar(cajas.last());
    if (respuestas.empty()) {
        ADD_FAILURE() << "Pregunta sin respuesta preparada: " << texto.toStdString();
        return false;
    }
    const bool r = respuestas.front();
    respuestas.pop_front();
    return r;
}
