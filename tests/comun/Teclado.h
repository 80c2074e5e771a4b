#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

// Types text key by key into a widget. Plain key events carry the text, since
// QTest::keyClicks aborts on lower-case non-ASCII letters such as ñ.
inline void Teclea(QWidget *w, const QString &texto)
{
    for (const QChar c : texto) {
        QKeyEvent pulsa(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &pulsa);
        QKeyEvent suelta(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &suelta);
    }
}

// Ctrl+G as the keyboard delivers it: the key carries the control character.
inline void CtrlG(QWidget *w)
{
    QKeyEvent pulsa(QEvent::KeyPress, Qt::Key_G, Qt::ControlModifier, "\x07");
    QApplication::sendEvent(w, &pulsa);
    QKeyEvent suelta(QEvent::KeyRelease, Qt::Key_G, Qt::ControlModifier, "\x07");
    QApplication::sendEvent(w, &suelta);
}
