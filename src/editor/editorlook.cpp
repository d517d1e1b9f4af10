// The main window's look: the flat edit controls and the drawn command buttons.

#include "flatlook.h"
#include "frmeditor.h"
#include "imagelist.h"
#include "ownerdraw.h"

#include <QPushButton>

namespace {

struct DrawnButton
{
    const char16_t *name;
    int picture;
};

// The buttons of the main window drawn with a picture of vbImageList2 or their caption only.
constexpr DrawnButton kDrawnButtons[] = {
    { u"cmdDone", 0 },
    { u"cmdCancel", 1 },
    { u"cmdBrowseForBitmap", kNoPicture },
    { u"cmdBrowseForExe", kNoPicture },
    { u"cmdAddAddOn", kNoPicture },
    { u"cmdKillAddOn", kNoPicture },
};

// Answers the owner-draw manager for the main window: the buttons of the table get their face, any other
// button of the containers keeps the style's own drawing.
class EditorButtons final : public QObject, public IOwnerDrawButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditorButtons)

public:
    EditorButtons(QWidget *window, const ImageList *images, QObject *parent)
        : QObject(parent)
        , m_window(window)
        , m_images(images)
    {
    }

    QWidget *buttonContainer() const override { return m_window; }
    bool doOwnerDraw(const QPushButton *) const override { return true; }

    void drawItem(QPushButton *button, QPainter &painter, const QRect &rect, bool pushed, bool, bool enabled,
                  bool inFocus, bool &doDefault) override
    {
        const QString name = button->objectName();
        for (const DrawnButton &drawn : kDrawnButtons) {
            if (name != QStringView(drawn.name))
                continue;
            drawButton(painter, button, rect, ButtonFace { m_images, drawn.picture, button->text() },
                       ButtonState { pushed, enabled, inFocus });
            doDefault = false;
            return;
        }
    }

private:
    QWidget *m_window;
    const ImageList *m_images;
};

} // namespace

void frmEditor::applyLook()
{
    m_buttonImages = new ImageList(QSize(16, 16), this);
    m_buttonImages->setObjectName(QStringLiteral("vbImageList2"));
    m_buttonImages->addFromResource(QStringLiteral(":/panel/done.png"), QStringLiteral("done"), QColor());
    m_buttonImages->addFromResource(QStringLiteral(":/panel/cancel.png"), QStringLiteral("cancel"), QColor());

    m_ownerDraw = new OwnerDrawManager(this);
    // The client goes with the manager, so the manager never asks one that is gone.
    m_ownerDraw->attach(new EditorButtons(this, m_buttonImages, m_ownerDraw));
    for (const QString &name :
         { QStringLiteral("Frame1"), QStringLiteral("fraCommand"), QStringLiteral("picTab(1)") }) {
        if (auto *container = findChild<QWidget *>(name))
            m_ownerDraw->addContainer(container);
    }

    makeFlatControls(m_flatControls, findChildren<QWidget *>());
}

#include "editorlook.moc"
