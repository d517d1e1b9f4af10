#include "addonnamemarks.h"

#include "addonlistmodel.h"
#include "entrykeys.h"
#include "inifile.h"

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

AddOnNameMarks::AddOnNameMarks(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_icon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
{
}

void AddOnNameMarks::setWarnings(const QStringList &warnings)
{
    m_warnings = warnings;
}

void AddOnNameMarks::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != AddOnListModel::NameColumn || warning(index.row()).isEmpty())
        return;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = m_icon;
    const int side = option->fontMetrics.height() - 2;
    option->decorationSize = QSize(side, side);
}
