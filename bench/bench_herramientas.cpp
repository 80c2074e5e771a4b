// Speed and memory of compaction, backup and unpacking on a working database
// of N generated events, each beside the same work done with plain SQLite (and
// plain libzip for the archive). Prints "name: value unit" lines; never fails a run.
//
//   velmoran_bench_herramientas [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]

#include "GeneraEventos.h"
#include "Memoria.h"
#include "Metas.h"
#include "ProgramaBanco.h"
#include "ZipPlano.h"

#include "platform/Ajustes.h"
#include "platform/BaseDatos.h"
#include "platform/Empaque.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"
#include "tools/Compacta.h"
#include "tools/Respaldo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

namespace {

void ExecPlano(const QString &archivo, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(archivo).constData(), &db);
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        std::fprintf(stderr, "sqlite: %s\n", error);
    sqlite3_free(error);
    sqlite3_close(db);
}

double MB(const QString &archivo)
{
    return double(QFileInfo(archivo).size()) / (1024.0 * 1024.0);
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const QTemporaryDir &dir = programa.dir;
    // The backup's member, as the backup names it.
    const QString miembro = QStringLiteral("BKUP") + ctx.AnoActual.mid(2, 2) + ctx.EstadoActual + QStringLiteral(".db");
    const QByteArray miembroC = QFile::encodeName(miembro);
    ctx.ConexionBD.Cierra();
    std::printf("base de trabajo: %.1f MB\n", MB(ctx.ArchivoBD));

    const QString copia = dir.filePath(QStringLiteral("copia.db")), zipPlano = dir.filePath(QStringLiteral("plano.zip"));
    // The compaction also analyzes every table for the planner.
    const double vacuum =
        Mide("sqlite: VACUUM, ANALYZE", [&] { ExecPlano(ctx.ArchivoBD, "VACUUM; ANALYZE; PRAGMA wal_checkpoint(TRUNCATE);"); });
    ctx.ConexionBD.Abre(ctx.ArchivoBD);
    const double compacta = Mide("compactar (CompactaBaseDatos)", [&] { CompactaBaseDatos(ctx, nullptr, {}); });
    ctx.ConexionBD.Cierra();

    const double respaldoPlano = Mide("sqlite + libzip: VACUUM, ANALYZE, VACUUM INTO, zip", [&] {
        ExecPlano(ctx.ArchivoBD, "VACUUM; ANALYZE; PRAGMA wal_checkpoint(TRUNCATE);");
        ExecPlano(ctx.ArchivoBD, ("VACUUM INTO '" + copia.toStdString() + "'").c_str());
        EmpacaPlano(copia, zipPlano, miembroC.constData());
        QFile::remove(copia);
    });
    ctx.ConexionBD.Abre(ctx.ArchivoBD);
    const QString destino = dir.filePath(QStringLiteral("VELMORAN%1_201204.ZIP").arg(QFileInfo(ctx.ArchivoBD).completeBaseName().mid(8)));
    Respaldo respaldo(ctx, [&ctx] { return CompactaBaseDatos(ctx, nullptr, {}); });
    const double respalda = Mide("respaldar (compacta, copia, zip y relectura)", [&] { respaldo.Respalda(destino); });
    std::printf("respaldo: %.1f MB\n", MB(destino));

    const double extraePlano = Mide("libzip: extraer", [&] { ExtraePlano(destino, copia, miembroC.constData()); });
    QFile::remove(copia);
    QString error;
    const double extrae = Mide("extraer (ExtraeMiembro)", [&] {
        if (!ExtraeMiembro(destino, miembro, copia, LimiteExtraccion, &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
    const double empaca = Mide("empacar (EmpacaArchivo)", [&] {
        if (!EmpacaArchivo(copia, miembro, zipPlano, &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
    const double empacaPlano = Mide("libzip: empacar", [&] { EmpacaPlano(copia, dir.filePath(QStringLiteral("plano2.zip")), miembroC.constData()); });
    Metas metas;
    metas.Agrega("compactar (plano: VACUUM, ANALYZE)", compacta, vacuum, "s");
    metas.Agrega("respaldar (plano: VACUUM, ANALYZE, VACUUM INTO y zip)", respalda, respaldoPlano, "s");
    metas.Agrega("extraer del respaldo (plano: libzip)", extrae, extraePlano, "s");
    metas.Agrega("empacar (plano: libzip)", empaca, empacaPlano, "s");
    metas.Imprime("herramientas");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    return MainBanco(argc, argv, Corre);
}
