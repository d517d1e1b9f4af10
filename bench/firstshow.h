#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>
#include <cstdio>

// For the start-up programs qta-bench spawns: once the first window is exposed and its first frame painted,
// says "shown" on standard output, where qta-bench stops its clock, and ends the program.
class FirstShowReporter final : public QObject
{
public:
    FirstShowReporter() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Expose) {
            auto *window = qobject_cast<QWindow *>(watched);
            if (window && window->isExposed()) {
                m_seen = true;
                // Queued: the window paints while it handles this event, and the report comes after that.
                QMetaObject::invokeMethod(this, &FirstShowReporter::report, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    void report()
    {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    bool m_seen = false;
};
