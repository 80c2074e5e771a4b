#pragma once

// The store's work done with plain SQLite statements, prepared, bound and
// stepped by hand: the figure printed beside each of ours.

#include "events/MapaEvento.h"

#include <QVariantList>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <utility>
#include <vector>

struct Plano {
    sqlite3 *db;

    sqlite3_stmt *Prepara(const char *sql) const
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        return s;
    }
    void Exec(const char *sql) const { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    void Clave(sqlite3_stmt *s, int desde, const std::string &clues, qint64 folio, const std::string &fecha) const
    {
        sqlite3_bind_text(s, desde, clues.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, desde + 1, folio);
        sqlite3_bind_text(s, desde + 2, fecha.c_str(), -1, SQLITE_TRANSIENT);
    }
    // Steps a query to its end, copying every column as text.
    std::vector<std::string> Lee(sqlite3_stmt *s) const
    {
        std::vector<std::string> r;
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, i));
                r.emplace_back(t ? t : "");
            }
        sqlite3_finalize(s);
        return r;
    }

    struct Llave {
        char clues[12];
        qint64 folio;
        char fecha[11];
    };
    size_t AbreLlaves() const
    {
        std::vector<Llave> v;
        sqlite3_stmt *s = Prepara("SELECT Clues, Folio, fechaAtencion FROM D_EVENTO ORDER BY Clues, Folio, fechaAtencion");
        while (sqlite3_step(s) == SQLITE_ROW) {
            Llave k{};
            std::strncpy(k.clues, reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), 11);
            k.folio = sqlite3_column_int64(s, 1);
            std::strncpy(k.fecha, reinterpret_cast<const char *>(sqlite3_column_text(s, 2)), 10);
            v.push_back(k);
        }
        sqlite3_finalize(s);
        return v.size();
    }

    void LeeEvento(const std::string &clues, qint64 folio, const std::string &fecha) const
    {
        const std::string cols = ListaColumnasEvento().toStdString();
        sqlite3_stmt *s = Prepara(("SELECT " + cols + " FROM D_EVENTO WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?").c_str());
        Clave(s, 1, clues, folio, fecha);
        Lee(s);
        const char *listas[][3] = {
            {"SELECT CodDerechohabiencia AS Codigo, Descripcion FROM cDerechohabiencia ORDER BY CodDerechohabiencia",
             "SELECT CodDerechohabiencia FROM D_Derechohabiencia WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?", ""},
            {"SELECT CodTipoViolencia AS Codigo, Descripcion FROM cTipoViolencia ORDER BY CodTipoViolencia",
             "SELECT CodTipoViolencia FROM D_TipoViolencia WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?", ""},
            {"SELECT CodEfectos AS Codigo, Descripcion FROM cEfectos ORDER BY CodEfectos",
             "SELECT CodEfectos FROM D_BajoEfectos WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ? AND CodAfectadoAgresor = 1", ""},
            {"SELECT CodEfectos AS Codigo, Descripcion FROM cEfectos ORDER BY CodEfectos",
             "SELECT CodEfectos FROM D_BajoEfectos WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ? AND CodAfectadoAgresor = 2", ""},
            {"SELECT CodTipoAtencion AS Codigo, Descripcion FROM cTipoAtencion WHERE CodTipoAtencion < 7 ORDER BY CodTipoAtencion",
             "SELECT CodTipoAtencion FROM D_TipoAtencion WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?", ""},
        };
        for (const auto &l : listas) {
            Lee(Prepara(l[0]));
            sqlite3_stmt *d = Prepara(l[1]);
            Clave(d, 1, clues, folio, fecha);
            Lee(d);
        }
        // In the working database, as the sheet keeps it (a TEMP table of the same
        // name would also hide the program's own on this connection).
        Exec("CREATE TABLE IF NOT EXISTS main.TMPGRIDAFEC (NUMAFEC INTEGER, AFECCION TEXT(4) COLLATE NOCASE)");
        Exec("BEGIN");
        Exec("DELETE FROM TMPGRIDAFEC");
        sqlite3_stmt *g = Prepara("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) SELECT Orden, CodDiagnostico FROM D_Diagnosticos "
                                  "WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ? ORDER BY Orden");
        Clave(g, 1, clues, folio, fecha);
        Lee(g);
        Exec("COMMIT");
        Lee(Prepara("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"));
    }

    // One detail table's insert and the codes it writes for an event.
    using Detalles = std::vector<std::pair<std::string, QVariantList>>;

    void Asocia(sqlite3_stmt *s, int i, const QVariant &v) const
    {
        if (v.isNull())
            sqlite3_bind_null(s, i);
        else if (v.metaType().id() == QMetaType::LongLong || v.metaType().id() == QMetaType::Int)
            sqlite3_bind_int64(s, i, v.toLongLong());
        else
            sqlite3_bind_text(s, i, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }

    // The diagnoses from the work table and the ticked codes of each list.
    void EscribeDetalle(const std::string &clues, qint64 folio, const std::string &fecha, const Detalles &detalles) const
    {
        Exec("UPDATE TMPGRIDAFEC SET NUMAFEC = (SELECT count(*) FROM TMPGRIDAFEC t WHERE t.rowid <= TMPGRIDAFEC.rowid)");
        sqlite3_stmt *d = Prepara("INSERT INTO D_Diagnosticos (CLUES, Folio, fechaAtencion, CodDiagnostico, Orden) "
                                  "SELECT ?, ?, ?, AFECCION, NUMAFEC FROM TMPGRIDAFEC ORDER BY rowid");
        Clave(d, 1, clues, folio, fecha);
        Lee(d);
        for (const auto &[sql, codigos] : detalles)
            for (const QVariant &c : codigos) {
                sqlite3_stmt *i = Prepara(sql.c_str());
                Clave(i, 1, clues, folio, fecha);
                Asocia(i, 4, c);
                Lee(i);
            }
    }

    void AltaEvento(const QVariantList &valores, const Detalles &detalles) const
    {
        const std::string clues = valores[0].toString().toStdString();
        const qint64 folio = valores[1].toLongLong();
        const std::string fecha = valores[2].toString().toStdString();
        Exec("BEGIN");
        std::string marcas = "?";
        for (int i = 1; i < valores.size(); ++i)
            marcas += ",?";
        sqlite3_stmt *s = Prepara(("INSERT INTO D_EVENTO (" + ListaColumnasEvento().toStdString() + ") VALUES (" + marcas + ")").c_str());
        for (int i = 0; i < valores.size(); ++i)
            Asocia(s, i + 1, valores[i]);
        Lee(s);
        EscribeDetalle(clues, folio, fecha, detalles);
        Exec("COMMIT");
    }

    void BorraDetalle(const std::string &clues, qint64 folio, const std::string &fecha) const
    {
        for (const char *t : {"D_BajoEfectos", "D_Derechohabiencia", "D_Diagnosticos", "D_TipoAtencion", "D_TipoViolencia"}) {
            sqlite3_stmt *d = Prepara((std::string("DELETE FROM ") + t + " WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?").c_str());
            Clave(d, 1, clues, folio, fecha);
            Lee(d);
        }
    }

    // The update of every column but the key, and the detail rows written again.
    void ModificaEvento(const QVariantList &valores, const QStringList &columnas, const std::string &clues, qint64 folio,
                        const std::string &fecha, const Detalles &detalles) const
    {
        Exec("BEGIN");
        sqlite3_stmt *s = Prepara(("UPDATE D_EVENTO SET " + columnas.join(QStringLiteral(" = ?,")).toStdString()
                                   + " = ? WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?").c_str());
        for (int i = 0; i < valores.size(); ++i)
            Asocia(s, i + 1, valores[i]);
        Clave(s, int(valores.size()) + 1, clues, folio, fecha);
        Lee(s);
        BorraDetalle(clues, folio, fecha);
        EscribeDetalle(clues, folio, fecha, detalles);
        Exec("COMMIT");
    }

    void BorraEvento(const std::string &clues, qint64 folio, const std::string &fecha) const
    {
        Exec("BEGIN");
        BorraDetalle(clues, folio, fecha);
        sqlite3_stmt *s = Prepara("DELETE FROM D_EVENTO WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?");
        Clave(s, 1, clues, folio, fecha);
        Lee(s);
        Exec("COMMIT");
    }
};
