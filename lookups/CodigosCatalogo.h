#pragma once

#include <QList>

// The codes a coded-catalog pick-list offers: all, only some, or all but some.
struct CodigosCatalogo {
    enum class Modo { Todos, Solo, Excepto };
    Modo modo = Modo::Todos;
    QList<int> codigos;
};
