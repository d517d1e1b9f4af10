#include "toolbarhost.h"

#include "toolbar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

ToolbarHost::ToolbarHost(QWidget *parent)
    : QWidget(parent)
    , m_scroller(new QScrollArea(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_scroller);
    m_scroller->setFrameShape(QFrame::NoFrame);
    m_scroller->setFocusPolicy(Qt::NoFocus); // the buttons take the focus, the strip around them does not
    m_scroller->setWidgetResizable(true);
    m_scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The page's own colour behind the buttons, not the colour of a list.
    m_scroller->viewport()->setAutoFillBackground(false);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { showFocusedButton(now); });
}

int ToolbarHost::heightFor(int toolbarHeight) const
{
    return toolbarHeight + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroller);
}

void ToolbarHost::setToolbar(Toolbar *toolbar)
{
    if (toolbar == m_toolbar)
        return;
    releaseToolbar();
    if (!toolbar)
        return;
    m_toolbar = toolbar;
    m_formerParent = toolbar->parentWidget();
    // The scroll area gives the toolbar at least the width its buttons need: a long one scrolls. It would also
    // paint the toolbar's background, which the page shows through.
    m_scroller->setWidget(toolbar);
    toolbar->setAutoFillBackground(false);
    toolbar->show();
    updateGeometry();
}

void ToolbarHost::releaseToolbar()
{
    if (!m_toolbar)
        return;
    Toolbar *toolbar = m_toolbar;
    m_toolbar = nullptr;
    m_scroller->takeWidget();
    toolbar->hide();
    // With no former parent the caller owns the toolbar again.
    toolbar->setParent(m_formerParent);
    m_formerParent = nullptr;
    updateGeometry();
}

void ToolbarHost::showFocusedButton(QWidget *focused)
{
    if (m_toolbar && focused && focused != m_toolbar && m_toolbar->isAncestorOf(focused))
        m_scroller->ensureWidgetVisible(focused, 0, 0);
}
