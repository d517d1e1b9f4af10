#include "buttonimagelist.h"

ButtonImageList::ButtonImageList(QObject *parent)
    : QObject(parent)
{
}

QString ButtonImageList::lookupKey(const QString &key)
{
#ifdef Q_OS_WIN
    return key.toCaseFolded();
#else
    return key;
#endif
}

int ButtonImageList::indexOfKey(const QString &key) const
{
    return m_indexOfKey.value(lookupKey(key), -1);
}

int ButtonImageList::add(const ButtonImageEntry &entry)
{
    const QString lookup = lookupKey(entry.key);
    if (!m_indexOfKey.contains(lookup))
        m_indexOfKey.insert(lookup, count());
    m_entries.append(entry);
    Q_EMIT imageAdded(count() - 1);
    return count() - 1;
}

void ButtonImageList::removeFrom(int index)
{
    if (index < 0 || index >= count())
        return;
    m_entries.resize(index);
    m_indexOfKey.removeIf([index](const auto &it) { return it.value() >= index; });
    Q_EMIT imagesRemoved(index);
}
