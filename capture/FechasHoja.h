#pragma once

#include <QDate>
#include <QString>

class Contexto;
class HojaDatos;
class modEvento;

// The weekday of a date in Spanish capitals ("LUNES" ... "DOMINGO"), whatever
// the machine's locale.
QString DiaSemana(const QDate &fecha);

// A date box's text read as a date (dd/MM/yyyy); invalid when it is none.
QDate FechaDeCaja(const QString &texto);

// The two date boxes of the capture sheet: mskDatos(0) occurrence, mskDatos(1)
// care (part of the key).
class FechasHoja {
public:
    FechasHoja(Contexto &ctx, HojaDatos &hoja, modEvento &eventos);

    // Every change of a box's text, whoever made it: the weekday of the
    // occurrence, and the box's own label emptied while it is being changed.
    void FechaCambiada(int indice);
    // Leaving a box: real date, the statistical year and today for the date of
    // care, occurrence not after care, the duplicate key, then the weekday and
    // the statistical month. Returns false when a check refused the date (it
    // has said so and asked the focus back).
    bool SaleFecha(int indice);

private:
    void Rechaza(const QString &texto, int indiceFoco);
    void PonDiaSemana();

    Contexto &ctx_;
    HojaDatos &hoja_;
    modEvento &eventos_;
};
