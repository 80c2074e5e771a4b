#include "platform/ExportaTabla.h"

#include "platform/ArchivoDestino.h"
#include "platform/BaseDatos.h"
#include "platform/Cp1252.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <shapefil.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstring>
#include <type_traits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int CadaAvance = 4096;

// One prepared SELECT over the shared connection, finalized on every way out.
class Lectura {
public:
    Lectura(sqlite3 *db, const QString &sql, const QVariantList &valores) : db_(db)
    {
        const QByteArray texto = sql.toUtf8();
        if (sqlite3_prepare_v2(db, texto.constData(), int(texto.size()), &st_, nullptr) != SQLITE_OK) {
            error_ = Error();
            return;
        }
        for (int i = 0; i < valores.size(); ++i) {
            const QVariant &v = valores.at(i);
            int rc;
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(st_, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(st_, i + 1, v.toDouble());
                break;
            default:
                if (v.isNull()) {
                    rc = sqlite3_bind_null(st_, i + 1);
                } else {
                    const QByteArray t = v.toString().toUtf8();
                    rc = sqlite3_bind_text(st_, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                }
            }
            if (rc != SQLITE_OK) {
                error_ = Error();
                return;
            }
        }
    }
    ~Lectura() { sqlite3_finalize(st_); }
    Lectura(const Lectura &) = delete;
    Lectura &operator=(const Lectura &) = delete;

    const QString &error() const { return error_; }
    sqlite3_stmt *st() const { return st_; }
    // True on a row; false at the end or on an error (then error() says why).
    bool Siguiente()
    {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            error_ = Error();
        return false;
    }
    void Reinicia() { sqlite3_reset(st_); }

private:
    QString Error() const
    {
        return ErrorBD::DeManejador(db_).Descripcion();
    }
    sqlite3 *db_;
    sqlite3_stmt *st_ = nullptr;
    QString error_;
};

struct Columna {
    QString nombre;
    QByteArray declarado;   // the declared type, empty for an expression
    TipoColumna tipo = TipoColumna::Texto;
    bool forzado = false;   // the caller named its kind
};

TipoColumna TipoDeclarado(const QByteArray &declarado)
{
    const QByteArray d = declarado.toUpper();
    if (d.contains("DATE"))
        return TipoColumna::Fecha;
    if (d.contains("INT"))
        return TipoColumna::Entero;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") || d.contains("DEC"))
        return TipoColumna::Real;
    return TipoColumna::Texto;
}

std::vector<Columna> ColumnasDe(sqlite3_stmt *st, const PeticionExportacion &p)
{
    QHash<QString, TipoColumna> porNombre;
    for (auto it = p.tipos.begin(); it != p.tipos.end(); ++it)
        porNombre.insert(it.key().toLower(), it.value());
    QHash<QString, QByteArray> declarados;
    for (auto it = p.declarados.begin(); it != p.declarados.end(); ++it)
        declarados.insert(it.key().toLower(), it.value().toUtf8());
    std::vector<Columna> columnas(size_t(sqlite3_column_count(st)));
    for (int i = 0; i < int(columnas.size()); ++i) {
        Columna &c = columnas[size_t(i)];
        c.nombre = QString::fromUtf8(sqlite3_column_name(st, i));
        c.declarado = declarados.value(c.nombre.toLower(), QByteArray(sqlite3_column_decltype(st, i)));
        c.forzado = porNombre.contains(c.nombre.toLower());
        c.tipo = porNombre.value(c.nombre.toLower(), TipoDeclarado(c.declarado));
    }
    return columnas;
}

// A date stored as ISO text yyyy-MM-dd; an invalid date for anything else.
QDate FechaISO(const unsigned char *t, int n)
{
    if (n != 10 || t[4] != '-' || t[7] != '-')
        return {};
    auto num = [t](int desde, int largo) {
        int v = 0;
        for (int i = desde; i < desde + largo; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return -1;
            v = v * 10 + (t[i] - '0');
        }
        return v;
    };
    return QDate(num(0, 4), num(5, 2), num(8, 2));
}

// Characters (code points) of a UTF-8 text.
int Caracteres(const unsigned char *t, int n)
{
    int c = 0;
    for (int i = 0; i < n; ++i)
        c += (t[i] & 0xC0) != 0x80;
    return c;
}

// UTF-8 to code page 1252, one byte per character; what 1252 lacks becomes "?".
void A1252(const unsigned char *t, int n, std::string &salida)
{
    salida.clear();
    for (int i = 0; i < n;) {
        const unsigned char b = t[i];
        if (b < 0x80) {   // ASCII, most of every text, is the same byte
            salida.push_back(char(b));
            ++i;
            continue;
        }
        const int largo = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t u = largo == 4 ? b & 0x07 : largo == 3 ? b & 0x0F : largo == 2 ? b & 0x1F : b;
        for (int k = 1; k < largo && i + k < n; ++k)
            u = (u << 6) | (t[i + k] & 0x3F);
        i += largo;
        const char sale = ByteCp1252(u);
        salida.push_back(sale != 0 || u == 0 ? sale : '?');
    }
}

// Characters of an integer written in decimal, its minus sign included.
int Cifras(sqlite3_int64 v)
{
    int c = v < 0 ? 2 : 1;
    for (quint64 u = v < 0 ? 0 - quint64(v) : quint64(v); u >= 10; u /= 10)
        ++c;
    return c;
}

// An integer in decimal, right-aligned in `ancho` characters (no fewer than
// its own), as printf's "%*lld" writes it, ended by a zero.
void Entero(sqlite3_int64 v, int ancho, char *salida)
{
    char cifras[24];
    int n = 0;
    for (quint64 u = v < 0 ? 0 - quint64(v) : quint64(v); n == 0 || u > 0; u /= 10)
        cifras[n++] = char('0' + u % 10);
    if (v < 0)
        cifras[n++] = '-';
    int i = 0;
    for (; i < ancho - n; ++i)
        salida[i] = ' ';
    while (n > 0)
        salida[i++] = cifras[--n];
    salida[i] = 0;
}

// Names made unique without regard to case, each at most `largo` characters.
QStringList Unicos(const QStringList &nombres, int largo)
{
    QStringList salida;
    QSet<QString> usados;
    static const QRegularExpression numeroFinal(QStringLiteral("\\d+$"));
    for (const QString &n : nombres) {
        QString base = n;
        if (base.size() > largo) {
            const QString numero = numeroFinal.match(base).captured();
            base = numero.size() < largo ? base.left(largo - numero.size()) + numero : base.left(largo);
        }
        QString elegido = base;
        for (int k = 2; usados.contains(elegido.toUpper()); ++k) {
            const QString sufijo = QLatin1Char('_') + QString::number(k);
            elegido = base.left(qMax(0, largo - int(sufijo.size()))) + sufijo;
        }
        usados.insert(elegido.toUpper());
        salida << elegido;
    }
    return salida;
}

// What the first pass of a dBase export learns of a column.
struct PerfilDbase {
    bool enteros = true, numeros = true, fechas = true;
    int texto = 1;     // the widest value, in characters
    int digitos = 1;   // the widest integer, its sign included
    void Mide(sqlite3_stmt *st, int i, TipoColumna tipo)
    {
        const int clase = sqlite3_column_type(st, i);
        if (clase == SQLITE_NULL)
            return;
        if (clase == SQLITE_INTEGER) {
            // Its digits without asking SQLite for the text.
            const int largo = Cifras(sqlite3_column_int64(st, i));
            texto = qMax(texto, largo);
            digitos = qMax(digitos, largo);
            fechas = false;
            return;
        }
        const auto *t = sqlite3_column_text(st, i);
        const int largo = sqlite3_column_bytes(st, i);
        texto = qMax(texto, largo > texto ? Caracteres(t, largo) : 0);
        enteros = false;
        if (clase != SQLITE_FLOAT)
            numeros = false;
        if (fechas && (clase != SQLITE_TEXT || tipo != TipoColumna::Fecha || (largo > 0 && !FechaISO(t, largo).isValid())))
            fechas = false;
    }
};

struct CampoDbase {
    DBFFieldType tipo;
    int ancho, decimales;
};

// A column is a date, integer or number field only when every value it holds is one.
CampoDbase CampoDe(TipoColumna tipo, const PerfilDbase &f)
{
    if (tipo == TipoColumna::Fecha && f.fechas)
        return {FTDate, 8, 0};
    if (tipo != TipoColumna::Texto && f.enteros)
        return {FTInteger, f.digitos, 0};
    if (tipo != TipoColumna::Texto && f.numeros)
        return {FTDouble, LimitesExportacion::NumeroDbase, 6};
    return {FTString, qMax(1, f.texto), 0};
}

// Bytes of one record: the deletion flag and the fields.
int LargoRegistro(const std::vector<CampoDbase> &campos)
{
    int largo = 1;
    for (const CampoDbase &c : campos)
        largo += c.ancho;
    return largo;
}

// Bytes of a file up to its last record: the header, a field descriptor each, the header's end, the records.
qint64 TamanoDbase(int campos, qint64 registros, int registro)
{
    return 32 + 32 * qint64(campos) + 1 + registros * registro;
}

// The rows of the origin written one by one; each format fills in Escribe.
struct Exportacion {
    const PeticionExportacion &p;
    Lectura &lectura;
    std::vector<Columna> columnas;
    ResultadoExportacion r;

    void Avanza()
    {
        if (p.avance && r.filas % CadaAvance == 0)
            p.avance(r.filas);
    }
    // Every row is in; what follows finishes the file.
    void Cierra()
    {
        if (p.alCerrar)
            p.alCerrar(r.filas);
    }
    bool Falla(const QString &error)
    {
        r.ok = false;
        r.error = error;
        return false;
    }
    // The rows of the origin, counted without keeping them.
    bool Cuenta(qint64 &filas)
    {
        filas = 0;
        while (lectura.Siguiente())
            ++filas;
        lectura.Reinicia();
        return lectura.error().isEmpty() || Falla(lectura.error());
    }

    bool BaseDatosSqlite(sqlite3 *fuente, const QString &sql, const QString &ruta);
    bool Excel(const QString &ruta);
    bool Dbase(const QString &ruta);

    // The dBase steps: a first pass measures every column, the fields follow
    // from it (or the format's limits refuse the result), then the file is
    // created and a second pass writes the rows.
    using ArchivoDbf = std::unique_ptr<std::remove_pointer_t<DBFHandle>, void (*)(DBFHandle)>;
    bool PerfilaDbase(std::vector<PerfilDbase> &perfil, qint64 &total);
    bool CamposDbase(const std::vector<PerfilDbase> &perfil, qint64 total, std::vector<CampoDbase> &campos);
    // Null when the file or a field could not be made (then r says why).
    ArchivoDbf CreaDbase(const QString &ruta, const std::vector<CampoDbase> &campos);
    bool EscribeFilasDbase(DBFHandle h, const std::vector<CampoDbase> &campos);
    // Column i of the current row into record r.filas.
    bool EscribeValorDbase(DBFHandle h, int i, const CampoDbase &c, std::string &texto);
};

// The rows go straight from the origin into the new file, attached to the
// same connection, in one statement: SQLite copies the values without
// handing them out one by one. A function in the statement counts the rows
// for `avance`.
bool Exportacion::BaseDatosSqlite(sqlite3 *fuente, const QString &sql, const QString &ruta)
{
    // The declared types travel with the values, so that every value keeps its kind.
    QStringList nombres;
    for (const Columna &c : columnas)
        nombres << c.nombre;
    nombres = Unicos(nombres, 1 << 20);
    QStringList definicion;
    for (size_t i = 0; i < columnas.size(); ++i) {
        const Columna &c = columnas[i];
        // An expression has no declared type: its values go in as they are.
        static const char *porTipo[] = {"TEXT", "INTEGER", "REAL", "DATE"};
        const QString tipo = c.forzado && TipoDeclarado(c.declarado) != c.tipo ? QString::fromLatin1(porTipo[int(c.tipo)])
                                                                               : QString::fromUtf8(c.declarado);
        definicion << (CitaNombre(nombres.at(int(i))) + QLatin1Char(' ') + tipo).trimmed();
    }
    const QString tabla = QStringLiteral("exportacion.") + CitaNombre(p.nombre.isEmpty() ? QStringLiteral("Tabla") : p.nombre);
    const auto error = [&] { return Falla(ErrorBD::DeManejador(fuente).Descripcion()); };

    Lectura adjunta(fuente, QStringLiteral("ATTACH ?1 AS exportacion"), {ruta});
    if (!adjunta.error().isEmpty() || (adjunta.Siguiente(), !adjunta.error().isEmpty()))
        return Falla(adjunta.error());
    bool ok = false;
    {
        // Nothing else writes the new file, and it is thrown away unless complete.
        const QByteArray crea = QStringLiteral("PRAGMA exportacion.journal_mode=OFF; PRAGMA exportacion.synchronous=OFF; "
                                               "CREATE TABLE %1 (%2);").arg(tabla, definicion.join(QStringLiteral(", "))).toUtf8();
        if (sqlite3_exec(fuente, crea.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            error();
        } else {
            auto cuenta = [](sqlite3_context *ctx, int, sqlite3_value **) {
                auto *ex = static_cast<Exportacion *>(sqlite3_user_data(ctx));
                ++ex->r.filas;
                ex->Avanza();
                sqlite3_result_int(ctx, 1);
            };
            r.filas = 0;
            if (sqlite3_create_function_v2(fuente, "velmoran_fila_exportada", 0, SQLITE_UTF8, this, cuenta, nullptr, nullptr,
                                           nullptr) != SQLITE_OK) {
                error();
            } else {
                Lectura inserta(fuente, QStringLiteral("INSERT INTO %1 SELECT * FROM (%2) WHERE velmoran_fila_exportada()").arg(tabla, sql),
                                p.valores);
                ok = inserta.error().isEmpty() && (inserta.Siguiente(), inserta.error().isEmpty());
                if (!ok)
                    Falla(inserta.error());
                else
                    Cierra();
                sqlite3_create_function_v2(fuente, "velmoran_fila_exportada", 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
            }
        }
    }
    Lectura separa(fuente, QStringLiteral("DETACH exportacion"), {});
    if (!separa.error().isEmpty() || (separa.Siguiente(), !separa.error().isEmpty()))
        return ok ? Falla(separa.error()) : false;
    return ok;
}

bool Exportacion::Excel(const QString &ruta)
{
    if (int(columnas.size()) > LimitesExportacion::ColumnasExcel)
        return Falla(QStringLiteral("El resultado tiene %1 columnas y una hoja de Excel admite %2 como máximo; "
                                    "no se exportó.").arg(columnas.size()).arg(LimitesExportacion::ColumnasExcel));
    qint64 total = 0;
    if (!Cuenta(total))
        return false;
    if (total > LimitesExportacion::FilasExcel)
        return Falla(QStringLiteral("El resultado tiene %1 registros y una hoja de Excel admite %2 como máximo; "
                                    "no se exportó. Reduzca la consulta o elija otro formato.")
                         .arg(total).arg(LimitesExportacion::FilasExcel));

    const QByteArray archivo = QFile::encodeName(ruta);
    lxw_workbook_options opciones = {};
    opciones.constant_memory = LXW_TRUE;   // rows go to disk as they are written
    lxw_workbook *libro = workbook_new_opt(archivo.constData(), &opciones);
    if (!libro)
        return Falla(QStringLiteral("No se pudo crear el archivo %1").arg(p.destino));
    std::unique_ptr<lxw_workbook, lxw_error (*)(lxw_workbook *)> cierre(libro, workbook_close);

    const QByteArray hoja = (p.nombre.isEmpty() ? QStringLiteral("Hoja1") : p.nombre).toUtf8();
    lxw_worksheet *ws = workbook_add_worksheet(libro, hoja.constData());
    if (!ws)
        return Falla(QStringLiteral("El nombre de hoja %1 no es válido en Excel").arg(p.nombre));
    lxw_format *negrita = workbook_add_format(libro);
    format_set_bold(negrita);
    lxw_format *formatoFecha = workbook_add_format(libro);
    format_set_num_format(formatoFecha, "dd/mm/yyyy");

    const int n = int(columnas.size());
    for (int i = 0; i < n; ++i) {
        worksheet_write_string(ws, 0, lxw_col_t(i), columnas[size_t(i)].nombre.toUtf8().constData(), negrita);
        if (columnas[size_t(i)].tipo == TipoColumna::Fecha)
            worksheet_set_column(ws, lxw_col_t(i), lxw_col_t(i), 11, nullptr);
    }
    worksheet_freeze_panes(ws, 1, 0);

    const qint64 diaCero = QDate(1899, 12, 30).toJulianDay();
    sqlite3_stmt *st = lectura.st();
    lxw_row_t fila = 0;
    while (lectura.Siguiente()) {
        ++fila;
        for (int i = 0; i < n; ++i) {
            const lxw_col_t col = lxw_col_t(i);
            lxw_error e = LXW_NO_ERROR;
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                e = worksheet_write_number(ws, fila, col, sqlite3_column_double(st, i), nullptr);
                break;
            default: {
                const auto *t = sqlite3_column_text(st, i);
                const int largo = sqlite3_column_bytes(st, i);
                if (columnas[size_t(i)].tipo == TipoColumna::Fecha) {
                    const QDate d = FechaISO(t, largo);
                    if (d.isValid()) {
                        e = worksheet_write_number(ws, fila, col, double(d.toJulianDay() - diaCero), formatoFecha);
                        break;
                    }
                }
                if (largo > 0 && Caracteres(t, largo) > LimitesExportacion::TextoExcel)
                    return Falla(QStringLiteral("Un texto de la columna %1 tiene más de %2 caracteres, lo que una "
                                                "celda de Excel no admite; no se exportó.")
                                     .arg(columnas[size_t(i)].nombre).arg(LimitesExportacion::TextoExcel));
                if (largo > 0)
                    e = worksheet_write_string(ws, fila, col, reinterpret_cast<const char *>(t), nullptr);
            }
            }
            if (e != LXW_NO_ERROR)
                return Falla(QStringLiteral("No se pudo escribir el archivo %1: %2")
                                 .arg(p.destino, QString::fromUtf8(lxw_strerror(e))));
        }
        ++r.filas;
        Avanza();
    }
    if (!lectura.error().isEmpty())
        return Falla(lectura.error());
    Cierra();
    const lxw_error e = workbook_close(cierre.release());
    if (e != LXW_NO_ERROR)
        return Falla(QStringLiteral("No se pudo escribir el archivo %1: %2").arg(p.destino, QString::fromUtf8(lxw_strerror(e))));
    return true;
}

// The file's two passes, step by step.
bool Exportacion::Dbase(const QString &ruta)
{
    const int n = int(columnas.size());
    if (n > LimitesExportacion::CamposDbase)
        return Falla(QStringLiteral("El resultado tiene %1 columnas y un archivo dBase III admite %2 como máximo; "
                                    "no se exportó.").arg(n).arg(LimitesExportacion::CamposDbase));
    std::vector<PerfilDbase> perfil;
    qint64 total = 0;
    std::vector<CampoDbase> campos;
    if (!PerfilaDbase(perfil, total) || !CamposDbase(perfil, total, campos))
        return false;
    ArchivoDbf archivo = CreaDbase(ruta, campos);
    if (!archivo || !EscribeFilasDbase(archivo.get(), campos))
        return false;
    Cierra();
    archivo.reset();
    // shapelib reports no write error of its own: the file must hold every record.
    if (QFileInfo(ruta).size() < TamanoDbase(n, r.filas, LargoRegistro(campos)))
        return Falla(QStringLiteral("No se pudo escribir completo el archivo %1").arg(p.destino));
    return true;
}

bool Exportacion::PerfilaDbase(std::vector<PerfilDbase> &perfil, qint64 &total)
{
    perfil.assign(columnas.size(), PerfilDbase());
    total = 0;
    sqlite3_stmt *st = lectura.st();
    while (lectura.Siguiente()) {
        ++total;
        for (size_t i = 0; i < columnas.size(); ++i)
            perfil[i].Mide(st, int(i), columnas[i].tipo);
    }
    lectura.Reinicia();
    return lectura.error().isEmpty() || Falla(lectura.error());
}

bool Exportacion::CamposDbase(const std::vector<PerfilDbase> &perfil, qint64 total, std::vector<CampoDbase> &campos)
{
    namespace L = LimitesExportacion;
    campos.clear();
    for (size_t i = 0; i < columnas.size(); ++i) {
        const Columna &c = columnas[i];
        const CampoDbase campo = CampoDe(c.tipo, perfil[i]);
        if (campo.tipo == FTString && campo.ancho > L::TextoDbase)
            return Falla(QStringLiteral("La columna %1 tiene textos de %2 caracteres y dBase III admite %3 como máximo; "
                                        "no se exportó.").arg(c.nombre).arg(campo.ancho).arg(L::TextoDbase));
        if (campo.tipo == FTInteger && campo.ancho > L::NumeroDbase)
            return Falla(QStringLiteral("La columna %1 tiene números de más de %2 cifras, que dBase III no admite; "
                                        "no se exportó.").arg(c.nombre).arg(L::NumeroDbase));
        campos.push_back(campo);
    }
    const int registro = LargoRegistro(campos);
    if (registro > L::RegistroDbase)
        return Falla(QStringLiteral("Cada registro ocupa %1 bytes y dBase III admite %2 como máximo; no se exportó. "
                                    "Elija menos campos o otro formato.").arg(registro).arg(L::RegistroDbase));
    // The file ends in one byte more.
    if (TamanoDbase(int(campos.size()), total, registro) + 1 > L::ArchivoDbase)
        return Falla(QStringLiteral("El resultado tiene %1 registros y no cabe en un archivo dBase III (2 GB como "
                                    "máximo); no se exportó. Reduzca la consulta o elija otro formato.").arg(total));
    return true;
}

Exportacion::ArchivoDbf Exportacion::CreaDbase(const QString &ruta, const std::vector<CampoDbase> &campos)
{
    QStringList nombres;
    for (const Columna &c : columnas)
        nombres << c.nombre;
    nombres = NombresDbase(nombres);
    const QByteArray archivo = QFile::encodeName(ruta);
    ArchivoDbf h(DBFCreateEx(archivo.constData(), "LDID/87"), DBFClose);   // code page 1252
    if (!h) {
        Falla(QStringLiteral("No se pudo crear el archivo %1").arg(p.destino));
        return h;
    }
    for (size_t i = 0; i < campos.size(); ++i) {
        const CampoDbase &c = campos[i];
        if (DBFAddField(h.get(), nombres.at(int(i)).toLatin1().constData(), c.tipo, c.ancho, c.decimales) < 0) {
            Falla(QStringLiteral("No se pudo definir el campo %1 del archivo %2").arg(nombres.at(int(i)), p.destino));
            h.reset();
            return h;
        }
    }
    return h;
}

bool Exportacion::EscribeFilasDbase(DBFHandle h, const std::vector<CampoDbase> &campos)
{
    std::string texto;
    while (lectura.Siguiente()) {
        for (size_t i = 0; i < campos.size(); ++i)
            if (!EscribeValorDbase(h, int(i), campos[i], texto))
                return Falla(QStringLiteral("No se pudo escribir el valor de %1 en el archivo %2")
                                 .arg(columnas[i].nombre, p.destino));
        ++r.filas;
        Avanza();
    }
    return lectura.error().isEmpty() || Falla(lectura.error());
}

bool Exportacion::EscribeValorDbase(DBFHandle h, int i, const CampoDbase &c, std::string &texto)
{
    sqlite3_stmt *st = lectura.st();
    const int registro = int(r.filas);
    if (sqlite3_column_type(st, i) == SQLITE_NULL)
        return DBFWriteNULLAttribute(h, registro, i);
    switch (c.tipo) {
    case FTDate: {
        const auto *t = sqlite3_column_text(st, i);
        if (sqlite3_column_bytes(st, i) == 0)
            return DBFWriteNULLAttribute(h, registro, i);
        char fecha[9] = {char(t[0]), char(t[1]), char(t[2]), char(t[3]), char(t[5]), char(t[6]), char(t[8]), char(t[9]), 0};
        return DBFWriteAttributeDirectly(h, registro, i, fecha);
    }
    case FTInteger: {
        char numero[32];
        Entero(sqlite3_column_int64(st, i), c.ancho, numero);
        return DBFWriteAttributeDirectly(h, registro, i, numero);
    }
    case FTDouble:
        return DBFWriteDoubleAttribute(h, registro, i, sqlite3_column_double(st, i));
    default:
        A1252(sqlite3_column_text(st, i), sqlite3_column_bytes(st, i), texto);
        return DBFWriteAttributeDirectly(h, registro, i, texto.data());
    }
}

QString Canonica(const QString &ruta)
{
    const QFileInfo fi(ruta);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : c;
}

} // namespace

QStringList NombresDbase(const QStringList &nombres)
{
    static const QRegularExpression ajenos(QStringLiteral("[^A-Z0-9_]"));
    QStringList limpios;
    for (const QString &n : nombres) {
        QString s = n.toUpper().replace(ajenos, QStringLiteral("_"));
        if (s.isEmpty() || !s.at(0).isLetter())
            s.prepend(QLatin1Char('C'));
        limpios << s;
    }
    return Unicos(limpios, 10);
}

QString PreguntaReemplazo(const QString &destino)
{
    return QStringLiteral("El archivo %1 ya existe.\n¿Desea reemplazarlo?").arg(destino);
}

QString RevisaDestino(const QString &destino, const QStringList &protegidos, NombreDestino nombre)
{
    if (destino.trimmed().isEmpty())
        return QStringLiteral("No proporcionó ningún nombre de archivo.");
    const QFileInfo fi(destino);
    if (fi.isDir())
        return nombre == NombreDestino::Fijo
                   ? QStringLiteral("%1 es una carpeta, y el programa guarda ahí su archivo con ese nombre: quite esa "
                                    "carpeta o cámbiele el nombre, y vuelva a intentarlo.").arg(destino)
                   : QStringLiteral("%1 es una carpeta; proporcione el nombre de un archivo.").arg(destino);
    if (const QString carpeta = ArchivoDestino::RevisaCarpeta(destino); !carpeta.isEmpty())
        return carpeta;
    const QString propio = Canonica(destino);
    const auto protegido = [&] {
        if (BaseDatos::EsArchivoDeBaseAbierta(destino))
            return true;
        for (const QString &p : protegidos)
            for (const char *lado : {"", "-wal", "-shm", "-journal"})
                if (!p.isEmpty() && propio == Canonica(p) + QLatin1String(lado))
                    return true;
        return false;
    };
    if (protegido())
        return QStringLiteral("El archivo %1 es la Base de Datos de trabajo, su plantilla o una Base de Datos "
                              "abierta; no se puede exportar sobre él. Elija otro nombre.....").arg(destino);
    const bool bloqueado = QFileInfo::exists(fi.absolutePath() + QStringLiteral("/.~lock.") + fi.fileName() + QLatin1Char('#'));
    if (fi.exists() && (bloqueado || !fi.isWritable()))
        return QStringLiteral("El archivo %1 está en uso o es de solo lectura; ciérrelo o elija otro nombre.....").arg(destino);
    return {};
}

ResultadoExportacion ExportaTabla(const BaseDatos &bd, const PeticionExportacion &p)
{
    ResultadoExportacion fallo;
    fallo.error = RevisaDestino(p.destino, p.protegidos, p.nombreDestino);
    if (!fallo.error.isEmpty())
        return fallo;

    static const QRegularExpression nombreTabla(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString sql = nombreTabla.match(p.origen).hasMatch() ? QStringLiteral("SELECT * FROM ") + CitaNombre(p.origen) : p.origen;
    sqlite3 *fuente = nullptr;
    try {
        fuente = bd.Manejador();
    } catch (const ErrorBD &e) {
        fallo.error = e.Descripcion();
        return fallo;
    }
    Lectura lectura(fuente, sql, p.valores);
    if (!lectura.error().isEmpty()) {
        fallo.error = lectura.error();
        return fallo;
    }

    const char *extension = p.formato == FormatoExportacion::Dbase ? ".dbf" : ".tmp";
    ArchivoDestino archivo(p.destino, QString::fromLatin1(extension));
    Exportacion ex{p, lectura, ColumnasDe(lectura.st(), p), {}};
    bool ok = false;
    switch (p.formato) {
    case FormatoExportacion::BaseDatos: ok = ex.BaseDatosSqlite(fuente, sql, archivo.RutaTemporal()); break;
    case FormatoExportacion::Excel: ok = ex.Excel(archivo.RutaTemporal()); break;
    case FormatoExportacion::Dbase: ok = ex.Dbase(archivo.RutaTemporal()); break;
    }
    if (ok && !archivo.Confirma(&ex.r.error))
        ok = false;
    ex.r.ok = ok;
    if (!ok) {
        ex.r.filas = 0;
        // Each writer words a full disk its own way, some blaming a value.
        if (DiscoLleno(archivo.RutaTemporal()))
            ex.r.error = TextoDiscoLleno(p.destino);
        // The writers name the file they were given: the user knows it by its own name.
        ex.r.error.replace(archivo.RutaTemporal(), p.destino);
    }
    return ex.r;
}
