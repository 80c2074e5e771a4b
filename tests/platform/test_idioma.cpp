#include "comun/Modales.h"
#include "comun/ProgramaTemporal.h"
#include "platform/DialogoArchivos.h"
#include "platform/IdiomaQt.h"
#include "platform/ReportePintor.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QTabWidget>
#include <QTreeView>
#include <gtest/gtest.h>
#include <utime.h>

namespace {

// Every text a window shows in its buttons, labels, group titles and tabs.
QStringList TextosVisibles(QWidget *w)
{
    QStringList textos;
    for (auto *b : w->findChildren<QAbstractButton *>())
        textos << b->text();
    for (auto *l : w->findChildren<QLabel *>())
        textos << l->text();
    for (auto *g : w->findChildren<QGroupBox *>())
        textos << g->title();
    for (auto *t : w->findChildren<QTabWidget *>())
        for (int i = 0; i < t->count(); ++i)
            textos << t->tabText(i);
    textos.removeAll(QString());
    return textos;
}

// Texts Qt's Spanish catalogue leaves in English.
const QStringList EnIngles = {"Pages", "Double Sided Printing", "Long side binding", "Short side binding", "Off",
                              "Advanced", "Copies", "Options", "Print range", "Collate", "Reverse", "Page", "Paper"};

} // namespace

// The program's own file dialog on a machine in the C locale: sizes and
// dates as Mexican Spanish writes them, Qt's texts in Spanish, and at the
// size it opens every column reads whole.
TEST(IdiomaQt, DialogoDeArchivosEnEspanolConSusColumnasEnteras)
{
    EXPECT_NE(QLocale::system().language(), QLocale::Spanish) << "la prueba corre en el locale C";
    PreparaIdiomaQt();
    ProgramaTemporal p;
    // Qt's dialog restores the columns the last one saved: none here.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, p.Carpeta() + "/config");
    const QString carpeta = p.Carpeta() + "/Respaldos";
    ASSERT_TRUE(QDir().mkpath(carpeta + "/Anteriores"));
    const QDateTime hora(QDate(2026, 12, 7), QTime(8, 32, 4));
    const utimbuf tiempos{hora.toSecsSinceEpoch(), hora.toSecsSinceEpoch()};
    for (const auto &[nombre, tamano] : {std::pair<QString, int>{"Respaldo_VELMORAN2609.ZIP", 1007616},
                                         {"VELMORAN2609.db", 74940}, {"TablaCompletaVELMORAN.xlsx", 238410}}) {
        QFile f(carpeta + "/" + nombre);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(tamano));
    }
    for (const QString &nombre : QDir(carpeta).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        ASSERT_EQ(utime(QFile::encodeName(carpeta + "/" + nombre).constData(), &tiempos), 0);

    QStringList filas, cortadas, cabeceras;
    bool caben = false;
    AlAbrirse([&](QWidget *w) {
        auto *dialogo = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(dialogo, nullptr);
        auto *lista = dialogo->findChild<QTreeView *>("treeView");
        // Until the folder's four entries are listed.
        QElapsedTimer espera;
        espera.start();
        while (lista->model()->rowCount(lista->rootIndex()) < 4 && espera.elapsed() < 10000)
            QTest::qWait(20);
        QTest::qWait(100);
        const QModelIndex raiz = lista->rootIndex();
        for (int c = 0; c < 4; ++c)
            cabeceras << lista->model()->headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < lista->model()->rowCount(raiz); ++r) {
            QStringList celdas;
            for (int c = 0; c < 4; ++c) {
                const QModelIndex i = lista->model()->index(r, c, raiz);
                // The type's words are the system's description of the file's kind.
                if (c != 2 || r == 0)
                    celdas << i.data().toString();
                if (lista->sizeHintForIndex(i).width() > lista->columnWidth(c))
                    cortadas << i.data().toString();
            }
            filas << celdas.join(" | ");
        }
        caben = lista->header()->length() <= lista->viewport()->width();
        Cancela(dialogo);
    });
    EXPECT_EQ(DialogoArchivosQt().Abrir("Abrir", carpeta, "Todos los archivos (*)"), "");

    EXPECT_EQ(cabeceras, QStringList({"Nombre", "Tamaño", "Tipo", "Última modificación"}));
    const QString fecha = "07/12/26 08:32";
    EXPECT_EQ(filas, QStringList({"Anteriores |  | Carpeta | " + fecha, "Respaldo_VELMORAN2609.ZIP | 984.00 KiB | " + fecha,
                                  "TablaCompletaVELMORAN.xlsx | 232.82 KiB | " + fecha, "VELMORAN2609.db | 73.18 KiB | " + fecha}));
    EXPECT_EQ(cortadas, QStringList());
    EXPECT_TRUE(caben);
}

// Qt's print dialog as the program shows it, its options unfolded, and its
// printer properties: every text in Spanish.
TEST(IdiomaQt, DialogoDeImpresionEnEspanol)
{
    PreparaIdiomaQt();
    QPrinter impresora(QPrinter::HighResolution);
    const auto dialogo = DialogoImpresion(impresora, nullptr);
    dialogo->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialogo.get()));
    for (auto *b : dialogo->findChildren<QAbstractButton *>())
        if (b->text() == "&Opciones >>")
            b->click();
    QStringList textos = TextosVisibles(dialogo.get());
    auto texto = [&](const char *nombre) {
        auto *b = dialogo->findChild<QAbstractButton *>(nombre);
        return b ? b->text() : QString();
    };
    EXPECT_EQ(texto("pagesRadioButton"), "Páginas");
    EXPECT_EQ(texto("noDuplex"), "Desactivada");
    EXPECT_EQ(texto("duplexLong"), "Encuadernación por el lado largo");
    EXPECT_EQ(texto("duplexShort"), "Encuadernación por el lado corto");
    auto *dobleCara = dialogo->findChild<QGroupBox *>("duplex");
    ASSERT_NE(dobleCara, nullptr);
    EXPECT_EQ(dobleCara->title(), "Impresión a doble cara");
    EXPECT_TRUE(dialogo->findChild<QWidget *>("pagesLineEdit")->toolTip().startsWith("Indique páginas o intervalos"));

    QStringList propiedades;
    AlAbrirse([&](QWidget *w) {
        propiedades = TextosVisibles(w);
        propiedades << w->windowTitle();
        Cancela(w);
    });
    dialogo->findChild<QAbstractButton *>("properties")->click();
    EXPECT_TRUE(propiedades.contains("Propiedades de impresora")) << propiedades.join("|").toStdString();
    textos << propiedades;
    QStringList ingles;
    for (const QString &t : textos)
        if (EnIngles.contains(t))
            ingles << t;
    EXPECT_EQ(ingles, QStringList());
    dialogo->reject();
}
