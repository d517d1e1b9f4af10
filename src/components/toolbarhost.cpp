#include "toolbarhost.h"

#include "toolbar.h"

#include <QHBoxLayout>

ToolbarHost::ToolbarHost(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
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
    m_layout->addWidget(toolbar);
    toolbar->show();
    updateGeometry();
}

void ToolbarHost::releaseToolbar()
{
    if (!m_toolbar)
        return;
    Toolbar *toolbar = m_toolbar;
    m_toolbar = nullptr;
    m_layout->removeWidget(toolbar);
    toolbar->hide();
    // With no former parent the caller owns the toolbar again.
    toolbar->setParent(m_formerParent);
    m_formerParent = nullptr;
    updateGeometry();
}
