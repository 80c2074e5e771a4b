#include "DatosListas.h"

#include "lookups/Descripciones.h"
#include "platform/BaseDatos.h"

#include <functional>

namespace {

using H = Descripcion::Hallazgo;

class Descripciones : public PruebaListas {};

TEST_F(Descripciones, EncontradoNoEncontradoYNulo)
{
    using Busca = std::function<Descripcion(const BaseDatos &)>;
    const auto edo = [](QString e) -> Busca { return [e](auto &b) { return DescEstado(b, e); }; };
    const auto mpo = [](QString e, QString m) -> Busca { return [=](auto &b) { return DescMunicipio(b, e, m); }; };
    const auto loc = [](QString e, QString m, QString l) -> Busca {
        return [=](auto &b) { return DescLocalidad(b, e, m, l); };
    };
    const auto clues = [](QString c) -> Busca { return [c](auto &b) { return DescClues(b, c); }; };
    const auto edad = [](QString c) -> Busca { return [c](auto &b) { return DescClaveEdad(b, c); }; };
    const auto cat = [](QString n, QString c) -> Busca { return [=](auto &b) { return DescCatalogo(b, n, c); }; };
    const QString cve = "CVE INEXISTENTE";
    const struct {
        Busca busca;
        H hallazgo;
        QString texto;
    } casos[] = {
        {edo("15"), H::Encontrado, "MÉXICO"}, {edo(""), H::NoEncontrado, cve}, {edo("37"), H::Encontrado, ""},   // null description
        {mpo("15", "058"), H::Encontrado, "NEZAHUALCÓYOTL"}, {loc("15", "001", "0010"), H::Encontrado, "PEÑA BLANCA"},
        {loc("15", "002", "0010"), H::NoEncontrado, cve}, {clues("MCSSA000022"), H::Encontrado, "HOSPITAL GENERAL DE PEÑAFLOR"},
        {clues("mcssa000022"), H::Encontrado, "HOSPITAL GENERAL DE PEÑAFLOR"}, {clues("MCSSA000066"), H::Encontrado, ""},
        // An apostrophe is a character of the code like any other.
        {clues("MCSSA00O'55"), H::Encontrado, "UNIDAD CON APÓSTROFO"}, {clues("X' OR '1'='1"), H::NoEncontrado, cve},
        {edad("3"), H::Encontrado, "AÑOS"}, {edad("5"), H::NoEncontrado, cve}, {edad(""), H::Error, ""}, {edad("A"), H::Error, ""},
        {cat("Sexo", "2"), H::Encontrado, "MUJER"}, {cat("Sexo", " 09"), H::Encontrado, "NO ESPECIFICADO"},
        {cat("cEquipo", "2"), H::Encontrado, "CASCO"}, {cat("Sexo", "7"), H::NoEncontrado, cve}, {cat("Escolaridad", "12"), H::Encontrado, ""},
        {cat("Sexo", ""), H::Error, ""}, {cat("Sexo", "1 OR 1=1"), H::Error, ""}, {cat("Derechohabiencia", "g"), H::Encontrado, "GRATUIDAD"},
        {cat("Sexo; DROP TABLE cSexo", "1"), H::Error, ""},
    };
    for (const auto &c : casos) {
        const Descripcion d = c.busca(bd());
        EXPECT_EQ(QStringLiteral("%1|%2|%3").arg(int(d.hallazgo)).arg(d.texto).arg(d.Inexistente()),
                  QStringLiteral("%1|%2|%3").arg(int(c.hallazgo)).arg(c.texto).arg(c.hallazgo == H::NoEncontrado));
    }
    EXPECT_EQ(p.Cuenta("cSexo"), 3);
}

TEST_F(Descripciones, ConsultaQueNoCorreDaTextoVacioNuncaInexistente)
{
    for (const char *t : {"cEstados", "CATCLUES", "cSexo"})
        p.Ejecuta(QStringLiteral("DROP TABLE %1").arg(t));
    for (const Descripcion &d : {DescEstado(bd(), "15"), DescClues(bd(), "MCSSA000022"), DescCatalogo(bd(), "Sexo", "1")}) {
        EXPECT_TRUE(d.hallazgo == H::Error && d.texto.isEmpty() && !d.Inexistente());
    }
    p.ctx->ConexionBD.Cierra();
    EXPECT_EQ(DescMunicipio(bd(), "15", "001").hallazgo, H::Error);
}

// Every catalog of the fixed list stands in the template with its code column:
// an absent code is "not found", never "could not run".
TEST_F(Descripciones, CadaCatalogoDeLaListaExisteEnLaPlantilla)
{
    for (const QString &n : CatalogosCodificados())
        EXPECT_EQ(DescCatalogo(bd(), n, CodigoTexto(n) ? "ZZ" : "9999").hallazgo, H::NoEncontrado) << n.toStdString();
    for (int campo : {37, 38, 39, 40, 41, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 65, 67, 68, 71, 74, 75, 79, 80})
        EXPECT_FALSE(NombreCatalogo(CatalogoDeCampo(campo)).isEmpty()) << campo;
    for (int campo : {22, 23, 36, 46, 76, 81})
        EXPECT_TRUE(CatalogoDeCampo(campo).isEmpty()) << campo;
}

} // namespace
