#include "frmdialog.h"

#include "filedialog.h"
#include "imagelist.h"
#include "pathfunctions.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>

frmDialog::frmDialog(QWidget *owner)
    : QObject(owner)
    , m_dialog(new FileDialog(this))
{
    m_dialog->setOwner(owner);
    connect(m_dialog, &FileDialog::fileChanged, this,
            [this](QFileDialog *, const QString &file) { showPreview(file); });
}

frmDialog::~frmDialog()
{
    delete m_strip;
}

void frmDialog::setPicturePreview(bool show)
{
    m_picturePreview = show;
    if (!show || m_strip)
        return;
    m_strip = new QWidget;
    m_strip->setObjectName(QStringLiteral("Picture1"));
    auto *layout = new QHBoxLayout(m_strip);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("Selected Bitmap:"), m_strip);
    m_previewImage = new QLabel(m_strip);
    m_previewImage->setObjectName(QStringLiteral("picPreviewImage"));
    m_previewImage->setAccessibleName(QStringLiteral("Selected bitmap"));
    m_previewImage->setFixedSize(20, 20);
    m_previewImage->setFrameShape(QFrame::StyledPanel);
    m_previewImage->setAlignment(Qt::AlignCenter);
    caption->setBuddy(m_previewImage);
    layout->addWidget(caption);
    layout->addWidget(m_previewImage);
    layout->addStretch();
    m_dialog->setPreviewWidget(m_strip);
}

void frmDialog::showPreview(const QString &file)
{
    // A folder or a name that is no readable picture leaves the preview as it was.
    if (!m_picturePreview || !m_previewImage || !fileExists(file))
        return;
    const QPixmap picture = ImageList::readPicture(file, QSize(16, 16), QColor(255, 0, 255));
    if (!picture.isNull())
        m_previewImage->setPixmap(picture);
}
