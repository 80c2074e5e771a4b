// Speed and memory of a send package of about a tenth of N generated events
// (a period of 36 days) and of its reception back into the N-event database,
// each beside the same work done with plain SQLite and libzip: the package's
// tables, its zip and the archive read back; the package unzipped, checked and
// merged. Prints "name: value unit" lines; never fails a run.
//
//   velmoran_bench_envio [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]

#include "GeneraEventos.h"
#include "Memoria.h"
#include "Metas.h"
#include "ProgramaBanco.h"
#include "ZipPlano.h"

#include "platform/Empaque.h"
#include "tools/Envio.h"
#include "tools/EnvioPaquete.h"
#include "tools/Recepcion.h"

#include <QApplication>
#include <QFile>
#include <sqlite3.h>

namespace {

// The same work with sqlite3 alone: `sql` runs on the working file with the
// package database attached as p.
void Plano(const QString &archivo, const QString &paquete, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(archivo).constData(), &db);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "ATTACH ? AS p", -1, &s, nullptr);
    sqlite3_bind_text(s, 1, QFile::encodeName(paquete).constData(), -1, SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_finalize(s);
    char *error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        std::fprintf(stderr, "sqlite: %s\n", error);
    sqlite3_free(error);
    sqlite3_close(db);
}

QString Llave(const QString &tabla)
{
    return QStringLiteral(" %1.CLUES = e.CLUES AND %1.Folio = e.Folio AND %1.fechaAtencion = e.fechaAtencion").arg(tabla);
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const QString desde = QDate(opciones.ano, 3, 1).toString(Qt::ISODate), hasta = QDate(opciones.ano, 4, 5).toString(Qt::ISODate);
    const int n = ctx.ConexionBD.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toInt();
    const int enPeriodo = ctx.ConexionBD.Valor(QStringLiteral("SELECT COUNT(*) FROM D_EVENTO WHERE fechaAtencion BETWEEN ? AND ?"),
                                               {desde, hasta}).toInt();
    std::printf("eventos: %d, en el periodo: %d\n", n, enPeriodo);

    // Plain: the package's tables filled by INSERT ... SELECT in one transaction.
    const QString plano = programa.dir.filePath(QStringLiteral("plano.db"));
    QString sql = QStringLiteral("BEGIN;");
    for (const QString &t : TablasEvento)
        sql += ctx.ConexionBD.Valor(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ? COLLATE NOCASE"), {t})
                   .toString()
                   .replace(QRegularExpression(QStringLiteral("^CREATE TABLE (\\w+)")), QStringLiteral("CREATE TABLE p.\\1"))
               + QLatin1Char(';');
    sql += QStringLiteral("INSERT INTO p.D_EVENTO SELECT * FROM D_EVENTO WHERE fechaAtencion BETWEEN '%1' AND '%2';").arg(desde, hasta);
    for (const QString &t : TablasEvento.mid(1))
        sql += QStringLiteral("INSERT INTO p.%1 SELECT d.* FROM p.D_EVENTO e CROSS JOIN %1 d ON").arg(t) + Llave(QStringLiteral("d")) + QLatin1Char(';');
    ctx.ConexionBD.Cierra();
    const double tablasPlano = Mide("sqlite: tablas del paquete del periodo", [&] { Plano(ctx.ArchivoBD, plano, sql + QStringLiteral("COMMIT;")); });
    ctx.ConexionBD.Abre(ctx.ArchivoBD);
    // The package database packed and read back, as the send does.
    const QString miembro = BaseDelPaquete(NombrePaquete(ctx.AnoActual, ctx.EstadoActual, ctx.reloj.Hoy()));
    const QByteArray miembroC = QFile::encodeName(miembro);
    const QString zipPlano = programa.dir.filePath(QStringLiteral("plano.zip"));
    bool releido = false;
    const double zipEnvioPlano = Mide("libzip: zip del paquete y relectura", [&] {
        EmpacaPlano(plano, zipPlano, miembroC.constData());
        releido = ReleePlano(zipPlano, plano, miembroC.constData());
    });
    if (!releido)
        std::fprintf(stderr, "libzip: el paquete plano no se leyó igual\n");
    const double paquetePlano = tablasPlano + zipEnvioPlano;

    Envio envio(ctx);
    Envio::Seleccion s;
    s.eventos = true;
    s.fechaIni = QDate::fromString(desde, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy"));
    s.fechaFin = QDate::fromString(hasta, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy"));
    s.unidades = {QStringLiteral("todas")};
    const QString paquete = programa.dir.filePath(envio.PaqueteEnvio);
    const double envia = Mide("envío (base del paquete, zip y relectura)", [&] { envio.GeneraEnvio(s, paquete); });

    // Plain: the received events replace the local ones of the same key.
    QString recibe = QStringLiteral("BEGIN;");
    for (const QString &t : TablasEvento.mid(1) + TablasEvento.mid(0, 1))
        recibe += QStringLiteral("DELETE FROM main.%1 WHERE rowid IN (SELECT d.rowid FROM p.D_EVENTO e CROSS JOIN main.%1 d ON").arg(t)
                  + Llave(QStringLiteral("d")) + QStringLiteral(");");
    for (const QString &t : TablasEvento)
        recibe += QStringLiteral("INSERT INTO main.%1 SELECT * FROM p.%1 WHERE (CLUES, Folio, fechaAtencion) IN "
                                 "(SELECT CLUES, Folio, fechaAtencion FROM p.D_EVENTO);").arg(t);
    // Plain: the program's package unzipped and checked as the reception
    // checks it (the file, the keys, no key twice), then merged.
    const QString recibido = programa.dir.filePath(QStringLiteral("recibido.db"));
    QString revisa = QStringLiteral("PRAGMA p.quick_check;");
    for (const QString &t : TablasEvento)
        revisa += QStringLiteral("SELECT COUNT(*) FROM p.%1 WHERE length(CLUES) IS NOT 11 OR typeof(Folio) <> 'integer' "
                                 "OR date(julianday(fechaAtencion)) IS NOT fechaAtencion;").arg(t);
    revisa += QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM p.D_EVENTO GROUP BY CLUES COLLATE NOCASE, Folio, fechaAtencion "
                             "HAVING COUNT(*) > 1);");
    ctx.ConexionBD.Cierra();
    const double desempacaPlano = Mide("libzip + sqlite: desempacar y revisar", [&] {
        ExtraePlano(paquete, recibido, miembroC.constData());
        Plano(ctx.ArchivoBD, recibido, revisa);
    });
    const double reunePlano = Mide("sqlite: reunir el paquete", [&] { Plano(ctx.ArchivoBD, recibido, recibe + QStringLiteral("COMMIT;")); });
    ctx.ConexionBD.Abre(ctx.ArchivoBD);

    Recepcion recepcion(ctx);
    bool abierto = false;
    const double abre = Mide("recepción: desempacar y revisar", [&] { abierto = recepcion.Abre(paquete); });
    const double reune = Mide("recepción: reunir", [&] {
        if (abierto)
            recepcion.Recibe(true, {});
    });
    Metas metas;
    metas.Agrega("envío del periodo (plano: tablas del paquete, zip y relectura)", envia, paquetePlano, "s");
    metas.Agrega("recepción: desempacar y revisar (plano: unzip y revisión)", abre, desempacaPlano, "s");
    metas.Agrega("recepción: reunir (plano: borrar y copiar las filas)", reune, reunePlano, "s");
    metas.Agrega("recepción entera (plano: unzip, revisión y reunión)", abre + reune, desempacaPlano + reunePlano, "s");
    metas.Imprime(qPrintable(QStringLiteral("envío, %1 eventos, %2 en el periodo").arg(n).arg(enPeriodo)));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    return MainBanco(argc, argv, Corre);
}
