#pragma once

#include "toolbar.h"

#include <QPointer>
#include <QWidget>

class QHBoxLayout;

// Carries one toolbar inside a page. The toolbar is borrowed: releasing it hands it back, hidden, to the
// parent it had before.
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

private:
    QHBoxLayout *m_layout;
    QPointer<Toolbar> m_toolbar;
    QPointer<QWidget> m_formerParent;
};
