#pragma once

#include <QString>
#include <QStringList>

class Contexto;

// The send package, without its window: a zip holding one database with the
// care events of chosen units in an optional period and chosen catalogs,
// written under its fixed name into the folder the user chooses.
class Envio {
public:
    // Where the window sends the focus after a refused check.
    enum class Foco { Ninguno, FechaIni, FechaFin, Unidades, Tablas };

    struct Seleccion {
        bool eventos = false;
        bool todasUnidades = true;     // no unit filter
        QStringList unidades;          // the ticked unit lines, CLUES first
        QString fechaIni, fechaFin;    // "dd/MM/yyyy", or empty for an open side
        QStringList tablas;            // the ticked catalogs
    };

    explicit Envio(Contexto &ctx);

    // "ENVIO" + year digits + state + "_" + ddMMyy + "VEL.ZIP", with the day
    // the window was opened; only the folder of the package can change.
    const QString PaqueteEnvio;
    QString RutaInicial() const;
    // The folder of the path the Save dialog returned with the package name;
    // the default path when the dialog was cancelled (empty).
    QString RutaElegida(const QString &elegida) const;

    // The units with events: CLUES, two blanks and the unit's name.
    QStringList Unidades() const;

    // Checks the window's choices as typed (dates as their boxes show them)
    // and fills `s`; shows the first failure and says where the focus goes.
    Foco ValidaEnvio(const QString &textoIni, const QString &textoFin, Seleccion &s) const;

    // Builds the package database, packs it to `destino` (read back before it
    // replaces anything), writes the log row and shows the summary. Any
    // failure stops it, leaves no partial file, writes no log row and says why.
    bool GeneraEnvio(const Seleccion &s, const QString &destino);

private:
    int CopiaTablas(const Seleccion &s, const QString &base);

    Contexto &ctx_;
};
