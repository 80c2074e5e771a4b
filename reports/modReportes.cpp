#include "reports/modReportes.h"

#include "platform/BaseDatos.h"
#include "platform/CursorOcupado.h"
#include "shell/Contexto.h"

#include <QDir>
#include <optional>

namespace {

struct ReporteCatalogo {
    QString reporte;    // definition in Reportes/, without ".json"
    QString titulo;     // title of the document and of its messages
    QString consulta;   // rows of the print, from the code
};

const QVector<ReporteCatalogo> &ReportesCatalogos()
{
    static const QVector<ReporteCatalogo> r{
        {"rptCatEstados", "Catálogo de Estados", "SELECT CodEstado, Descripcion FROM cEstados ORDER BY CodEstado"},
        {"rptCatJurisd", "Catálogo de Jurisdicciones",
         "SELECT j.CodEstado, e.Descripcion AS Estado, j.CodJurisdiccion, j.Descripcion FROM cJurisdicciones j "
         "LEFT JOIN cEstados e ON e.CodEstado = j.CodEstado ORDER BY j.CodEstado, j.CodJurisdiccion"},
        {"rptCatMpos", "Catálogo de Municipios",
         "SELECT m.CodEstado, e.Descripcion AS Estado, m.CodMunicipio, m.Descripcion, m.CodJurisdiccion "
         "FROM cMunicipios m LEFT JOIN cEstados e ON e.CodEstado = m.CodEstado ORDER BY m.CodEstado, m.CodMunicipio"},
        {"rptCatLocalidades", "Catálogo de Localidades",
         "SELECT l.CodEstado, e.Descripcion AS Estado, l.CodMunicipio, m.Descripcion AS Municipio, l.CodLocalidad, "
         "l.Descripcion FROM cLocalidades l LEFT JOIN cEstados e ON e.CodEstado = l.CodEstado "
         "LEFT JOIN cMunicipios m ON m.CodEstado = l.CodEstado AND m.CodMunicipio = l.CodMunicipio "
         "ORDER BY l.CodEstado, l.CodMunicipio, l.CodLocalidad"},
        {"rptCatCLUES", "Catálogo de CLUES",
         "SELECT c.Clues, c.DescUnidad, c.CEDOCVE, c.CJURCVE, c.CMPOCVE, c.CLOCCVE, c.CTUNCVE, "
         "c.DomUnidad, c.CP FROM CATCLUES c ORDER BY c.Clues"},
        {"rptCatListaDet", "Catálogo de Lista Detallada",
         "SELECT l.Capitulo, k.DESCRIP AS DesCapitulo, l.Causa, l.nombre, "
         "CASE trim(l.lsex) WHEN '1' THEN 'M' WHEN '2' THEN 'F' ELSE 'A' END AS Sexo, l.linf, l.lsup, "
         "CASE WHEN length(trim(l.Causa)) = 3 THEN 'categoria' END AS Estilo "
         "FROM CATCIE10 l LEFT JOIN CAPITULO k ON k.IdCapitulo = l.Capitulo ORDER BY l.Capitulo, l.Causa"},
        {"rptCatalogos", QString(),
         "SELECT Codigo, Descripcion FROM TMPCATALOGO ORDER BY CAST(Codigo AS INTEGER), Codigo"},
    };
    return r;
}

const ReporteCatalogo *Busca(const QString &reporte)
{
    for (const ReporteCatalogo &r : ReportesCatalogos())
        if (r.reporte == reporte)
            return &r;
    return nullptr;
}

// One print: the definition over its rows, with only the texts of this print.
bool Imprime(Contexto &ctx, const ReporteCatalogo &r, const QString &catalogo, const MuestraDocumento &muestra)
{
    const QString titulo = r.titulo.isEmpty() ? catalogo : r.titulo;
    const QMap<QString, QString> textos{{QStringLiteral("titulo"), titulo}, {QStringLiteral("Catalogo"), catalogo}};
    std::optional<DocumentoReporte> doc;
    QString falla;
    {
        CursorOcupado cursor;
        try {
            const DefinicionReporte def = CargaDefinicionReporte(QDir(ctx.CarpetaReportes()).filePath(r.reporte + ".json"));
            FuenteConsulta filas(ctx.ConexionBD, r.consulta);
            doc = MaquetaReporte(def, textos, filas, titulo);
        } catch (const ErrorBD &e) {
            falla = QStringLiteral("%1 - %2").arg(e.Numero()).arg(e.Descripcion());
        } catch (const ErrorReporte &e) {
            falla = e.Texto();
        }
    }
    if (!doc) {
        ctx.mensajes.Informa(QStringLiteral("No se pudo imprimir el catálogo, verifique por favor.....\n\n") + falla, titulo);
        return false;
    }
    if (muestra)
        muestra(*doc);
    return true;
}

} // namespace

bool ImprimeReporteCatalogo(Contexto &ctx, const QString &reporte, const QString &catalogo, const MuestraDocumento &muestra)
{
    const ReporteCatalogo *r = Busca(reporte);
    if (!r) {
        ctx.mensajes.Informa(QStringLiteral("No existe el reporte del catálogo %1, verifique por favor.....").arg(reporte),
                             catalogo.isEmpty() ? QStringLiteral("Catálogos") : catalogo);
        return false;
    }
    return Imprime(ctx, *r, catalogo, muestra);
}

SalidaReporte SalidaDeReportes(Contexto &ctx)
{
    return SalidaReporte{ctx.mensajes, nullptr, ctx.CarpetaPrograma, {ctx.ArchivoBD, ctx.ArchivoPlantilla()}};
}
