#include "addonlistmodel.h"

AddOnListModel::AddOnListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int AddOnListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int AddOnListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString AddOnListModel::cellText(int row, int column) const
{
    const AddOnEntry &entry = m_entries.at(row);
    switch (column) {
    case NameColumn:
        return entry.name;
    case CommandLineColumn:
        return entry.commandLine;
    case ParametersColumn:
        return entry.parameters;
    default:
        return QString();
    }
}

void AddOnListModel::setCellText(int row, int column, const QString &text)
{
    AddOnEntry &entry = m_entries[row];
    QString *field = column == NameColumn ? &entry.name
        : column == CommandLineColumn     ? &entry.commandLine
        : column == ParametersColumn      ? &entry.parameters
                                          : nullptr;
    if (!field || *field == text)
        return;
    *field = text;
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, { Qt::DisplayRole, Qt::EditRole });
}

QVariant AddOnListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() >= ColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cellText(index.row(), index.column());
    return QVariant();
}

bool AddOnListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= count() || index.column() >= ColumnCount)
        return false;
    setCellText(index.row(), index.column(), value.toString());
    return true;
}

QVariant AddOnListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NameColumn:
        return QStringLiteral("Add-On Name");
    case CommandLineColumn:
        return QStringLiteral("Command Line");
    case ParametersColumn:
        return QStringLiteral("Parameters");
    default:
        return QVariant();
    }
}

Qt::ItemFlags AddOnListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void AddOnListModel::insertAddOn(int row, const AddOnEntry &entry)
{
    Q_ASSERT(row >= 0 && row <= count());
    beginInsertRows(QModelIndex(), row, row);
    m_entries.insert(row, entry);
    endInsertRows();
}

void AddOnListModel::removeAddOn(int row)
{
    Q_ASSERT(row >= 0 && row < count());
    beginRemoveRows(QModelIndex(), row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

void AddOnListModel::moveAddOn(int from, int to)
{
    Q_ASSERT(from >= 0 && from < count() && to >= 0 && to < count());
    if (from == to)
        return;
    // The model API names the row before which the moved row lands.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    m_entries.move(from, to);
    endMoveRows();
}

void AddOnListModel::setEntries(const QList<AddOnEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}
