// Speed of the pick-lists on large catalogs: opening the health-unit list over
// 20,000 units and the ICD-10 list over 14,000 causes, and each keystroke of a
// search in them. Prints "name: value ms" lines; never fails a run.
//
//   velmoran_bench_listas [N] [--estado EE] [--ano AAAA] ... [--unidades U] [--causas C]
//   N and the events' options do not apply; U health units (20,000), C causes (14,000)

#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "lookups/frmListadet.h"
#include "lookups/frmSelCLUES.h"
#include "lookups/CamposDestino.h"
#include "platform/BaseDatos.h"

#include <QApplication>
#include <QSqlQuery>
#include <sqlite3.h>
#include <cstdio>
#include <memory>

namespace {

class DestinoMudo : public CamposDestino {
public:
    QString Texto(int) const override { return {}; }
    void PonTexto(int, const QString &) override {}
    bool Editable(int) const override { return true; }
    void Enfoca(int) override {}
};

// Plain SQLite: the window's rows read, every column as text.
double LeePlano(sqlite3 *db, const QString &sql)
{
    return Milisegundos([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr);
        std::vector<std::string> filas;
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, i));
                filas.emplace_back(t ? t : "");
            }
        sqlite3_finalize(s);
    });
}

// Builds the window, reads its rows and shows it, and prints how long that
// took beside the plain read of the same rows.
template <class Ventana>
std::unique_ptr<Ventana> AbreMidiendo(const char *nombre, Contexto &ctx, CamposDestino &destino, int campo, const QString &filas,
                                      Metas &metas)
{
    std::unique_ptr<Ventana> w;
    const double ms = Milisegundos([&] {
        w = std::make_unique<Ventana>(ctx, &destino, campo);
        w->Abre();
        w->show();
        QApplication::setActiveWindow(w.get());
    });
    Cifra(nombre, ms);
    const double plano = LeePlano(ctx.ConexionBD.Manejador(), filas);
    Cifra("  plain SQLite: read the same rows", plano);
    metas.Agrega(nombre, ms, plano, "ms");
    std::printf("  rows listed: %d\n", w->Lista().Cantidad());
    return w;
}

// Causes of the injury chapter, which the diagnosis list shows, and one in
// ten an external cause; every code four characters long and distinct.
void GeneraCausas(const BaseDatos &bd, int n)
{
    Transaccion tr(bd);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM CATCIE10"));
    QSqlQuery q(bd.Conexion());
    q.prepare(QStringLiteral("INSERT INTO CATCIE10 (Causa, nombre, Capitulo, lsex, linf, lsup, triv) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        const bool externa = i % 10 == 0;
        const QChar letra = QChar('A' + (i / 1000) % 26);
        q.addBindValue(QString(letra) + QStringLiteral("%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("TRAUMATISMO DE LA REGIÓN %1 CON DAÑO DE LA UÑA, TIPO %2").arg(i % 211).arg(i));
        q.addBindValue(externa ? QStringLiteral("20") : QStringLiteral("19"));
        q.addBindValue(QString::number(i % 3));
        q.addBindValue(QStringLiteral("001A"));
        q.addBindValue(QStringLiteral("120A"));
        q.addBindValue(i % 5 == 0 ? QStringLiteral("T") : QString());
        if (!q.exec())
            throw ErrorBD::DeConsulta(q);
    }
    q.finish();
    tr.Confirma();
}

int Corre(const OpcionesBanco &opciones)
{
    const int unidades = opciones.propias.value(QStringLiteral("--unidades"), QStringLiteral("20000")).toInt();
    const int causas = std::min(opciones.propias.value(QStringLiteral("--causas"), QStringLiteral("14000")).toInt(), 26000);

    ProgramaBanco programa(opciones);
    Contexto &ctx = programa.ctx;
    ctx.EstadoActual = QStringLiteral("09");   // the state of the generated units
    if (!programa.AbreBase())
        return 0;
    DestinoMudo destino;
    try {
        GeneraUnidades(ctx.ConexionBD, unidades);
        GeneraCausas(ctx.ConexionBD, causas);
    } catch (const ErrorBD &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Descripcion()));
        return 0;
    }
    std::printf("health units: %d, ICD-10 causes: %d\n", unidades, causas);
    Metas metas;

    {
        auto w = AbreMidiendo<frmSelCLUES>("frmSelCLUES: open (read, build, show)", ctx, destino, OrigenHojaClues,
                                           QStringLiteral("SELECT CLUES, DESCUNIDAD, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, "
                                                          "CTUNCVE FROM CATCLUES ORDER BY CLUES"), metas);
        Teclea("frmSelCLUES: CLUES box \"DFSSA01\"", w->Caja(0), QStringLiteral("dfssa01"));
        Teclea("frmSelCLUES: state box \"09\"", w->Caja(13), QStringLiteral("09"));
        Teclea("frmSelCLUES: locality box", w->Caja(16), QStringLiteral("0012"));
        Teclea("frmSelCLUES: no match and reset", w->Caja(19), QStringLiteral("Z"));
        Teclea("frmSelCLUES: emptying a box (full list back)", w->Caja(0), QString(7, QChar(8)));
    }
    for (int campo : {76, 78}) {
        const QByteArray nombre = QStringLiteral("frmListadet %1: open (read, build, show)").arg(campo).toUtf8();
        auto w = AbreMidiendo<frmListadet>(nombre.constData(), ctx, destino, campo, ConsultaListadet(campo), metas);
        Teclea("frmListadet: description box \"daño de la uña\"", w->Caja(1), QStringLiteral("daño de la uña"));
        Teclea("frmListadet: code box \"B01\"", w->Caja(0), QStringLiteral("b01"));
        Teclea("frmListadet: emptying the code box", w->Caja(0), QString(3, QChar(8)));
    }
    metas.Imprime("listas de selección, abrir (plano: leer sus filas)");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre, {QStringLiteral("--unidades"), QStringLiteral("--causas")});
}
