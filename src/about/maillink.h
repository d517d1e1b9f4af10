#pragma once

#include <QLabel>

// A mail address shown as a link: blue (a lighter colour on a dark window), red while the mouse button is held on it. A
// complete click (press and release on the label), or Space or Enter while it has the focus, hands "MailTo:" and the
// address to the desktop's mail program; the window stays open.
class MailLink final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailLink)

public:
    explicit MailLink(const QString &address, QWidget *parent = nullptr);

    QColor restColour() const;
    static QColor pressedColour() { return QColor(255, 0, 0); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setColour(const QColor &colour);
    void open();

    bool m_pressed = false;
};
