#pragma once

#include "ownerdraw.h"

#include <QDialog>

class OwnerDrawManager;
class QLayout;
class QPushButton;

// The About box: the program's logo and version, the notices of this program, of QTA and of the game
// system QTA serves, and two mail links. "&OK", Enter and Escape close it.
class frmAbout final : public QDialog, private IOwnerDrawButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(QWidget *parent = nullptr);
    ~frmAbout() override;

    // "QTA Config Editor 1.12, build 0345": the minor number with at least two digits, the revision with
    // at least four.
    static QString versionLine(int major, int minor, int revision);
    // "Editor ß1.12", the version part of the logo.
    static QString logoLine(int major, int minor);

private:
    QWidget *buildLogo();
    QLayout *buildBody();
    QLayout *buildButtons();
    QWidget *buildNotices();

    QWidget *buttonContainer() const override;
    bool doOwnerDraw(const QPushButton *button) const override;
    void drawItem(QPushButton *button, QPainter &painter, const QRect &rect, bool pushed, bool checked, bool enabled,
                  bool inFocus, bool &doDefault) override;

    QPushButton *m_ok = nullptr;
    OwnerDrawManager *m_ownerDraw = nullptr;
};
