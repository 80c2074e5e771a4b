#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Refuses a second running copy of the program through a lock file; the lock
// of a copy that died is broken.
class InstanciaUnica {
public:
    // carpeta: where the lock lives; empty means the runtime (or temp) folder.
    explicit InstanciaUnica(const QString &carpeta = QString());
    // True when this is the only running copy (the lock is now ours).
    bool Adquiere();
    QString Ruta() const { return ruta_; }

private:
    QString ruta_;
    std::unique_ptr<QLockFile> lock_;
};
