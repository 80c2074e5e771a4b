#include "FixtureTablas.h"

#include "tools/TablaDinamica.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

QStringList Todos(const QString &texto, const QString &patron)
{
    QStringList r;
    for (auto it = QRegularExpression(patron).globalMatch(texto); it.hasNext();)
        r << it.next().captured(1);
    return r;
}
QString Uno(const QString &texto, const QString &patron)
{
    return Todos(texto, patron).value(0);
}

// Every part has a content type, every relationship reaches a part, and the
// pivot table, its cache and the workbook agree on ids, counts and fields.
void CompruebaPartes(const QString &libro)
{
    const QStringList partes = PartesZip(libro);
    const QString tipos = ParteZip(libro, "[Content_Types].xml");
    for (const QString &parte : partes) {
        const QString ext = QFileInfo(parte).suffix();
        EXPECT_TRUE(tipos.contains("PartName=\"/" + parte + "\"") || tipos.contains("Extension=\"" + ext + "\""))
            << parte.toStdString();
        if (!parte.endsWith(".rels"))
            continue;
        const QString base = QFileInfo(QFileInfo(parte).path()).path();   // the folder above _rels
        for (const QString &destino : Todos(ParteZip(libro, parte), "Target=\"([^\"]+)\"")) {
            const QString completo = destino.startsWith('/') ? destino.mid(1)
                                   : QDir::cleanPath((base == "." ? QString() : base + "/") + destino);
            EXPECT_TRUE(partes.contains(completo)) << parte.toStdString() << " -> " << completo.toStdString();
        }
    }
    const QString cache = ParteZip(libro, "xl/pivotCache/pivotCacheDefinition1.xml");
    const QString tabla = ParteZip(libro, "xl/pivotTables/pivotTable1.xml");
    const QString wb = ParteZip(libro, "xl/workbook.xml");
    EXPECT_EQ(Uno(wb, "<pivotCache cacheId=\"(\\d+)\""), Uno(tabla, "cacheId=\"(\\d+)\""));
    const QString idRel = Uno(wb, "<pivotCache cacheId=\"\\d+\" r:id=\"(\\w+)\"");
    EXPECT_TRUE(ParteZip(libro, "xl/_rels/workbook.xml.rels")
                    .contains("Id=\"" + idRel + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                              "relationships/pivotCacheDefinition\""));
    EXPECT_TRUE(cache.contains("refreshOnLoad=\"1\""));
    const QStringList campos = Todos(cache, "<cacheField name=\"([^\"]+)\"");
    ASSERT_EQ(campos.size(), 46);
    EXPECT_EQ(Uno(cache, "<cacheFields count=\"(\\d+)\""), "46");
    EXPECT_EQ(Uno(tabla, "<pivotFields count=\"(\\d+)\""), "46");
    EXPECT_EQ(Todos(tabla, "<pivotField[ >/]").size(), 46);
    EXPECT_EQ(campos.value(Uno(tabla, "<rowFields count=\"1\"><field x=\"(\\d+)\"").toInt()), "UNIDAD");
    EXPECT_EQ(campos.value(Uno(tabla, "<colFields count=\"1\"><field x=\"(\\d+)\"").toInt()), "MES");
    EXPECT_EQ(campos.value(Uno(tabla, "<dataField name=\"Sum of CONTADOR\" fld=\"(\\d+)\"").toInt()), "CONTADOR");
    // Each axis: its items are the shared items plus the subtotal; its lines the items plus the total.
    const QStringList compartidos = Todos(cache, "<sharedItems[^/>]* count=\"(\\d+)\"");
    const QStringList items = Todos(tabla, "<items count=\"(\\d+)\"");
    ASSERT_EQ(compartidos.size(), 2);
    ASSERT_EQ(items.size(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(items[i].toInt(), compartidos[i].toInt() + 1);
    EXPECT_EQ(Uno(tabla, "<rowItems count=\"(\\d+)\"").toInt(), compartidos[0].toInt() + 1);
    EXPECT_EQ(Uno(tabla, "<colItems count=\"(\\d+)\"").toInt(), compartidos[1].toInt() + 1);
}

class PruebaLibro : public PruebaTablas {
protected:
    QString Libro() const { return Ruta("TablaDinamicaVELMORAN.xlsx"); }
    QString Hoja(int n) const { return ParteZip(Libro(), QStringLiteral("xl/worksheets/sheet%1.xml").arg(n)); }
    // The inline text or the number of one cell.
    QString Celda(int hoja, const QString &ref) const
    {
        return Uno(Hoja(hoja), "<c r=\"" + ref + "\"[^>]*>(?:<is><t[^>]*>|<v>)([^<]*)<");
    }
};

TEST_F(PruebaLibro, TitulosTablaYDatosSeLeenDeVuelta)
{
    Evento(1, "2004-06-15", {{"CodEstado", "09"}, {"Expediente", "09"}});
    Evento(2, "2004-06-26");
    Evento(3, "2004-06-20", {}, "ZZZZZ999999");

    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro());
    EXPECT_EQ(p.mensajes.cajas.value(0).titulo, "Herramientas VELMORAN");
    EXPECT_EQ(Uno(ParteZip(Libro(), "xl/workbook.xml"), "<sheet name=\"([^\"]+)\" sheetId=\"1\""), "VELMORAN");
    const QString pivote = Hoja(1);
    EXPECT_EQ(Todos(pivote, "<mergeCell ref=\"([^\"]+)\""), QStringList({"B1:F1", "B2:F2"}));
    EXPECT_EQ(Celda(1, "B1"), "Eventos por Lesión y/o Violencia, Tabla Dinámica VELMORAN");
    EXPECT_EQ(Celda(1, "B2"), "*DELVARIA 2004 Creado el : 06/12/2026");
    EXPECT_EQ(Celda(1, "B6"), "Sum of CONTADOR");
    // Units (the unknown one blank, last) by months in calendar order, and totals.
    EXPECT_EQ(Celda(1, "C7") + "|" + Celda(1, "D7") + "|" + Celda(1, "E7"), "JUNIO|JULIO|Total general");
    EXPECT_EQ(Celda(1, "B8") + "|" + Celda(1, "B9") + "|" + Celda(1, "B10"),
              "HOSPITAL GENERAL DE ZONA QUIRVAL 1-A|(en blanco)|Total general");
    EXPECT_EQ(Celda(1, "C8") + "|" + Celda(1, "D8") + "|" + Celda(1, "E8"), "1|1|2");
    EXPECT_EQ(Celda(1, "E10"), "3");
    EXPECT_EQ(Uno(ParteZip(Libro(), "xl/pivotTables/pivotTable1.xml"), "<location ref=\"([^\"]+)\""), "B6:E10");
    EXPECT_EQ(Uno(ParteZip(Libro(), "xl/pivotCache/pivotCacheDefinition1.xml"), "<worksheetSource ref=\"([^\"]+)\""),
              "A1:AT4");
    // The data sheet: "09" stays text, dates are date serials with a date format.
    const QString datos = Hoja(2);
    EXPECT_EQ(Celda(2, "A1"), "EDO_ATEN");
    EXPECT_TRUE(datos.contains(QRegularExpression("<c r=\"N2\"[^>]*t=\"inlineStr\"><is><t>09</t>")));
    EXPECT_TRUE(datos.contains(QRegularExpression("<c r=\"G2\" s=\"\\d+\"><v>38153</v>")));
    CompruebaPartes(Libro());
}

TEST_F(PruebaLibro, MasEventosQueFilasDeLaHojaLoDice)
{
    for (int f = 1; f <= 4; ++f)
        Evento(f, "2004-06-15");

    GeneraTablaDinamica(*p.ctx, 3);

    const QString aviso = "La hoja D_EVENTO_DAT admite 2 de los 4 eventos; la tabla dinámica cuenta solo esos. "
                          "Todos los eventos están en Datos/DinamicaVELMORAN.db";
    EXPECT_EQ(p.mensajes.Ultimo(),
              "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro() + "\n\n" + aviso);
    EXPECT_EQ(Celda(1, "B4"), aviso);
    EXPECT_EQ(Celda(1, "D8"), "2");
    EXPECT_EQ(Uno(ParteZip(Libro(), "xl/pivotCache/pivotCacheDefinition1.xml"), "<worksheetSource ref=\"([^\"]+)\""),
              "A1:AT3");
    CompruebaPartes(Libro());
}

TEST_F(PruebaLibro, SinEventosLaTablaQuedaVaciaPeroEntera)
{
    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro());
    EXPECT_EQ(Celda(1, "B8"), "(en blanco)");
    EXPECT_EQ(Celda(1, "C8"), "");
    CompruebaPartes(Libro());
}

} // namespace
