#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class Contexto;

// The reception of a send package, without its window: the package's name is
// checked, its one database unpacked into a temporary folder (removed with
// this object) and checked, and what the user ticks merged into the working
// database in one transaction together with its log row.
class Recepcion {
public:
    explicit Recepcion(Contexto &ctx);

    // Checks the chosen file's name, unpacks and checks its database; says
    // why when the package cannot be used. False leaves nothing to receive.
    bool Abre(const QString &ruta);

    QString PaqueteRecibido;   // the package's file name
    QString RutaPaquete;       // its full path
    bool TieneEventos = false; // the six event tables came
    QStringList Catalogos;     // our own catalogs found in the package, in our spelling

    // Replaces the ticked catalogs whole and, when asked, the local events
    // that share a key with a received one (with all their detail rows) by
    // the received ones, and writes the log row: all or nothing. Shows the
    // summary, or why nothing changed.
    bool Recibe(bool eventos, const QStringList &tablas);

private:
    QString Desempaca(QString *titulo);
    QString ChecaPaquete(const QString &base);
    void Limpia();

    Contexto &ctx_;
    std::unique_ptr<QTemporaryDir> temporal_;
    QString base_;
};
