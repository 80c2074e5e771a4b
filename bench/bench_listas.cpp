// Speed of the pick-lists on large catalogs: opening the health-unit list over
// 20,000 units and the ICD-10 list over 14,000 causes, and each keystroke of a
// search in them. Prints "name: value ms" lines; never fails a run.
//
//   velmoran_bench_listas [unidades] [causas]

#include "lookups/frmListadet.h"
#include "lookups/frmSelCLUES.h"
#include "lookups/CamposDestino.h"
#include "platform/Ajustes.h"
#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

class MensajesMudos : public Mensajes {
public:
    void Muestra(const QString &, Icono, const QString &) override {}
    bool Pregunta(const QString &, Icono, const QString &) override { return true; }
    void Beep() override {}
};

class DestinoMudo : public CamposDestino {
public:
    QString Texto(int) const override { return {}; }
    void PonTexto(int, const QString &) override {}
    bool Editable(int) const override { return true; }
    void Enfoca(int) override {}
};

void Cifra(const char *nombre, double ms)
{
    std::printf("%-48s %8.1f ms\n", nombre, ms);
}

double Mide(const std::function<void()> &op)
{
    QElapsedTimer t;
    t.start();
    op();
    QApplication::processEvents();   // the grid repaints within the figure
    return double(t.nsecsElapsed()) / 1e6;
}

// One key as the user types it: the key event, then the repaint.
double Tecla(QLineEdit *caja, QChar c)
{
    return Mide([&] {
        QKeyEvent pulsa(QEvent::KeyPress, c == QChar(8) ? int(Qt::Key_Backspace) : 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(caja, &pulsa);
    });
}

// Types the text key by key into the box, entered first as the user would
// (a box that selects its text on entry must not lose the first key to that);
// prints the slowest and the mean keystroke.
void Teclea(const char *nombre, QLineEdit *caja, const QString &texto)
{
    caja->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    std::vector<double> t;
    for (QChar c : texto)
        t.push_back(Tecla(caja, c));
    double suma = 0;
    for (double v : t)
        suma += v;
    std::printf("%-48s %8.1f ms max  %6.1f ms mean  (%d keys)\n", nombre, *std::max_element(t.begin(), t.end()),
                suma / double(t.size()), int(t.size()));
}

// Builds the window, reads its rows and shows it, and prints how long that took.
template <class Ventana>
std::unique_ptr<Ventana> AbreMidiendo(const char *nombre, Contexto &ctx, CamposDestino &destino, int campo)
{
    std::unique_ptr<Ventana> w;
    Cifra(nombre, Mide([&] {
              w = std::make_unique<Ventana>(ctx, &destino, campo);
              w->Abre();
              w->show();
              QApplication::setActiveWindow(w.get());
          }));
    std::printf("  rows listed: %d\n", w->Lista().Cantidad());
    return w;
}

void GeneraUnidades(const BaseDatos &bd, int n)
{
    const char *tipos = "CHUM";
    Transaccion tr(bd);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM CATCLUES"));
    QSqlQuery q(bd.Conexion());
    q.prepare(QStringLiteral("INSERT INTO CATCLUES (Clues, DescUnidad, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CTUNCVE) "
                             "VALUES (?, ?, '09', ?, ?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        q.addBindValue(QStringLiteral("DFSSA%1").arg(i, 6, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("CENTRO DE SALUD %1 DE LA PEÑA NÚMERO %2").arg(i % 97).arg(i));
        q.addBindValue(QStringLiteral("%1").arg(i % 9 + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i % 400, 3, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i % 3000, 4, 10, QLatin1Char('0')));
        q.addBindValue(QString(QLatin1Char(tipos[i % 4])));
        if (!q.exec())
            throw ErrorBD::DeConsulta(q);
    }
    q.finish();
    tr.Confirma();
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

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int unidades = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int causas = std::min(argc > 2 ? std::atoi(argv[2]) : 14000, 26000);

    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Datos"));
    MensajesMudos mensajes;
    Ajustes ajustes(QDir(dir.path()).filePath(QStringLiteral("ajustes.ini")));
    Reloj reloj;
    Contexto ctx(dir.path(), mensajes, ajustes, reloj);
    ctx.EstadoActual = QStringLiteral("09");
    ctx.ArchivoBD = ctx.NombreArchivoBD(ctx.EstadoActual, ctx.AnoActual);
    if (!QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), ctx.ArchivoBD)) {
        std::fprintf(stderr, "No se pudo copiar la plantilla %s\n", VELMORAN_PLANTILLA);
        return 0;
    }
    QFile::setPermissions(ctx.ArchivoBD, QFile::permissions(ctx.ArchivoBD) | QFileDevice::WriteOwner);
    DestinoMudo destino;
    try {
        ctx.ConexionBD.Abre(ctx.ArchivoBD);
        GeneraUnidades(ctx.ConexionBD, unidades);
        GeneraCausas(ctx.ConexionBD, causas);
    } catch (const ErrorBD &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Descripcion()));
        return 0;
    }
    std::printf("health units: %d, ICD-10 causes: %d\n", unidades, causas);

    {
        auto w = AbreMidiendo<frmSelCLUES>("frmSelCLUES: open (read, build, show)", ctx, destino, OrigenHojaClues);
        Teclea("frmSelCLUES: CLUES box \"DFSSA01\"", w->Caja(0), QStringLiteral("dfssa01"));
        Teclea("frmSelCLUES: state box \"09\"", w->Caja(13), QStringLiteral("09"));
        Teclea("frmSelCLUES: locality box", w->Caja(16), QStringLiteral("0012"));
        Teclea("frmSelCLUES: no match and reset", w->Caja(19), QStringLiteral("Z"));
        Teclea("frmSelCLUES: emptying a box (full list back)", w->Caja(0), QString(7, QChar(8)));
    }
    for (int campo : {76, 78}) {
        const QByteArray nombre = QStringLiteral("frmListadet %1: open (read, build, show)").arg(campo).toUtf8();
        auto w = AbreMidiendo<frmListadet>(nombre.constData(), ctx, destino, campo);
        Teclea("frmListadet: description box \"daño de la uña\"", w->Caja(1), QStringLiteral("daño de la uña"));
        Teclea("frmListadet: code box \"B01\"", w->Caja(0), QStringLiteral("b01"));
        Teclea("frmListadet: emptying the code box", w->Caja(0), QString(3, QChar(8)));
    }
    return 0;
}
