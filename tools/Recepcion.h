#pragma once

#include "platform/CandadoArchivo.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class AvisoHerramienta;
class Contexto;

// The reception of a send package, without its window: the package's name is
// checked, its one database unpacked into a temporary folder of Datos (removed
// with this object, locked while it lives) and checked, and what the user
// ticks merged into the working database in one transaction together with its
// log row.
class Recepcion {
public:
    explicit Recepcion(Contexto &ctx);

    // Checks the chosen file's name, unpacks and checks its database; says
    // why when the package cannot be used. False leaves nothing to receive.
    bool Abre(const QString &ruta);

    QString PaqueteRecibido;   // the package's file name
    QString RutaPaquete;       // its full path
    bool TieneEventos = false; // the six event tables came
    // The package's tables offered as catalogs, in its spelling: every table
    // whose name does not begin with "D_", but for the program's own log and
    // work tables, SQLite's, virtual tables and their storage, and tables
    // whose name is blank, is taken here by an index or a view, or is shared
    // with another table of the package once taken here; a catalog the
    // working database lacks is made under that name.
    QStringList Catalogos;
    // The name a catalog of the package takes here: upper-cased, without the
    // blanks around it, which SQLite keeps in a name but nobody sees in a list.
    static QString NombreCatalogo(const QString &tabla);
    // The package's tables not offered, each with its reason.
    QStringList NoOfrecidas;

    // Replaces the ticked catalogs whole and, when asked, the local events
    // that share a key with a received one (with all their detail rows) by
    // the received ones, and writes the log row: all or nothing. Shows the
    // summary, or why nothing changed.
    bool Recibe(bool eventos, const QStringList &tablas);

    // Removes the unpacking folders in `datos` that a reception killed before
    // its end left behind, unless a living reception holds one.
    static void BorraDesempacados(const QString &datos);

private:
    QString Desempaca(AvisoHerramienta &aviso, QString *titulo);
    QString ChecaPaquete(const QString &base);
    QString TextoNoOfrecidas() const;
    bool HayQueRecibir(AvisoHerramienta &aviso, bool eventos, const QStringList &tablas) const;
    void MuestraResumen(AvisoHerramienta &aviso, int recibidos, int catalogos);
    void Limpia();

    Contexto &ctx_;
    std::unique_ptr<QTemporaryDir> temporal_;
    CandadoArchivo candado_;   // held on the unpacking folder while it lives
    QString base_;
};
