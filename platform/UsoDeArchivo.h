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
        NoSeSabe,   // the kernel could not be asked (a link, no rights, no child process)
    };
    Estado estado = Estado::NoSeSabe;
    qint64 proceso = 0;
};

struct ArchivoAProbar {
    QString ruta;
    std::optional<IdentidadArchivo> esperado;   // the file must still be this one
};

// The use of each file, asked by a child process on a descriptor of its own
// (read-only, a link not followed): a lock test from this process would not
// see this process's locks, and closing a descriptor here would drop every
// POSIX lock this process holds on the file, SQLite's among them.
std::vector<UsoDeArchivo> UsoDeArchivos(const std::vector<ArchivoAProbar> &archivos);
