#pragma once

#include "configformat.h"

#include <QIcon>
#include <QIdentityProxyModel>
#include <QList>
#include <QStringList>

class AddOnListModel;

// For each add-on, what saving will do to its name, or an empty string when the name saves as it stands:
// names that equal another row's (as the file matches keys) collapse into one line; names the file cannot
// hold make the save refuse.
QStringList addOnNameWarnings(const QList<AddOnEntry> &addOns);

// The add-on list as the grid shows it: every cell's full text as its tooltip (a cell may be too narrow for it),
// and on the name of an add-on that will not survive a save as it stands a warning sign, with the reason in the
// tooltip and in WarningRole.
class AddOnNameMarks final : public QIdentityProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnNameMarks)

public:
    static constexpr int WarningRole = Qt::UserRole;

    explicit AddOnNameMarks(AddOnListModel *addOns, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void warningsChanged(const QStringList &warnings);

private:
    void updateWarnings();

    AddOnListModel *m_addOns;
    QStringList m_warnings;
    QIcon m_icon;
};
