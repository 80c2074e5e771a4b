#include "platform/CursorOcupado.h"
#include "platform/Mensajes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The pointer's shape now, or -1 with no pointer of the program's own.
int Puntero()
{
    return QGuiApplication::overrideCursor() ? int(QGuiApplication::overrideCursor()->shape()) : -1;
}

} // namespace

// The real boxes in the middle of long work: an arrow over the box, which
// waits for a click, and the hourglass again once it is answered.
TEST(MensajesQt, SobreLaCajaLaFlechaYDespuesElRelojDeArena)
{
    MensajesQt mensajes;
    const CursorOcupado ocupado;
    for (const bool pregunta : {false, true}) {
        QStringList vista;
        QTimer espera;
        QObject::connect(&espera, &QTimer::timeout, [&] {
            auto *caja = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!caja)
                return;
            espera.stop();
            vista << caja->windowTitle() << caja->text() << QString::number(Puntero());
            caja->buttons().first()->click();
        });
        espera.start(5);
        QTimer::singleShot(20000, &espera, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        if (pregunta)
            mensajes.Pregunta(QStringLiteral("¿Desea continuar?"), Mensajes::Icono::Pregunta, QStringLiteral("Envío de VELMORAN"));
        else
            mensajes.Informa(QStringLiteral("De click para continuar"), QStringLiteral("Envío de VELMORAN"));
        EXPECT_EQ(vista, (QStringList{"Envío de VELMORAN", pregunta ? "¿Desea continuar?" : "De click para continuar",
                                      QString::number(int(Qt::ArrowCursor))}));
        EXPECT_EQ(Puntero(), int(Qt::WaitCursor));
    }
}
