#include "platform/Mensajes.h"

#include "platform/CursorOcupado.h"

#include <QApplication>
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

} // namespace

void MensajesQt::Muestra(const QString &texto, Icono icono, const QString &titulo)
{
    QMessageBox caja(IconoQt(icono), titulo, texto, QMessageBox::Ok, QApplication::activeWindow());
    // The box waits for a click: an arrow over it, also in the middle of long
    // work; the work's hourglass comes back with the answer.
    const PunteroTemporal flecha(Qt::ArrowCursor);
    caja.exec();
}

bool MensajesQt::Pregunta(const QString &texto, Icono icono, const QString &titulo)
{
    QMessageBox caja(IconoQt(icono), titulo, texto, QMessageBox::Yes | QMessageBox::No,
                     QApplication::activeWindow());
    caja.setDefaultButton(QMessageBox::Yes);
    const PunteroTemporal flecha(Qt::ArrowCursor);
    return caja.exec() == QMessageBox::Yes;
}

void MensajesQt::Beep()
{
    QApplication::beep();
}
