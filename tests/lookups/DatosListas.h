#pragma once

#include "comun/ProgramaTemporal.h"
#include "comun/Teclado.h"
#include "lookups/CamposDestino.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QVariantList>
#include <QWidget>
#include <gtest/gtest.h>

class BaseDatos;
class ListaSeleccion;

// Replaces a table's rows.
void Inserta(const BaseDatos &bd, const QString &tabla, const QList<QVariantList> &filas);
// Known catalog contents in place of the template's.
void LlenaCatalogos(const BaseDatos &bd);

// Plays a script of blank-separated steps on a pick-list or catalog window:
//   "3=mex"  types into box txtDatos_3 ("f": the focused widget, "g": the grid; '_' types a blank)
//   "3!Esc"  a key ("Ctrl+V", "Return" ...) to box 3, "f" or "g"
//   "3~o'n"  sets the text as a drop does;  "^mu" puts "mu" on the clipboard
//   "b4"     toolbar button 4;  "d2" a double click on grid row 2;  "@cmdBuscar" clicks that button
void Juega(QWidget *w, const QString &guion);
// The passing rows as their `columnas` joined by '-' (their count past 7 rows), '>' and the current row's:
// "15-001 15-002>15-001".
QString Filas(const ListaSeleccion &l, const QList<int> &columnas);
// What a window shows after a script: Filas | beeps | the focused box ("g": the grid) | the texts of the
// search boxes that hold one, "caja:texto" | whether it is open | every message box, "texto/título".
QString Vista(QWidget *w, const ListaSeleccion &l, const QList<int> &columnas, const MensajesFalsos &m);

// A destination that records what the pick-lists write and focus; field 77 is locked.
class DestinoFalso : public CamposDestino {
public:
    QString Texto(int indice) const override { return textos.value(indice); }
    void PonTexto(int indice, const QString &texto) override { textos[indice] = texto; escritos << QString("%1=%2").arg(indice).arg(texto); }
    bool Editable(int indice) const override { return indice != 77; }
    void Enfoca(int indice) override { escritos << QString("@%1").arg(indice); }

    QMap<int, QString> textos;
    QStringList escritos;
};

// A program folder with the catalogs filled and a destination.
class PruebaListas : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        LlenaCatalogos(p.bd());
    }
    const BaseDatos &bd() const { return p.bd(); }

    ProgramaTemporal p;
    DestinoFalso destino;
};
