#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class BaseDatos;

// The file formats a result can be written to.
enum class FormatoExportacion { BaseDatos = 0, Excel = 1, Dbase = 2 };

// What a column holds, for the formats that type their columns.
enum class TipoColumna { Texto, Entero, Real, Fecha };

// Whether the user named the output file or the program did: a program's
// fixed name is not the user's to change.
enum class NombreDestino { Elegido, Fijo };

struct PeticionExportacion {
    // A SELECT (with `valores` bound to its ?s), or the name of a table.
    QString origen;
    QVariantList valores;
    // Full path of the file to write; an existing file is replaced only when
    // the new one is complete.
    QString destino;
    FormatoExportacion formato = FormatoExportacion::BaseDatos;
    // The table of a .db file or the sheet of a workbook; a dBase file is its own table.
    QString nombre;
    // Column kinds by column name (any case), over what the columns declare:
    // "DATE" declares a date, "INT" an integer, "REAL"/"NUM" a number, anything else text.
    QHash<QString, TipoColumna> tipos;
    // Files that must never be written: the working database, the template.
    QStringList protegidos;
    // Called every few thousand rows with the rows written, to keep the window painted.
    std::function<void(qint64)> avance;
    // Declared types of the .db output by column name (any case), for
    // expressions, which declare none ("CHAR(12)").
    QHash<QString, QString> declarados;
    // Called with the rows written once the last is in, before the file is
    // finished (a workbook packed, a database committed) and put in place,
    // which may take seconds.
    std::function<void(qint64)> alCerrar;
    // Who named `destino`, for what a refusal asks of the user.
    NombreDestino nombreDestino = NombreDestino::Elegido;
};

struct ResultadoExportacion {
    bool ok = false;
    QString error;     // why it failed, in words for the user
    qint64 filas = 0;  // rows written
};

// Streams the rows of the origin to a new file of the chosen format: memory does
// not grow with the rows. Dates go out as dates (ISO text yyyy-MM-dd in the
// database), text codes keep their leading zeros. A result larger than the
// format holds is refused, never cut.
ResultadoExportacion ExportaTabla(const BaseDatos &bd, const PeticionExportacion &peticion);

// Why a file may not receive an export, or an empty text when it may: a file of
// `protegidos`, a database open in this program, a folder, a file in use or
// read only.
QString RevisaDestino(const QString &destino, const QStringList &protegidos,
                      NombreDestino nombre = NombreDestino::Elegido);

// The question asked before an output file replaces one that exists.
QString PreguntaReemplazo(const QString &destino);

// dBase field names: upper case, at most 10 characters of letters, digits and
// "_", unique. A longer name keeps its trailing number: DERECHOHABIENCIA01 gives
// DERECHOH01. A name already taken ends in "_2", "_3", ... within the 10
// characters (ENTRECALLEUNO, ENTRECALLEDOS give ENTRECALLE, ENTRECAL_2).
QStringList NombresDbase(const QStringList &nombres);

// The limits of the formats.
namespace LimitesExportacion {
constexpr qint64 FilasExcel = 1048575;   // 1,048,576 rows less the heading
constexpr int ColumnasExcel = 16384;
constexpr int TextoExcel = 32767;
constexpr int CamposDbase = 128;
constexpr int RegistroDbase = 4000;      // bytes of one record
constexpr int TextoDbase = 254;
constexpr int NumeroDbase = 19;          // digits of a numeric field
constexpr qint64 ArchivoDbase = 2147483647;
} // namespace LimitesExportacion
