#include "imagelist.h"
#include "popupmenu.h"
#include "uitest.h"

#include <QMenu>

using namespace Qt::StringLiterals;

// The real menu, with items as the button menu has them: a separator, a disabled item, a checked one.
class tst_PopupMenu final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realMenu()
    {
        QWidget owner;
        ImageList images(QSize(16, 16));
        images.addFromResource(u":/buttons/0.bmp"_s, u"0"_s);
        PopupMenu menu(&owner);
        menu.setImageList(&images);
        menu.addItem(u"&Add a new Button"_s, 0, u"T0"_s);
        menu.addItem(u"-"_s, -1, QString());
        menu.addItem(u"Move Button to the &Left"_s, 5, u"T1"_s); // a picture the list lacks shows none
        menu.addItem(u"&Begin a new Group"_s, -1, u"T2"_s);
        menu.setEnabled(3, false);
        menu.setChecked(4, true);
        QStringList seen; // per item: e(nabled), c(hecked), i(con)
        whenShown<QMenu>(this, [&](QMenu *popup) {
            QCOMPARE(popup->pos(), QPoint(100, 120));
            for (const QAction *action : popup->actions())
                seen << (action->isSeparator() ? u"-"_s : u""_s) + (action->isEnabled() ? u"e"_s : u""_s)
                        + (action->isChecked() ? u"c"_s : u""_s) + (action->icon().isNull() ? u""_s : u"i"_s);
            press(u"L"_s, popup); // a disabled item's accelerator does nothing
            press(u"B"_s, popup);
        });
        QCOMPARE(menu.show(QPoint(100, 120)), 4);
        QCOMPARE(seen, (QStringList { u"ei"_s, u"-e"_s, u""_s, u"ec"_s }));
    }
};

QTEST_MAIN(tst_PopupMenu)
#include "tst_popupmenu.moc"
