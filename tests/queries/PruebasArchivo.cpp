// Query files: the fixed-width record, a round trip and every refusal.
#include "CincoEventos.h"
#include "queries/ArchivoConsulta.h"

namespace {

class Archivo : public CincoEventos {
protected:
    QString En(const QString &nombre) const { return nombre.isEmpty() ? QString() : QDir(p.Carpeta()).filePath(nombre); }
    bool Graba(const DatosConsulta &d, const QString &nombre, bool generador = false)
    {
        dialogo.ruta = En(nombre);
        return GrabaConsulta(p.mensajes, dialogo, p.Carpeta(), d, generador);
    }
    bool Carga(const QString &nombre, OrigenConsulta origen, bool generador, DatosConsulta &d)
    {
        dialogo.ruta = En(nombre);
        return CargaConsulta(p.mensajes, dialogo, p.Carpeta(), origen, generador, d);
    }
};

DatosConsulta Filtro(const QString &criterio, const QString &campo = {}, const QString &valor = {})
{
    return {OrigenConsulta::Hoja, TipoFiltro, campo, "=", valor, criterio, {}};
}

TEST_F(Archivo, FiltroGrabadoEnSuFormatoFijo)
{
    ASSERT_TRUE(Graba(Filtro("E.CodSexo = 2"), "filtro"));   // no extension: .sql is added
    const QByteArray golden = "14" + QByteArray(30, ' ') + "=   " + QByteArray(100, ' ') + "E.CodSexo = 2"
                              + QByteArray(1000 - 13, ' ') + "\r\n";
    EXPECT_TRUE(LeeArchivo(En("filtro.sql")) == golden && p.mensajes.cajas.isEmpty());
}

TEST_F(Archivo, IdaYVueltaConEneYSaltosDeLinea)
{
    DatosConsulta d{OrigenConsulta::Tabla, 1, "E.Paterno", "=", "PEÑA  ", "E.Paterno = 'PEÑA'\nAnd E.Edad > 10",
                    {"E.CLUES", "F.Diagnosticos", "P.EfectosAgresor", "E.NombreResponsable"}};
    QDir(p.Carpeta()).mkdir("dir.con.punto");   // a dot in the folder is no extension
    ASSERT_TRUE(Graba(d, "dir.con.punto/Exporta.SqL", true));
    const QByteArray bytes = LeeArchivo(En("dir.con.punto/Exporta.SqL"));
    EXPECT_EQ(bytes.mid(36 + 2, 1), QByteArray("\xD1"));        // Ñ as one byte of code page 1252
    EXPECT_EQ(bytes.mid(1136), "4  E.CLUES,F.Diagnosticos,P.EfectosAgresor,E.NombreResponsable,\r\n");
    DatosConsulta leidos;
    ASSERT_TRUE(Carga("dir.con.punto/Exporta.SqL", OrigenConsulta::Tabla, true, leidos));
    // The padding goes, the blanks typed with the value too.
    EXPECT_EQ(QList<QVariant>({leidos.criterio, leidos.valor, leidos.campo, leidos.tipo, leidos.seleccion}),
              QList<QVariant>({d.criterio, "PEÑA", d.campo, 1, d.seleccion}));
}

TEST_F(Archivo, CadaRechazoConSuMensaje)
{
    const std::tuple<DatosConsulta, const char *, bool, const char *> casos[] = {
        {Filtro("E.Edad > 1"), "a.sql", true, "No ha seleccionado ningún campo para exportar"},
        {Filtro(""), "a.sql", false, "No ha seleccionado ningún criterio"},
        {Filtro(" ", "E.Edad", "1"), "", false, "No proporciono ningún nombre de archivo, rectifique......"},
        {Filtro("E.Edad > 1"), "a.txt", false, "Proporciono una extensión diferente a SQL, rectifique......"},
        {Filtro(QString(1001, 'X')), "a.sql", false,
         "El criterio tiene más de 1000 caracteres y no cabe en el archivo de consulta, verifique por favor......"},
        {Filtro("E.Edad > 1", "E.Edad", QString(101, '1')), "a.sql", false,
         "El valor tiene más de 100 caracteres y no cabe en el archivo de consulta, verifique por favor......"},
        {Filtro("E.Paterno = 'ŁÓDŹ'"), "a.sql", false,
         "El criterio tiene caracteres que el archivo de consulta no puede guardar (ŁŹ), verifique por favor......"},
    };
    for (const auto &[datos, nombre, generador, mensaje] : casos) {
        p.mensajes.Limpia();
        EXPECT_FALSE(Graba(datos, nombre, generador)) << mensaje;
        EXPECT_EQ(p.mensajes.Ultimo() + "|" + p.mensajes.cajas.value(0).titulo, QString::fromUtf8(mensaje) + "|Exportar");
    }
    EXPECT_FALSE(QFile::exists(En("a.sql")) || QFile::exists(En("a.txt")));
}

// A folder that cannot be written, or is not there, is named.
TEST_F(Archivo, UnaCarpetaSinEscrituraOQueFaltaSeNombra)
{
    CarpetaSoloLectura soloLectura(En("solo"));
    if (!soloLectura.Lista())
        GTEST_SKIP() << "no se pudo hacer una carpeta de solo lectura";
    EXPECT_FALSE(Graba(Filtro("E.Edad > 1"), "solo/a.sql"));
    EXPECT_EQ(p.mensajes.Ultimo(), "No se puede escribir en la carpeta " + En("solo") + ": esa carpeta debe permitir "
                                   "escritura, verifique por favor.....");
    EXPECT_FALSE(Graba(Filtro("E.Edad > 1"), "no/a.sql"));
    EXPECT_EQ(p.mensajes.Ultimo(), "No existe la carpeta " + En("no") + "; elija una carpeta que exista para el archivo a.sql.");
}

TEST_F(Archivo, ArchivosRechazadosAlCargar)
{
    ASSERT_TRUE(Graba(Filtro("E.Edad > 1"), "filtro.sql"));
    ASSERT_TRUE(Graba({OrigenConsulta::Hoja, 0, {}, "=", {}, "E.Edad > 1", {"E.Edad"}}, "exporta.sql", true));
    QByteArray ajeno = LeeArchivo(En("exporta.sql"));
    EscribeArchivo(En("corto.sql"), ajeno.left(1135));
    EscribeArchivo(En("campo.sql"), ajeno.replace("E.Edad,", "X.Nada,"));
    EscribeArchivo(En("nota.txt"), "");
    EscribeArchivo(En("basura.sql"), "14" + QByteArray(1134, '\x01') + "\r\n");
    const std::tuple<const char *, OrigenConsulta, bool, const char *> casos[] = {
        {"filtro.sql", OrigenConsulta::ListaCIE10, false, "La consulta seleccionada no corresponde a CATCIE10, verifique por favor......"},
        {"exporta.sql", OrigenConsulta::Hoja, false, "La consulta seleccionada no corresponde a FILTROS, verifique por favor......"},
        {"filtro.sql", OrigenConsulta::Hoja, true, "La consulta seleccionada no corresponde a EXPORTAR, verifique por favor......"},
        {"corto.sql", OrigenConsulta::Hoja, true, "El archivo no es un archivo de consultas, verifique por favor......"},
        {"campo.sql", OrigenConsulta::Hoja, true, "El archivo nombra un campo desconocido: X.Nada, verifique por favor......"},
        {"basura.sql", OrigenConsulta::Hoja, false, "El archivo no es un archivo de consultas, verifique por favor......"},
        {"nota.txt", OrigenConsulta::Hoja, false, "Formato de archivo invalido, extensión diferente a SQL, verifique por favor......"},
        {"", OrigenConsulta::Hoja, false, "No proporciono ningún nombre de archivo, rectifique......"},
    };
    for (const auto &[nombre, origen, generador, mensaje] : casos) {
        p.mensajes.Limpia();
        DatosConsulta d;
        d.criterio = "sin tocar";
        EXPECT_FALSE(Carga(nombre, origen, generador, d)) << nombre;
        EXPECT_EQ(p.mensajes.Ultimo() + "|" + d.criterio, QString::fromUtf8(mensaje) + "|sin tocar");
    }
    // A query file that is the working database is refused unread.
    QFile::link(p.ctx->ArchivoBD, En("base.sql"));
    DatosConsulta d;
    EXPECT_FALSE(Carga("base.sql", OrigenConsulta::Hoja, false, d));
    EXPECT_EQ(p.mensajes.Ultimo(), "El archivo " + En("base.sql") + " es la Base de Datos que el programa tiene abierta, elija otro "
                                                                    "archivo, verifique por favor.....");
    EXPECT_EQ(BloqueosPerdidos(p.ctx->ArchivoBD), "");
}

} // namespace
