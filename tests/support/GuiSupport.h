#pragma once

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QtTest>

namespace vexa::test {

// Keys as the keyboard sends them: through the active window to whatever has the focus there,
// each key carrying its character, Czech letters included.
inline void TypeKeys(const QString& text) {
    for (QChar c : text) {
        QWindow* window = QGuiApplication::focusWindow();
        QTEST_ASSERT(window);
        QTest::sendKeyEvent(QTest::Click, window, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    }
}

// One key (with modifiers) through the active window.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWindow* window = QGuiApplication::focusWindow();
    QTEST_ASSERT(window);
    QTest::keyClick(window, key, modifiers);
}

// The clerk clicks into a text box or an editable combo box, selects what it holds and types
// over it.
inline void TypeOver(QWidget* box, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(box) ? qobject_cast<QLineEdit*>(box)
                                               : box->findChild<QLineEdit*>();
    QTEST_ASSERT(edit);
    QTest::mouseClick(edit, Qt::LeftButton);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    PressKey(Qt::Key_Delete);
    TypeKeys(text);
}

// Runs `look` on the next modal window (a message box or a dialog's own loop) once it is shown
// and active, from inside that window's loop. What `look` leaves open (a button's click may come
// a moment after its key) is closed after a second, so a failed check never leaves the test
// waiting.
template <typename F>
void WhenModalShown(F look) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        QWidget* shown = QApplication::activeModalWidget();
        if (shown == nullptr || !shown->isActiveWindow())
            return;
        timer->stop();
        timer->deleteLater();
        QPointer<QWidget> box(shown);
        look(shown);
        if (!QTest::qWaitFor([&box] { return !box || !box->isVisible(); }, 1000))
            qWarning("the modal window was still open; closing it");
        if (box && box->isVisible())
            box->close();
    });
    timer->start();
}

}  // namespace vexa::test
