#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
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

// Ctrl+G as a fast typist rolls it: Ctrl down, G down, Ctrl up before G, so
// that the G comes up without the modifier. Through QTest, so that the key
// press meets the window's shortcuts as a real one does.
inline void CtrlG(QWidget *w)
{
    QTest::keyPress(w, Qt::Key_Control);
    QTest::keyPress(w, Qt::Key_G, Qt::ControlModifier);
    QTest::keyRelease(w, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyRelease(w, Qt::Key_G);
}
