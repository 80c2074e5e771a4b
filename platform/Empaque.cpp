#include "platform/Empaque.h"

#include "platform/ArchivoDestino.h"
#include "platform/BaseDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <vector>
#include <zip.h>

namespace {

constexpr qint64 Bloque = qint64(1) << 16;

QString Nativo(const QString &ruta)
{
    return QDir::toNativeSeparators(ruta);
}

QString TextoCodigo(int codigo)
{
    zip_error_t e;
    zip_error_init_with_code(&e, codigo);
    const QString texto = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return texto;
}

struct DescartaZip {
    void operator()(zip_t *za) const { zip_discard(za); }
};
using Zip = std::unique_ptr<zip_t, DescartaZip>;
struct CierraMiembro {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
using Miembro = std::unique_ptr<zip_file_t, CierraMiembro>;

// `mostrado` is the archive's name in messages: a file being written is shown
// under its destination's name, not its temporary one.
Zip AbreLectura(const QString &archivo, const QString &mostrado, QString *error)
{
    if (BaseDatos::EsArchivoDeBaseAbierta(archivo)) {
        *error = BaseDatos::TextoBaseAbierta(mostrado);
        return Zip(nullptr);
    }
    int codigo = 0;
    zip_t *za = zip_open(QFile::encodeName(archivo).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &codigo);
    if (!za && codigo == ZIP_ER_EXISTS)
        *error = QStringLiteral("El archivo comprimido %1 no se puede usar: tiene dos entradas de un mismo nombre.")
                     .arg(Nativo(mostrado));
    else if (!za && codigo == ZIP_ER_NOZIP)
        *error = QStringLiteral("El archivo %1 no es un archivo comprimido .zip o llegó incompleto.").arg(Nativo(mostrado));
    else if (!za && (codigo == ZIP_ER_INCONS || codigo == ZIP_ER_CRC || codigo == ZIP_ER_EOF))
        *error = QStringLiteral("El archivo comprimido %1 está dañado o incompleto.").arg(Nativo(mostrado));
    else if (!za)
        *error = QStringLiteral("No se pudo leer el archivo comprimido %1 (%2).")
                     .arg(Nativo(mostrado), TextoCodigo(codigo));
    return Zip(za);
}

// Why an entry may not stand in an archive that is unpacked, or an empty text.
QString MotivoRechazo(zip_t *za, zip_uint64_t i, const QString &nombre)
{
    if (nombre.isEmpty())
        return QStringLiteral("no tiene nombre");
    if (nombre.startsWith(QLatin1Char('/')) || nombre.startsWith(QLatin1Char('\\'))
        || (nombre.size() > 1 && nombre.at(1) == QLatin1Char(':')))
        return QStringLiteral("tiene una ruta absoluta");
    // Archives made on Windows separate folders with backslashes.
    static const QRegularExpression separador(QStringLiteral("[/\\\\]"));
    if (nombre.split(separador).contains(QStringLiteral("..")))
        return QStringLiteral("sale de su carpeta");
    if (nombre.endsWith(QLatin1Char('/')) || nombre.endsWith(QLatin1Char('\\')))
        return QStringLiteral("es una carpeta");
    zip_uint8_t sistema = 0;
    zip_uint32_t atributos = 0;
    if (zip_file_get_external_attributes(za, i, 0, &sistema, &atributos) == 0) {
        const mode_t modo = mode_t(atributos >> 16);
        if (sistema == ZIP_OPSYS_UNIX && S_ISLNK(modo))
            return QStringLiteral("es un enlace");
        if ((sistema == ZIP_OPSYS_UNIX && S_ISDIR(modo)) || (atributos & 0x10))   // 0x10: MS-DOS folder
            return QStringLiteral("es una carpeta");
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, i, 0, &st) != 0)
        return QStringLiteral("no se puede leer");
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return QStringLiteral("está cifrada");
    return {};
}

// Checks every entry of the archive and finds the member; -1 with `error` when
// the archive may not be unpacked.
zip_int64_t BuscaMiembro(zip_t *za, const QString &mostrado, const QString &miembro, qint64 limite,
                         zip_stat_t *st, QString *error)
{
    const zip_int64_t entradas = zip_get_num_entries(za, 0);
    QSet<QString> vistos;
    zip_int64_t encontrado = -1;
    for (zip_int64_t i = 0; i < entradas; ++i) {
        const char *c = zip_get_name(za, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString nombre = c ? QString::fromUtf8(c) : QString();
        QString motivo = MotivoRechazo(za, zip_uint64_t(i), nombre);
        if (motivo.isEmpty() && vistos.contains(nombre.toLower()))
            motivo = QStringLiteral("está repetida");
        if (!motivo.isEmpty()) {
            *error = QStringLiteral("El archivo comprimido %1 no se puede usar: su entrada \"%2\" %3.")
                         .arg(Nativo(mostrado), nombre, motivo);
            return -1;
        }
        vistos.insert(nombre.toLower());
        if (nombre.compare(miembro, Qt::CaseInsensitive) == 0)
            encontrado = i;
    }
    if (encontrado < 0) {
        *error = QStringLiteral("El archivo comprimido %1 no contiene el archivo %2.").arg(Nativo(mostrado), miembro);
        return -1;
    }
    zip_stat_init(st);
    if (zip_stat_index(za, zip_uint64_t(encontrado), 0, st) != 0 || !(st->valid & ZIP_STAT_SIZE)
        || st->size > zip_uint64_t(limite)) {
        *error = QStringLiteral("El archivo %1 del archivo comprimido %2 dice medir %3 bytes, más de los %4 "
                                "que puede contener; no se extrajo.")
                     .arg(miembro, Nativo(mostrado))
                     .arg(st->size)
                     .arg(limite);
        return -1;
    }
    return encontrado;
}

// Reads the member through, handing each block to `usa` (which sets `error`
// when it refuses one). A member that unpacks past `limite` or fails its CRC
// is an error.
bool LeeMiembro(zip_t *za, zip_int64_t indice, const QString &mostrado, const QString &miembro, qint64 limite,
                const std::function<bool(const char *, qint64)> &usa, QString *error)
{
    const auto danado = [&](const QString &motivo) {
        *error = QStringLiteral("No se pudo leer el archivo %1 del archivo comprimido %2: está dañado (%3).")
                     .arg(miembro, Nativo(mostrado), motivo);
        return false;
    };
    Miembro f(zip_fopen_index(za, zip_uint64_t(indice), 0));
    if (!f)
        return danado(QString::fromUtf8(zip_strerror(za)));
    std::vector<char> bloque(Bloque);
    qint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(f.get(), bloque.data(), zip_uint64_t(bloque.size()));
        if (n < 0)
            return danado(QString::fromUtf8(zip_file_strerror(f.get())));
        if (n == 0)
            return true;
        total += n;
        if (total > limite) {
            *error = QStringLiteral("El archivo %1 del archivo comprimido %2 pasa del tamaño permitido (%3 bytes).")
                         .arg(miembro, Nativo(mostrado))
                         .arg(limite);
            return false;
        }
        if (!usa(bloque.data(), n))
            return false;
    }
}

bool CarpetaExiste(const QString &destino, QString *error)
{
    const QFileInfo carpeta(QFileInfo(destino).absolutePath());
    if (carpeta.isDir())
        return true;
    *error = QStringLiteral("No existe la carpeta %1.").arg(Nativo(carpeta.filePath()));
    return false;
}

bool EscribeZip(const QString &origen, const QString &miembro, const QString &archivo, const QString &mostrado,
                QString *error)
{
    const auto falla = [&](const QString &motivo) {
        *error = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(Nativo(mostrado), motivo);
        return false;
    };
    int codigo = 0;
    Zip za(zip_open(QFile::encodeName(archivo).constData(), ZIP_CREATE | ZIP_EXCL, &codigo));
    if (!za)
        return falla(TextoCodigo(codigo));
    zip_source_t *fuente = zip_source_file(za.get(), QFile::encodeName(origen).constData(), 0, -1);
    if (!fuente)
        return falla(QString::fromUtf8(zip_strerror(za.get())));
    const zip_int64_t indice = zip_file_add(za.get(), miembro.toUtf8().constData(), fuente, ZIP_FL_ENC_UTF_8);
    if (indice < 0) {
        zip_source_free(fuente);
        return falla(QString::fromUtf8(zip_strerror(za.get())));
    }
    // Stored as a new file of the user's would be (0644 under the usual umask),
    // not with the private mode of the temporary copy.
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    zip_file_set_external_attributes(za.get(), zip_uint64_t(indice), 0, ZIP_OPSYS_UNIX,
                                     zip_uint32_t(S_IFREG | (0666 & ~mascara)) << 16);
    // libzip's default is deflate's slowest level, many times slower on a
    // database for a few per cent of size.
    zip_set_file_compression(za.get(), zip_uint64_t(indice), ZIP_CM_DEFLATE, 1);
    // zip_close writes the whole archive; only then is it complete. It removes
    // what it wrote on failure, so a full disk is known by its error only.
    if (zip_close(za.get()) != 0) {
        zip_error_t *e = zip_get_error(za.get());
        if (zip_error_system_type(e) == ZIP_ET_SYS && zip_error_code_system(e) == ENOSPC) {
            *error = TextoDiscoLleno(mostrado, QString::fromUtf8(zip_error_strerror(e)));
            return false;
        }
        return falla(QString::fromUtf8(zip_strerror(za.get())));
    }
    za.release();
    return true;
}

} // namespace

bool EmpacaArchivo(const QString &origen, const QString &miembro, const QString &destino, QString *error,
                   const std::function<void()> &antesDeColocar)
{
    QFile fuente(origen);
    if (!fuente.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("No se pudo leer el archivo %1: %2").arg(Nativo(origen), fuente.errorString());
        return false;
    }
    if (!CarpetaExiste(destino, error))
        return false;
    ArchivoDestino salida(destino);
    if (!EscribeZip(origen, miembro, salida.RutaTemporal(), destino, error))
        return false;

    // Read back what was written: one member, of the source's size, whose bytes
    // are the source's and pass the archive's CRC.
    Zip za = AbreLectura(salida.RutaTemporal(), destino, error);
    if (!za)
        return false;
    zip_stat_t st;
    const qint64 tamano = fuente.size();
    const zip_int64_t indice = BuscaMiembro(za.get(), destino, miembro, tamano, &st, error);
    if (indice < 0)
        return false;
    const auto distinto = [&] {
        *error = QStringLiteral("El archivo comprimido %1 no reproduce el archivo %2, no se guardó.")
                     .arg(Nativo(destino), Nativo(origen));
        return false;
    };
    if (zip_get_num_entries(za.get(), 0) != 1 || st.size != zip_uint64_t(tamano))
        return distinto();
    QByteArray original;
    const bool leido = LeeMiembro(
        za.get(), indice, destino, miembro, tamano,
        [&](const char *datos, qint64 n) {
            original = fuente.read(n);
            return (original.size() == n && std::memcmp(original.constData(), datos, size_t(n)) == 0) || distinto();
        },
        error);
    if (!leido)
        return false;
    za.reset();
    if (antesDeColocar)
        antesDeColocar();
    return salida.Confirma(error);
}

bool ExtraeMiembro(const QString &archivo, const QString &miembro, const QString &destino, qint64 limite,
                   QString *error)
{
    if (!QFileInfo(archivo).isFile()) {
        *error = QStringLiteral("No existe el archivo comprimido %1.").arg(Nativo(archivo));
        return false;
    }
    Zip za = AbreLectura(archivo, archivo, error);
    if (!za)
        return false;
    zip_stat_t st;
    const zip_int64_t indice = BuscaMiembro(za.get(), archivo, miembro, limite, &st, error);
    if (indice < 0 || !CarpetaExiste(destino, error))
        return false;
    // Refused before a byte is written, rather than filling the disk.
    const QStorageInfo disco(QFileInfo(destino).absolutePath());
    if (disco.isValid() && disco.bytesAvailable() < qint64(st.size)) {
        *error = TextoDiscoLleno(destino, QStringLiteral("necesita %1 bytes y hay %2 libres").arg(st.size).arg(disco.bytesAvailable()));
        return false;
    }

    ArchivoDestino salida(destino);
    QFile f(salida.RutaTemporal());
    const auto noEscrito = [&] {
        *error = DiscoLleno(salida.RutaTemporal())
                     ? TextoDiscoLleno(destino, f.errorString())
                     : QStringLiteral("No se pudo escribir el archivo %1: %2").arg(Nativo(destino), f.errorString());
        return false;
    };
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return noEscrito();
    // Never more than the member declares: writing stops the moment it passes.
    const bool leido = LeeMiembro(
        za.get(), indice, archivo, miembro, qint64(st.size),
        [&](const char *datos, qint64 n) { return f.write(datos, n) == n || noEscrito(); }, error);
    if (!leido)
        return false;
    if (!f.flush())
        return noEscrito();
    f.close();
    return salida.Confirma(error);
}
