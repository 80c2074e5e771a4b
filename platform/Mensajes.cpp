#include "platform/Mensajes.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconoQt(Mensajes::Icono i)
{
    switch (i) {
    case Mensajes::Icono::Ninguno: return QMessageBox::NoIcon;
    case Mensajes::Icono::Informacion: return QMessageBox::Information;
    case Mensajes::Icono::Exclamacion: return QMessageBox::Warning;
    case Mensajes::Icono::Pregunta: return QMessageBox::Question;
    case Mensajes::Icono::Critico: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// A box waits for a click: an arrow over it, also in the middle of long
// work that set the hourglass; the work's pointer comes back with the answer.
class FlechaDuranteCaja {
public:
    FlechaDuranteCaja() { QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~FlechaDuranteCaja() { QGuiApplication::restoreOverrideCursor(); }
    FlechaDuranteCaja(const FlechaDuranteCaja &) = delete;
    FlechaDuranteCaja &operator=(const FlechaDuranteCaja &) = delete;
};

} // namespace

void MensajesQt::Muestra(const QString &texto, Icono icono, const QString &titulo)
{
    QMessageBox caja(IconoQt(icono), titulo, texto, QMessageBox::Ok, QApplication::activeWindow());
    const FlechaDuranteCaja flecha;
    caja.exec();
}

bool MensajesQt::Pregunta(const QString &texto, Icono icono, const QString &titulo)
{
    QMessageBox caja(IconoQt(icono), titulo, texto, QMessageBox::Yes | QMessageBox::No,
                     QApplication::activeWindow());
    caja.setDefaultButton(QMessageBox::Yes);
    const FlechaDuranteCaja flecha;
    return caja.exec() == QMessageBox::Yes;
}

void MensajesQt::Beep()
{
    QApplication::beep();
}
