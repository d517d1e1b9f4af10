#pragma once

#include "configformat.h"

#include <QAbstractTableModel>
#include <QList>

// QTA's add-ons in list order, as the grid shows them: row r holds the add-on at position r (0-based here;
// the grid counts rows from 1). Columns: name, command line, parameters.
class AddOnListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnListModel)

public:
    enum Column { NameColumn = 0, CommandLineColumn = 1, ParametersColumn = 2, ColumnCount = 3 };

    explicit AddOnListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int count() const { return int(m_entries.size()); }
    const AddOnEntry &at(int row) const { return m_entries.at(row); }
    const QList<AddOnEntry> &entries() const { return m_entries; }

    // The text of a cell, as the file will hold it.
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);

    void insertAddOn(int row, const AddOnEntry &entry);
    void appendAddOn(const AddOnEntry &entry) { insertAddOn(count(), entry); }
    void removeAddOn(int row);
    void moveAddOn(int from, int to);
    void setEntries(const QList<AddOnEntry> &entries);

private:
    QList<AddOnEntry> m_entries;
};
