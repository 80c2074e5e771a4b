// The print preview's two ways out: a printer, or a PDF through the program's
// file dialog with the refusals of every output file.
#include "comun/DialogoFijo.h"
#include "comun/Modales.h"
#include "comun/ProgramaTemporal.h"
#include "platform/ArchivoDestino.h"
#include "platform/ReportePintor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class VistaPrevia : public ::testing::Test, public ProgramaTemporal {
protected:
    VistaPrevia()
    {
        AbreBase();
        Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                "VALUES ('DFSSA000012', 1, '2004-06-15', 'PEREZ', '2004-06-15')");
        FuenteLista fuente({"nombre"}, {{"RENGLON DE PRUEBA"}});
        doc = MaquetaReporte(LeeDefinicionReporte(R"({"columnas": [{"campo": "nombre", "titulo": "NOMBRE", "ancho": 60}]})",
                                                  "prueba"), {}, fuente, "Catálogo de Prueba");
    }

    // Opens the preview, clicks one of its buttons, lets `responde` answer what
    // that opens (nothing, when null) and closes the preview.
    void Pulsa(const QString &boton, const std::function<void(QWidget *)> &responde, DialogoArchivos *dialogo = nullptr)
    {
        AlAbrirse([&](QWidget *vista) {
            QPushButton *b = nullptr;
            for (QPushButton *p : vista->findChildren<QPushButton *>())
                if (p->text() == boton)
                    b = p;
            ASSERT_NE(b, nullptr) << boton.toStdString();
            if (responde)
                AlAbrirse(responde);
            else   // nothing is to open over the preview
                QTimer::singleShot(3000, vista, [vista] {
                    if (QWidget *w = QApplication::activeModalWidget(); w && w != vista) {
                        ADD_FAILURE() << "se abrió " << w->metaObject()->className();
                        Cancela(w);
                    }
                });
            QTest::mouseClick(b, Qt::LeftButton);
            Cancela(vista);
        });
        MuestraVistaPrevia(doc, SalidaReporte{mensajes, dialogo, Carpeta(), {ctx->ArchivoBD, ctx->ArchivoPlantilla()}}, nullptr);
    }

    QString Huella(const QString &archivo) const
    {
        return QCryptographicHash::hash(LeeArchivo(archivo), QCryptographicHash::Sha1).toHex();
    }

    DocumentoReporte doc;
};

// In the real file dialog: puts the path in its name box (as pasted) and
// presses Enter. A dialog that took another folder gives nothing.
std::function<void(QWidget *)> Elige(const QString &ruta)
{
    return [ruta](QWidget *w) {
        auto *dialogo = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(dialogo, nullptr);
        auto *nombre = dialogo->findChild<QLineEdit *>("fileNameEdit");
        nombre->setFocus();
        nombre->setText(ruta);
        // The completer may take a Return for a completion: again until the dialog takes it.
        for (int i = 0; i < 50 && dialogo->isVisible(); ++i) {
            if (QCompleter *c = nombre->completer())
                c->popup()->hide();
            QTest::keyClick(nombre, Qt::Key_Return);
            if (dialogo->isVisible())
                QTest::qWait(100);
        }
        const QString elegida = dialogo->selectedFiles().value(0);
        if (dialogo->isVisible() || QFileInfo(elegida).path() != QFileInfo(ruta).path()) {
            ADD_FAILURE() << "el diálogo no tomó " << ruta.toStdString() << " sino " << elegida.toStdString();
            dialogo->reject();
            dialogo->setResult(QDialog::Rejected);
        }
    };
}

QString TextoDePdf(const QString &archivo)
{
    QProcess p;
    p.start("pdftotext", {archivo, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// The working database, its journal and the template, typed into the real
// file dialog of "Guardar PDF...", are refused with the exports' words and
// stay as they were; a good name gets the PDF, written whole, nothing left beside it.
TEST_F(VistaPrevia, GuardarPdfRehusaLaBaseSusDiariosYLaPlantilla)
{
    const QString plantilla = ctx->ArchivoPlantilla(), huella = Huella(plantilla);
    for (const QString &ruta : {ctx->ArchivoBD, ctx->ArchivoBD + "-wal", plantilla}) {
        mensajes.Limpia();
        Pulsa("Guardar PDF...", Elige(ruta));
        ASSERT_EQ(mensajes.cajas.size(), 1) << ruta.toStdString();
        EXPECT_EQ(mensajes.Ultimo(), "El archivo " + ruta + " es la Base de Datos de trabajo, su plantilla o una Base de "
                                     "Datos abierta; no se puede exportar sobre él. Elija otro nombre.....");
        EXPECT_EQ(mensajes.cajas[0].titulo, "Catálogo de Prueba");
        EXPECT_EQ(BloqueosPerdidos(ctx->ArchivoBD), "") << ruta.toStdString();
        EXPECT_EQ(Filas("PRAGMA integrity_check") + Filas("SELECT Paterno FROM D_EVENTO"), QStringList({"ok", "PEREZ"}));
    }
    EXPECT_THROW(GuardaPdf(doc, plantilla, {ctx->ArchivoBD, plantilla}), ErrorReporte);
    EXPECT_EQ(Huella(plantilla), huella);

    mensajes.Limpia();
    Pulsa("Guardar PDF...", Elige(Carpeta() + "/Salida"));
    const QString pdf = Carpeta() + "/Salida.pdf";
    EXPECT_EQ(mensajes.Ultimo(), "Se guardó el reporte en el archivo:\n" + pdf);
    EXPECT_TRUE(TextoDePdf(pdf).contains("RENGLON DE PRUEBA"));
    EXPECT_EQ(QDir(Carpeta()).entryList({"*Salida*"}, QDir::Files | QDir::Hidden), QStringList({"Salida.pdf"}));
}

// A folder that cannot be written is refused in Spanish, named, before the
// report is painted; the file dialog is the real one, and the PDF writer
// refuses it alike.
TEST_F(VistaPrevia, GuardarPdfEnUnaCarpetaSinEscrituraLaNombraAntesDePintar)
{
    const QString carpeta = Carpeta() + "/solo";
    CarpetaSoloLectura soloLectura(carpeta);
    if (!soloLectura.Lista())
        GTEST_SKIP() << "no se pudo hacer una carpeta de solo lectura";
    const QString dice = "No se puede escribir en la carpeta " + carpeta + ": esa carpeta debe permitir escritura, "
                         "verifique por favor.....";
    Pulsa("Guardar PDF...", Elige(carpeta + "/Salida"));
    ASSERT_EQ(mensajes.cajas.size(), 1);
    EXPECT_EQ(mensajes.Ultimo(), dice);
    EXPECT_EQ(mensajes.cajas[0].titulo, "Catálogo de Prueba");
    try {
        GuardaPdf(doc, carpeta + "/Salida.pdf");
        ADD_FAILURE() << "se dio por guardado";
    } catch (const ErrorReporte &e) {
        EXPECT_EQ(e.Texto(), dice);
    }
}

// A name with a wildcard typed in the real dialog is a pattern: the listing
// shows what matches it, in the folder typed before it, and the dialog stays
// open; the name typed next is the one saved. No "*.pdf" is written.
TEST_F(VistaPrevia, GuardarPdfUnNombreConComodinFiltraLaListaYNoSeGuarda)
{
    const QString carpeta = Carpeta() + "/salidas";
    QDir().mkpath(carpeta);
    for (const char *nombre : {"nota.txt", "otra.txt", "previo.pdf"})
        EscribeArchivo(carpeta + "/" + nombre, "x");
    QStringList vistos[2];
    Pulsa("Guardar PDF...", [&](QWidget *w) {
        auto *dialogo = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(dialogo, nullptr);
        auto *nombre = dialogo->findChild<QLineEdit *>("fileNameEdit");
        auto *lista = dialogo->findChild<QAbstractItemView *>("listView");
        const auto listados = [lista] {
            QStringList l;
            for (int i = 0; i < lista->model()->rowCount(lista->rootIndex()); ++i)
                l << lista->model()->index(i, 0, lista->rootIndex()).data().toString();
            l.sort();
            return l;
        };
        int n = 0;
        for (const QString &patron : {carpeta + "/*.txt", QString("*")}) {
            nombre->setFocus();
            nombre->setText(patron);
            QTest::keyClick(nombre, Qt::Key_Return);
            ASSERT_TRUE(dialogo->isVisible()) << patron.toStdString();
            const int esperados = n == 0 ? 2 : 3;
            EXPECT_TRUE(QTest::qWaitFor([&] { return listados().size() == esperados; }, 5000)) << patron.toStdString();
            vistos[n++] = listados();
        }
        Elige(carpeta + "/Salida")(w);
    });
    EXPECT_EQ(vistos[0], QStringList({"nota.txt", "otra.txt"}));
    EXPECT_EQ(vistos[1], QStringList({"nota.txt", "otra.txt", "previo.pdf"}));
    EXPECT_EQ(mensajes.Ultimo(), "Se guardó el reporte en el archivo:\n" + carpeta + "/Salida.pdf");
    EXPECT_EQ(QDir(carpeta).entryList(QDir::Files | QDir::Hidden), QStringList({"nota.txt", "otra.txt", "previo.pdf", "Salida.pdf"}));
}

// A PDF over a file that is there is asked for first, as the exports ask.
TEST_F(VistaPrevia, GuardarPdfSobreUnArchivoPreguntaAntes)
{
    DialogoFijo dialogo;
    dialogo.ruta = Carpeta() + "/Previo.pdf";
    EscribeArchivo(dialogo.ruta, "previo");
    mensajes.Responde(false);
    Pulsa("Guardar PDF...", nullptr, &dialogo);
    EXPECT_EQ(dialogo.pedido, "Guardar PDF|" + Carpeta() + "|Catálogo de Prueba.pdf|Archivos PDF (*.pdf)");
    EXPECT_EQ(mensajes.Ultimo(), "El archivo " + dialogo.ruta + " ya existe.\n¿Desea reemplazarlo?");
    EXPECT_EQ(LeeArchivo(dialogo.ruta), "previo");
    mensajes.Responde(true);
    Pulsa("Guardar PDF...", nullptr, &dialogo);
    EXPECT_TRUE(TextoDePdf(dialogo.ruta).contains("RENGLON DE PRUEBA"));
}

// Without a printer "Imprimir..." says so and offers the PDF instead.
TEST_F(VistaPrevia, ImprimirSinImpresoraLoDiceYOfreceElPdf)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "hay impresoras instaladas";
    DialogoFijo dialogo;
    dialogo.ruta = Carpeta() + "/Impreso";
    mensajes.Responde(false);
    Pulsa("Imprimir...", nullptr, &dialogo);
    ASSERT_EQ(mensajes.cajas.size(), 1);
    EXPECT_EQ(mensajes.Ultimo(), "No hay ninguna impresora instalada en este equipo.\n¿Desea guardar el reporte como PDF?");
    EXPECT_TRUE(mensajes.cajas[0].pregunta && mensajes.cajas[0].titulo == "Catálogo de Prueba");
    EXPECT_EQ(dialogo.pedido, "");
    mensajes.Responde(true);
    Pulsa("Imprimir...", nullptr, &dialogo);
    EXPECT_TRUE(TextoDePdf(Carpeta() + "/Impreso.pdf").contains("RENGLON DE PRUEBA"));
}

// Qt's print dialog as the program shows it: printers only, no output file
// box, nothing in it that completes paths or lists a folder.
TEST(DialogoImpresion, SoloImpresorasSinArchivoNiListaDeCarpetas)
{
    QPrinter impresora(QPrinter::HighResolution);
    const auto dialogo = DialogoImpresion(impresora, nullptr);
    dialogo->show();
    QTest::qWait(100);
    auto *impresoras = dialogo->findChild<QComboBox *>("printers");
    ASSERT_NE(impresoras, nullptr);
    QStringList nombres;
    for (int i = 0; i < impresoras->count(); ++i)
        nombres << impresoras->itemText(i);
    EXPECT_EQ(nombres, QPrinterInfo::availablePrinterNames());
    QStringList cajas;
    for (QLineEdit *c : dialogo->findChildren<QLineEdit *>())
        if (c->isVisible() && c->completer())
            cajas << c->objectName();
    EXPECT_EQ(cajas, QStringList());
    EXPECT_TRUE(dialogo->findChildren<QFileSystemModel *>().isEmpty() && dialogo->findChildren<QCompleter *>().isEmpty());
    dialogo->reject();
}

// A PDF that the disk cannot hold is not given for saved: the file that was
// there stays, nothing is left beside it, and the user reads why.
TEST_F(VistaPrevia, PdfEnDiscoLlenoNoReemplazaNiDejaRestos)
{
    const QString carpeta = Carpeta() + "/lleno", pdf = carpeta + "/R.pdf";
    DiscoPequeno disco(carpeta, "1m");
    if (!disco.Montado())
        GTEST_SKIP() << "no se pudo montar un disco pequeño";
    EscribeArchivo(pdf, "previo");
    disco.Llena();
    try {
        GuardaPdf(doc, pdf);
        ADD_FAILURE() << "se dio por guardado";
    } catch (const ErrorReporte &e) {
        EXPECT_EQ(e.Texto(), TextoDiscoLleno(pdf));
    }
    EXPECT_EQ(LeeArchivo(pdf), "previo");
    EXPECT_EQ(QDir(carpeta).entryList(QDir::Files | QDir::Hidden), QStringList({".relleno", "R.pdf"}));
}
