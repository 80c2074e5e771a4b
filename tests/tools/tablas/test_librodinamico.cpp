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
        EXPECT_TRUE(tipos.contains("PartName=\"/" + parte + "\"") || tipos.contains("Extension=\"" + QFileInfo(parte).suffix() + "\""))
            << parte.toStdString();
        const QString base = QFileInfo(QFileInfo(parte).path()).path();   // the folder above _rels
        for (const QString &destino : parte.endsWith(".rels") ? Todos(ParteZip(libro, parte), "Target=\"([^\"]+)\"") : QStringList()) {
            const QString completo = destino.startsWith('/') ? destino.mid(1) : QDir::cleanPath((base == "." ? QString() : base + "/") + destino);
            EXPECT_TRUE(partes.contains(completo)) << parte.toStdString() << " -> " << completo.toStdString();
        }
    }
    const QString cache = ParteZip(libro, "xl/pivotCache/pivotCacheDefinition1.xml");
    const QString tabla = ParteZip(libro, "xl/pivotTables/pivotTable1.xml");
    const QString wb = ParteZip(libro, "xl/workbook.xml");
    EXPECT_EQ(Uno(wb, "<pivotCache cacheId=\"(\\d+)\""), Uno(tabla, "cacheId=\"(\\d+)\""));
    EXPECT_TRUE(ParteZip(libro, "xl/_rels/workbook.xml.rels").contains("Id=\"" + Uno(wb, "<pivotCache cacheId=\"\\d+\" r:id=\"(\\w+)\"")
        + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/pivotCacheDefinition\""));
    EXPECT_TRUE(cache.contains("refreshOnLoad=\"1\""));
    const QStringList campos = Todos(cache, "<cacheField name=\"([^\"]+)\"");
    EXPECT_EQ(QStringList({QString::number(campos.size()), Uno(cache, "<cacheFields count=\"(\\d+)\""), Uno(tabla, "<pivotFields count=\"(\\d+)\""),
                           QString::number(Todos(tabla, "<pivotField[ >/]").size())}), QStringList(4, "46"));
    EXPECT_EQ(campos.value(Uno(tabla, "<rowFields count=\"1\"><field x=\"(\\d+)\"").toInt()), "UNIDAD");
    EXPECT_EQ(campos.value(Uno(tabla, "<colFields count=\"1\"><field x=\"(\\d+)\"").toInt()), "MES");
    EXPECT_EQ(campos.value(Uno(tabla, "<dataField name=\"Sum of CONTADOR\" fld=\"(\\d+)\"").toInt()), "CONTADOR");
    // Each axis: its items are the shared items plus the subtotal; its lines the items plus the total.
    const QStringList compartidos = Todos(cache, "<sharedItems[^/>]* count=\"(\\d+)\"");
    QStringList lineas;
    for (const QString &n : compartidos)
        lineas << QString::number(n.toInt() + 1);
    EXPECT_EQ(Todos(tabla, "<items count=\"(\\d+)\""), lineas);
    EXPECT_EQ(Todos(tabla, "<(?:row|col)Items count=\"(\\d+)\""), lineas);
}

class PruebaLibro : public PruebaTablas {
protected:
    QString Libro() const { return Ruta("TablaDinamicaVELMORAN.xlsx"); }
    // The inline text or the number of each cell, joined by '|'.
    QString Celdas(int hoja, const QStringList &refs) const
    {
        const QString xml = ParteZip(Libro(), QStringLiteral("xl/worksheets/sheet%1.xml").arg(hoja));
        QStringList r;
        for (const QString &ref : refs)
            r << Uno(xml, "<c r=\"" + ref + "\"[^>]*>(?:<is><t[^>]*>|<v>)([^<]*)<");
        return r.join('|');
    }
    QString Rango(const QString &parte, const QString &elemento) const
    {
        return Uno(ParteZip(Libro(), "xl/" + parte + ".xml"), "<" + elemento + " ref=\"([^\"]+)\"");
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
    EXPECT_EQ(Todos(ParteZip(Libro(), "xl/worksheets/sheet1.xml"), "<mergeCell ref=\"([^\"]+)\""), QStringList({"B1:F1", "B2:F2"}));
    EXPECT_EQ(Celdas(1, {"B1", "B2", "B6"}), "Eventos por Lesión y/o Violencia, Tabla Dinámica VELMORAN|"
                                              "*DELVARIA 2004 Creado el : 06/12/2026|Sum of CONTADOR");
    // Units (the unknown one blank, last) by months in calendar order, and totals.
    EXPECT_EQ(Celdas(1, {"C7", "D7", "E7", "B8", "B9", "B10"}),
              "JUNIO|JULIO|Total general|HOSPITAL GENERAL DE ZONA QUIRVAL 1-A|(en blanco)|Total general");
    EXPECT_EQ(Celdas(1, {"C8", "D8", "E8", "E10"}), "1|1|2|3");
    EXPECT_EQ(Rango("pivotTables/pivotTable1", "location") + " " + Rango("pivotCache/pivotCacheDefinition1", "worksheetSource"), "B6:E10 A1:AT4");
    // The data sheet: "09" stays text, dates are date serials with a date format.
    const QString datos = ParteZip(Libro(), "xl/worksheets/sheet2.xml");
    EXPECT_EQ(Celdas(2, {"A1"}), "EDO_ATEN");
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
    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro() + "\n\n" + aviso);
    EXPECT_EQ(Celdas(1, {"B4", "D8"}), aviso + "|2");
    EXPECT_EQ(Rango("pivotCache/pivotCacheDefinition1", "worksheetSource"), "A1:AT3");
    CompruebaPartes(Libro());
}

TEST_F(PruebaLibro, SinEventosLaTablaQuedaVaciaPeroEntera)
{
    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro());
    EXPECT_EQ(Celdas(1, {"B8", "C8"}), "(en blanco)|");
    CompruebaPartes(Libro());
}

} // namespace
