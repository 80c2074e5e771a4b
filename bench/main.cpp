// Speed figures of the care-event store on generated data, each beside the
// same work done with plain SQLite statements. Prints "name: median unit"
// lines; never fails a run.
//
//   velmoran_bench [N]      N events to generate (default 100000)

#include "GeneraEventos.h"
#include "Memoria.h"
#include "ProgramaBanco.h"

#include "events/MapaEvento.h"
#include "events/SentenciaSqlite.h"
#include "events/modEvento.h"
#include "platform/Ajustes.h"
#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

double MedianaMs(int veces, const std::function<void(int)> &op)
{
    std::vector<double> t;
    QElapsedTimer reloj;
    for (int i = 0; i < veces; ++i) {
        reloj.start();
        op(i);
        t.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void Cifra(const char *nombre, double valor, const char *unidad)
{
    std::printf("%s: %.3f %s\n", nombre, valor, unidad);
    std::fflush(stdout);
}

void Razon(const char *nombre, double nuestro, double sqlite)
{
    std::printf("%s: %.2f x\n", nombre, sqlite > 0 ? nuestro / sqlite : 0.0);
    std::fflush(stdout);
}

double ResidenteMB()
{
    return MemoriaMB("VmRSS:");
}

// --- plain SQLite: the same statements, prepared, bound and stepped by hand

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
        Exec("CREATE TEMP TABLE IF NOT EXISTS TMPGRIDAFEC (NUMAFEC INTEGER, AFECCION TEXT(4) COLLATE NOCASE)");
        Exec("BEGIN");
        Exec("DELETE FROM TMPGRIDAFEC");
        sqlite3_stmt *g = Prepara("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) SELECT Orden, CodDiagnostico FROM D_Diagnosticos "
                                  "WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ? ORDER BY Orden");
        Clave(g, 1, clues, folio, fecha);
        Lee(g);
        Exec("COMMIT");
        Lee(Prepara("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"));
    }

    void AltaEvento(const QVariantList &valores, const std::vector<std::pair<std::string, QVariantList>> &detalles) const
    {
        const std::string clues = valores[0].toString().toStdString();
        const qint64 folio = valores[1].toLongLong();
        const std::string fecha = valores[2].toString().toStdString();
        Exec("BEGIN");
        std::string marcas = "?";
        for (int i = 1; i < valores.size(); ++i)
            marcas += ",?";
        sqlite3_stmt *s = Prepara(("INSERT INTO D_EVENTO (" + ListaColumnasEvento().toStdString() + ") VALUES (" + marcas + ")").c_str());
        for (int i = 0; i < valores.size(); ++i) {
            const QVariant &v = valores[i];
            if (v.isNull())
                sqlite3_bind_null(s, i + 1);
            else if (v.metaType().id() == QMetaType::LongLong)
                sqlite3_bind_int64(s, i + 1, v.toLongLong());
            else
                sqlite3_bind_text(s, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        Lee(s);
        Exec("UPDATE TMPGRIDAFEC SET NUMAFEC = (SELECT count(*) FROM TMPGRIDAFEC t WHERE t.rowid <= TMPGRIDAFEC.rowid)");
        sqlite3_stmt *d = Prepara("INSERT INTO D_Diagnosticos (CLUES, Folio, fechaAtencion, CodDiagnostico, Orden) "
                                  "SELECT ?, ?, ?, AFECCION, NUMAFEC FROM TMPGRIDAFEC ORDER BY rowid");
        Clave(d, 1, clues, folio, fecha);
        Lee(d);
        for (const auto &[sql, codigos] : detalles)
            for (const QVariant &c : codigos) {
                sqlite3_stmt *i = Prepara(sql.c_str());
                Clave(i, 1, clues, folio, fecha);
                if (c.metaType().id() == QMetaType::LongLong)
                    sqlite3_bind_int64(i, 4, c.toLongLong());
                else
                    sqlite3_bind_text(i, 4, c.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
                Lee(i);
            }
        Exec("COMMIT");
    }
};

int Corre(int n)
{
    ProgramaBanco programa;
    if (!programa.AbreBase())
        return 0;
    Contexto &ctx = programa.ctx;
    const RelojFijo &reloj = programa.reloj;
    const BaseDatos &bd = ctx.ConexionBD;
    const DatosEvento base = EventoValido();

    QElapsedTimer t;
    t.start();
    GeneraEventos(bd, n, base);
    std::printf("eventos generados: %d\n", n);
    Cifra("generar eventos con detalles", double(t.nsecsElapsed()) / 1e9, "s");
    bd.Ejecuta(QStringLiteral("ANALYZE"));

    HojaDatos hoja;
    modEvento almacen(ctx, hoja);
    Plano plano{bd.Manejador()};

    // Opening the record set: keys only.
    const double antes = ResidenteMB();
    const double abrir = MedianaMs(5, [&](int) { almacen.rsAtencion.Abre(bd, almacen.ConsultaEventos); });
    const double residente = ResidenteMB();
    const double abrirPlano = MedianaMs(5, [&](int) { plano.AbreLlaves(); });
    std::printf("claves en rsAtencion: %d\n", almacen.rsAtencion.Cuenta());
    Cifra("abrir rsAtencion", abrir, "ms");
    Cifra("abrir rsAtencion, SQLite plano", abrirPlano, "ms");
    Razon("abrir rsAtencion / SQLite plano", abrir, abrirPlano);
    Cifra("memoria residente con rsAtencion abierto", residente, "MB");
    Cifra("memoria de rsAtencion", residente - antes, "MB");

    // Reading one event by key into the sheet state.
    const int cuenta = almacen.rsAtencion.Cuenta();
    auto posicion = [&](int i) { return int((qint64(i) * 7919) % cuenta) + 1; };
    almacen.CargaListas();
    const double leer = MedianaMs(301, [&](int i) {
        almacen.rsAtencion.IrA(posicion(i));
        almacen.LeeEvento();
    });
    const double leerPlano = MedianaMs(301, [&](int i) {
        almacen.rsAtencion.IrA(posicion(i));
        const ClaveEvento k = *almacen.rsAtencion.Actual();
        plano.LeeEvento(k.clues.toStdString(), k.folio, k.FechaISO().toStdString());
    });
    Cifra("LeeEvento", leer, "ms");
    Cifra("LeeEvento, SQLite plano", leerPlano, "ms");
    Razon("LeeEvento / SQLite plano", leer, leerPlano);

    // Inserting one event with its detail rows into the full database.
    LlenaEvento(almacen, base);
    const qint64 primerFolio = 90000000;
    const double alta = MedianaMs(301, [&](int i) {
        hoja.PonTexto(22, QString::number(primerFolio + i));
        almacen.AltaEvento();
    });
    std::vector<std::pair<std::string, QVariantList>> detalles;
    auto codigos = [&](ListaHoja l, bool texto) {
        QVariantList v;
        for (const QString &c : base.marcados.value(l))
            v << CodigoElemento(c, texto);
        return v;
    };
    detalles.push_back({"INSERT INTO D_Derechohabiencia (CLUES, Folio, fechaAtencion, CodDerechohabiencia) VALUES (?, ?, ?, ?)",
                        codigos(ListaHoja::Derechohabiencia, true)});
    detalles.push_back({"INSERT INTO D_TipoViolencia (CLUES, Folio, fechaAtencion, CodTipoViolencia) VALUES (?, ?, ?, ?)",
                        codigos(ListaHoja::TipoViolencia, false)});
    detalles.push_back({"INSERT INTO D_BajoEfectos (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, CodEfectos) VALUES (?, ?, ?, 1, ?)",
                        codigos(ListaHoja::PacienteEfectos, false)});
    detalles.push_back({"INSERT INTO D_BajoEfectos (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, CodEfectos) VALUES (?, ?, ?, 2, ?)",
                        codigos(ListaHoja::AgresorEfectos, false)});
    detalles.push_back({"INSERT INTO D_TipoAtencion (CLUES, Folio, fechaAtencion, CodTipoAtencion) VALUES (?, ?, ?, ?)",
                        codigos(ListaHoja::TipoAtencion, false)});
    QVariantList valores = ValoresEvento(hoja, reloj.Hoy(), false);
    const double altaPlano = MedianaMs(301, [&](int i) {
        valores[1] = qlonglong(primerFolio + 1000 + i);
        plano.AltaEvento(valores, detalles);
    });
    Cifra("AltaEvento", alta, "ms");
    Cifra("AltaEvento, SQLite plano", altaPlano, "ms");
    Razon("AltaEvento / SQLite plano", alta, altaPlano);
    std::printf("eventos en la base: %s\n", qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toString()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool ok = false;
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt(&ok) : 100000;
    try {
        return Corre(ok || argc <= 1 ? qMax(1, n) : 100000);
    } catch (const std::exception &e) {
        std::printf("el banco de pruebas se detuvo: %s\n", e.what());
    }
    return 0;
}
