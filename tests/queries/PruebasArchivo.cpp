// Query files: the fixed-width record, round trips and every refusal.
#include "comun/ProgramaTemporal.h"
#include "comun/DialogoFijo.h"
#include "queries/ArchivoConsulta.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class Archivo : public ::testing::Test {
protected:
    QString Ruta(const QString &nombre) const { return QDir(prog.Carpeta()).filePath(nombre); }
    bool Graba(const DatosConsulta &d, const QString &nombre, bool generador = false)
    {
        dialogo.ruta = nombre.isEmpty() ? QString() : Ruta(nombre);
        return GrabaConsulta(prog.mensajes, dialogo, prog.Carpeta(), d, generador);
    }
    bool Carga(const QString &nombre, OrigenConsulta origen, bool generador, DatosConsulta &d)
    {
        dialogo.ruta = nombre.isEmpty() ? QString() : Ruta(nombre);
        return CargaConsulta(prog.mensajes, dialogo, prog.Carpeta(), origen, generador, d);
    }
    ProgramaTemporal prog;
    DialogoFijo dialogo;
};

DatosConsulta Filtro(const QString &criterio, const QString &campo = {}, const QString &valor = {})
{
    return {OrigenConsulta::Hoja, TipoFiltro, campo, "=", valor, criterio, {}};
}

TEST_F(Archivo, FiltroGrabadoEnSuFormatoFijo)
{
    ASSERT_TRUE(Graba(Filtro("E.CodSexo = 2"), "filtro"));   // no extension: .sql is added
    EXPECT_EQ(dialogo.pedido, "Exportar Datos|" + prog.Carpeta() + "|Consulta|Archivos de Consultas (*.sql)");
    const QByteArray golden = "14" + QByteArray(30, ' ') + "=   " + QByteArray(100, ' ') + "E.CodSexo = 2"
                              + QByteArray(1000 - 13, ' ') + "\r\n";
    EXPECT_TRUE(LeeArchivo(Ruta("filtro.sql")) == golden && prog.mensajes.cajas.isEmpty());
}

TEST_F(Archivo, IdaYVueltaConEneYSaltosDeLinea)
{
    DatosConsulta d{OrigenConsulta::Tabla, 1, "E.Paterno", "=", "PEÑA  ", "E.Paterno = 'PEÑA'\nAnd E.Edad > 10",
                    {"E.CLUES", "F.Diagnosticos", "P.EfectosAgresor", "E.NombreResponsable"}};
    QDir(prog.Carpeta()).mkdir("dir.con.punto");   // a dot in the folder is no extension
    ASSERT_TRUE(Graba(d, "dir.con.punto/Exporta.SqL", true));
    const QByteArray bytes = LeeArchivo(Ruta("dir.con.punto/Exporta.SqL"));
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
    const QString largo(1001, 'X');
    struct Caso {
        DatosConsulta datos;
        QString nombre;
        bool generador;
        QString mensaje;
    };
    const QList<Caso> casos = {
        {Filtro("E.Edad > 1"), "a.sql", true, "No ha seleccionado ningún campo para exportar"},
        {Filtro(""), "a.sql", false, "No ha seleccionado ningún criterio"},
        {Filtro(" ", "E.Edad", "1"), "", false, "No proporciono ningún nombre de archivo, rectifique......"},
        {Filtro("E.Edad > 1"), "a.txt", false, "Proporciono una extensión diferente a SQL, rectifique......"},
        {Filtro(largo), "a.sql", false,
         "El criterio tiene más de 1000 caracteres y no cabe en el archivo de consulta, verifique por favor......"},
        {Filtro("E.Edad > 1", "E.Edad", QString(101, '1')), "a.sql", false,
         "El valor tiene más de 100 caracteres y no cabe en el archivo de consulta, verifique por favor......"},
        {Filtro("E.Paterno = 'ŁÓDŹ'"), "a.sql", false,
         "El criterio tiene caracteres que el archivo de consulta no puede guardar (ŁŹ), verifique por favor......"},
    };
    for (const Caso &c : casos) {
        prog.mensajes.Limpia();
        EXPECT_FALSE(Graba(c.datos, c.nombre, c.generador)) << c.mensaje.toStdString();
        EXPECT_EQ(prog.mensajes.Ultimo() + "|" + prog.mensajes.cajas.value(0).titulo, c.mensaje + "|Exportar");
    }
    EXPECT_FALSE(QFile::exists(Ruta("a.sql")) || QFile::exists(Ruta("a.txt")));
}

TEST_F(Archivo, ArchivosRechazadosAlCargar)
{
    ASSERT_TRUE(Graba(Filtro("E.Edad > 1"), "filtro.sql"));
    ASSERT_TRUE(Graba({OrigenConsulta::Hoja, 0, {}, "=", {}, "E.Edad > 1", {"E.Edad"}}, "exporta.sql", true));
    QByteArray ajeno = LeeArchivo(Ruta("exporta.sql"));
    EscribeArchivo(Ruta("corto.sql"), ajeno.left(1135));
    EscribeArchivo(Ruta("campo.sql"), ajeno.replace("E.Edad,", "X.Nada,"));
    EscribeArchivo(Ruta("nota.txt"), "");
    EscribeArchivo(Ruta("basura.sql"), "14" + QByteArray(1134, '\x01') + "\r\n");
    const struct {
        const char *nombre;
        OrigenConsulta origen;
        bool generador;
        const char *mensaje;
    } casos[] = {
        {"filtro.sql", OrigenConsulta::ListaCIE10, false,
         "La consulta seleccionada no corresponde a CATCIE10, verifique por favor......"},
        {"exporta.sql", OrigenConsulta::Tabla, true, "La consulta seleccionada no corresponde a TODO, verifique por favor......"},
        {"exporta.sql", OrigenConsulta::Hoja, false, "La consulta seleccionada no corresponde a FILTROS, verifique por favor......"},
        {"filtro.sql", OrigenConsulta::Hoja, true, "La consulta seleccionada no corresponde a EXPORTAR, verifique por favor......"},
        {"corto.sql", OrigenConsulta::Hoja, true, "El archivo no es un archivo de consultas, verifique por favor......"},
        {"campo.sql", OrigenConsulta::Hoja, true, "El archivo nombra un campo desconocido: X.Nada, verifique por favor......"},
        {"basura.sql", OrigenConsulta::Hoja, false, "El archivo no es un archivo de consultas, verifique por favor......"},
        {"nota.txt", OrigenConsulta::Hoja, false,
         "Formato de archivo invalido, extensión diferente a SQL, verifique por favor......"},
        {"", OrigenConsulta::Hoja, false, "No proporciono ningún nombre de archivo, rectifique......"},
    };
    for (const auto &c : casos) {
        prog.mensajes.Limpia();
        DatosConsulta d;
        d.criterio = "sin tocar";
        EXPECT_FALSE(Carga(c.nombre, c.origen, c.generador, d)) << c.nombre;
        EXPECT_EQ(prog.mensajes.Ultimo() + "|" + d.criterio, QString::fromUtf8(c.mensaje) + "|sin tocar");
    }
    // A query file that is the working database is refused unread.
    prog.AbreBase();
    QFile::link(prog.ctx->ArchivoBD, Ruta("base.sql"));
    DatosConsulta d;
    EXPECT_FALSE(Carga("base.sql", OrigenConsulta::Hoja, false, d));
    EXPECT_EQ(prog.mensajes.Ultimo(), "El archivo " + Ruta("base.sql")
                                          + " es la Base de Datos que el programa tiene abierta, elija otro archivo, "
                                            "verifique por favor.....");
    EXPECT_EQ(BloqueosPerdidos(prog.ctx->ArchivoBD), "");
}

} // namespace
