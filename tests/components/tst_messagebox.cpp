#include "messagebox.h"
#include "uitest.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

// The real box, as the window asks before it overwrites a file another program changed.
class tst_MessageBox final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Buttons with captions of our own keep the roles of their standard buttons: Escape still picks Cancel.
    void realBox()
    {
        QWidget parent;
        QStringList seen;
        whenShown<QMessageBox>(this, [&](QMessageBox *box) {
            for (const QAbstractButton *button : box->buttons())
                seen << button->text();
            seen.sort();
            seen << box->windowTitle() << box->text() << QString::number(box->parentWidget() == &parent);
            QCOMPARE(box->defaultButton()->text(), u"Overwrite"_s);
            press(u"Esc"_s, box);
        });
        const QString text = u"Another program changed the file."_s;
        const MessageBox::ButtonTexts buttons = { { QMessageBox::Save, u"Overwrite"_s },
                                                  { QMessageBox::Discard, u"Reload"_s },
                                                  { QMessageBox::Cancel, QString() } };
        QCOMPARE(MessageBox::show(&parent, QMessageBox::Warning, u"QTA.INI"_s, text, buttons, QMessageBox::Save),
                 QMessageBox::Cancel);
        QCOMPARE(seen, (QStringList { u"Cancel"_s, u"Overwrite"_s, u"Reload"_s, u"QTA.INI"_s, text, u"1"_s }));
    }
};

QTEST_MAIN(tst_MessageBox)
#include "tst_messagebox.moc"
