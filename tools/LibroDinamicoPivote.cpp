#include "tools/LibroDinamicoPivote.h"

#include "platform/BaseDatos.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <deque>
#include <xlsxwriter/utility.h>
#include <zip.h>

namespace {

const char *const EspacioMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const EspacioRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QString TipoRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString TipoContenido = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.");

const QString CacheDef = QStringLiteral("xl/pivotCache/pivotCacheDefinition1.xml");
const QString CacheReg = QStringLiteral("xl/pivotCache/pivotCacheRecords1.xml");
const QString Tabla = QStringLiteral("xl/pivotTables/pivotTable1.xml");

QString Escapa(QString t)
{
    t.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    t.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    t.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    t.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    // Control characters are not allowed in XML 1.0.
    for (QChar &c : t)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return t;
}

QString Celda(int fila, int columna)
{
    char texto[LXW_MAX_CELL_NAME_LENGTH];
    lxw_rowcol_to_cell(texto, lxw_row_t(fila), lxw_col_t(columna));
    return QString::fromLatin1(texto);
}

QString Cabecera(const char *raiz)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<%1 xmlns=\"%2\" xmlns:r=\"%3\"")
        .arg(QLatin1String(raiz), QLatin1String(EspacioMain), QLatin1String(EspacioRel));
}

QString ItemsCompartidos(const QStringList &items)
{
    const bool blanco = std::any_of(items.begin(), items.end(), [](const QString &s) { return s.isNull(); });
    QString x = QStringLiteral("<sharedItems%1 count=\"%2\">")
                    .arg(blanco ? QStringLiteral(" containsBlank=\"1\"") : QString())
                    .arg(items.size());
    for (const QString &s : items)
        x += s.isNull() ? QStringLiteral("<m/>") : QStringLiteral("<s v=\"%1\"/>").arg(Escapa(s));
    return x + QStringLiteral("</sharedItems>");
}

// Items of an axis field: one per shared item, then the default subtotal.
QString ItemsCampo(const QStringList &items)
{
    QString x = QStringLiteral("<items count=\"%1\">").arg(items.size() + 1);
    for (int i = 0; i < items.size(); ++i)
        x += QStringLiteral("<item x=\"%1\"/>").arg(i);
    return x + QStringLiteral("<item t=\"default\"/></items>");
}

// One line per item of an axis, then the grand total.
QString LineasEje(const char *elemento, int n)
{
    QString x = QStringLiteral("<%1 count=\"%2\">").arg(QLatin1String(elemento)).arg(n + 1);
    for (int i = 0; i < n; ++i)
        x += i == 0 ? QStringLiteral("<i><x/></i>") : QStringLiteral("<i><x v=\"%1\"/></i>").arg(i);
    return x + QStringLiteral("<i t=\"grand\"><x/></i></%1>").arg(QLatin1String(elemento));
}

// The package's parts, read and written in one session of libzip.
class Paquete {
public:
    explicit Paquete(const QString &ruta) : ruta_(ruta)
    {
        int error = 0;
        zip_ = zip_open(QFile::encodeName(ruta).constData(), 0, &error);
        if (!zip_) {
            zip_error_t e;
            zip_error_init_with_code(&e, error);
            const QString texto = QString::fromLocal8Bit(zip_error_strerror(&e));
            zip_error_fini(&e);
            Falla(texto);
        }
    }
    ~Paquete()
    {
        if (zip_)
            zip_discard(zip_);
    }

    bool Existe(const QString &parte) const
    {
        return zip_name_locate(zip_, parte.toUtf8().constData(), 0) >= 0;
    }

    QByteArray Lee(const QString &parte) const
    {
        zip_stat_t st;
        zip_file_t *f = nullptr;
        if (zip_stat(zip_, parte.toUtf8().constData(), 0, &st) != 0
            || !(f = zip_fopen(zip_, parte.toUtf8().constData(), 0)))
            Falla(QStringLiteral("falta la parte %1").arg(parte));
        QByteArray datos(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t leidos = zip_fread(f, datos.data(), st.size);
        zip_fclose(f);
        if (leidos != zip_int64_t(st.size))
            Falla(QStringLiteral("no se pudo leer la parte %1").arg(parte));
        return datos;
    }

    void Escribe(const QString &parte, const QByteArray &datos)
    {
        // libzip reads the buffer when the package is closed.
        const QByteArray &guardado = datos_.emplace_back(datos);
        zip_source_t *s = zip_source_buffer(zip_, guardado.constData(), zip_uint64_t(guardado.size()), 0);
        if (!s || zip_file_add(zip_, parte.toUtf8().constData(), s, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (s)
                zip_source_free(s);
            Falla(QString::fromLocal8Bit(zip_strerror(zip_)));
        }
    }

    void Cierra()
    {
        if (zip_close(zip_) != 0)
            Falla(QString::fromLocal8Bit(zip_strerror(zip_)));
        zip_ = nullptr;
    }

private:
    [[noreturn]] void Falla(const QString &causa) const
    {
        throw ErrorBD(-1, QStringLiteral("No se pudo completar el libro %1: %2").arg(ruta_, causa));
    }

    QString ruta_;
    zip_t *zip_ = nullptr;
    std::deque<QByteArray> datos_;
};

// Adds a relationship to a relationships part (new when `xml` is empty) and
// gives the id it took.
QString AgregaRelacion(QByteArray &xml, const QString &tipo, const QString &destino)
{
    if (xml.isEmpty())
        xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "</Relationships>";
    int mayor = 0;
    static const QRegularExpression ids(QStringLiteral("Id=\"rId(\\d+)\""));
    for (auto it = ids.globalMatch(QString::fromUtf8(xml)); it.hasNext();)
        mayor = qMax(mayor, it.next().captured(1).toInt());
    const QString id = QStringLiteral("rId%1").arg(mayor + 1);
    const QString rel = QStringLiteral("<Relationship Id=\"%1\" Type=\"%2%3\" Target=\"%4\"/>")
                            .arg(id, TipoRel, tipo, destino);
    xml.replace("</Relationships>", rel.toUtf8() + "</Relationships>");
    return id;
}

} // namespace

QString DefinicionPivote::Ubicacion() const
{
    const int alto = 2 + int(itemsFila.size()) + 1, ancho = 1 + int(itemsColumna.size()) + 1;
    return Celda(fila, columna) + QLatin1Char(':') + Celda(fila + alto - 1, columna + ancho - 1);
}

QByteArray XmlCachePivote(const DefinicionPivote &d)
{
    QString x = Cabecera("pivotCacheDefinition")
        + QStringLiteral(" r:id=\"rId1\" refreshOnLoad=\"1\" createdVersion=\"3\" refreshedVersion=\"3\""
                         " minRefreshableVersion=\"3\" recordCount=\"0\">");
    x += QStringLiteral("<cacheSource type=\"worksheet\"><worksheetSource ref=\"A1:%1\" sheet=\"%2\"/></cacheSource>")
             .arg(Celda(d.filasDatos, int(d.campos.size()) - 1), Escapa(d.hojaDatos));
    x += QStringLiteral("<cacheFields count=\"%1\">").arg(d.campos.size());
    for (int i = 0; i < d.campos.size(); ++i) {
        const CampoPivote &c = d.campos[i];
        const bool fecha = c.tipo == CampoPivote::Tipo::Fecha;
        x += QStringLiteral("<cacheField name=\"%1\" numFmtId=\"%2\">").arg(Escapa(c.nombre)).arg(fecha ? 14 : 0);
        if (i == d.campoFila)
            x += ItemsCompartidos(d.itemsFila);
        else if (i == d.campoColumna)
            x += ItemsCompartidos(d.itemsColumna);
        else if (c.tipo == CampoPivote::Tipo::Entero)
            x += QStringLiteral("<sharedItems containsString=\"0\" containsBlank=\"1\" containsNumber=\"1\" "
                                "containsInteger=\"1\"/>");
        else if (fecha)
            x += QStringLiteral("<sharedItems containsNonDate=\"0\" containsDate=\"1\" containsString=\"0\" "
                                "containsBlank=\"1\"/>");
        else
            x += QStringLiteral("<sharedItems containsBlank=\"1\"/>");
        x += QStringLiteral("</cacheField>");
    }
    x += QStringLiteral("</cacheFields></pivotCacheDefinition>");
    return x.toUtf8();
}

QByteArray XmlRegistrosPivote()
{
    return (Cabecera("pivotCacheRecords") + QStringLiteral(" count=\"0\"/>")).toUtf8();
}

QByteArray XmlTablaPivote(const DefinicionPivote &d)
{
    QString x = Cabecera("pivotTableDefinition")
        + QStringLiteral(" name=\"%1\" cacheId=\"1\" dataCaption=\"Valores\" grandTotalCaption=\"%2\""
                         " rowHeaderCaption=\"%3\" colHeaderCaption=\"%4\" applyNumberFormats=\"0\""
                         " applyBorderFormats=\"0\" applyFontFormats=\"0\" applyPatternFormats=\"0\""
                         " applyAlignmentFormats=\"0\" applyWidthHeightFormats=\"1\" updatedVersion=\"3\""
                         " minRefreshableVersion=\"3\" createdVersion=\"3\" useAutoFormatting=\"1\""
                         " itemPrintTitles=\"1\" indent=\"0\" outline=\"1\" outlineData=\"1\">")
              .arg(Escapa(d.nombre), Escapa(d.leyendaTotal), Escapa(d.leyendaFilas), Escapa(d.leyendaColumnas));
    x += QStringLiteral("<location ref=\"%1\" firstHeaderRow=\"1\" firstDataRow=\"2\" firstDataCol=\"1\"/>")
             .arg(d.Ubicacion());
    x += QStringLiteral("<pivotFields count=\"%1\">").arg(d.campos.size());
    for (int i = 0; i < d.campos.size(); ++i) {
        if (i == d.campoFila)
            x += QStringLiteral("<pivotField axis=\"axisRow\" showAll=\"0\">") + ItemsCampo(d.itemsFila)
                + QStringLiteral("</pivotField>");
        else if (i == d.campoColumna)
            x += QStringLiteral("<pivotField axis=\"axisCol\" showAll=\"0\">") + ItemsCampo(d.itemsColumna)
                + QStringLiteral("</pivotField>");
        else if (i == d.campoDato)
            x += QStringLiteral("<pivotField dataField=\"1\" showAll=\"0\"/>");
        else
            x += QStringLiteral("<pivotField showAll=\"0\"/>");
    }
    x += QStringLiteral("</pivotFields>");
    x += QStringLiteral("<rowFields count=\"1\"><field x=\"%1\"/></rowFields>").arg(d.campoFila);
    x += LineasEje("rowItems", int(d.itemsFila.size()));
    x += QStringLiteral("<colFields count=\"1\"><field x=\"%1\"/></colFields>").arg(d.campoColumna);
    x += LineasEje("colItems", int(d.itemsColumna.size()));
    x += QStringLiteral("<dataFields count=\"1\"><dataField name=\"%1\" fld=\"%2\" subtotal=\"sum\" baseField=\"0\""
                        " baseItem=\"0\"/></dataFields>")
             .arg(Escapa(d.leyendaDato))
             .arg(d.campoDato);
    x += QStringLiteral("<pivotTableStyleInfo name=\"PivotStyleLight16\" showRowHeaders=\"1\" showColHeaders=\"1\""
                        " showRowStripes=\"0\" showColStripes=\"0\" showLastColumn=\"1\"/>");
    x += QStringLiteral("</pivotTableDefinition>");
    return x.toUtf8();
}

void AgregaPivote(const QString &libro, const DefinicionPivote &d, int numeroHoja)
{
    Paquete p(libro);

    QByteArray tipos = p.Lee(QStringLiteral("[Content_Types].xml"));
    QString nuevos;
    for (const auto &[parte, tipo] : {std::pair{CacheDef, QStringLiteral("pivotCacheDefinition+xml")},
                                      std::pair{CacheReg, QStringLiteral("pivotCacheRecords+xml")},
                                      std::pair{Tabla, QStringLiteral("pivotTable+xml")}})
        nuevos += QStringLiteral("<Override PartName=\"/%1\" ContentType=\"%2%3\"/>").arg(parte, TipoContenido, tipo);
    tipos.replace("</Types>", nuevos.toUtf8() + "</Types>");
    p.Escribe(QStringLiteral("[Content_Types].xml"), tipos);

    const QString relsLibro = QStringLiteral("xl/_rels/workbook.xml.rels");
    QByteArray rels = p.Lee(relsLibro);
    const QString idCache = AgregaRelacion(rels, QStringLiteral("pivotCacheDefinition"),
                                           QStringLiteral("pivotCache/pivotCacheDefinition1.xml"));
    p.Escribe(relsLibro, rels);

    QByteArray libroXml = p.Lee(QStringLiteral("xl/workbook.xml"));
    // pivotCaches is among the last children of the workbook element.
    libroXml.replace("</workbook>",
                     QStringLiteral("<pivotCaches><pivotCache cacheId=\"1\" r:id=\"%1\"/></pivotCaches></workbook>")
                         .arg(idCache)
                         .toUtf8());
    p.Escribe(QStringLiteral("xl/workbook.xml"), libroXml);

    const QString relsHoja = QStringLiteral("xl/worksheets/_rels/sheet%1.xml.rels").arg(numeroHoja);
    QByteArray hoja = p.Existe(relsHoja) ? p.Lee(relsHoja) : QByteArray();
    AgregaRelacion(hoja, QStringLiteral("pivotTable"), QStringLiteral("../pivotTables/pivotTable1.xml"));
    p.Escribe(relsHoja, hoja);

    QByteArray relsCache, relsTabla;
    AgregaRelacion(relsCache, QStringLiteral("pivotCacheRecords"), QStringLiteral("pivotCacheRecords1.xml"));
    AgregaRelacion(relsTabla, QStringLiteral("pivotCacheDefinition"),
                   QStringLiteral("../pivotCache/pivotCacheDefinition1.xml"));
    p.Escribe(CacheDef, XmlCachePivote(d));
    p.Escribe(QStringLiteral("xl/pivotCache/_rels/pivotCacheDefinition1.xml.rels"), relsCache);
    p.Escribe(CacheReg, XmlRegistrosPivote());
    p.Escribe(Tabla, XmlTablaPivote(d));
    p.Escribe(QStringLiteral("xl/pivotTables/_rels/pivotTable1.xml.rels"), relsTabla);
    p.Cierra();
}
