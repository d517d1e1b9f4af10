#include "previewtoolbar.h"

#include "addonlistmodel.h"
#include "entrykeys.h"
#include "toolbar.h"
#include "toolbarmodel.h"

namespace {

constexpr int kStyleButton = 0;
constexpr int kStyleSeparator = 1;

} // namespace

PreviewToolbar::PreviewToolbar(ToolbarModel *model, AddOnListModel *addOns, Toolbar *toolbar, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_addOns(addOns)
    , m_toolbar(toolbar)
    , m_references(addOns ? addOns->entries() : QList<AddOnEntry>())
{
    connect(model, &ToolbarModel::toolbarReset, this, &PreviewToolbar::rebuild);
    connect(model, &ToolbarModel::buttonInserted, this, [this](int position) {
        insertButton(position);
        updateMarks();
    });
    connect(model, &ToolbarModel::buttonRemoved, this, [this](int position) {
        m_toolbar->removeButton(position);
        updateMarks();
    });
    connect(model, &ToolbarModel::buttonChanged, this, [this](int position) {
        updateButton(position);
        updateMarks();
    });
    connect(model, &ToolbarModel::buttonMoved, this, [this](int from, int to) {
        m_toolbar->removeButton(from);
        insertButton(to);
        updateMarks();
    });
    if (addOns) {
        connect(addOns, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                    // Only names count: a changed command line or parameter leaves every reference as it was.
                    if (topLeft.column() <= AddOnListModel::NameColumn
                        && bottomRight.column() >= AddOnListModel::NameColumn)
                        updateReferences();
                });
        connect(addOns, &QAbstractItemModel::rowsInserted, this, &PreviewToolbar::updateReferences);
        connect(addOns, &QAbstractItemModel::rowsRemoved, this, &PreviewToolbar::updateReferences);
        connect(addOns, &QAbstractItemModel::rowsMoved, this, &PreviewToolbar::updateReferences);
        connect(addOns, &QAbstractItemModel::modelReset, this, &PreviewToolbar::updateReferences);
        connect(addOns, &QAbstractItemModel::layoutChanged, this, &PreviewToolbar::updateReferences);
    }
    rebuild();
}

void PreviewToolbar::rebuild()
{
    m_toolbar->beginBatch();
    m_toolbar->clear();
    m_keyWarnings = toolbarKeyWarnings(m_model->entries());
    for (int i = 0; i < m_model->count(); ++i)
        insertButton(i);
    m_toolbar->endBatch();
}

void PreviewToolbar::insertButton(int position)
{
    const ToolbarButtonEntry &entry = m_model->at(position);
    const int before = position < m_toolbar->buttonCount() ? position : -1;
    m_toolbar->addButton(entry.tooltip, entry.isSeparator ? -1 : entry.imageIndex, before, 0, QString(),
                         entry.isSeparator ? kStyleSeparator : kStyleButton);
    m_toolbar->setButtonCommand(position, entry.command);
    updateMark(position);
}

void PreviewToolbar::updateButton(int position)
{
    const ToolbarButtonEntry &entry = m_model->at(position);
    // A button that became a separator or the reverse changes its kind: put a new one in its place.
    if (entry.isSeparator != m_toolbar->isSeparator(position)) {
        m_toolbar->removeButton(position);
        insertButton(position);
        return;
    }
    m_toolbar->setButtonTooltip(position, entry.tooltip);
    m_toolbar->setButtonPicture(position, entry.isSeparator ? -1 : entry.imageIndex);
    m_toolbar->setButtonCommand(position, entry.command);
    updateMark(position);
}

void PreviewToolbar::updateMark(int position)
{
    const ToolbarButtonEntry &entry = m_model->at(position);
    if (entry.isSeparator) {
        m_toolbar->setButtonMark(position, QString());
        return;
    }
    QStringList reasons { m_references.problem(entry.command), m_keyWarnings.value(position) };
    reasons.removeAll(QString());
    m_toolbar->setButtonMark(position, reasons.join(u'\n'));
}

// Any change can make two names one key of the file or part them again; the toolbar redraws only the buttons
// whose mark changed.
void PreviewToolbar::updateMarks()
{
    QStringList warnings = toolbarKeyWarnings(m_model->entries());
    if (warnings == m_keyWarnings)
        return;
    m_keyWarnings = std::move(warnings);
    for (int position = 0; position < m_model->count(); ++position)
        updateMark(position);
}

// One pass over the buttons, and none at all when the names and the count came out as they were (a row moved,
// say); the toolbar only redraws buttons whose mark changed.
void PreviewToolbar::updateReferences()
{
    AddOnReferences references(m_addOns->entries());
    if (references == m_references)
        return;
    m_references = std::move(references);
    for (int position = 0; position < m_model->count(); ++position)
        updateMark(position);
}
