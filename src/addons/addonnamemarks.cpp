#include "addonnamemarks.h"

#include "addonlistmodel.h"
#include "inidocument.h"
#include "inifile.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace {

QString rowList(const QList<int> &rows)
{
    QStringList numbers;
    for (const int row : rows)
        numbers.append(QString::number(row + 1));
    const QString last = numbers.takeLast();
    return numbers.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

QStringList addOnNameWarnings(const QList<AddOnEntry> &addOns)
{
    QStringList warnings;
    warnings.reserve(addOns.size());
    QHash<QString, QList<int>> rowsOfKey;
    for (int row = 0; row < addOns.size(); ++row) {
        const QString problem = iniKeyProblem(addOns[row].Name);
        if (problem.isEmpty()) {
            // Nameless lines each keep their own place in the file: they never collapse into one.
            if (const QString key = IniRules::matchKey(addOns[row].Name); !key.isEmpty())
                rowsOfKey[key].append(row);
            warnings.append(QString());
        } else {
            warnings.append(
                QStringLiteral("This name cannot be saved: %1. Saving is refused until it is changed.").arg(problem));
        }
    }
    for (const QList<int> &rows : std::as_const(rowsOfKey)) {
        if (rows.size() < 2)
            continue;
        // The file keeps the first line's place and name and the last one's value.
        const QString text = QStringLiteral("Rows %1 have the same name (letter case ignored): saving writes them as "
                                            "one line, with the command line of row %2.")
                                 .arg(rowList(rows))
                                 .arg(rows.constLast() + 1);
        for (const int row : rows)
            warnings[row] = text;
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
