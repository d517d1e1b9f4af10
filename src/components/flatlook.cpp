#include "flatlook.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextEdit>

namespace {

// A proxy owns its base style, so it gets an instance of the application's style of its own. Null (a style
// the factory does not know) makes the proxy use the desktop's default style.
QStyle *applicationStyleInstance()
{
    return QStyleFactory::create(QApplication::style()->name());
}

// The application's style with flat frames; everything else of the control is drawn as that style draws it.
class FlatStyle final : public QProxyStyle
{
public:
    FlatStyle()
        : QProxyStyle(applicationStyleInstance())
    {
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;

private:
    void drawComboBox(const QStyleOptionComboBox &option, QPainter &painter, const QWidget *widget) const;
};

void drawEditFrame(QPainter &painter, const QStyleOption &option)
{
    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Enabled))
        FlatLook::drawFocusFrame(painter, option.rect, option.palette);
    else
        FlatLook::drawFrame(painter, option.rect,
                            FlatLook::frameColour(option.palette, QPalette::Base, QPalette::Text));
}

void FlatStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    switch (element) {
    case PE_PanelLineEdit:
        // A frameless line edit (the one inside an editable combo box) is left as the style has it.
        if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option); frame && frame->lineWidth > 0) {
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            proxy()->drawPrimitive(PE_FrameLineEdit, option, painter, widget);
            return;
        }
        break;
    case PE_FrameLineEdit:
        drawEditFrame(*painter, *option);
        return;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FlatStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const
{
    // The frame of a list or rich-text box: the same thin line as a text box.
    if (element == CE_ShapedFrame) {
        if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option); frame && frame->lineWidth > 0
            && frame->frameShape != QFrame::NoFrame && frame->frameShape != QFrame::HLine
            && frame->frameShape != QFrame::VLine) {
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            drawEditFrame(*painter, *option);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void FlatStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                   const QWidget *widget) const
{
    if (control == CC_ComboBox) {
        if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option); combo && combo->frame) {
            drawComboBox(*combo, *painter, widget);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void FlatStyle::drawComboBox(const QStyleOptionComboBox &option, QPainter &painter, const QWidget *widget) const
{
    const QPalette &palette = option.palette;
    const bool enabled = option.state & State_Enabled;
    const QRect inner = option.rect.adjusted(1, 1, -1, -1);
    painter.fillRect(option.rect, palette.brush(QPalette::Base));

    // The drop-down button: a plain area of the button colour, tinted while held or open and under the pointer.
    QRect button = proxy()->subControlRect(CC_ComboBox, &option, SC_ComboBoxArrow, widget).intersected(inner);
    button.setTop(inner.top());
    button.setBottom(inner.bottom());
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    QColor fill = palette.color(QPalette::Button);
    const bool held
        = (option.state & State_On) || ((option.activeSubControls & SC_ComboBoxArrow) && (option.state & State_Sunken));
    if (enabled && held)
        fill = FlatLook::mix(fill, highlight, 0.35);
    else if (enabled && (option.state & State_MouseOver))
        fill = FlatLook::mix(fill, highlight, 0.15);
    painter.fillRect(button, fill);
    const int divider = option.direction == Qt::RightToLeft ? button.right() + 1 : button.left() - 1;
    painter.fillRect(QRect(divider, inner.top(), 1, inner.height()),
                     FlatLook::frameColour(palette, QPalette::Base, QPalette::Text));

    QStyleOption arrow = option;
    const int side = qMin(9, qMin(button.width(), button.height()) - 4);
    arrow.rect = QRect(0, 0, side, side);
    arrow.rect.moveCenter(button.center());
    proxy()->drawPrimitive(PE_IndicatorArrowDown, &arrow, &painter, widget);

    drawEditFrame(painter, option);
}

bool isFlatControl(const QWidget *control)
{
    const QString name = control->objectName();
    if (qobject_cast<const QComboBox *>(control))
        return name.startsWith(u"cmb");
    if (qobject_cast<const QTextEdit *>(control))
        return name.startsWith(u"txt") && name != u"txtEdit";
    if (qobject_cast<const QLineEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control))
        return name.startsWith(u"txt");
    if (qobject_cast<const QListWidget *>(control))
        return name.startsWith(u"lst");
    return false;
}

} // namespace

FlatControl::FlatControl(QObject *parent)
    : QObject(parent)
{
}

FlatControl::~FlatControl()
{
    detach();
}

void FlatControl::attach(QWidget *control)
{
    detach();
    if (!control)
        return;
    if (!m_style) {
        m_style = new FlatStyle;
        m_style->setParent(this);
    }
    m_control = control;
    control->setStyle(m_style);
    control->installEventFilter(this);
    // An editable combo box keeps the focus in its line edit; the frame around both follows it there.
    if (const auto *combo = qobject_cast<QComboBox *>(control); combo && combo->lineEdit()) {
        m_innerEditor = combo->lineEdit();
        m_innerEditor->installEventFilter(this);
    }
    control->update();
}

void FlatControl::detach()
{
    if (m_innerEditor)
        m_innerEditor->removeEventFilter(this);
    if (m_control) {
        m_control->removeEventFilter(this);
        m_control->setStyle(nullptr);
        m_control->update();
    }
    m_control = nullptr;
    m_innerEditor = nullptr;
}

bool FlatControl::eventFilter(QObject *watched, QEvent *event)
{
    // Not every control repaints its frame when the focus comes or goes; the focus colour needs it.
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && m_control)
        m_control->update();
    return QObject::eventFilter(watched, event);
}

int makeFlatControls(QList<FlatControl *> &cFlatCtls, const QList<QWidget *> &Ctls)
{
    int taken = 0;
    for (QWidget *control : Ctls) {
        if (!control || !isFlatControl(control))
            continue;
        auto *flat = new FlatControl(control->window());
        flat->attach(control);
        cFlatCtls.append(flat);
        ++taken;
    }
    return taken;
}

QColor FlatLook::mix(const QColor &from, const QColor &to, qreal amount)
{
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * amount), float(a.greenF() + (b.greenF() - a.greenF()) * amount),
        float(a.blueF() + (b.blueF() - a.blueF()) * amount), float(a.alphaF() + (b.alphaF() - a.alphaF()) * amount));
}

QColor FlatLook::frameColour(const QPalette &palette, QPalette::ColorRole background, QPalette::ColorRole text)
{
    return mix(palette.color(background), palette.color(text), 0.45);
}

void FlatLook::drawFrame(QPainter &painter, const QRect &rect, const QColor &colour)
{
    // Filled edges rather than a stroked outline: they stay whole pixels at every scale.
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.top() + 1, 1, rect.height() - 2), colour);
    painter.fillRect(QRect(rect.right(), rect.top() + 1, 1, rect.height() - 2), colour);
}

void FlatLook::drawFocusFrame(QPainter &painter, const QRect &rect, const QPalette &palette)
{
    QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    drawFrame(painter, rect, highlight);
    highlight.setAlphaF(0.45f);
    drawFrame(painter, rect.adjusted(1, 1, -1, -1), highlight);
}
