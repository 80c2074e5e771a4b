#pragma once

#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Calls `haz` with the next modal window that opens over the one active now,
// once it is shown. A window that does not open within 20 s fails the test.
inline void AlAbrirse(std::function<void(QWidget *)> haz)
{
    const QPointer<QWidget> antes = QApplication::activeModalWidget();
    auto *reloj = new QTimer;
    auto desde = std::make_shared<QElapsedTimer>();
    desde->start();
    QObject::connect(reloj, &QTimer::timeout, [=] {
        QWidget *w = QApplication::activeModalWidget();
        const bool abierta = w && w != antes && w->isVisible();
        if (!abierta && desde->elapsed() < 20000)
            return;
        reloj->stop();
        reloj->deleteLater();
        if (abierta)
            haz(w);
        else
            ADD_FAILURE() << "no se abrió ninguna ventana";
    });
    reloj->start(20);
}

// Closes a modal window as its Cancel does.
inline void Cancela(QWidget *w)
{
    if (auto *d = qobject_cast<QDialog *>(w))
        d->reject();
    else
        w->close();
}

// What a user looking for a file in `carpeta` does in a window that can list
// folders: types the folder into every box of it that completes paths, and
// waits while the window lists it. Gives the boxes typed into.
inline int EscribeCarpeta(QWidget *w, const QString &carpeta)
{
    int cajas = 0;
    for (QLineEdit *caja : w->findChildren<QLineEdit *>()) {
        if (!caja->isVisible() || !caja->isEnabled() || !caja->completer())
            continue;
        caja->setFocus();
        caja->selectAll();
        QTest::keyClicks(caja, carpeta + QLatin1Char('/'));
        ++cajas;
    }
    QElapsedTimer desde;
    desde.start();
    const auto listada = [&] {
        for (QFileSystemModel *m : w->findChildren<QFileSystemModel *>())
            if (m->rowCount(m->index(carpeta)) == 0)
                return false;
        return true;
    };
    while (!listada() && desde.elapsed() < 800)
        QTest::qWait(50);
    QTest::qWait(300);
    return cajas;
}
