#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QVBoxLayout;

// A stack of bands, each holding one child widget under a key. Only the visible bands are shown, one above
// the other, and the container is exactly as high as they need; heightChanged() tells the parent when that
// changes, so it can give the container room.
class BandContainer final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BandContainer)

public:
    explicit BandContainer(QWidget *parent = nullptr);

    // Takes the child into a new, visible band at the end; returns the band's index.
    int addBand(QWidget *child, const QString &key);
    int bandCount() const { return int(m_bands.size()); }
    int bandIndex(const QString &key) const;
    QWidget *band(int index) const;

    // Each change of visibility settles the height at once, so showing one band and then hiding another
    // reports the height in between too; showOnlyBand() switches in one step.
    void setBandVisible(int index, bool visible);
    void showOnlyBand(int index);
    bool isBandVisible(int index) const;

Q_SIGNALS:
    void heightChanged(int pixels);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Band
    {
        QPointer<QWidget> child;
        QString key;
        bool visible = true;
    };

    bool isValid(int index) const { return index >= 0 && index < bandCount(); }
    void updateHeight();

    QVBoxLayout *m_layout;
    QList<Band> m_bands;
    int m_height = 0;
};
