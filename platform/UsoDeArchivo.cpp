#include "platform/UsoDeArchivo.h"

#include "platform/ArchivoDestino.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int EsperaDelHijoMs = 2000;
void (*AlTomarElCandado)() = nullptr;

std::optional<IdentidadArchivo> IdentidadArchivo::En(const QString &ruta)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(ruta).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return IdentidadArchivo{quint64(st.st_dev), quint64(st.st_ino)};
}

namespace {

qint64 Ahora()
{
    timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Children that had not ended when their answer came or their time ran out:
// taken back later, never waited for.
std::mutex recogerMutex;
std::vector<pid_t> sinRecoger;

void Recoge(pid_t hijo)
{
    const std::lock_guard<std::mutex> l(recogerMutex);
    if (hijo > 0)
        sinRecoger.push_back(hijo);
    for (auto i = sinRecoger.begin(); i != sinRecoger.end();) {
        pid_t r;
        do
            r = ::waitpid(*i, nullptr, WNOHANG);
        while (r < 0 && errno == EINTR);
        i = r == 0 ? i + 1 : sinRecoger.erase(i);
    }
}

// The child's end of the pipe and its answer, set in the child only.
int tuboDelHijo = -1;
const void *respuestaDelHijo = nullptr;
size_t bytesDelHijo = 0;

// In the child: sends the answer as it stands, whole.
void Responde()
{
    const char *p = static_cast<const char *>(respuestaDelHijo);
    for (size_t escrito = 0; escrito < bytesDelHijo;) {
        const ssize_t n = ::write(tuboDelHijo, p + escrito, bytesDelHijo - escrito);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ::_exit(1);
        escrito += size_t(n);
    }
}

// Runs `trabajo` in a child process, which fills `respuesta` in its own copy
// of the memory and sends it back through a pipe as it ends, or before when
// it calls Responde(); the parent keeps the last answer that came whole, and
// waits EsperaDelHijoMs at most. Everything the child uses must be made
// before: after fork() only calls that are safe there (no allocation, no
// locks). How many answers came; a child that did not end in time is killed.
int EnHijo(void *respuesta, size_t bytes, const std::function<void()> &trabajo)
{
    Recoge(0);
    int tubo[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0)
        return 0;
    const qint64 limite = Ahora() + EsperaDelHijoMs;
    const pid_t hijo = ::fork();
    if (hijo == 0) {
        ::close(tubo[0]);
        tuboDelHijo = tubo[1];
        respuestaDelHijo = respuesta;
        bytesDelHijo = bytes;
        trabajo();
        Responde();
        ::_exit(0);
    }
    ::close(tubo[1]);
    int respuestas = 0;
    if (hijo > 0) {
        std::vector<char> llegada(bytes);
        size_t leido = 0;
        bool termino = false;
        while (!termino) {
            const qint64 queda = limite - Ahora();
            if (queda <= 0)
                break;
            pollfd espera{tubo[0], POLLIN, 0};
            const int listo = ::poll(&espera, 1, int(queda));
            if (listo < 0 && errno == EINTR)
                continue;
            if (listo <= 0)
                break;
            const ssize_t n = ::read(tubo[0], llegada.data() + leido, bytes - leido);
            if (n < 0 && errno == EINTR)
                continue;
            termino = n <= 0;
            leido += size_t(qMax<ssize_t>(n, 0));
            if (leido == bytes) {
                std::memcpy(respuesta, llegada.data(), bytes);
                ++respuestas;
                leido = 0;
            }
        }
        // A child that did not end in time does nothing more.
        if (!termino)
            ::kill(hijo, SIGKILL);
        Recoge(hijo);
    }
    ::close(tubo[0]);
    return respuestas;
}

// What the child reports of one file.
struct Respuesta {
    int estado;
    int proceso;
};

// Runs in the child: a lock test on a descriptor of its own.
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
    std::vector<QByteArray> rutas;
    for (const ArchivoAProbar &a : archivos)
        rutas.push_back(QFile::encodeName(a.ruta));
    std::vector<Respuesta> respuestas(archivos.size());
    const bool respondio = EnHijo(respuestas.data(), respuestas.size() * sizeof(Respuesta), [&] {
        for (size_t i = 0; i < archivos.size(); ++i)
            respuestas[i] = Prueba(rutas[i].constData(), archivos[i].esperado ? &*archivos[i].esperado : nullptr);
    });
    // A child that could not start or answer tells nothing: every file stays unknown.
    if (respondio)
        for (size_t i = 0; i < usos.size(); ++i)
            usos[i] = {UsoDeArchivo::Estado(respuestas[i].estado), respuestas[i].proceso};
    return usos;
}

namespace {

// SQLite's exclusive lock on a database file (its unix VFS's bytes): the
// pending byte, the reserved byte and the shared range, all for writing. No
// connection opens the database, or holds it open, while it stands.
bool BloqueoExclusivo(int fd)
{
    struct flock candado {};
    candado.l_type = F_WRLCK;
    candado.l_whence = SEEK_SET;
    candado.l_start = 0x40000000;
    candado.l_len = 2 + 510;
    return ::fcntl(fd, F_SETLK, &candado) == 0;
}

bool EsElMismo(const char *ruta, const IdentidadArchivo *id, struct stat &st)
{
    return id && ::lstat(ruta, &st) == 0 && S_ISREG(st.st_mode)
           && *id == IdentidadArchivo{quint64(st.st_dev), quint64(st.st_ino)};
}

} // namespace

Colocacion ColocaYQuitaDiarios(const QString &temporal, const QString &destino, const DiariosDejados &diarios)
{
    // Every path and flag the child needs, made before it exists.
    const QByteArray t = QFile::encodeName(temporal), d = QFile::encodeName(destino), r = QFile::encodeName(diarios.ruta);
    const QByteArray wal = r + "-wal", shm = r + "-shm", walCopia = d + "-wal";
    const bool copia = !temporal.isEmpty(), enSuRuta = copia && d == r;
    const IdentidadArchivo *idWal = diarios.wal ? &*diarios.wal : nullptr, *idShm = diarios.shm ? &*diarios.shm : nullptr;
    const qint64 limite = Ahora() + EsperaDelHijoMs;
    void (*const enCandado)() = AlTomarElCandado;

    Colocacion c;
    const auto trabajo = [&] {
        using D = Colocacion::Diario;
        const auto aTiempo = [&] { return Ahora() < limite; };
        int fd = -1;
        if (enSuRuta) {
            // Locked before anyone can open it at the path, so that nobody
            // opens it there with the journals left by the moved file.
            fd = ::open(t.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
            if (fd < 0 || !BloqueoExclusivo(fd)) {
                c.error = fd < 0 ? errno : EBUSY;
                return;
            }
            if (enCandado)
                enCandado();
        }
        if (copia) {
            c.error = aTiempo() ? RenombraSinReemplazar(t.constData(), d.constData()) : ETIMEDOUT;
            if (c.error != 0)
                return;
            c.colocada = true;
            Responde();
        }
        if (!enSuRuta) {
            // Whatever stands at the path: its journals go only while nobody
            // can open it. A FIFO or a device there must not hold the child.
            fd = ::open(r.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            struct stat st {};
            if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !BloqueoExclusivo(fd))
                return;
            if (enCandado)
                enCandado();
        }
        if (!aTiempo())
            return;
        struct stat st {};
        if (!EsElMismo(wal.constData(), idWal, st)) {
            c.wal = D::NoEsta;
        } else if (st.st_size == 0) {
            c.wal = ::unlink(wal.constData()) == 0 ? D::Quitado : D::Dejado;
        } else if (diarios.conPaginasPropias && c.colocada) {
            // At the path it completes the copy where it stands; beside it,
            // it takes the copy's name, and leaves the other database.
            c.wal = enSuRuta || RenombraSinReemplazar(wal.constData(), walCopia.constData()) == 0 ? D::ConLaCopia : D::Dejado;
        }
        // Its index goes with a log that went, while it is still the one opened.
        if (!EsElMismo(shm.constData(), idShm, st))
            c.shm = D::NoEsta;
        else if ((c.wal == D::NoEsta || c.wal == D::Quitado || (c.wal == D::ConLaCopia && !enSuRuta)) && aTiempo())
            c.shm = ::unlink(shm.constData()) == 0 ? D::Quitado : D::Dejado;
        // The lock goes with the child's descriptor as it ends.
    };
    // Whether the copy was put in place is known from the child's first
    // answer; what became of the journals, only from its last.
    const int respuestas = EnHijo(&c, sizeof c, [&] {
        trabajo();
        c.respondio = true;
    });
    if (respuestas == 0)
        c = Colocacion{};
    if (!c.respondio) {
        c.wal = c.shm = Colocacion::Diario::Dejado;
        if (!c.colocada)
            c.error = ETIMEDOUT;
    }
    return c;
}
