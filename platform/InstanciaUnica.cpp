#include "platform/InstanciaUnica.h"

#include <QDir>
#include <QStandardPaths>

InstanciaUnica::InstanciaUnica(const QString &carpeta)
{
    QString dir = carpeta;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    ruta_ = QDir(dir).filePath(QStringLiteral("VELMORAN.lock"));
    lock_ = std::make_unique<QLockFile>(ruta_);
    // A live holder refreshes nothing, so only a dead process makes a lock stale.
    lock_->setStaleLockTime(0);
}

bool InstanciaUnica::Adquiere()
{
    if (lock_->tryLock(0))
        return true;
    if (lock_->error() == QLockFile::LockFailedError && lock_->removeStaleLockFile())
        return lock_->tryLock(0);
    return false;
}
