#pragma once

#include "platform/DialogoArchivos.h"

// A file dialog that answers with the path it was given (empty: cancelled)
// and keeps what it was asked.
class DialogoFijo : public DialogoArchivos {
public:
    QString Guardar(const QString &titulo, const QString &carpeta, const QString &nombre, const QString &filtro) override
    {
        pedido = titulo + '|' + carpeta + '|' + nombre + '|' + filtro;
        return ruta;
    }
    QString Abrir(const QString &titulo, const QString &carpeta, const QString &filtro) override
    {
        pedido = titulo + '|' + carpeta + '|' + filtro;
        return ruta;
    }
    QString ruta, pedido;
};
