#include "tools/LibroDinamico.h"

#include "platform/SentenciaSqlite.h"
#include "platform/BaseDatos.h"
#include "tools/LibroDinamicoPivote.h"
#include "tools/SqlTablas.h"
#include "tools/TablaDinamica.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

const QString HojaPivote = QStringLiteral("VELMORAN");
const QString HojaDatos = QStringLiteral("D_EVENTO_DAT");
const QString EnBlanco = QStringLiteral("(en blanco)");
const QString TotalGeneral = QStringLiteral("Total general");
// The table's top left cell, B6.
constexpr int FilaTabla = 5, ColumnaTabla = 1;

// The source columns of the pivot table: D_EVENTO_DAT without the folio and
// the place codes, whose descriptions carry them.
QList<CampoPivote> CamposPivote()
{
    static const QStringList fuera = {"FOLIO", "EDO_ATEN_COD", "JUR_ATEN_COD", "MPO_ATEN_COD", "LOC_ATEN_COD",
                                      "ENT_OCU_COD", "MPO_OCU_COD", "LOC_OCU_COD"};
    static const QStringList enteros = {"EDAD", "EDADAGRESOR", "CONTADOR"};
    static const QStringList fechas = {"FECHAATENCION", "FECHAOCURRENCIA"};
    QList<CampoPivote> campos;
    for (const QString &c : ColumnasEventoDinamica()) {
        if (fuera.contains(c))
            continue;
        const auto tipo = enteros.contains(c) ? CampoPivote::Tipo::Entero
                        : fechas.contains(c)  ? CampoPivote::Tipo::Fecha
                                              : CampoPivote::Tipo::Texto;
        campos.append({c, tipo});
    }
    return campos;
}

int IndiceCampo(const QList<CampoPivote> &campos, const QString &nombre)
{
    for (int i = 0; i < campos.size(); ++i)
        if (campos[i].nombre == nombre)
            return i;
    return -1;
}

// Months in calendar order, other texts after them, the blank last.
void OrdenaMeses(QStringList &meses)
{
    auto rango = [](const QString &m) {
        if (m.isNull())
            return 14;
        const int i = int(NombresMeses().indexOf(m));
        return i < 0 ? 13 : i;
    };
    std::stable_sort(meses.begin(), meses.end(), [&](const QString &a, const QString &b) {
        return rango(a) != rango(b) ? rango(a) < rango(b) : a < b;
    });
}

QString TextoDe(sqlite3_stmt *s, int col)
{
    if (sqlite3_column_type(s, col) == SQLITE_NULL)
        return QString();
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, col)));
}

class Libro {
public:
    explicit Libro(const QString &ruta) : ruta_(ruta)
    {
        // Rows go straight to disk, so a million events fit in little memory.
        lxw_workbook_options opciones = {};
        opciones.constant_memory = LXW_TRUE;
        opciones.use_zip64 = LXW_TRUE;
        const QByteArray nombre = QFile::encodeName(ruta);
        wb_ = workbook_new_opt(nombre.constData(), &opciones);
        if (!wb_)
            throw ErrorBD(-1, QStringLiteral("No se pudo crear el libro %1").arg(ruta));
    }
    ~Libro()
    {
        if (wb_)
            workbook_close(wb_);   // frees what an interrupted build left
    }

    lxw_workbook *wb() const { return wb_; }
    void Comprueba(lxw_error e) const
    {
        if (e != LXW_NO_ERROR)
            throw ErrorBD(int(e), QStringLiteral("No se pudo escribir el libro %1: %2")
                                      .arg(ruta_, QString::fromLatin1(lxw_strerror(e))));
    }
    void Cierra()
    {
        lxw_workbook *wb = wb_;
        wb_ = nullptr;
        Comprueba(workbook_close(wb));
    }

private:
    QString ruta_;
    lxw_workbook *wb_ = nullptr;
};

lxw_worksheet *NuevaHoja(const Libro &libro, const QString &nombre)
{
    lxw_worksheet *h = workbook_add_worksheet(libro.wb(), nombre.toUtf8().constData());
    if (!h)
        throw ErrorBD(-1, QStringLiteral("No se pudo crear la hoja %1 del libro").arg(nombre));
    return h;
}

void Texto(const Libro &l, lxw_worksheet *h, int fila, int col, const QString &t, lxw_format *f = nullptr)
{
    l.Comprueba(worksheet_write_string(h, lxw_row_t(fila), lxw_col_t(col), t.toUtf8().constData(), f));
}

// The source rows, each column by its kind: text stays text ("09" is not a
// number), dates become dates, numbers numbers.
void EscribeDatos(const Libro &libro, lxw_worksheet *h, const QList<CampoPivote> &campos, const BaseDatos &bd,
                  const QString &esquema, qint64 filas)
{
    lxw_format *fecha = workbook_add_format(libro.wb());
    format_set_num_format(fecha, "dd/mm/yyyy");
    QStringList nombres;
    for (int c = 0; c < campos.size(); ++c) {
        nombres << campos[c].nombre;
        Texto(libro, h, 0, c, campos[c].nombre);
    }
    SentenciaSqlite s(bd.Manejador(),
                      QStringLiteral("SELECT %1 FROM %2.D_EVENTO_DAT ORDER BY rowid LIMIT ?")
                          .arg(nombres.join(QStringLiteral(", ")), esquema),
                      {filas});
    sqlite3_stmt *st = s.Stmt();
    lxw_row_t fila = 0;
    while (s.Paso()) {
        ++fila;
        for (int c = 0; c < campos.size(); ++c) {
            const int tipo = sqlite3_column_type(st, c);
            if (tipo == SQLITE_NULL)
                continue;
            const char *t = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
            lxw_error e;
            if (campos[c].tipo == CampoPivote::Tipo::Entero && tipo == SQLITE_INTEGER) {
                e = worksheet_write_number(h, fila, lxw_col_t(c), double(sqlite3_column_int64(st, c)), nullptr);
            } else if (campos[c].tipo == CampoPivote::Tipo::Fecha && sqlite3_column_bytes(st, c) == 10
                       && t[4] == '-' && t[7] == '-') {
                lxw_datetime d = {std::atoi(t), std::atoi(t + 5), std::atoi(t + 8), 0, 0, 0};
                e = worksheet_write_datetime(h, fila, lxw_col_t(c), &d, fecha);
            } else {
                e = worksheet_write_string(h, fila, lxw_col_t(c), t, nullptr);
            }
            libro.Comprueba(e);
        }
    }
}

} // namespace

QString AvisoLimiteHoja(const ResultadoLibro &r)
{
    const QLocale l(QLocale::Spanish, QLocale::Mexico);
    return QStringLiteral("La hoja %1 admite %2 de los %3 eventos; la tabla dinámica cuenta solo esos. "
                          "Todos los eventos están en Datos/DinamicaVELMORAN.db")
        .arg(HojaDatos, l.toString(r.enHoja), l.toString(r.eventos));
}

ResultadoLibro EscribeLibroDinamico(const BaseDatos &bd, const QString &esquema, const QString &ruta,
                                    const QString &encabezado, qint64 filasHoja)
{
    ResultadoLibro r;
    r.eventos = bd.Valor(QStringLiteral("SELECT count(*) FROM %1.D_EVENTO_DAT").arg(esquema)).toLongLong();
    r.enHoja = std::min(r.eventos, filasHoja - 1);
    const QString fuente = QStringLiteral("(SELECT UNIDAD, MES, CONTADOR FROM %1.D_EVENTO_DAT ORDER BY rowid LIMIT %2)")
                               .arg(esquema)
                               .arg(r.enHoja);

    DefinicionPivote d;
    d.nombre = QStringLiteral("LESION");
    d.hojaDatos = HojaDatos;
    d.campos = CamposPivote();
    d.campoFila = IndiceCampo(d.campos, QStringLiteral("UNIDAD"));
    d.campoColumna = IndiceCampo(d.campos, QStringLiteral("MES"));
    d.campoDato = IndiceCampo(d.campos, QStringLiteral("CONTADOR"));
    d.leyendaDato = QStringLiteral("Sum of CONTADOR");
    d.leyendaFilas = QStringLiteral("UNIDAD");
    d.leyendaColumnas = QStringLiteral("MES");
    d.leyendaTotal = TotalGeneral;
    d.fila = FilaTabla;
    d.columna = ColumnaTabla;
    // With no events the source is one blank row, as a spreadsheet program would read it.
    d.filasDatos = int(std::max<qint64>(r.enHoja, 1));

    {
        SentenciaSqlite s(bd.Manejador(),
                          QStringLiteral("SELECT DISTINCT UNIDAD FROM %1 ORDER BY UNIDAD IS NULL, UNIDAD").arg(fuente));
        while (s.Paso())
            d.itemsFila << TextoDe(s.Stmt(), 0);
        SentenciaSqlite m(bd.Manejador(), QStringLiteral("SELECT DISTINCT MES FROM %1").arg(fuente));
        while (m.Paso())
            d.itemsColumna << TextoDe(m.Stmt(), 0);
        OrdenaMeses(d.itemsColumna);
    }
    if (r.enHoja == 0) {
        d.itemsFila = QStringList{QString()};
        d.itemsColumna = QStringList{QString()};
    }

    // The cross-tab: sum of CONTADOR by row item and column item.
    QHash<QString, int> filaDe, columnaDe;
    for (int i = 0; i < d.itemsFila.size(); ++i)
        filaDe.insert(d.itemsFila[i].isNull() ? QStringLiteral("\x01") : d.itemsFila[i], i);
    for (int j = 0; j < d.itemsColumna.size(); ++j)
        columnaDe.insert(d.itemsColumna[j].isNull() ? QStringLiteral("\x01") : d.itemsColumna[j], j);
    const int nf = int(d.itemsFila.size()), nc = int(d.itemsColumna.size());
    QList<double> cuentas((nf + 1) * (nc + 1), 0.0);   // last row and column: totals
    {
        SentenciaSqlite s(bd.Manejador(),
                          QStringLiteral("SELECT UNIDAD, MES, sum(CONTADOR) FROM %1 GROUP BY UNIDAD, MES").arg(fuente));
        while (s.Paso()) {
            const QString u = TextoDe(s.Stmt(), 0), m = TextoDe(s.Stmt(), 1);
            const int i = filaDe.value(u.isNull() ? QStringLiteral("\x01") : u);
            const int j = columnaDe.value(m.isNull() ? QStringLiteral("\x01") : m);
            const double v = sqlite3_column_double(s.Stmt(), 2);
            cuentas[i * (nc + 1) + j] += v;
            cuentas[i * (nc + 1) + nc] += v;
            cuentas[nf * (nc + 1) + j] += v;
            cuentas[nf * (nc + 1) + nc] += v;
        }
    }

    Libro libro(ruta);
    lxw_worksheet *pivote = NuevaHoja(libro, HojaPivote);
    lxw_worksheet *datos = NuevaHoja(libro, HojaDatos);
    lxw_format *titulo = workbook_add_format(libro.wb());
    format_set_bold(titulo);
    format_set_font_size(titulo, 12);
    lxw_format *chico = workbook_add_format(libro.wb());
    format_set_font_size(chico, 8);
    lxw_format *negrita = workbook_add_format(libro.wb());
    format_set_bold(negrita);
    libro.Comprueba(worksheet_set_column(pivote, ColumnaTabla, ColumnaTabla, 50, nullptr));

    libro.Comprueba(worksheet_merge_range(pivote, 0, 1, 0, 5,
                                          "Eventos por Lesión y/o Violencia, Tabla Dinámica VELMORAN", titulo));
    libro.Comprueba(worksheet_merge_range(pivote, 1, 1, 1, 5, encabezado.toUtf8().constData(), chico));
    if (r.Recortado())
        Texto(libro, pivote, 3, 1, AvisoLimiteHoja(r), negrita);

    // The rendered table, as the spreadsheet program lays it out.
    Texto(libro, pivote, FilaTabla, ColumnaTabla, d.leyendaDato);
    Texto(libro, pivote, FilaTabla, ColumnaTabla + 1, d.leyendaColumnas);
    Texto(libro, pivote, FilaTabla + 1, ColumnaTabla, d.leyendaFilas);
    for (int j = 0; j <= nc; ++j)
        Texto(libro, pivote, FilaTabla + 1, ColumnaTabla + 1 + j,
              j == nc ? TotalGeneral : d.itemsColumna[j].isNull() ? EnBlanco : d.itemsColumna[j]);
    for (int i = 0; i <= nf; ++i) {
        const int fila = FilaTabla + 2 + i;
        Texto(libro, pivote, fila, ColumnaTabla,
              i == nf ? TotalGeneral : d.itemsFila[i].isNull() ? EnBlanco : d.itemsFila[i], i == nf ? negrita : nullptr);
        for (int j = 0; j <= nc; ++j)
            if (const double v = cuentas[i * (nc + 1) + j]; v != 0)
                libro.Comprueba(worksheet_write_number(pivote, lxw_row_t(fila), lxw_col_t(ColumnaTabla + 1 + j), v,
                                                       i == nf ? negrita : nullptr));
    }

    EscribeDatos(libro, datos, d.campos, bd, esquema, r.enHoja);
    libro.Cierra();
    AgregaPivote(ruta, d, 1);
    return r;
}
