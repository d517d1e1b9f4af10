#include "addonnamemarks.h"

#include "addonlistmodel.h"
#include "entrykeys.h"
#include "inifile.h"
#include "tooltiptext.h"

#include <QApplication>
#include <QStyle>

QStringList addOnNameWarnings(const QList<AddOnEntry> &addOns)
{
    QStringList warnings = addOnKeyWarnings(addOns);
    for (int row = 0; row < addOns.size(); ++row) {
        if (const QString problem = iniKeyProblem(addOns[row].name); !problem.isEmpty())
            warnings[row]
                = QStringLiteral("This name cannot be saved: %1. Saving is refused until it is changed.").arg(problem);
    }
    return warnings;
}

AddOnNameMarks::AddOnNameMarks(AddOnListModel *addOns, QObject *parent)
    : QIdentityProxyModel(parent)
    , m_addOns(addOns)
    , m_icon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
{
    setSourceModel(addOns);
    // Connected after the proxy's own forwarding: the views have caught up when the marks follow.
    connect(addOns, &QAbstractItemModel::dataChanged, this, &AddOnNameMarks::updateWarnings);
    connect(addOns, &QAbstractItemModel::rowsInserted, this, &AddOnNameMarks::updateWarnings);
    connect(addOns, &QAbstractItemModel::rowsRemoved, this, &AddOnNameMarks::updateWarnings);
    connect(addOns, &QAbstractItemModel::rowsMoved, this, &AddOnNameMarks::updateWarnings);
    connect(addOns, &QAbstractItemModel::modelReset, this, &AddOnNameMarks::updateWarnings);
    updateWarnings();
}

void AddOnNameMarks::updateWarnings()
{
    const QStringList warnings = addOnNameWarnings(m_addOns->entries());
    if (warnings == m_warnings)
        return;
    m_warnings = warnings;
    if (const int rows = rowCount(); rows > 0) {
        const QModelIndex last = index(rows - 1, AddOnListModel::NameColumn);
        Q_EMIT dataChanged(index(0, AddOnListModel::NameColumn), last, { Qt::DecorationRole, Qt::ToolTipRole });
    }
    Q_EMIT warningsChanged(m_warnings);
}

QVariant AddOnNameMarks::data(const QModelIndex &index, int role) const
{
    const bool name = index.isValid() && index.column() == AddOnListModel::NameColumn;
    const QString warning = name ? m_warnings.value(index.row()) : QString();
    switch (role) {
    case WarningRole:
        return warning;
    case Qt::DecorationRole:
        return warning.isEmpty() ? QVariant() : QVariant(m_icon);
    case Qt::ToolTipRole: {
        const QString text = QIdentityProxyModel::data(index, Qt::DisplayRole).toString();
        if (warning.isEmpty())
            return tooltipText(text);
        return tooltipText(text.isEmpty() ? warning : text + u'\n' + warning);
    }
    default:
        return QIdentityProxyModel::data(index, role);
    }
}
