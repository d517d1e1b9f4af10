#include "contextmenus.h"

#include "popupmenu.h"

void addContextMenuItems(PopupMenu &menus)
{
    menus.clear();
    menus.addItem(QStringLiteral("&Add a new Button"), 0, QStringLiteral("T0"));
    menus.addItem(QStringLiteral("&Delete Button"), 1, QStringLiteral("T1"));
    menus.addItem(QStringLiteral("-"), -1, QString());
    menus.addItem(QStringLiteral("Move Button to the &Left"), 2, QStringLiteral("T2"));
    menus.addItem(QStringLiteral("Move Button to the &Right"), 3, QStringLiteral("T3"));
    menus.addItem(QStringLiteral("-"), -1, QString());
    menus.addItem(QStringLiteral("&Edit Button"), 4, QStringLiteral("T4"));
    menus.addItem(QStringLiteral("-"), -1, QString());
    menus.addItem(QStringLiteral("&Begin a new Group"), 5, QStringLiteral("T5"));
    menus.store(QStringLiteral("Toolbar"));
    menus.clear();
    menus.addItem(QStringLiteral("Move Add-On &Up"), 6, QStringLiteral("A1"));
    menus.addItem(QStringLiteral("Move Add-On &Down"), 7, QStringLiteral("A2"));
    menus.store(QStringLiteral("Addons"));
    menus.clear();
}
