#pragma once

#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;
class BaseDatos;

// One prepared statement straight on SQLite; finalized on destruction, so a
// statement never stays open. Errors throw ErrorBD.
class SentenciaSqlite {
public:
    SentenciaSqlite(sqlite3 *db, const QString &sql, const QVariantList &valores = {});
    // On the session's connection, with the statement kept prepared between uses.
    SentenciaSqlite(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {});
    ~SentenciaSqlite();
    SentenciaSqlite(const SentenciaSqlite &) = delete;
    SentenciaSqlite &operator=(const SentenciaSqlite &) = delete;

    // Binds the values in order to the statement's parameters (1-based).
    void Asocia(const QVariantList &valores);
    void Asocia(int indice, const QVariant &valor);
    // True on a new row, false when done.
    bool Paso();
    // Runs an action statement to its end, resets it for another run and
    // gives the rows it changed.
    int Ejecuta();
    void Reinicia();

    // Columns of the current row. Valor gives NULL as an invalid QVariant,
    // integers as qlonglong, reals as double and text as QString.
    QVariant Valor(int columna) const;
    QString Texto(int columna) const;

    sqlite3_stmt *Stmt() const { return stmt_; }

private:
    [[noreturn]] void Falla() const;

    void Prepara(const QString &sql);

    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
    const BaseDatos *bd_ = nullptr;   // keeps the statement when set
    QString sql_;
};

// Where SQLite's own parser stops on a condition read alone, as the text of a
// WHERE clause: the byte offset (UTF-8) of the token it could not take, the
// condition's length when it ends too soon, FallaPorTamano when it nests
// deeper or holds more than the parser takes, or -1 when it parses. Names and
// functions are not looked up, so that nothing but the grammar is judged.
constexpr int FallaPorTamano = -2;
int FallaDeSintaxis(const QString &condicion);

// The value of an expression that names no column, computed by SQLite with
// the dialect's functions (FuncionesSql.h), with its values bound; as
// SentenciaSqlite::Valor gives it. Throws ErrorBD when the engine refuses it.
QVariant ValorConstante(const QString &expresion, const QVariantList &valores);
