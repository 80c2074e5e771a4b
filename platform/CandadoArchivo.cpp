#include "platform/CandadoArchivo.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Whether the open file is still the one at its path: a cleanup may have
// removed it between our open and our lock.
bool SigueEnSuRuta(int fd, const QByteArray &ruta)
{
    struct stat abierto {}, enRuta {};
    return ::fstat(fd, &abierto) == 0 && ::stat(ruta.constData(), &enRuta) == 0 && abierto.st_dev == enRuta.st_dev
           && abierto.st_ino == enRuta.st_ino;
}

int Bloquea(int fd, int modo)
{
    int r;
    do
        r = ::flock(fd, modo);
    while (r != 0 && errno == EINTR);
    return r;
}
} // namespace

bool CandadoArchivo::Toma(const QString &ruta)
{
    Suelta();
    const QByteArray r = QFile::encodeName(ruta);
    // A cleanup that took the file first removes it before letting it go:
    // then the lock we got is on a removed file, and a new one is made.
    for (int intento = 0; intento < 5; ++intento) {
        const int fd = ::open(r.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const bool bloqueado = Bloquea(fd, LOCK_EX) == 0;
        // A file system without locks still takes the file: its cleanups,
        // unable to tell, leave it alone.
        const bool sinCandados = !bloqueado && (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL);
        if ((bloqueado && SigueEnSuRuta(fd, r)) || sinCandados) {
            fd_ = fd;
            ruta_ = ruta;
            return true;
        }
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    errno = EAGAIN;
    return false;
}

bool CandadoArchivo::TomaSiEstaLibre(const QString &ruta, bool crea)
{
    Suelta();
    const QByteArray r = QFile::encodeName(ruta);
    const int fd = crea ? ::open(r.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644) : ::open(r.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return !crea && errno == ENOENT;   // its holder makes it before anything else
    if (Bloquea(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    if (SigueEnSuRuta(fd, r)) {
        fd_ = fd;
        ruta_ = ruta;
    } else {
        ::close(fd);   // its holder has just finished and removed it
    }
    return true;
}

void CandadoArchivo::Suelta()
{
    if (fd_ < 0)
        return;
    ::unlink(QFile::encodeName(ruta_).constData());
    ::close(fd_);
    fd_ = -1;
    ruta_.clear();
}
