#include "platform/CapaSqlite.h"

#include <QtEndian>

#include <cstring>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

sqlite3_vfs *unixVfs = nullptr;
sqlite3_vfs capa;
sqlite3_io_methods metodos;

enum class Tipo { Otro, Base, Diario };

// One file as SQLite sees it through the layer; SQLite's own follows it in
// the same block.
struct alignas(8) Archivo {
    sqlite3_file base;
    Tipo tipo;
    bool conIndice;           // a database whose log index was mapped: WAL mode
    bool conIdentidad;
    bool suelta;              // its journals at the path are gone: away for good
    const char *rutaBase;     // the database's path (a log's too), SQLite's own text
    IdentidadArchivo identidad;
    sqlite3_file *Real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

Archivo *De(sqlite3_file *f)
{
    return reinterpret_cast<Archivo *>(f);
}

std::optional<IdentidadArchivo> IdentidadEn(const char *ruta)
{
    struct stat st {};
    if (::stat(ruta, &st) != 0)
        return std::nullopt;
    return IdentidadArchivo{quint64(st.st_dev), quint64(st.st_ino)};
}

// Whether the database stands at its path still: the file there is the one
// opened. A file of another kind (a temporary one, a journal) always does.
bool EnSuRuta(const Archivo *a)
{
    if (a->tipo == Tipo::Otro)
        return true;
    return a->conIdentidad && !a->suelta && IdentidadEn(a->rutaBase) == a->identidad;
}

int Cierra(sqlite3_file *f)
{
    sqlite3_file *real = De(f)->Real();
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}

int Lee(sqlite3_file *f, void *p, int n, sqlite3_int64 desde)
{
    sqlite3_file *real = De(f)->Real();
    return real->pMethods->xRead(real, p, n, desde);
}

int Escribe(sqlite3_file *f, const void *p, int n, sqlite3_int64 desde)
{
    Archivo *a = De(f);
    // A frame header of the log that ends a transaction names the database's
    // size (big-endian, as SQLite writes its log): once the database left its
    // path, no commit goes into this log.
    constexpr int CabeceraDeMarco = 24, CabeceraDeDiario = 32;
    if (a->tipo == Tipo::Diario && n == CabeceraDeMarco && desde >= CabeceraDeDiario
        && qFromBigEndian<quint32>(static_cast<const unsigned char *>(p) + 4) != 0 && !EnSuRuta(a))
        return SQLITE_IOERR_WRITE;
    return a->Real()->pMethods->xWrite(a->Real(), p, n, desde);
}

int Trunca(sqlite3_file *f, sqlite3_int64 tamano)
{
    return De(f)->Real()->pMethods->xTruncate(De(f)->Real(), tamano);
}

int Sincroniza(sqlite3_file *f, int banderas)
{
    return De(f)->Real()->pMethods->xSync(De(f)->Real(), banderas);
}

int Tamano(sqlite3_file *f, sqlite3_int64 *tamano)
{
    return De(f)->Real()->pMethods->xFileSize(De(f)->Real(), tamano);
}

int Bloquea(sqlite3_file *f, int nivel)
{
    Archivo *a = De(f);
    // In WAL mode a connection locks past SHARED only to checkpoint and
    // delete the log as it closes: not through the journals of another.
    if (nivel > SQLITE_LOCK_SHARED && a->conIndice && !EnSuRuta(a))
        return SQLITE_BUSY;
    return a->Real()->pMethods->xLock(a->Real(), nivel);
}

int Desbloquea(sqlite3_file *f, int nivel)
{
    return De(f)->Real()->pMethods->xUnlock(De(f)->Real(), nivel);
}

int Reservado(sqlite3_file *f, int *reservado)
{
    return De(f)->Real()->pMethods->xCheckReservedLock(De(f)->Real(), reservado);
}

int Control(sqlite3_file *f, int op, void *arg)
{
    Archivo *a = De(f);
    if (op == SQLITE_FCNTL_HAS_MOVED && a->tipo == Tipo::Base) {
        *static_cast<int *>(arg) = !EnSuRuta(a);
        return SQLITE_OK;
    }
    return a->Real()->pMethods->xFileControl(a->Real(), op, arg);
}

int Sector(sqlite3_file *f)
{
    return De(f)->Real()->pMethods->xSectorSize(De(f)->Real());
}

int Caracteristicas(sqlite3_file *f)
{
    return De(f)->Real()->pMethods->xDeviceCharacteristics(De(f)->Real());
}

int MapaIndice(sqlite3_file *f, int region, int tamano, int extiende, void volatile **p)
{
    Archivo *a = De(f);
    if (!EnSuRuta(a)) {
        *p = nullptr;
        return SQLITE_IOERR_SHMMAP;
    }
    a->conIndice = true;
    return a->Real()->pMethods->xShmMap(a->Real(), region, tamano, extiende, p);
}

int BloqueaIndice(sqlite3_file *f, int desde, int n, int banderas)
{
    Archivo *a = De(f);
    // Every read and write transaction and every checkpoint takes one of
    // these first; letting them go is always allowed.
    if ((banderas & SQLITE_SHM_LOCK) && !EnSuRuta(a))
        return SQLITE_IOERR_SHMLOCK;
    return a->Real()->pMethods->xShmLock(a->Real(), desde, n, banderas);
}

void BarreraIndice(sqlite3_file *f)
{
    De(f)->Real()->pMethods->xShmBarrier(De(f)->Real());
}

int SueltaIndice(sqlite3_file *f, int borra)
{
    return De(f)->Real()->pMethods->xShmUnmap(De(f)->Real(), borra);
}

int Trae(sqlite3_file *f, sqlite3_int64 desde, int n, void **p)
{
    return De(f)->Real()->pMethods->xFetch(De(f)->Real(), desde, n, p);
}

int Devuelve(sqlite3_file *f, sqlite3_int64 desde, void *p)
{
    return De(f)->Real()->pMethods->xUnfetch(De(f)->Real(), desde, p);
}

int Abre(sqlite3_vfs *, sqlite3_filename nombre, sqlite3_file *f, int banderas, int *salida)
{
    Archivo *a = De(f);
    a->base.pMethods = nullptr;
    a->tipo = Tipo::Otro;
    a->conIndice = false;
    a->conIdentidad = false;
    a->suelta = false;
    a->rutaBase = nullptr;
    a->identidad = {};
    sqlite3_file *real = a->Real();
    const int r = unixVfs->xOpen(unixVfs, nombre, real, banderas, salida);
    if (!real->pMethods)
        return r;
    a->base.pMethods = &metodos;
    if (r != SQLITE_OK || !nombre)
        return r;
    if (banderas & SQLITE_OPEN_MAIN_DB) {
        a->tipo = Tipo::Base;
        a->rutaBase = nombre;
        // The file at the path before and after SQLite's own test that its
        // descriptor is that file: then it is the one opened.
        int movido = 1;
        const auto antes = IdentidadEn(nombre);
        const bool igual = real->pMethods->xFileControl(real, SQLITE_FCNTL_HAS_MOVED, &movido) == SQLITE_OK && !movido;
        if (antes && igual && IdentidadEn(nombre) == antes) {
            a->identidad = *antes;
            a->conIdentidad = true;
        }
    } else if (banderas & SQLITE_OPEN_WAL) {
        // Opened for the database that stands at the path now.
        a->tipo = Tipo::Diario;
        a->rutaBase = sqlite3_filename_database(nombre);
        if (const auto id = IdentidadEn(a->rutaBase)) {
            a->identidad = *id;
            a->conIdentidad = true;
        }
    }
    return r;
}

Archivo *ArchivoDe(sqlite3 *db)
{
    sqlite3_file *f = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f
        || f->pMethods != &metodos)
        return nullptr;
    return De(f);
}

} // namespace

void CapaSqlite::Instala()
{
    static std::once_flag una;
    std::call_once(una, [] {
        unixVfs = sqlite3_vfs_find("unix");
        if (!unixVfs)
            return;
        // SQLite's own, but for opening: its other calls take no state of the
        // VFS beyond what is copied.
        capa = *unixVfs;
        capa.pNext = nullptr;
        capa.zName = "velmoran";
        capa.szOsFile = int(sizeof(Archivo)) + unixVfs->szOsFile;
        capa.xOpen = &Abre;
        metodos = sqlite3_io_methods{3,
                                     &Cierra,
                                     &Lee,
                                     &Escribe,
                                     &Trunca,
                                     &Sincroniza,
                                     &Tamano,
                                     &Bloquea,
                                     &Desbloquea,
                                     &Reservado,
                                     &Control,
                                     &Sector,
                                     &Caracteristicas,
                                     &MapaIndice,
                                     &BloqueaIndice,
                                     &BarreraIndice,
                                     &SueltaIndice,
                                     &Trae,
                                     &Devuelve};
        sqlite3_vfs_register(&capa, 1);
    });
}

std::optional<IdentidadArchivo> CapaSqlite::Identidad(sqlite3 *db)
{
    const Archivo *a = ArchivoDe(db);
    if (!a || a->tipo != Tipo::Base || !a->conIdentidad)
        return std::nullopt;
    return a->identidad;
}

void CapaSqlite::Suelta(sqlite3 *db)
{
    if (Archivo *a = ArchivoDe(db); a && a->tipo == Tipo::Base)
        a->suelta = true;
}

bool CapaSqlite::Movida(sqlite3 *db)
{
    const Archivo *a = ArchivoDe(db);
    return a && a->tipo == Tipo::Base && !EnSuRuta(a);
}
