// What the sheet shows at the size it opens with: every description and every
// list item with the longest texts of the template's own catalogs.
#include "AmbienteRegistro.h"

#include "capture/frmRegistro.h"
#include "lookups/Descripciones.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyleHints>
#include <QStyleOptionViewItem>

namespace {

class Pantalla : public AmbienteRegistro {
protected:
    // The code (or codes, '|' apart) whose description is the longest.
    QString Mayor(const QString &sql) { return prog.Valor(sql + " ORDER BY length(d) DESC, 1 LIMIT 1").toString(); }
};

// Whether an item's text fits the room its check list gives it on screen,
// over as many lines as the item's height holds when the list wraps.
bool ItemEntero(QListWidget *lista, int fila)
{
    const QListWidgetItem *item = lista->item(fila);
    QStyleOptionViewItem o;
    o.initFrom(lista);
    o.rect = lista->visualItemRect(item);
    o.rect.setWidth(qMin(o.rect.width(), lista->viewport()->width()));
    o.text = item->text();
    o.font = lista->font();
    o.fontMetrics = QFontMetrics(o.font);
    o.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
    if (lista->wordWrap())
        o.features |= QStyleOptionViewItem::WrapText;
    o.checkState = item->checkState();
    o.decorationPosition = QStyleOptionViewItem::Left;
    o.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    o.widget = lista;
    const int margen = lista->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lista) + 1;
    const QRect caja = lista->style()->subElementRect(QStyle::SE_ItemViewItemText, &o, lista).adjusted(margen, 0, -margen, 0);
    const QRect necesita = o.fontMetrics.boundingRect(
        caja, Qt::AlignLeft | Qt::AlignVCenter | (lista->wordWrap() ? Qt::TextWordWrap : 0), o.text);
    return necesita.width() <= caja.width() && necesita.height() <= caja.height();
}

// At its default size the sheet shows every description whole; where its
// rows leave no room for the longest (the state, municipality and locality
// share one row; two agents of the injury; the longest ICD-10 names), the
// description reads whole in its tip. Every list item reads whole, long ones
// over two lines.
TEST_F(Pantalla, DescripcionesYElementosSeLeenEnterosEnElTamanoDeLaHoja)
{
    Graba();
    QMdiArea area;
    area.resize(1024, 720);
    area.show();
    frmRegistro *w = AbreHojaRegistro(*prog.ctx, area);
    auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
    ASSERT_TRUE(sub && sub->size() == sub->sizeHint() && sub->minimumSize() == sub->maximumSize());
    HojaDatos &hoja = w->Hoja();
    const QList<int> sinLugar = {46, 47, 48, 56, 76, 77, 78};

    // Field texts (in order) that show the longest description in label `etiqueta`.
    QList<std::pair<int, QList<std::pair<int, QString>>>> casos;
    for (int i = 37; i <= 80; ++i)
        if (const QString cat = CatalogoDeCampo(i); !cat.isEmpty())
            casos.append({i, {{i, Mayor(QString("SELECT Cod%1, Descripcion AS d FROM c%1").arg(cat))}}});
    casos.append({28, {{23, Mayor("SELECT Clues, DescUnidad AS d FROM CATCLUES")}}});
    casos.append({46, {{46, Mayor("SELECT CodEstado, Descripcion AS d FROM cEstados")}}});
    const QStringList mpo = Mayor("SELECT CodEstado || '|' || CodMunicipio, Descripcion AS d FROM cMunicipios").split('|');
    casos.append({47, {{46, mpo[0]}, {47, mpo[1]}}});
    const QStringList loc =
        Mayor("SELECT CodEstado || '|' || CodMunicipio || '|' || CodLocalidad, Descripcion AS d FROM cLocalidades").split('|');
    casos.append({48, {{46, loc[0]}, {47, loc[1]}, {48, loc[2]}}});
    const QString lesion = Mayor("SELECT Causa, nombre AS d FROM CATCIE10 WHERE substr(Causa, 1, 1) IN ('F', 'O', 'S', 'T')");
    casos.append({76, {{76, lesion}}});
    casos.append({77, {{77, lesion}}});
    casos.append({78, {{78, Mayor("SELECT Causa, nombre AS d FROM CATCIE10 WHERE substr(Causa, 1, 1) IN ('V', 'W', 'X', 'Y')")}}});
    for (const auto &[etiqueta, textos] : casos) {
        for (const auto &[campo, texto] : textos)
            hoja.PonTexto(campo, texto);
        const QLabel *l = w->lblDatos(etiqueta);
        ASSERT_TRUE(l && !l->text().isEmpty() && l->text() != CveInexistente()) << etiqueta;
        if (sinLugar.contains(etiqueta))
            EXPECT_EQ(l->toolTip(), l->text()) << etiqueta;
        else
            EXPECT_LE(l->sizeHint().width(), l->width()) << etiqueta << " " << l->text().toStdString();
    }

    // Every care type offered, as after ticking sexual violence.
    w->Registro().eventos.CargaLista("TipoAtencion", "CodTipoAtencion", ListaHoja::TipoAtencion);
    for (int l = 0; l < 5; ++l) {
        QListWidget *lista = w->Lista(ListaHoja(l));
        ASSERT_GT(lista->count(), 4) << l;
        for (int f = 0; f < lista->count(); ++f)
            EXPECT_TRUE(ItemEntero(lista, f)) << lista->objectName().toStdString() << ": " << lista->item(f)->text().toStdString();
    }
}

// Pictures of both pages of the sheet, browsing a stored event and adding a
// new one, into the folder VELMORAN_CAPTURAS names (skipped without it): run
// under xvfb-run before and after a change of the layout code, equal files
// mean the sheet looks the same.
TEST_F(Pantalla, CapturasDeLasPaginasDeLaHoja)
{
    const QString carpeta = qEnvironmentVariable("VELMORAN_CAPTURAS");
    if (carpeta.isEmpty())
        GTEST_SKIP() << "VELMORAN_CAPTURAS no está puesta";
    // A steady caret, so that two pictures of a focused field agree.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    Graba();
    QMdiArea area;
    area.resize(1024, 720);
    area.show();
    frmRegistro *w = AbreHojaRegistro(*prog.ctx, area);
    for (const QString modo : {"consulta", "alta"}) {
        if (modo == "alta")
            w->Vida().BotonPulsado(5);
        for (int pagina : {0, 1}) {
            w->Hoja().PonPagina(pagina);
            QApplication::processEvents();
            const QString archivo = QDir(carpeta).filePath(QStringLiteral("hoja_%1_%2.png").arg(modo).arg(pagina + 1));
            EXPECT_TRUE(w->grab().save(archivo)) << archivo.toStdString();
        }
    }
}

} // namespace
