#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class ImageList;
class QPainter;
class QPushButton;
class QRect;
class QWidget;

// No picture on a drawn button: its caption only.
constexpr int kNoPicture = -2;

// The window whose buttons an OwnerDrawManager draws. It answers, at every paint of one of them, whether to
// draw it and how.
class IOwnerDrawButton
{
public:
    // The window whose own buttons are drawn; more containers come through OwnerDrawManager::addContainer.
    virtual QWidget *buttonContainer() const = 0;
    virtual bool doOwnerDraw(const QPushButton *button) const = 0;
    // The painter is open on the button. doDefault comes in true; a client that paints the button clears it,
    // one that leaves it set hands the button to the style's own drawing.
    virtual void drawItem(QPushButton *button, QPainter &painter, const QRect &rect, bool pushed, bool checked,
                          bool enabled, bool inFocus, bool &doDefault)
        = 0;

protected:
    IOwnerDrawButton() = default;
    ~IOwnerDrawButton() = default;
    Q_DISABLE_COPY_MOVE(IOwnerDrawButton)
};

// Draws the push buttons that are direct children of its client's window and of the containers added,
// through the client, for as long as it is attached. Buttons added to a container later are drawn too.
class OwnerDrawManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OwnerDrawManager)

public:
    explicit OwnerDrawManager(QObject *parent = nullptr);
    ~OwnerDrawManager() override;

    void attach(IOwnerDrawButton *client);
    void addContainer(QWidget *container);
    // The buttons get their usual look back; the client is not called again.
    void detach();

    bool isAttached() const { return m_client != nullptr; }
    QList<QPushButton *> buttons() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void serveButtonsOf(QWidget *container);
    void serve(QPushButton *button);
    bool paintButton(QPushButton *button);

    IOwnerDrawButton *m_client = nullptr;
    QList<QPointer<QWidget>> m_containers;
    QList<QPointer<QPushButton>> m_buttons;
};

// What a drawn button shows: a picture of the image list (none for a negative index or a missing list) left
// of its caption, in which "&" marks the mnemonic.
struct ButtonFace
{
    const ImageList *images = nullptr;
    int picture = kNoPicture;
    QString caption;
};

struct ButtonState
{
    bool pushed = false;
    bool enabled = true;
    bool focused = false;
};

// Paints a flat button in the button's palette and font: pushed, disabled, focused and under the pointer
// each look different. Sizes are the button's own (device-independent) pixels, so the look holds at any
// screen scale.
void drawButton(QPainter &painter, const QWidget *button, const QRect &rect, const ButtonFace &face,
                const ButtonState &state);
