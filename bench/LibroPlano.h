#pragma once

// A workbook written by libxlsxwriter alone: the rows of one statement in one
// sheet (header row of column names, numbers as numbers, text as text, and the
// columns declared DATE holding yyyy-mm-dd as dates), as a plain program
// would write them. The work printed beside the program's workbooks.

#include <QFile>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <vector>
#include <xlsxwriter.h>

// Returns the rows written.
inline long long LibroPlano(sqlite3 *db, const QString &sql, const QString &ruta, const char *hoja)
{
    lxw_workbook_options o = {};
    o.constant_memory = LXW_TRUE;
    lxw_workbook *libro = workbook_new_opt(QFile::encodeName(ruta).constData(), &o);
    lxw_worksheet *ws = workbook_add_worksheet(libro, hoja);
    lxw_format *formatoFecha = workbook_add_format(libro);
    format_set_num_format(formatoFecha, "dd/mm/yyyy");
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    std::vector<bool> fecha(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        worksheet_write_string(ws, 0, lxw_col_t(i), sqlite3_column_name(st, i), nullptr);
        const char *tipo = sqlite3_column_decltype(st, i);
        fecha[size_t(i)] = tipo && strcasestr(tipo, "DATE");
    }
    lxw_row_t fila = 0;
    while (sqlite3_step(st) == SQLITE_ROW && fila + 1 < LXW_ROW_MAX) {
        ++fila;
        for (int i = 0; i < n; ++i) {
            const int tipo = sqlite3_column_type(st, i);
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
            if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) {
                worksheet_write_number(ws, fila, lxw_col_t(i), sqlite3_column_double(st, i), nullptr);
            } else if (tipo == SQLITE_TEXT && fecha[size_t(i)] && sqlite3_column_bytes(st, i) == 10) {
                lxw_datetime d = {std::atoi(t), std::atoi(t + 5), std::atoi(t + 8), 0, 0, 0};
                worksheet_write_datetime(ws, fila, lxw_col_t(i), &d, formatoFecha);
            } else if (tipo == SQLITE_TEXT && *t) {
                worksheet_write_string(ws, fila, lxw_col_t(i), t, nullptr);
            }
        }
    }
    sqlite3_finalize(st);
    workbook_close(libro);
    return fila;
}
