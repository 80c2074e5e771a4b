#pragma once

#include "platform/CandadoArchivo.h"

#include <QString>
#include <functional>

// A file that is written under a temporary name beside its destination and put
// in its place only once it is complete, so that a failed or interrupted write
// leaves the previous file whole. The temporary file is removed unless confirmed.
// While the object lives it holds a lock file beside the temporary name, so
// that a cleanup run by this or another instance leaves its work alone.
class ArchivoDestino {
public:
    // The temporary name ends in `extension`, for writers that insist on their
    // own (shapelib writes "x.dbf" whatever name it is given).
    explicit ArchivoDestino(const QString &destino, const QString &extension = QStringLiteral(".tmp"));
    ~ArchivoDestino();
    ArchivoDestino(const ArchivoDestino &) = delete;
    ArchivoDestino &operator=(const ArchivoDestino &) = delete;

    // Removes what interrupted writes left in the folder of `destino`: every
    // file of a temporary name this class gives, whatever its destination, and
    // what SQLite and libzip write beside one, unless its writer (in this or
    // another instance sharing the folder) still holds its lock. Names that
    // only look alike, without the signature, stay.
    static void BorraRestos(const QString &destino);
    // Whether a file name is one of those: ".<destination>.<random><signature>
    // <extension>", maybe followed by a journal's, libzip's or the lock's suffix.
    static bool EsTemporalPropio(const QString &nombre);
    // Whether a new file can be written in the folder: a real write, not the
    // permission bits, so that read-only mounts, ACLs and protected folders
    // refuse it alike (and root passes where it really can write).
    static bool CarpetaConEscritura(const QString &carpeta);
    // What the user reads when it cannot: the folder, named, must allow writing.
    static QString TextoCarpetaSinEscritura(const QString &carpeta);
    // Why nothing can be written at `destino` for its folder (missing, or
    // without writing), or an empty text when it can. Every output asks it
    // before its long work.
    static QString RevisaCarpeta(const QString &destino);

    QString Destino() const { return destino_; }
    // Where to write: a new name in the destination's folder, not yet created.
    QString RutaTemporal() const { return temporal_; }
    // Flushes the temporary file to the disk and replaces the destination with it
    // in one step (the old file stays until then). With Reemplazo::No a file
    // that stands at the destination is left as it is and the call fails.
    // On failure returns false and the reason in `error`.
    enum class Reemplazo { Si, No };
    bool Confirma(QString *error = nullptr, Reemplazo reemplazo = Reemplazo::Si);
    // For a writer that puts the file in place itself (at the destination or
    // at a name it chose): the temporary file is flushed to the disk, then
    // `coloca` moves it and answers 0 or the reason (errno), said in `error`.
    bool Coloca(const std::function<int(const QString &temporal)> &coloca, QString *error = nullptr);

private:
    bool Asienta(QString *error) const;

    QString destino_;
    QString temporal_;
    bool confirmado_ = false;
    CandadoArchivo candado_;
};

// rename() that never replaces what stands at `a`: 0, or the reason (errno,
// EEXIST when a file stands there). Safe in a child after fork().
int RenombraSinReemplazar(const char *de, const char *a);

// The reason a system call gave (errno) as the user reads it, in Spanish;
// the system's own words for the rare ones.
QString TextoErrorSistema(int numero);

// Whether the disk that holds the file's folder has run out of room; checked
// after a write failed, while what it wrote is still there.
bool DiscoLleno(const QString &archivo);
// What the user reads when writing the file met a full disk; the writer's own
// words, when given, follow as a detail.
QString TextoDiscoLleno(const QString &archivo, const QString &detalle = {});
