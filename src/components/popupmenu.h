#pragma once

#include "imagelist.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// One entry of a popup menu. The caption "-" makes a separator line.
struct PopupMenuItem
{
    QString caption;
    int icon = -1; // index into the menu's image list, -1 for none
    QString key;
    bool checked = false;
    bool enabled = true;

    bool isSeparator() const;
};

// A popup menu whose item list can be stored under a name and restored later, so one object serves several
// menus. Positions are 1-based in the order of adding, separators included; 0 means "none" or "dismissed".
class PopupMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PopupMenu)

public:
    // The owner is the parent of the shown menu; the object lives as long as the owner unless given another parent.
    explicit PopupMenu(QWidget *owner = nullptr);

    QWidget *owner() const { return m_owner; }
    void setOwner(QWidget *owner);

    // Pictures that items refer to by index, read when the menu is shown; an index outside the list shows none.
    ImageList *imageList() const { return m_imageList; }
    void setImageList(ImageList *images);

    // Adds an enabled, unchecked item.
    void addItem(const QString &caption, int icon, const QString &key);
    // Empties the current items; stored sets are kept.
    void clear();
    // Copies the current items, with their states, under name (replacing an earlier copy of that name).
    void store(const QString &name);
    // Makes a copy of the set stored under name current. False, and nothing changes, when there is none.
    bool restore(const QString &name);

    int itemCount() const { return int(m_items.size()); }
    // Position of the first item with this key; 0 when there is none. The empty key never matches.
    int positionOfKey(const QString &key) const;
    QString caption(int position) const;
    QString key(int position) const;
    int icon(int position) const;
    bool isSeparator(int position) const;
    bool isChecked(int position) const;
    void setChecked(int position, bool checked);
    bool isEnabled(int position) const;
    void setEnabled(int position, bool enabled);

    // Shows the menu at a point in screen pixels and waits. Returns the chosen position, 0 when dismissed.
    int show(const QPoint &globalPos);
    // Where show() was last asked to place the menu (also for answers given by the test hook).
    QPoint lastShownPosition() const { return m_lastShownPosition; }

    // Test hook: queues one answer. Each show() takes the oldest queued chooser instead of showing a menu; the
    // chooser sees this menu with its current items and returns a position. Positions a user could not pick
    // (disabled items, separators, out of range) come back as 0. With nothing queued the real menu is shown.
    static void setNextAnswerForTesting(std::function<int(const PopupMenu &)> chooser);
    static void setNextAnswerForTesting(int position);
    static int pendingAnswersForTesting();
    static void clearAnswersForTesting();

private:
    bool isValidPosition(int position) const { return position >= 1 && position <= itemCount(); }
    bool isChoosable(int position) const;
    int exec(const QPoint &globalPos);

    QPointer<QWidget> m_owner;
    QPointer<ImageList> m_imageList;
    QList<PopupMenuItem> m_items;
    QHash<QString, QList<PopupMenuItem>> m_stored;
    QPoint m_lastShownPosition;
};
