#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>

class QPainter;
class QRect;
class QStyle;
class QWidget;

// Gives one control the flat look: a thin one-pixel frame in place of the sunken 3D border, drawn in the
// highlight colour while the control has the focus. The control gets its own look back when this object is
// detached or destroyed.
class FlatControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FlatControl)

public:
    explicit FlatControl(QObject *parent = nullptr);
    ~FlatControl() override;

    // Attaching to another control first gives the previous one its own look back.
    void attach(QWidget *control);
    void detach();
    QWidget *control() const { return m_control; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_control;
    QPointer<QWidget> m_innerEditor;
    QStyle *m_style = nullptr;
};

// Appends a FlatControl, owned by the control's window, for every edit-type control of Ctls, in Ctls'
// order: text boxes (QLineEdit, QPlainTextEdit) and rich-text boxes (QTextEdit, except one named "txtEdit")
// whose name starts with "txt", combo boxes (QComboBox, the picture combo list among them) whose name
// starts with "cmb", list boxes (QListWidget) whose name starts with "lst". The name rule keeps out the
// unnamed parts of other widgets, such as the line edit inside an editable combo box. Returns how many were
// taken.
int makeFlatControls(QList<FlatControl *> &cFlatCtls, const QList<QWidget *> &Ctls);

namespace FlatLook {

// from blended towards to by amount (0 to 1).
QColor mix(const QColor &from, const QColor &to, qreal amount);

// The colour of a thin frame around an area of the background role with text of the text role: halfway
// between the two, so it shows on light and dark palettes alike.
QColor frameColour(const QPalette &palette, QPalette::ColorRole background, QPalette::ColorRole text);

// A one-pixel frame along the inside of the rectangle. Focused, it is the highlight colour and doubled
// inside by a fainter line, so the focus shows without colour vision too.
void drawFrame(QPainter &painter, const QRect &rect, const QColor &colour);
void drawFocusFrame(QPainter &painter, const QRect &rect, const QPalette &palette);

} // namespace FlatLook
