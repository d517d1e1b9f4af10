#pragma once

#include "imagelist.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class QToolButton;

// A strip of picture buttons and separators. Positions are 0-based from the left and count separators, in
// every call and in buttonClicked(). Pictures come from an ImageList by index and are redrawn whenever that
// list changes; a second, "hot" list gives the picture shown under the pointer.
class Toolbar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Toolbar)

public:
    enum Style {
        ButtonStyle = 0,
        SeparatorStyle = 1,
        AutoSizeStyle = 16,
    };

    explicit Toolbar(QWidget *parent = nullptr);

    void setPictureSize(int pixels);
    int pictureSize() const { return m_pictureSize; }
    void setImageLists(ImageList *normal, ImageList *hot = nullptr);

    // Flat: buttons rise only under the pointer and separators are etched lines. Not flat: raised buttons
    // and separators as plain gaps. Flat is the default.
    void setFlat(bool flat);
    bool isFlat() const { return m_flat; }

    // Inserts before the button at insertBefore, or appends when that is -1 or past the end; returns the
    // new button's position. A caption is shown beside the picture; width 0 sizes the button to its content.
    int addButton(const QString &tooltip, int picture, int insertBefore = -1, int width = 0,
                  const QString &caption = {}, int style = ButtonStyle);
    void removeButton(int position);
    int buttonCount() const { return int(m_items.size()); }
    void clear();

    // Free text kept with each button for its owner; the toolbar does nothing with it.
    QString buttonCommand(int position) const;
    void setButtonCommand(int position, const QString &command);
    int buttonPicture(int position) const;
    void setButtonPicture(int position, int picture);
    QString buttonTooltip(int position) const;
    void setButtonTooltip(int position, const QString &tooltip);
    QString buttonCaption(int position) const;
    int buttonStyle(int position) const;
    bool isSeparator(int position) const;

    // The widget drawn for the position: a QToolButton, or a plain widget for a separator. Null for a bad
    // position.
    QWidget *buttonWidget(int position) const;
    // In this toolbar's coordinates, after laying out.
    QRect buttonRect(int position) const;

    // Lays the buttons out now instead of on the next event loop pass.
    void relayout();

Q_SIGNALS:
    // The user clicked or keyboard-pressed the (non-separator) button at the position.
    void buttonClicked(int position);

private:
    struct Item
    {
        QWidget *widget = nullptr;     // a QToolButton, or a separator gap
        QToolButton *button = nullptr; // null for a separator
        QString command;
        QString tooltip;
        QString caption;
        int picture = -1;
        int style = ButtonStyle;
    };

    bool isValid(int position) const { return position >= 0 && position < buttonCount(); }
    QToolButton *makeButton(const Item &item, int width);
    void updatePicture(const Item &item) const;
    void updatePictures();
    static void updateAccessibleName(const Item &item);
    void handleClick(QObject *button);
    void layoutChanged();

    QHBoxLayout *m_layout;
    QList<Item> m_items;
    QPointer<ImageList> m_normal;
    QPointer<ImageList> m_hot;
    int m_pictureSize = 16;
    bool m_flat = true;
};
