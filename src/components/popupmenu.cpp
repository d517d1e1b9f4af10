#include "popupmenu.h"

#include <QAction>
#include <QMenu>

namespace {

QList<std::function<int(const PopupMenu &)>> &queuedAnswers()
{
    static QList<std::function<int(const PopupMenu &)>> answers;
    return answers;
}

} // namespace

bool PopupMenuItem::isSeparator() const
{
    return caption == QStringLiteral("-");
}

PopupMenu::PopupMenu(QWidget *owner)
    : QObject(owner)
    , m_owner(owner)
{
}

void PopupMenu::setOwner(QWidget *owner)
{
    m_owner = owner;
}

void PopupMenu::setImageList(ImageList *images)
{
    m_imageList = images;
}

void PopupMenu::addItem(const QString &caption, int icon, const QString &key)
{
    m_items.append(PopupMenuItem { caption, icon, key, false, true });
}

void PopupMenu::clear()
{
    m_items.clear();
}

void PopupMenu::store(const QString &name)
{
    m_stored.insert(name, m_items);
}

bool PopupMenu::restore(const QString &name)
{
    const auto it = m_stored.constFind(name);
    if (it == m_stored.constEnd())
        return false;
    m_items = it.value();
    return true;
}

int PopupMenu::positionOfKey(const QString &key) const
{
    // Separators carry the empty key; finding one of them by it would hand out an unusable position.
    if (key.isEmpty())
        return 0;
    for (int i = 0; i < itemCount(); ++i) {
        if (m_items.at(i).key == key)
            return i + 1;
    }
    return 0;
}

QString PopupMenu::caption(int position) const
{
    return isValidPosition(position) ? m_items.at(position - 1).caption : QString();
}

QString PopupMenu::key(int position) const
{
    return isValidPosition(position) ? m_items.at(position - 1).key : QString();
}

int PopupMenu::icon(int position) const
{
    return isValidPosition(position) ? m_items.at(position - 1).icon : -1;
}

bool PopupMenu::isSeparator(int position) const
{
    return isValidPosition(position) && m_items.at(position - 1).isSeparator();
}

bool PopupMenu::isChecked(int position) const
{
    return isValidPosition(position) && m_items.at(position - 1).checked;
}

void PopupMenu::setChecked(int position, bool checked)
{
    if (isValidPosition(position))
        m_items[position - 1].checked = checked;
}

bool PopupMenu::isEnabled(int position) const
{
    return isValidPosition(position) && m_items.at(position - 1).enabled;
}

void PopupMenu::setEnabled(int position, bool enabled)
{
    if (isValidPosition(position))
        m_items[position - 1].enabled = enabled;
}

bool PopupMenu::isChoosable(int position) const
{
    return isEnabled(position) && !isSeparator(position);
}

int PopupMenu::show(const QPoint &globalPos)
{
    m_lastShownPosition = globalPos;

    if (!queuedAnswers().isEmpty()) {
        const auto chooser = queuedAnswers().takeFirst();
        const int answer = chooser ? chooser(*this) : 0;
        return isChoosable(answer) ? answer : 0;
    }
    if (m_items.isEmpty())
        return 0;
    return exec(globalPos);
}

int PopupMenu::exec(const QPoint &globalPos)
{
    // Built on the heap and watched: the owner (its parent) or this object may go away while the menu runs.
    QPointer<QMenu> menu = new QMenu(m_owner);
    menu->setObjectName(QStringLiteral("popupMenu"));
    for (int i = 0; i < itemCount(); ++i) {
        const PopupMenuItem &item = m_items.at(i);
        if (item.isSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(item.caption);
        if (m_imageList && item.icon >= 0 && item.icon < m_imageList->count())
            action->setIcon(QIcon(m_imageList->pixmap(item.icon)));
        // Only a checked item is checkable, so unchecked items do not reserve room for a check box.
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        action->setEnabled(item.enabled);
        action->setData(i + 1);
    }

    QPointer<PopupMenu> self(this);
    const QAction *chosen = menu->exec(globalPos);
    const int position = chosen ? chosen->data().toInt() : 0;
    delete menu;
    return self && isChoosable(position) ? position : 0;
}

void PopupMenu::setNextAnswerForTesting(std::function<int(const PopupMenu &)> chooser)
{
    queuedAnswers().append(std::move(chooser));
}

void PopupMenu::setNextAnswerForTesting(int position)
{
    setNextAnswerForTesting([position](const PopupMenu &) { return position; });
}

int PopupMenu::pendingAnswersForTesting()
{
    return int(queuedAnswers().size());
}

void PopupMenu::clearAnswersForTesting()
{
    queuedAnswers().clear();
}
