#pragma once

#include "toolbar.h"

#include <QPointer>
#include <QWidget>

class QScrollArea;

// Carries one toolbar inside a page. A toolbar longer than the host scrolls sideways, its buttons whole, and
// the button the keyboard moves to is scrolled into view. The toolbar is borrowed: releasing it hands it back,
// hidden, to the parent it had before.
class ToolbarHost final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarHost)

public:
    explicit ToolbarHost(QWidget *parent = nullptr);

    // Releases the toolbar hosted so far, if any, then hosts this one (null hosts nothing).
    void setToolbar(Toolbar *toolbar);
    Toolbar *toolbar() const { return m_toolbar; }
    void releaseToolbar();

    // The height the host needs for a toolbar of this height, the scroll bar included.
    int heightFor(int toolbarHeight) const;

private:
    void showFocusedButton(QWidget *focused);

    QScrollArea *m_scroller;
    QPointer<Toolbar> m_toolbar;
    QPointer<QWidget> m_formerParent;
};
