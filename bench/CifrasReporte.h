#pragma once

// What the report benchmarks share: the program's run and the plain
// statement timed in turn, and the figures of both read as rows of text, so
// that a goal line is met only when both computed the same.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <utility>
#include <vector>

// The medians, in ms, of `veces` runs of each operation, run in turn
// (A B A B ...), so that a change in the machine's load weighs on both.
inline std::pair<double, double> MedianasAlternadas(int veces, const std::function<void()> &a, const std::function<void()> &b)
{
    std::vector<double> ta, tb;
    QElapsedTimer reloj;
    for (int i = 0; i < veces; ++i) {
        reloj.start();
        a();
        ta.push_back(double(reloj.nsecsElapsed()) / 1e6);
        reloj.start();
        b();
        tb.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    return {ta[ta.size() / 2], tb[tb.size() / 2]};
}

// The rows of one statement stepped to its end, each its columns as text
// joined by "|" (NULL as nothing); `valores` are bound as text to ?1, ?2 ...
// A statement that fails gives one row that says so.
inline std::vector<std::string> FilasTexto(sqlite3 *db, const QByteArray &sql, const QList<QByteArray> &valores = {})
{
    std::vector<std::string> filas;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) != SQLITE_OK)
        return {std::string("error: ") + sqlite3_errmsg(db)};
    if (!s)
        return {"error: sin sentencia"};
    for (int i = 0; i < valores.size(); ++i)
        sqlite3_bind_text(s, i + 1, valores[i].constData(), -1, SQLITE_TRANSIENT);
    int paso;
    while ((paso = sqlite3_step(s)) == SQLITE_ROW) {
        std::string fila;
        for (int i = 0; i < sqlite3_column_count(s); ++i) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, i));
            fila += (i ? "|" : "") + std::string(t ? t : "");
        }
        filas.push_back(std::move(fila));
    }
    if (paso != SQLITE_DONE)
        filas.push_back(std::string("error: ") + sqlite3_errmsg(db));
    sqlite3_finalize(s);
    return filas;
}
