#pragma once

#include <QString>
#include <optional>
#include <vector>

// Which file stands at a path, by device and inode as stat() numbers them:
// compared only with numbers stat() gave, never with another listing's (the
// kernel's lock table numbers btrfs subvolumes otherwise).
struct IdentidadArchivo {
    quint64 dispositivo = 0;
    quint64 nodo = 0;
    bool operator==(const IdentidadArchivo &o) const { return dispositivo == o.dispositivo && nodo == o.nodo; }
    bool operator!=(const IdentidadArchivo &o) const { return !(*this == o); }
    // The regular file at that path, a link not followed; none otherwise.
    static std::optional<IdentidadArchivo> En(const QString &ruta);
};

// What another program meets on a file: a record lock (POSIX or of an open
// file description) that the kernel holds on any byte of it, as SQLite's
// connections hold on a database and its -shm for as long as they are open.
struct UsoDeArchivo {
    enum class Estado {
        NoExiste,   // nothing at the path
        Libre,      // no lock on the file
        Tomado,     // a lock, held by `proceso` (-1: an open file description's)
        Otro,       // not a regular file, or not the one expected
        NoSeSabe,   // the kernel could not be asked (a link, no rights, no child process, no answer in time)
    };
    Estado estado = Estado::NoSeSabe;
    qint64 proceso = 0;
};

struct ArchivoAProbar {
    QString ruta;
    std::optional<IdentidadArchivo> esperado;   // the file must still be this one
};

// The work on files that other programs may hold is done by a child process,
// on descriptors of its own: a lock test from this process would not see this
// process's locks, and closing a descriptor here would drop every POSIX lock
// this process holds on the file, SQLite's among them. A disk that does not
// answer (a network or FUSE mount whose open() stalls) holds this process no
// longer than this wait, in milliseconds; an answer that does not come in it
// changes nothing and tells nothing. A test may lengthen it.
extern int EsperaDelHijoMs;

// The use of each file, asked by the child on a descriptor of its own
// (read-only, a link not followed).
std::vector<UsoDeArchivo> UsoDeArchivos(const std::vector<ArchivoAProbar> &archivos);

// The journals SQLite opened beside the path of a database file that has
// left it: the -wal and the -shm, as SQLite opened them.
struct DiariosDejados {
    QString ruta;
    std::optional<IdentidadArchivo> wal, shm;
    // The -wal holds pages confirmed to the file that the file itself lacks
    // (its last checkpoint could not end); otherwise SQLite emptied it.
    bool conPaginasPropias = false;
};

// What the child did with a copy and with the journals left at the path.
struct Colocacion {
    bool respondio = false;   // false: no whole answer in time; the journals were left
    int error = 0;            // why the copy was not put in place (errno; EEXIST: a file stands there)
    bool colocada = false;
    enum class Diario {
        NoEsta,      // nothing at its path, or not the file SQLite opened
        Quitado,     // removed
        ConLaCopia,  // holds pages of the copy and goes with it (beside it or at its side under its name)
        Dejado,      // left as it is: in use, another's, or it could not be told
    };
    Diario wal = Diario::Dejado, shm = Diario::Dejado;
};

// Puts `temporal`, a copy already on the disk, at `destino` without
// replacing anything there (none when `temporal` is empty), then deals with
// the journals at the old path, all under the lock SQLite itself holds to
// delete a log: an exclusive lock on the database file at that path, taken
// without waiting and kept until the last unlink is done, so that no
// connection opens that database in between. When the copy goes to the old
// path it is locked before it is put there; otherwise the lock is asked of
// whatever file stands at the path, and without it (someone uses that
// database, it is no regular file, or nothing stands there) the journals
// stay. Under it, each is removed only while it is still the file SQLite
// opened, and the -wal only when it holds nothing; a -wal that holds our own
// pages goes with the copy (stays beside it at the path, or takes its name
// beside it), and one that holds pages of another stays. All of it is done by
// a child process.
Colocacion ColocaYQuitaDiarios(const QString &temporal, const QString &destino, const DiariosDejados &diarios);

// Called in that child while it holds the lock, before it changes anything:
// a test holds it there. Only calls that are safe after fork().
extern void (*AlTomarElCandado)();
