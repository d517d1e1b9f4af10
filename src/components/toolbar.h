#pragma once

#include "imagelist.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class DragToMove;
class QHBoxLayout;
class QKeyEvent;
class QMouseEvent;
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

    // Between these, buttons are added and removed without laying the strip out each time; the end lays it
    // out once. Nests. A toolbar of thousands of buttons fills in linear time this way.
    void beginBatch();
    void endBatch();

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

    // A disabled button draws disabled, takes no focus and emits nothing.
    void setButtonEnabled(int position, bool enabled);
    bool isButtonEnabled(int position) const;

    // Editable: the keys and drags below turn into move/delete/edit/menu/drop requests for the owner, who
    // changes its model; the toolbar itself never moves or removes a button on its own. Off by default, so
    // command toolbars keep plain buttons. Arrow keys move the focus between buttons either way.
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    // Gives the keyboard focus to the button at the position (e.g. after the owner moved it).
    void focusButton(int position);
    // The position of the button holding the focus, or -1.
    int focusedButton() const;

    // A marked button shows a small warning sign on its picture and explains the reason in its tooltip and
    // accessible description. Empty removes the mark. Marks travel with their button.
    void setButtonMark(int position, const QString &reason);
    QString buttonMark(int position) const;

Q_SIGNALS:
    // The user clicked or keyboard-pressed the (non-separator) button at the position.
    void buttonClicked(int position);
    // Editable toolbars only.
    void buttonMoveRequested(int position, int step); // Ctrl+Left (-1), Ctrl+Right (+1)
    void buttonDeleteRequested(int position); // Delete
    void buttonEditRequested(int position); // Enter/Return or F2
    void buttonMenuRequested(int position); // the Menu key or Shift+F10
    // A drag inside the toolbar; `to` is the position the item takes after being taken out of `from`.
    void buttonDropped(int from, int to);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Item
    {
        QWidget *widget = nullptr; // a QToolButton, or a separator gap
        QToolButton *button = nullptr; // null for a separator
        QString command;
        QString tooltip;
        QString caption;
        QString mark;
        int picture = -1;
        int style = ButtonStyle;
        bool enabled = true;
        // The pictures the button shows now, by cache key: a change of the image list that leaves them as
        // they were costs the button nothing.
        mutable qint64 shownNormal = -1;
        mutable qint64 shownHot = -1;
    };

    bool isValid(int position) const { return position >= 0 && position < buttonCount(); }
    QToolButton *makeButton(const Item &item, int width);
    void updatePicture(const Item &item) const;
    void updatePictures();
    static void updateAccessibleName(const Item &item);
    static void updateTooltip(const Item &item);
    void handleClick(QObject *button);
    void layoutChanged();

    int positionOf(const QObject *widget) const;
    bool isFocusable(int position) const;
    int focusableFrom(int position, int step) const;
    static bool isRequestKey(const QKeyEvent *event);
    bool handleKey(int position, QKeyEvent *event);
    void keepFocusAfterRequest(const QWidget *before, int position);
    bool handleMouse(QWidget *widget, QMouseEvent *event);
    int dropGap(QPoint pos) const;
    QRect dropMarkerRect(int gap) const;

    QHBoxLayout *m_layout;
    QList<Item> m_items;
    QPointer<ImageList> m_normal;
    QPointer<ImageList> m_hot;
    int m_pictureSize = 16;
    bool m_flat = true;
    bool m_editable = false;
    int m_batch = 0;

    DragToMove *m_drag;
    QPointer<QWidget> m_dragWidget; // the button the drag's press went to
};
