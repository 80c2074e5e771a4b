#include "comun/ProgramaTemporal.h"
#include "platform/Empaque.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>
#include <zip.h>

namespace {

struct Entrada {
    QByteArray nombre;
    QByteArray datos = "contenido del paquete";
    zip_uint32_t modo = 0;   // Unix file type and permissions; 0 leaves libzip's own
};

// An archive as a packer would write it, with each member stored uncompressed
// so that a test can reach its bytes.
QByteArray CreaZip(const QString &ruta, const std::vector<Entrada> &entradas)
{
    zip_t *za = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    for (const Entrada &e : entradas) {
        zip_source_t *s = zip_source_buffer(za, e.datos.constData(), zip_uint64_t(e.datos.size()), 0);
        const zip_int64_t i = zip_file_add(za, e.nombre.constData(), s, ZIP_FL_ENC_RAW);
        zip_set_file_compression(za, zip_uint64_t(i), ZIP_CM_STORE, 0);
        if (e.modo)
            zip_file_set_external_attributes(za, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX, e.modo << 16);
    }
    zip_close(za);
    return LeeArchivo(ruta);
}

// Sets the "encrypted" bit in the first local and central header.
QByteArray Cifrada(QByteArray z)
{
    z[z.indexOf("PK\x03\x04") + 6] |= 1;
    z[z.indexOf("PK\x01\x02") + 8] |= 1;
    return z;
}

struct CasoHostil {
    const char *nombre;
    std::vector<Entrada> entradas;
    const char *error;
    std::function<QByteArray(QByteArray)> retoca = {};   // applied to the archive's bytes
    qint64 limite = LimiteExtraccion;
};

class ArchivoHostil : public ::testing::TestWithParam<CasoHostil> {};

const CasoHostil CasosHostiles[] = {
    {"SubeConPuntos", {{"ENV0436.db"}, {"../x"}}, "\"../x\" sale de su carpeta"},
    {"RutaAbsoluta", {{"ENV0436.db"}, {"/abs"}}, "\"/abs\" tiene una ruta absoluta"},
    {"SubeConBarraInversa", {{"ENV0436.db"}, {"..\\x"}}, "sale de su carpeta"},
    {"NombreDosVeces", {{"ENV0436.db"}, {"ENV0436.dX"}}, "tiene dos entradas de un mismo nombre",
     [](QByteArray z) { return z.replace("ENV0436.dX", "ENV0436.db"); }},
    {"MismoNombreEnOtrasLetras", {{"ENV0436.db"}, {"env0436.DB"}}, "está repetida"},
    {"Carpeta", {{"ENV0436.db"}, {"Datos/"}}, "\"Datos/\" es una carpeta"},
    {"MiembroEsCarpeta", {{"ENV0436.db", "x", S_IFDIR | 0755}}, "es una carpeta"},
    {"Enlace", {{"ENV0436.db", "/etc/passwd", S_IFLNK | 0777}}, "es un enlace"},
    {"Cifrada", {{"ENV0436.db"}}, "está cifrada", Cifrada},
    {"PasaDelLimite", {{"ENV0436.db", QByteArray(4096, 'A')}}, "dice medir 4096 bytes, más de los 4000 que puede contener; no se extrajo.", {}, 4000},
    {"DirectorioTruncado", {{"ENV0436.db"}}, "no es un archivo comprimido .zip o llegó incompleto.", [](QByteArray z) { return z.chopped(30); }},
    {"CrcErroneo", {{"ENV0436.db"}}, "está dañado", [](QByteArray z) { return z.replace("contenido", "CONTENIDO"); }},
    {"SinElMiembro", {{"OTRO.db"}}, "no contiene el archivo ENV0436.db"},
};

TEST_P(ArchivoHostil, SeRechazaConSuMotivoYNoDejaArchivo)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("Recive.zip");
    const QByteArray bytes = CreaZip(zip, GetParam().entradas);
    ASSERT_TRUE(EscribeArchivo(zip, GetParam().retoca ? GetParam().retoca(bytes) : bytes));
    QString error;
    EXPECT_FALSE(ExtraeMiembro(zip, "ENV0436.db", dir.filePath("ENV0436.db"), GetParam().limite, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().error)) && error.contains(zip)) << qPrintable(error);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Recive.zip"});
}

INSTANTIATE_TEST_SUITE_P(Empaque, ArchivoHostil, ::testing::ValuesIn(CasosHostiles),
                         [](const auto &i) { return std::string(i.param.nombre); });

TEST(Empaque, EmpacaYExtraeElMismoContenidoSinDejarTemporales)
{
    QTemporaryDir dir;
    const QByteArray datos = QByteArray("1,7919,5831,3743,").repeated(20000);
    ASSERT_TRUE(EscribeArchivo(dir.filePath("origen.db"), datos));
    QFile::setPermissions(dir.filePath("origen.db"), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(EscribeArchivo(dir.filePath("R.zip"), "respaldo anterior"));
    QString error;
    ASSERT_TRUE(EmpacaArchivo(dir.filePath("origen.db"), "BKUP0436.db", dir.filePath("R.zip"), &error)) << qPrintable(error);
    // The member name is matched without regard to case, as packers upper-case it.
    ASSERT_TRUE(ExtraeMiembro(dir.filePath("R.zip"), "bkup0436.DB", dir.filePath("copia.db"), LimiteExtraccion, &error))
        << qPrintable(error);
    EXPECT_EQ(LeeArchivo(dir.filePath("copia.db")), datos);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"copia.db", "origen.db", "R.zip"}));
    // A private copy is stored as any file of the user's: readable by all under umask 022.
    const mode_t mascara = ::umask(022);
    ::umask(mascara);
    zip_t *za = zip_open(QFile::encodeName(dir.filePath("R.zip")).constData(), ZIP_RDONLY, nullptr);
    zip_uint32_t atributos = 0;
    zip_file_get_external_attributes(za, 0, 0, nullptr, &atributos);
    zip_close(za);
    EXPECT_EQ(atributos >> 16, zip_uint32_t(S_IFREG | (0666 & ~mascara)));
}

TEST(Empaque, SinEspacioParaElMiembroNoSeEscribeNada)
{
    QTemporaryDir dir;
    DiscoPequeno disco(dir.filePath("lleno"), "1m");
    if (!disco.Montado())
        GTEST_SKIP() << "no se pudo montar un disco pequeño";
    CreaZip(dir.filePath("R.zip"), {{"ENV0436.db", QByteArray(2 << 20, 'A')}});
    QString error;
    EXPECT_FALSE(ExtraeMiembro(dir.filePath("R.zip"), "ENV0436.db", dir.filePath("lleno/ENV0436.db"), LimiteExtraccion, &error));
    EXPECT_EQ(error, "No hay espacio suficiente en el disco para escribir el archivo " + dir.filePath("lleno/ENV0436.db")
                         + "; libere espacio en ese disco y vuelva a intentarlo (necesita 2097152 bytes y hay 1048576 libres).");
    EXPECT_EQ(QDir(dir.filePath("lleno")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
