#include "platform/UsoDeArchivo.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::optional<IdentidadArchivo> IdentidadArchivo::En(const QString &ruta)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(ruta).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return IdentidadArchivo{quint64(st.st_dev), quint64(st.st_ino)};
}

namespace {

// What the child reports of one file, through a pipe.
struct Respuesta {
    int estado;
    int proceso;
};

// Runs in the forked child: only calls that are safe there (no allocation).
Respuesta Prueba(const char *ruta, const IdentidadArchivo *esperado)
{
    using E = UsoDeArchivo::Estado;
    // Non-blocking: a FIFO standing there must not hold the child.
    const int fd = ::open(ruta, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {int(errno == ENOENT ? E::NoExiste : E::NoSeSabe), 0};
    Respuesta r{int(E::NoSeSabe), 0};
    struct stat st {};
    struct flock candado {};
    // A write lock over every byte conflicts with any lock another holds.
    candado.l_type = F_WRLCK;
    candado.l_whence = SEEK_SET;
    if (::fstat(fd, &st) != 0)
        r.estado = int(E::NoSeSabe);
    else if (!S_ISREG(st.st_mode) || (esperado && *esperado != IdentidadArchivo{quint64(st.st_dev), quint64(st.st_ino)}))
        r.estado = int(E::Otro);
    else if (::fcntl(fd, F_GETLK, &candado) == 0)
        r = candado.l_type == F_UNLCK ? Respuesta{int(E::Libre), 0} : Respuesta{int(E::Tomado), int(candado.l_pid)};
    ::close(fd);
    return r;
}

} // namespace

std::vector<UsoDeArchivo> UsoDeArchivos(const std::vector<ArchivoAProbar> &archivos)
{
    std::vector<UsoDeArchivo> usos(archivos.size());
    // Everything the child needs is made before it exists.
    std::vector<QByteArray> rutas;
    for (const ArchivoAProbar &a : archivos)
        rutas.push_back(QFile::encodeName(a.ruta));
    std::vector<Respuesta> respuestas(archivos.size());
    const size_t bytes = respuestas.size() * sizeof(Respuesta);

    int tubo[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0)
        return usos;
    const pid_t hijo = ::fork();
    if (hijo == 0) {
        ::close(tubo[0]);
        for (size_t i = 0; i < archivos.size(); ++i)
            respuestas[i] = Prueba(rutas[i].constData(), archivos[i].esperado ? &*archivos[i].esperado : nullptr);
        const char *p = reinterpret_cast<const char *>(respuestas.data());
        for (size_t escrito = 0; escrito < bytes;) {
            const ssize_t n = ::write(tubo[1], p + escrito, bytes - escrito);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ::_exit(1);
            escrito += size_t(n);
        }
        ::_exit(0);
    }
    ::close(tubo[1]);
    size_t leido = 0;
    if (hijo > 0) {
        char *p = reinterpret_cast<char *>(respuestas.data());
        while (leido < bytes) {
            const ssize_t n = ::read(tubo[0], p + leido, bytes - leido);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            leido += size_t(n);
        }
        while (::waitpid(hijo, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(tubo[0]);
    // A child that could not start or answer tells nothing: every file stays unknown.
    if (leido == bytes)
        for (size_t i = 0; i < usos.size(); ++i)
            usos[i] = {UsoDeArchivo::Estado(respuestas[i].estado), respuestas[i].proceso};
    return usos;
}
