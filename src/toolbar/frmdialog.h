#pragma once

#include <QObject>
#include <QPointer>

class FileDialog;
class QFileDialog;
class QLabel;
class QWidget;

// Hosts one file-open dialog: the bitmap browse shows the picture of the selected file in a strip
// "Selected Bitmap:" inside the dialog; the add-on program browse uses it without the strip. Made for one
// browse and dropped after it.
class frmDialog final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDialog)

public:
    explicit frmDialog(QWidget *owner);
    ~frmDialog() override;

    void setPicturePreview(bool show);
    bool picturePreview() const { return m_picturePreview; }
    FileDialog *fileDialog() const { return m_dialog; }

    // The preview strip and the picture it shows (for tests).
    QWidget *previewStrip() const { return m_strip; }
    QLabel *picPreviewImage() const { return m_previewImage; }

private:
    void showPreview(const QString &file);

    FileDialog *m_dialog;
    QPointer<QWidget> m_strip;
    QLabel *m_previewImage = nullptr;
    bool m_picturePreview = false;
};
