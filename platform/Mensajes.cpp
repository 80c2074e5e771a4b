#include "platform/Mensajes.h"

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
    caja.exec();
}

bool MensajesQt::Pregunta(const QString &texto, Icono icono, const QString &titulo)
{
    QMessageBox caja(IconoQt(icono), titulo, texto, QMessageBox::Yes | QMessageBox::No,
                     QApplication::activeWindow());
    caja.setDefaultButton(QMessageBox::Yes);
    return caja.exec() == QMessageBox::Yes;
}

void MensajesQt::Beep()
{
    QApplication::beep();
}
