#pragma once

#include <QString>

// A lock file that says a file or folder of the program is in use: its holder
// keeps an flock() on it while it works, in this or any other process, also on
// another machine sharing the folder. The kernel lets the lock go when the
// holder dies, so a cleanup that can take it knows nobody is writing.
class CandadoArchivo {
public:
    CandadoArchivo() = default;
    ~CandadoArchivo() { Suelta(); }
    CandadoArchivo(const CandadoArchivo &) = delete;
    CandadoArchivo &operator=(const CandadoArchivo &) = delete;

    // Creates the lock file when missing and waits for its lock; false, with
    // errno set, when it cannot be created or a cleanup removed it meanwhile.
    bool Toma(const QString &ruta);
    // Takes the lock only if nobody holds it, without waiting: true when
    // nobody holds it (also when there is no lock file and `crea` is false),
    // false when its holder lives or it cannot tell (the file cannot be
    // opened, or its file system has no locks).
    bool TomaSiEstaLibre(const QString &ruta, bool crea = false);
    bool Tomado() const { return fd_ >= 0; }
    // Removes the lock file (while still held, so that a cleanup that opened
    // it meanwhile sees it gone) and lets the lock go.
    void Suelta();

private:
    int fd_ = -1;
    QString ruta_;
};
