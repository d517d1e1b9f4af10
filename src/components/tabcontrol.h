#pragma once

#include "imagelist.h"

#include <QPointer>
#include <QWidget>

class QTabBar;

// A tab strip over a framed page area. It manages no pages: the owner lays its panels over pageArea() and
// shows the one that belongs to the selected tab. Tabs are numbered from 1.
class TabControl final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabControl)

public:
    explicit TabControl(QWidget *parent = nullptr);

    void setIconList(ImageList *icons);
    // icon: a picture of the icon list, or -1 for none. Returns the new tab's number.
    int addTab(const QString &caption, int icon, const QString &key);
    // Selects without emitting tabSelected(): only the user's choice is an event. An unknown key does nothing.
    void selectTab(const QString &key);
    // The selected tab's number, 0 when there are no tabs.
    int selectedTab() const;
    int tabCount() const;
    QString tabKey(int number) const;
    void removeTabs();

    // The area below the strip where pages go, inside the frame, in this control's coordinates.
    QRect pageArea() const;
    QTabBar *tabBar() const { return m_bar; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The user chose another tab, by mouse or keyboard.
    void tabSelected(int number);
    void pageAreaChanged(const QRect &area);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateIcons();
    // True when the strip changed height, which moves the page area (and says so).
    bool updateBarGeometry();
    QRect frameRect() const;
    int frameWidth() const;

    QTabBar *m_bar;
    QPointer<ImageList> m_icons;
    bool m_selectingInCode = false;
};
