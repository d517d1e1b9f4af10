#include "toolbarmodel.h"

#include "inidocument.h"

ToolbarModel::ToolbarModel(QObject *parent)
    : QObject(parent)
{
}

bool ToolbarModel::isSeparatorAt(int position) const
{
    return position >= 0 && position < count() && m_entries[position].isSeparator;
}

int ToolbarModel::indexOfKey(const QString &key, int except) const
{
    const QString wanted = IniRules::matchKey(key);
    for (int i = 0; i < count(); ++i) {
        if (i != except && IniRules::matchKey(m_entries[i].tooltip) == wanted)
            return i;
    }
    return -1;
}

void ToolbarModel::insert(int position, const ToolbarButtonEntry &entry)
{
    Q_ASSERT(position >= 0 && position <= count());
    m_entries.insert(position, entry);
    Q_EMIT buttonInserted(position);
}

void ToolbarModel::remove(int position)
{
    Q_ASSERT(position >= 0 && position < count());
    m_entries.removeAt(position);
    Q_EMIT buttonRemoved(position);
}

void ToolbarModel::move(int from, int to)
{
    Q_ASSERT(from >= 0 && from < count() && to >= 0 && to < count());
    if (from == to)
        return;
    m_entries.move(from, to);
    Q_EMIT buttonMoved(from, to);
}

void ToolbarModel::replace(int position, const ToolbarButtonEntry &entry)
{
    Q_ASSERT(position >= 0 && position < count());
    if (m_entries[position] == entry)
        return;
    m_entries[position] = entry;
    Q_EMIT buttonChanged(position);
}

void ToolbarModel::reset(const QList<ToolbarButtonEntry> &entries)
{
    m_entries = entries;
    Q_EMIT toolbarReset();
}
