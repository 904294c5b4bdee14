#pragma once

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/Numbers.h"
#include "platform/ui/MessageBox.h"

namespace vexa::test {

// The control of that name on `form`; a test that names a missing one ends at once.
template <typename T = QWidget>
T* Child(QWidget* form, const char* name) {
    T* control = form->findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr)
        qFatal("no control %s", name);
    return control;
}

// Waits until the keys go to `window`.
inline bool WaitActive(QWidget* window) {
    if (QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000))
        return true;
    qWarning("%s is not the active window", qPrintable(window->objectName()));
    return false;
}

// Shows `window` and waits until the keys go to it.
inline bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return WaitActive(window);
}

// A number as the clerk types and reads it: "." stands for the user's decimal separator.
inline std::string InUserLocale(std::string text) {
    std::replace(text.begin(), text.end(), '.', LocaleDecimal::FromUserLocale().Separator());
    return text;
}

// The boxes shown so far, as "title: text".
inline std::vector<std::string> ShownBoxes(const MessageBox& messages) {
    std::vector<std::string> shown;
    for (const MessageBox::Shown& box : messages.ShownBoxes())
        shown.push_back(box.title + ": " + box.text);
    return shown;
}

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

// Where the focus goes with each of `count` Tab keys: the names of the controls (a combo box
// for its own edit line), joined by spaces.
inline QString TabWalk(int count) {
    QStringList walked;
    for (int i = 0; i < count; ++i) {
        PressKey(Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        QWidget* named = qobject_cast<QLineEdit*>(focus) && focus->objectName().isEmpty()
                             ? focus->parentWidget()
                             : focus;
        walked.append(named->objectName());
    }
    return walked.join(' ');
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
