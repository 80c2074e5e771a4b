#pragma once

// What the files of the capture sheet's window share: its colours and the
// rows of its layout.

#include "capture/frmRegistro.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace PantallaHoja {

constexpr int AltoCampo = 20;

// Colours written &HBBGGRR in the design, as RGB.
const QColor ColorDescripcion(192, 192, 255);   // &HFFC0C0: description labels and lists

inline void PonColor(QWidget *w, QPalette::ColorRole rol, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(rol, color);
    w->setPalette(p);
}

// The button-shadow colour of a disabled field or list.
inline QColor ColorDeshabilitado()
{
    return QGuiApplication::palette().color(QPalette::Dark);
}

} // namespace PantallaHoja

// One row of the sheet's layout: a control, in pixels inside its frame.
struct frmRegistro::Pieza {
    enum Tipo {
        // Captions: aligned left, right, at the bottom; small under a field; the bold sign between two fields;
        // the weekday box. One with an index other than 0 is lblDatos(indice), which the sheet rewrites.
        Rotulo, RotuloDerecha, RotuloAbajo, Pie, Separador, DiaSemana,
        Texto,         // txtDatos(indice)
        Descripcion,   // lblDatos(indice): the description of a code
        Fecha,         // mskDatos(indice)
        Lista,         // the check list ListaHoja(indice); texto is its name
        // Rows of several controls, the box being their first one's:
        Fila,          // right-aligned caption, txtDatos(indice) anchoCampo wide and, when
                       // anchoDescripcion is given, its description, 2 pixels apart
        Encima,        // the same with the caption (the box) above the field and its description
        Hora,          // hours and minutes of a time of day: txtDatos(indice) and (indice + 1)
        Estancia       // the same for a length of time
    } tipo;
    int indice;
    int x, y, ancho, alto;
    const char *texto = "";
    int anchoCampo = 0, anchoDescripcion = 0;
};
