#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

// Keys as a key sequence names them ("Ctrl+Left", "Num+Enter"), to the focused widget unless told.
inline void press(const QString &keys, QWidget *to = nullptr)
{
    const QKeyCombination key = QKeySequence::fromString(keys)[0];
    QTest::keyClick(to ? to : QApplication::focusWidget(), key.key(), key.keyboardModifiers());
}

// During a drag every mouse event goes to the widget that was pressed, wherever the pointer is.
inline void sendMouse(QWidget *pressed, QEvent::Type type, QPoint pos, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, pressed->mapToGlobal(pos), button, held, {});
    QApplication::sendEvent(pressed, &event);
}

// Runs act on the modal dialog or popup menu once exec() has shown it, then closes it if act did not: the suite
// must not hang.
template<typename Shown> void whenShown(QObject *context, std::function<void(Shown *)> act)
{
    QTimer::singleShot(0, context, [act] {
        Shown *shown = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            QWidget *up = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                            : QApplication::activeModalWidget();
            return (shown = qobject_cast<Shown *>(up)) != nullptr;
        }));
        act(shown);
        if (shown->isVisible())
            shown->close();
    });
}
