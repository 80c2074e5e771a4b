#pragma once

#include <QString>
#include <functional>

class AvisoHerramienta;
class Contexto;
class Progreso;

// The database backup, without its window: a dated zip archive holding a
// consistent copy of the working database, written to a path the user
// chooses and recorded in the log.
class Respaldo {
public:
    // `compacta` compacts the working database first; it answers whether
    // that same database is open again afterwards.
    Respaldo(Contexto &ctx, std::function<bool()> compacta);

    // "VELMORAN" + year digits + state + "_" + ddMMyy + ".ZIP", with the date
    // on which the backup window was opened; the Save dialog proposes it.
    QString NombreArchivo;
    // The default destination: the Datos folder and the archive name.
    QString RutaInicial() const;
    // The destination the Save dialog returned (empty when cancelled) as the
    // text of the path box; a chosen file's name becomes the archive name.
    QString RutaElegida(const QString &elegida);
    // The typed path as the archive to write: trimmed, and a folder ending in
    // "/" gets the archive name.
    QString Destino(const QString &texto) const;
    // Why the backup may not be written there, or an empty text: the working
    // database, the template and every other database must never be
    // overwritten, and the folder (and Datos, where the copy is made) must
    // take a new file.
    QString DestinoRechazado(const QString &destino) const;

    // Compacts, copies the database consistently, packs and reads back the
    // archive beside the destination, puts it in place and writes the log row.
    // Every failure is shown with its reason and writes no log row.
    bool Respalda(const QString &destino);

private:
    // The archive's one member, "BKUP" + year digits + state + ".db", and the
    // copy of that name in Datos that is packed.
    QString Miembro() const;
    QString RutaCopia() const;
    bool Falla(AvisoHerramienta &aviso, const QString &motivo);
    // The consistent copy packed at the destination; why it failed, or an empty text.
    QString Copia(Progreso &trabajo, const QString &destino, int *eventos);

    Contexto &ctx_;
    std::function<bool()> compacta_;
};
