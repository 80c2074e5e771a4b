#include "platform/Progreso.h"

#include "platform/BaseDatos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <sqlite3.h>

namespace {
int profundidad = 0;   // nested works: only the outermost holds the panel timer
// How often the windows are painted and a count written, in milliseconds.
constexpr qint64 Intervalo = 100;
// SQLite virtual-machine steps between two looks at the clock.
constexpr int Pasos = 100000;

QElapsedTimer &UltimoRepinte()
{
    static QElapsedTimer reloj;
    return reloj;
}

QString Numero(qint64 n)
{
    QLocale c = QLocale::c();
    c.setNumberOptions({});
    return c.toString(n);
}
} // namespace

Progreso::Progreso(Panel panel, std::function<void(bool)> ocupado, const QString &etapa, const BaseDatos *bd)
    : panel_(std::move(panel)), ocupado_(std::move(ocupado))
{
    cursor_.emplace();
    if (profundidad++ == 0 && ocupado_)
        ocupado_(true);
    UltimoRepinte().start();
    if (bd)
        Vigila(*bd);
    if (!etapa.isEmpty())
        Etapa(etapa);
}

Progreso::~Progreso()
{
    Termina();
}

void Progreso::Termina()
{
    if (!cursor_)
        return;
    cursor_.reset();
    // A connection closed meanwhile took its handler with it; one opened
    // since has none, and clearing it does no harm.
    if (vigilada_ && profundidad == 1 && vigilada_->EstaAbierta())
        sqlite3_progress_handler(vigilada_->Manejador(), 0, nullptr, nullptr);
    if (--profundidad == 0 && ocupado_)
        ocupado_(false);
}

void Progreso::Etapa(const QString &texto)
{
    etapa_ = texto;
    cuenta_.invalidate();
    if (panel_)
        panel_(texto);
    Repinta();
}

void Progreso::Cuenta(qint64 hecho, qint64 total)
{
    if (cuenta_.isValid() && hecho != total && cuenta_.elapsed() < Intervalo)
        return;
    cuenta_.start();
    if (panel_)
        panel_(etapa_ + QLatin1Char(' ') + Numero(hecho)
               + (total >= 0 ? QStringLiteral(" de ") + Numero(total) : QString()));
    Repinta();
}

void Progreso::Vigila(const BaseDatos &bd)
{
    vigilada_ = &bd;
    sqlite3_progress_handler(bd.Manejador(), Pasos, &Progreso::Llama, nullptr);
}

int Progreso::Llama(void *)
{
    if (profundidad > 0 && UltimoRepinte().elapsed() >= Intervalo)
        Repinta();
    return 0;
}

void Progreso::Repinta()
{
    UltimoRepinte().start();
    // Timers and sockets wait: a timer that ran SQL on the connection inside
    // SQLite's callback would break the statement in progress.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers
                                    | QEventLoop::X11ExcludeTimers);
}
