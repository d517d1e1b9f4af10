#pragma once

#include "configformat.h"

#include <QList>
#include <QObject>

// QTA's toolbar, left to right. The preview toolbar draws it and changes it only through these operations.
class ToolbarModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarModel)

public:
    explicit ToolbarModel(QObject *parent = nullptr);

    int count() const { return int(m_entries.size()); }
    const ToolbarButtonEntry &at(int position) const { return m_entries.at(position); }
    const QList<ToolbarButtonEntry> &entries() const { return m_entries; }
    bool isSeparatorAt(int position) const;

    // Position of the first button whose key is the same key of the file as key (IniRules::sameKey),
    // not counting the button at except; -1 when there is none.
    int indexOfKey(const QString &key, int except = -1) const;

    void insert(int position, const ToolbarButtonEntry &entry);
    void append(const ToolbarButtonEntry &entry) { insert(count(), entry); }
    void remove(int position);
    void move(int from, int to);
    void replace(int position, const ToolbarButtonEntry &entry);
    void reset(const QList<ToolbarButtonEntry> &entries);

Q_SIGNALS:
    void buttonInserted(int position);
    void buttonRemoved(int position);
    void buttonMoved(int from, int to);
    void buttonChanged(int position);
    void toolbarReset();

private:
    QList<ToolbarButtonEntry> m_entries;
};
