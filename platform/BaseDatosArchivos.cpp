// The files of the sessions: which files are theirs, and what becomes of a
// file moved, deleted or replaced under an open session.
#include "platform/BaseDatos.h"

#include "platform/ArchivoDestino.h"
#include "platform/SesionesBaseDatos.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using SesionesBaseDatos::Sesiones;

namespace {

// The same file on the disk, whatever the path (links, relative names).
bool MismoArchivo(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

enum class ParteBase { Ninguna, Base, Diario };

// Which file of an open session the path names.
ParteBase ParteDeBaseAbierta(const QString &ruta)
{
    for (const BaseDatos *s : Sesiones()) {
        const QString base = s->Archivo();
        if (base.isEmpty())
            continue;
        if (MismoArchivo(ruta, base))
            return ParteBase::Base;
        for (const char *sufijo : {"-wal", "-shm", "-journal"}) {
            const QLatin1String suf(sufijo);
            if (MismoArchivo(ruta, base + suf) || (ruta.endsWith(suf) && MismoArchivo(ruta.chopped(suf.size()), base)))
                return ParteBase::Diario;
        }
    }
    return ParteBase::Ninguna;
}

QByteArray CabeceraDe(const QString &archivo, int bytes)
{
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

int AppIdDe(const QString &archivo)
{
    switch (ParteDeBaseAbierta(archivo)) {
    case ParteBase::Base: return BaseDatos::IdAplicacion;   // a session already checked it
    case ParteBase::Diario: return 0;
    case ParteBase::Ninguna: break;
    }
    const QByteArray cab = CabeceraDe(archivo, 100);
    if (cab.size() < 100 || !cab.startsWith("SQLite format 3"))
        return 0;
    // application_id is a big-endian integer at offset 68 of the header.
    const auto *b = reinterpret_cast<const unsigned char *>(cab.constData() + 68);
    return int((quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]));
}

} // namespace

bool BaseDatos::EsBaseVelmoran(const QString &archivo)
{
    return AppIdDe(archivo) == IdAplicacion;
}

bool BaseDatos::EsArchivoDeBaseAbierta(const QString &ruta)
{
    return ParteDeBaseAbierta(ruta) != ParteBase::Ninguna;
}

QString BaseDatos::TextoBaseAbierta(const QString &ruta)
{
    return QStringLiteral("El archivo %1 es la Base de Datos que el programa tiene abierta, elija otro archivo, "
                          "verifique por favor.....")
        .arg(QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()));
}

bool BaseDatos::EsArchivoSqlite(const QString &ruta)
{
    return EsArchivoDeBaseAbierta(ruta) || CabeceraDe(ruta, 16) == QByteArray("SQLite format 3", 16);
}

bool BaseDatos::EsBaseSana(const QString &archivo, const QStringList &tablas)
{
    if (!EsBaseVelmoran(archivo))
        return false;
    static int siguiente = 0;
    const QString nombre = QStringLiteral("RevisaBase_%1").arg(++siguiente);
    bool sana = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(archivo).absoluteFilePath()).toString(QUrl::FullyEncoded)
                           + QStringLiteral("?mode=ro"));
        if (db.open()) {
            QSqlQuery q(db);
            sana = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next()
                   && q.value(0).toString() == QLatin1String("ok");
            for (const QString &tabla : tablas) {
                if (!sana)
                    break;
                q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
                q.addBindValue(tabla);
                sana = q.exec() && q.next();
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return sana;
}

namespace {
// A name beside `archivo` that nothing stands at: "<name>-recuperada.<ext>",
// then "-recuperada-2" and on.
QString NombreLibreJunto(const QString &archivo)
{
    const QFileInfo fi(archivo);
    for (int n = 1;; ++n) {
        const QString ruta = fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral("-recuperada")
                             + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QLatin1Char('.') + fi.suffix();
        const QFileInfo libre(ruta);
        if (!libre.exists() && !libre.isSymLink())
            return ruta;
    }
}
} // namespace

QString BaseDatos::TextoMovida(const QString &archivo, const QString &queNo)
{
    return QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba abierto; "
                          "%2. Devuelva el archivo a su lugar y vuelva a intentarlo, o cierre el programa: al cerrarlo, "
                          "lo que ya estaba guardado se escribe de nuevo en ese lugar o, si otro archivo lo ocupa, en un "
                          "archivo nuevo junto a él, y se le dice dónde.....")
        .arg(QDir::toNativeSeparators(archivo), queNo);
}

void BaseDatos::Cierra()
{
    // SQLite closes a moved file without moving its log into it: what was
    // confirmed would stay only in a -wal beside the old name. Put it in
    // the file that was open (a renamed file keeps it), and in a copy at
    // the path, or beside it when another file stands there.
    if (EstaAbierta() && !SigueEnSuRuta())
        GuardaLoConfirmado();
    CierraConexion();
}

void BaseDatos::QuitaDiarios()
{
    // Asked of the kernel on the files themselves: a database put at the old
    // path takes the -wal and -shm found there, and another program then
    // locks the -shm, or only that database when it keeps its log index in
    // memory (exclusive locking). Any lock, a journal that is no longer the
    // file SQLite opened, or anything that cannot be told, and they stay.
    if (diarios_.empty())
        return;
    std::vector<ArchivoAProbar> archivos{{archivo_, std::nullopt}};
    for (const auto &[ruta, id] : diarios_)
        archivos.push_back({ruta, id});
    const std::vector<UsoDeArchivo> usos = UsoDeArchivos(archivos);
    using E = UsoDeArchivo::Estado;
    if (usos.front().estado != E::NoExiste && usos.front().estado != E::Libre && usos.front().estado != E::Otro)
        return;
    for (size_t i = 1; i < usos.size(); ++i)
        if (usos[i].estado != E::Libre)
            return;
    for (const auto &[ruta, id] : diarios_)
        if (IdentidadArchivo::En(ruta) == id)
            ::unlink(QFile::encodeName(ruta).constData());
}

VuelveAlTerminar::~VuelveAlTerminar()
{
    try {
        bd_.VuelveASuRuta();
    } catch (const ErrorBD &e) {
        // Written back, but not opened again there: said as a closing says it.
        if (bd_.AvisoAlCerrar)
            bd_.AvisoAlCerrar(e.Descripcion());
    }
}

bool BaseDatos::VuelveASuRuta()
{
    if (!EstaAbierta() || SigueEnSuRuta())
        return true;
    if (OtroEnSuRuta() || !GuardaLoConfirmado())
        return false;
    // The copy stands at the path now: closing must not write it once more.
    const QString archivo = archivo_;
    CierraConexion();
    Abre(archivo);
    return true;
}

bool BaseDatos::OtroEnSuRuta() const
{
    const QFileInfo enSuRuta(archivo_);
    return !SigueEnSuRuta() && (enSuRuta.exists() || enSuRuta.isSymLink());
}

bool BaseDatos::GuardaLoConfirmado()
{
    const QString ruta = QDir::toNativeSeparators(archivo_);
    const bool ocupada = OtroEnSuRuta();
    const QString destino = ocupada ? NombreLibreJunto(archivo_) : archivo_;
    QString error;
    try {
        Ejecuta(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        // Written under a temporary name and put in place only where nothing stands.
        ArchivoDestino copia(destino);
        Ejecuta(QStringLiteral("VACUUM INTO ?"), {copia.RutaTemporal()});
        copia.Confirma(&error, ArchivoDestino::Reemplazo::No);
    } catch (const ErrorBD &e) {
        error = e.Descripcion();
    }
    QString texto;
    if (!error.isEmpty())
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba "
                               "abierto, y lo que estaba guardado no se pudo escribir en %2: %3.")
                    .arg(ruta, QDir::toNativeSeparators(destino), error);
    else if (ocupada)
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue reemplazado por otro mientras el programa estaba "
                               "abierto. Lo que estaba guardado se escribió en el archivo nuevo %2; el archivo que "
                               "ocupa ahora %1 no se modificó.")
                    .arg(ruta, QDir::toNativeSeparators(destino));
    else
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba "
                               "abierto. Lo que estaba guardado se escribió de nuevo en %1.")
                    .arg(ruta);
    if (AvisoAlCerrar)
        AvisoAlCerrar(texto);
    return error.isEmpty();
}

bool BaseDatos::SigueEnSuRuta() const
{
    // The file the connection holds is the one it opened: its device and
    // inode must still be those of the path.
    struct stat st {};
    if (::stat(QFile::encodeName(archivo_).constData(), &st) != 0 || st.st_dev != dispositivo_ || st.st_ino != nodo_)
        return false;
    int movido = 0;
    return sqlite3_file_control(Manejador(), "main", SQLITE_FCNTL_HAS_MOVED, &movido) == SQLITE_OK && !movido;
}
