#pragma once

#include "configformat.h"

#include <QIcon>
#include <QList>
#include <QStringList>
#include <QStyledItemDelegate>

// For each add-on, what saving will do to its name, or an empty string when the name saves as it stands:
// names that equal another row's (as the file matches keys) collapse into one line; names the file cannot
// hold make the save refuse.
QStringList addOnNameWarnings(const QList<AddOnEntry> &addOns);

// Draws a warning sign on the name cells of rows whose name will not survive a save as it stands.
class AddOnNameMarks final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnNameMarks)

public:
    explicit AddOnNameMarks(QObject *parent = nullptr);

    // One entry per row, as addOnNameWarnings gives them.
    void setWarnings(const QStringList &warnings);
    QString warning(int row) const { return m_warnings.value(row); }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    QStringList m_warnings;
    QIcon m_icon;
};
