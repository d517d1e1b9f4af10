#include "previewtoolbar.h"

#include "toolbar.h"
#include "toolbarmodel.h"

namespace {

constexpr int kStyleButton = 0;
constexpr int kStyleSeparator = 1;

} // namespace

PreviewToolbar::PreviewToolbar(ToolbarModel *model, Toolbar *toolbar, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_toolbar(toolbar)
{
    connect(model, &ToolbarModel::toolbarReset, this, &PreviewToolbar::rebuild);
    connect(model, &ToolbarModel::buttonInserted, this, &PreviewToolbar::insertButton);
    connect(model, &ToolbarModel::buttonRemoved, this, [this](int position) { m_toolbar->removeButton(position); });
    connect(model, &ToolbarModel::buttonChanged, this, &PreviewToolbar::updateButton);
    connect(model, &ToolbarModel::buttonMoved, this, [this](int from, int to) {
        m_toolbar->removeButton(from);
        insertButton(to);
    });
    rebuild();
}

void PreviewToolbar::rebuild()
{
    m_toolbar->clear();
    for (int i = 0; i < m_model->count(); ++i)
        insertButton(i);
}

void PreviewToolbar::insertButton(int position)
{
    const ToolbarButtonEntry &entry = m_model->at(position);
    const int before = position < m_toolbar->buttonCount() ? position : -1;
    m_toolbar->addButton(entry.Tooltip, entry.IsSeparator ? -1 : entry.ImageIndex, before, 0, QString(),
                         entry.IsSeparator ? kStyleSeparator : kStyleButton);
    m_toolbar->setButtonCommand(position, entry.Command);
}

void PreviewToolbar::updateButton(int position)
{
    const ToolbarButtonEntry &entry = m_model->at(position);
    // A button that became a separator or the reverse changes its kind: put a new one in its place.
    if (entry.IsSeparator != m_toolbar->isSeparator(position)) {
        m_toolbar->removeButton(position);
        insertButton(position);
        return;
    }
    m_toolbar->setButtonTooltip(position, entry.Tooltip);
    m_toolbar->setButtonPicture(position, entry.IsSeparator ? -1 : entry.ImageIndex);
    m_toolbar->setButtonCommand(position, entry.Command);
}
