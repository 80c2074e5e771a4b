#include "DatosListas.h"

#include "lookups/Descripciones.h"
#include "platform/BaseDatos.h"

#include <functional>

namespace {

using H = Descripcion::Hallazgo;

struct Caso {
    const char *nombre;
    std::function<Descripcion(const BaseDatos &)> busca;
    H hallazgo;
    QString texto;
};

class Descripciones : public PruebaListas {};

TEST_F(Descripciones, EncontradoNoEncontradoYNulo)
{
    const QString cve = "CVE INEXISTENTE";
    const QList<Caso> casos = {
        {"estado", [](auto &b) { return DescEstado(b, "15"); }, H::Encontrado, "MÉXICO"},
        {"estado vacío", [](auto &b) { return DescEstado(b, ""); }, H::NoEncontrado, cve},
        {"estado con blanco", [](auto &b) { return DescEstado(b, "15 "); }, H::NoEncontrado, cve},
        {"estado sin ceros", [](auto &b) { return DescEstado(b, "9"); }, H::NoEncontrado, cve},
        {"estado con descripción nula", [](auto &b) { return DescEstado(b, "37"); }, H::Encontrado, ""},
        {"municipio", [](auto &b) { return DescMunicipio(b, "15", "058"); }, H::Encontrado, "NEZAHUALCÓYOTL"},
        {"municipio de otro estado", [](auto &b) { return DescMunicipio(b, "16", "058"); }, H::NoEncontrado, cve},
        {"localidad", [](auto &b) { return DescLocalidad(b, "15", "001", "0010"); }, H::Encontrado, "PEÑA BLANCA"},
        {"localidad de otro municipio", [](auto &b) { return DescLocalidad(b, "15", "002", "0010"); },
         H::NoEncontrado, cve},
        {"localidad de otro estado", [](auto &b) { return DescLocalidad(b, "16", "001", "0010"); },
         H::NoEncontrado, cve},
        {"unidad", [](auto &b) { return DescClues(b, "MCSSA000022"); }, H::Encontrado,
         "HOSPITAL GENERAL DE PEÑAFLOR"},
        {"unidad en minúsculas", [](auto &b) { return DescClues(b, "mcssa000022"); }, H::Encontrado,
         "HOSPITAL GENERAL DE PEÑAFLOR"},
        // An apostrophe is a character of the code like any other.
        {"unidad con apóstrofo", [](auto &b) { return DescClues(b, "MCSSA00O'55"); }, H::Encontrado,
         "UNIDAD CON APÓSTROFO"},
        {"apóstrofo inexistente", [](auto &b) { return DescClues(b, "X' OR '1'='1"); }, H::NoEncontrado, cve},
        {"unidad sin nombre", [](auto &b) { return DescClues(b, "MCSSA000066"); }, H::Encontrado, ""},
        {"unidad inexistente", [](auto &b) { return DescClues(b, "ZZSSA999999"); }, H::NoEncontrado, cve},
        {"clave de edad", [](auto &b) { return DescClaveEdad(b, "3"); }, H::Encontrado, "AÑOS"},
        {"clave de edad cero", [](auto &b) { return DescClaveEdad(b, "0"); }, H::Encontrado, "HORAS"},
        {"clave de edad inexistente", [](auto &b) { return DescClaveEdad(b, "5"); }, H::NoEncontrado, cve},
        {"clave de edad vacía", [](auto &b) { return DescClaveEdad(b, ""); }, H::Error, ""},
        {"clave de edad no numérica", [](auto &b) { return DescClaveEdad(b, "A"); }, H::Error, ""},
        {"catálogo", [](auto &b) { return DescCatalogo(b, "Sexo", "2"); }, H::Encontrado, "MUJER"},
        {"catálogo con blancos y ceros", [](auto &b) { return DescCatalogo(b, "Sexo", " 09"); }, H::Encontrado,
         "NO ESPECIFICADO"},
        {"catálogo por su tabla", [](auto &b) { return DescCatalogo(b, "cEquipo", "2"); }, H::Encontrado, "CASCO"},
        {"catálogo, código inexistente", [](auto &b) { return DescCatalogo(b, "Sexo", "7"); }, H::NoEncontrado, cve},
        {"catálogo, descripción nula", [](auto &b) { return DescCatalogo(b, "Escolaridad", "12"); }, H::Encontrado,
         ""},
        {"catálogo, código vacío", [](auto &b) { return DescCatalogo(b, "Sexo", ""); }, H::Error, ""},
        {"catálogo, código de letras", [](auto &b) { return DescCatalogo(b, "Sexo", "1 OR 1=1"); }, H::Error, ""},
        {"catálogo de códigos de texto", [](auto &b) { return DescCatalogo(b, "Derechohabiencia", "g"); },
         H::Encontrado, "GRATUIDAD"},
        {"catálogo desconocido", [](auto &b) { return DescCatalogo(b, "Sexo; DROP TABLE cSexo", "1"); }, H::Error,
         ""},
    };
    for (const Caso &c : casos) {
        const Descripcion d = c.busca(bd());
        EXPECT_EQ(d.hallazgo, c.hallazgo) << c.nombre;
        EXPECT_EQ(d.texto, c.texto) << c.nombre;
        EXPECT_EQ(d.Inexistente(), c.hallazgo == H::NoEncontrado) << c.nombre;
    }
    EXPECT_TRUE(ExisteTabla(bd(), "cSexo"));
}

TEST_F(Descripciones, ConsultaQueNoCorreDaTextoVacioNuncaInexistente)
{
    p.Ejecuta("DROP TABLE cEstados");
    p.Ejecuta("DROP TABLE CATCLUES");
    p.Ejecuta("DROP TABLE cSexo");
    for (const Descripcion &d : {DescEstado(bd(), "15"), DescClues(bd(), "MCSSA000022"), DescCatalogo(bd(), "Sexo", "1")}) {
        EXPECT_EQ(d.hallazgo, H::Error);
        EXPECT_EQ(d.texto, QString());
        EXPECT_FALSE(d.Inexistente());
    }
    p.ctx->ConexionBD.Cierra();
    const Descripcion d = DescMunicipio(bd(), "15", "001");
    EXPECT_EQ(d.hallazgo, H::Error);
    EXPECT_EQ(d.texto, QString());
}

// Every catalog of the fixed list stands in the template with its code column:
// an absent code is "not found", never "could not run".
TEST_F(Descripciones, CadaCatalogoDeLaListaExisteEnLaPlantilla)
{
    for (const QString &n : CatalogosCodificados()) {
        const Descripcion d = DescCatalogo(bd(), n, CodigoTexto(n) ? "ZZ" : "9999");
        EXPECT_EQ(d.hallazgo, H::NoEncontrado) << n.toStdString();
    }
    for (int campo : {37, 38, 39, 40, 41, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 65, 67, 68, 71, 74, 75, 79, 80})
        EXPECT_FALSE(NombreCatalogo(CatalogoDeCampo(campo)).isEmpty()) << campo;
    for (int campo : {22, 23, 36, 46, 76, 81})
        EXPECT_TRUE(CatalogoDeCampo(campo).isEmpty()) << campo;
}

} // namespace
