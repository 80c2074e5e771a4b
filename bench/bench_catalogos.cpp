// Speed and memory of the catalogs on large catalogs: opening the
// localities over 300,000 rows and the health units over 40,000, and each
// keystroke of a search in them, each beside the same work in plain SQLite
// (reading every row; one LIKE query per keystroke); then printing the
// localities: the print preview (memory while shown and once closed) and the
// PDF, beside a plain read of the same rows. Never fails a run. Ends with one
// line per goal: figure, plain figure, ratio.
//
//   velmoran_bench_catalogos [N] [--estado EE] [--ano AAAA] ... [--localidades K]
//   N and the events' options do not apply (the catalogs are those of the
//   template); K localities (default 300,000, the size the goals stand for)

#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "catalogs/modCatalogos.h"
#include "platform/ReportePintor.h"
#include "reports/modReportes.h"

#include <QDir>
#include <QMdiArea>
#include <QPainter>
#include <QPdfWriter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <optional>
#include <array>
#include <malloc.h>
#include <sqlite3.h>
#include <string>

namespace {

using Filas = std::vector<std::vector<std::string>>;

// Reads every row as text, as a window must before it can show the last one;
// tells the memory the rows take, and hands them over when asked.
double LeePlano(sqlite3 *db, const char *sql, double *mb, Filas *filas = nullptr)
{
    const double antes = MemoriaMB("VmRSS:");
    Filas v;
    const double ms = Milisegundos([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::vector<std::string> fila;
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, i));
                fila.emplace_back(t ? t : "");
            }
            v.push_back(std::move(fila));
        }
        sqlite3_finalize(s);
    });
    *mb = MemoriaMB("VmRSS:") - antes;
    if (filas)
        *filas = std::move(v);
    return ms;
}

// The same pages drawn with plain Qt: the rows already read, one line of
// text each in the columns, as many lines per page as the catalog print
// puts, on the same paper in the same font.
double PdfPlano(const Filas &filas, const DocumentoReporte &doc, const QString &ruta)
{
    return Milisegundos([&] {
        QPdfWriter pdf(ruta);
        pdf.setResolution(72);
        pdf.setPageLayout(doc.pagina);
        QPainter p(&pdf);
        QFont letra(doc.fuentes.value(0).familia);
        letra.setPointSizeF(doc.fuentes.value(0).puntos);
        p.setFont(letra);
        const size_t porPagina = std::max<size_t>(1, (filas.size() + size_t(std::max(1, doc.Paginas())) - 1) / size_t(std::max(1, doc.Paginas())));
        const QSizeF hoja = doc.pagina.fullRectPoints().size();
        const double linea = (hoja.height() - 100) / double(porPagina);
        const double columnas[] = {0, 0.06, 0.3, 0.36, 0.62, 0.7};
        for (size_t i = 0; i < filas.size(); ++i) {
            if (i > 0 && i % porPagina == 0)
                pdf.newPage();
            const double y = 60 + double(i % porPagina) * linea;
            for (size_t c = 0; c < filas[i].size() && c < std::size(columnas); ++c)
                p.drawText(QPointF(30 + columnas[c] * (hoja.width() - 60), y), QString::fromUtf8(filas[i][c].c_str()));
        }
    });
}

// The filter of one keystroke as a LIKE query, its rows counted.
double FiltraPlano(sqlite3 *db, const char *sql, const std::vector<std::string> &valores)
{
    return Milisegundos([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        for (size_t i = 0; i < valores.size(); ++i)
            sqlite3_bind_text(s, int(i) + 1, valores[i].c_str(), -1, SQLITE_TRANSIENT);
        int n = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            ++n;
        sqlite3_finalize(s);
    });
}

void Memoria(const char *nombre, double antes)
{
    std::printf("%-52s %8.1f MB (process %0.1f MB, peak %0.1f MB)\n", nombre, MemoriaMB("VmRSS:") - antes, MemoriaMB("VmRSS:"),
                MemoriaMB("VmHWM:"));
}

// The localities printed: laid out and shown in the preview with its first
// and last page painted, then closed; laid out again and saved as PDF.
void Imprime(Contexto &ctx, Metas &metas)
{
    const char *sql = "SELECT l.CodEstado, e.Descripcion, l.CodMunicipio, m.Descripcion, l.CodLocalidad, l.Descripcion "
                      "FROM cLocalidades l LEFT JOIN cEstados e ON e.CodEstado = l.CodEstado LEFT JOIN cMunicipios m "
                      "ON m.CodEstado = l.CodEstado AND m.CodMunicipio = l.CodMunicipio ORDER BY 1, 3, 5";
    sqlite3 *db = nullptr;
    sqlite3_open_v2(qPrintable(ctx.ArchivoBD), &db, SQLITE_OPEN_READONLY, nullptr);
    double mbPlano = 0;
    const double leer = LeePlano(db, sql, &mbPlano);
    Cifra("plain SQLite: read the localities to print", leer);
    malloc_trim(0);

    const double antes = MemoriaMB("VmRSS:");
    QFile limpia(QStringLiteral("/proc/self/clear_refs"));   // the peak starts again from here
    if (limpia.open(QIODevice::WriteOnly))
        limpia.write("5");
    limpia.close();
    int paginas = 0;
    const double vista = Milisegundos([&] {
        ImprimeReporteCatalogo(ctx, QStringLiteral("rptCatLocalidades"), {}, [&](const DocumentoReporte &d) {
            paginas = d.Paginas();
            QTimer::singleShot(0, [] {
                QWidget *w = QApplication::activeModalWidget();
                if (!w)
                    return;
                w->grab();
                if (auto *area = w->findChild<QScrollArea *>())
                    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
                w->grab();
                w->close();
            });
            MuestraVistaPrevia(d, nullptr);
        });
    });
    const double pico = MemoriaMB("VmHWM:");
    malloc_trim(0);
    const double despues = MemoriaMB("VmRSS:");
    std::printf("localities printed: %d pages\n", paginas);
    Cifra("print preview: lay out, show first and last page, close", vista);
    std::printf("%-52s %8.1f MB (before %0.1f MB, after closing %0.1f MB)\n", "print preview: peak", pico, antes, despues);

    std::optional<DocumentoReporte> doc;
    ImprimeReporteCatalogo(ctx, QStringLiteral("rptCatLocalidades"), {}, [&](const DocumentoReporte &d) { doc = d; });
    if (!doc) {
        sqlite3_close(db);
        return;
    }
    const QString ruta = QDir(ctx.CarpetaPrograma).filePath(QStringLiteral("localidades.pdf"));
    const double pdf = Milisegundos([&] { GuardaPdf(*doc, ruta); });
    Cifra("PDF of the localities", pdf);
    // The rows read again for the plain pages, after the preview's memory figures.
    Filas filas;
    double mb = 0;
    LeePlano(db, sql, &mb, &filas);
    sqlite3_close(db);
    const double pdfPlano = PdfPlano(filas, *doc, QDir(ctx.CarpetaPrograma).filePath(QStringLiteral("localidades_plano.pdf")));
    Cifra("plain Qt: the same pages drawn with QPdfWriter and QPainter", pdfPlano);
    filas.clear();
    doc.reset();
    metas.Agrega("vista previa: pico (plano: antes + filas leídas)", pico, antes + mbPlano, "MB", 0, 200);
    metas.Agrega("memoria devuelta al cerrar (plano: antes)", despues, antes, "MB");
    metas.Agrega("vista previa mostrada y cerrada (plano: leer filas)", vista, leer, "ms");
    metas.Agrega("PDF de las localidades (plano: mismas páginas con Qt)", pdf, pdfPlano, "ms", 0, 5000);
}

int Corre(const OpcionesBanco &opciones)
{
    // The catalog's own size: the goals stand for 300,000 localities, whatever N.
    const int localidades = std::max(1, opciones.propias.value(QStringLiteral("--localidades"), QStringLiteral("300000")).toInt());
    const int unidades = std::max(1, localidades * 2 / 15);   // 40,000 beside 300,000
    ProgramaBanco programa(opciones);
    Contexto &ctx = programa.ctx;
    if (!programa.AbreBase())
        return 0;
    programa.CopiaReportes();
    GeneraLocalidades(ctx.ConexionBD, localidades);
    GeneraUnidades(ctx.ConexionBD, unidades);
    std::printf("localities: %d, health units: %d\n", localidades, unidades);
    Metas metas;
    double leerLocalidades = 0;

    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(qPrintable(ctx.ArchivoBD), &db, SQLITE_OPEN_READONLY, nullptr);
        double mb = 0;
        leerLocalidades = LeePlano(db, "SELECT * FROM cLocalidades ORDER BY CodEstado, CodMunicipio, CodLocalidad", &mb);
        Cifra("plain SQLite: read every locality", leerLocalidades);
        std::printf("%-52s %8.1f MB\n", "plain SQLite: memory of the localities read", mb);
        malloc_trim(0);
        Cifra("plain SQLite: read every health unit", LeePlano(db, "SELECT * FROM CATCLUES ORDER BY Clues", &mb));
        const char *porCodigo = "SELECT * FROM cLocalidades WHERE CodEstado LIKE ? AND CodMunicipio LIKE ?";
        double peor = 0;
        for (const auto &v : std::vector<std::vector<std::string>>{{"1%", "%"}, {"15%", "%"}, {"15%", "1%"},
                                                                   {"15%", "12%"}, {"15%", "123%"}})
            peor = std::max(peor, FiltraPlano(db, porCodigo, v));
        Cifra("plain SQLite: slowest code-prefix LIKE keystroke", peor);
        peor = 0;
        for (const char *t : {"%P%", "%PE%", "%PEÑ%", "%PEÑA%"})
            peor = std::max(peor, FiltraPlano(db, "SELECT * FROM cLocalidades WHERE Descripcion LIKE ?", {t}));
        Cifra("plain SQLite: slowest description LIKE keystroke", peor);
        sqlite3_close(db);
        malloc_trim(0);
    }

    {
        ListaSeleccion l;
        Cifra("ListaSeleccion: read every locality", Milisegundos([&] {
                  l.Carga(ctx.ConexionBD, QStringLiteral("SELECT * FROM cLocalidades ORDER BY CodEstado, CodMunicipio, CodLocalidad"));
              }));
    }
    malloc_trim(0);
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    ServiciosCatalogos servicios;
    {
        const double antes = MemoriaMB("VmRSS:");
        VentanaCatalogo *w = nullptr;
        const double abrir = Milisegundos([&] { w = CargaCatLocalidades(ctx, area, servicios); });
        Cifra("frmCatLocalidades: open (read, build, show)", abrir);
        metas.Agrega("ventana de localidades abierta (plano: leer sus filas)", abrir, leerLocalidades, "ms", 1.5);
        Memoria("frmCatLocalidades: memory", antes);
        std::printf("  rows listed: %d\n", w->Catalogo().Lista().Cantidad());
        Teclea("frmCatLocalidades: state box \"15\"", w->txtDatos(4), QStringLiteral("15"));
        Teclea("frmCatLocalidades: municipality box \"123\"", w->txtDatos(5), QStringLiteral("123"));
        Teclea("frmCatLocalidades: emptying the municipality box", w->txtDatos(5), QString(3, QChar(8)));
        Teclea("frmCatLocalidades: description \"peña\" (state kept)", w->txtDatos(7), QStringLiteral("peña"));
        Teclea("frmCatLocalidades: no match and reset", w->txtDatos(7), QStringLiteral("Z"));
        Teclea("frmCatLocalidades: description \"el ñandú\" over all", w->txtDatos(7), QStringLiteral("el ñandú"));
        Cifra("frmCatLocalidades: button 4 (last row)", Milisegundos([&] { w->Boton(4); }));
        Cifra("frmCatLocalidades: button 7 (refresh)", Milisegundos([&] { w->Boton(7); }));
        Memoria("frmCatLocalidades: memory after searching", antes);
        Cifra("frmCatLocalidades: close", Milisegundos([&] { w->Boton(13); }));
    }
    {
        VentanaCatalogo *w = nullptr;
        Cifra("frmCatCLUES: open (read, build, show)", Milisegundos([&] { w = CargaCatCLUES(ctx, area, servicios); }));
        Teclea("frmCatCLUES: CLUES box \"DFSSA01\"", w->txtDatos(15), QStringLiteral("dfssa01"));
        Teclea("frmCatCLUES: unit box \"peña\"", w->txtDatos(24), QStringLiteral("peña"));
        Teclea("frmCatCLUES: no match and reset", w->txtDatos(16), QStringLiteral("77"));
    }
    Imprime(ctx, metas);
    metas.Imprime((std::to_string(localidades) + " localidades").c_str());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    return MainBanco(argc, argv, Corre, {QStringLiteral("--localidades")});
}
