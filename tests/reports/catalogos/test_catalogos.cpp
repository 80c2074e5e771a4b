// Catalog printing: every definition over the template database, the coded
// catalog's golden text, and the prints that cannot be produced.
#include "reports/AmbienteReportes.h"
#include "reports/modReportes.h"

namespace {

class Catalogos : public AmbienteReportes {
protected:
    Catalogos()
    {
        Ejecuta("CREATE TABLE TMPCATALOGO AS SELECT CAST(CodSexo AS TEXT) AS Codigo, Descripcion FROM cSexo");
    }
    MuestraDocumento Guarda()
    {
        return [this](const DocumentoReporte &d) { documentos.append(d); };
    }
    QVector<DocumentoReporte> documentos;
};

// Definition, title, and the texts its print or its message holds.
using CasoCatalogo = std::tuple<const char *, const char *, const char *, const char *>;

} // namespace

TEST_F(Catalogos, CadaCatalogoSeImprimeDesdeLaPlantilla)
{
    const CasoCatalogo casos[] = {
        {"rptCatEstados", "Catálogo de Estados", "CATÁLOGO DE ESTADOS", "CIUDAD DE MEXICO"},
        {"rptCatJurisd", "Catálogo de Jurisdicciones", "CATÁLOGO DE JURISDICCIONES", "ESTADO: 09"},
        {"rptCatMpos", "Catálogo de Municipios", "CATÁLOGO DE MUNICIPIOS", "ESTADO: 15"},
        {"rptCatLocalidades", "Catálogo de Localidades", "CATÁLOGO DE LOCALIDADES", "MUNICIPIO: "},
        {"rptCatCLUES", "Catálogo de CLUES", "CATÁLOGO DE CLUES", "DFSSA000012"},
        {"rptCatListaDet", "Catálogo de Lista Detallada", "CATÁLOGO DE LISTA DETALLADA CIE-10", "X590"},
        // A caption with a quote is printed as it stands, never pasted into a formula.
        {"rptCatalogos", "Catálogo de Sexo 'O'", "Catálogo de Sexo 'O'", "NO ESPECIFICADO"},
    };
    for (const auto &[reporte, titulo, encabezado, fila] : casos) {
        ASSERT_TRUE(ImprimeReporteCatalogo(*ctx, reporte, titulo, Guarda())) << titulo << mensajes.Ultimo().toStdString();
        const QString texto = TextoPdf(documentos.last());
        EXPECT_TRUE(documentos.last().titulo == titulo && texto.contains(encabezado) && texto.contains(fila)
                    && texto.contains(QStringLiteral("Página 1 de %1").arg(documentos.last().Paginas()))) << titulo;
    }
    EXPECT_TRUE(ImprimeReporteCatalogo(*ctx, "rptCatalogos", "Catálogo de Sexo",
                                       [](const DocumentoReporte &d) { ComparaTextoPdf(d, VELMORAN_ESPERADOS); }));
}

TEST_F(Catalogos, ImpresionImposibleSeAvisa)
{
    QFile::remove(QDir(Carpeta()).filePath("Reportes/rptCatEstados.json"));
    Ejecuta("DROP TABLE TMPCATALOGO");
    const CasoCatalogo casos[] = {
        {"rptCatEstados", "Catálogo de Estados", "No se pudo imprimir el catálogo, verifique por favor.....\n\nNo se encontró el archivo de reporte ", nullptr},
        {"rptCatalogos", "Catálogo de Sexo", "No se pudo imprimir el catálogo, verifique por favor.....\n\n1 - ", nullptr},
        {"rptNoExiste", "Catálogo de Sexo", "No existe el reporte del catálogo rptNoExiste, verifique por favor.....", nullptr},
    };
    for (const auto &[reporte, titulo, mensaje, nada] : casos) {
        mensajes.cajas.clear();
        EXPECT_FALSE(ImprimeReporteCatalogo(*ctx, reporte, "Catálogo de Sexo", Guarda()));
        ASSERT_EQ(mensajes.cajas.size(), 1) << reporte;
        EXPECT_TRUE(mensajes.cajas[0].titulo == titulo && mensajes.Ultimo().startsWith(mensaje)) << mensajes.Ultimo().toStdString();
    }
    EXPECT_TRUE(documentos.isEmpty());
}
