#include "messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

using Button = QMessageBox::StandardButton;
using Buttons = QMessageBox::StandardButtons;

class tst_MessageBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void hookAnswer_data();
    void hookAnswer();
    void realBox_data();
    void realBox();
    void ownCaptions_data();
    void ownCaptions();
};

void tst_MessageBox::cleanup()
{
    QCOMPARE(MessageBox::pendingAnswersForTesting(), 0);
    MessageBox::clearShownForTesting();
}

void tst_MessageBox::hookAnswer_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Button>("answer");
    QTest::addColumn<Button>("expected");

    QTest::addRow("offered button") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No << QMessageBox::No;
    QTest::addRow("button not offered") << Buttons(QMessageBox::Ok) << QMessageBox::Cancel << QMessageBox::NoButton;
    QTest::addRow("no button named, OK offered") << Buttons() << QMessageBox::Ok << QMessageBox::Ok;
}

void tst_MessageBox::hookAnswer()
{
    QFETCH(Buttons, buttons);
    QFETCH(Button, answer);
    QFETCH(Button, expected);

    QString seen;
    MessageBox::setNextAnswerForTesting([&](const MessageBoxRequest &request) {
        seen = request.text;
        return answer;
    });
    MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    QCOMPARE(MessageBox::show(nullptr, QMessageBox::Question, u"QTA"_s, u"Save?"_s, buttons, QMessageBox::No),
             expected);
    QCOMPARE(MessageBox::show(nullptr, QMessageBox::Warning, u"QTA"_s, u"Saved."_s), QMessageBox::Ok);
    QCOMPARE(seen, u"Save?"_s);

    const QList<MessageBoxRequest> shown = MessageBox::shownForTesting();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).icon, QMessageBox::Question);
    QCOMPARE(shown.at(0).title, u"QTA"_s);
    QCOMPARE(shown.at(0).buttons, buttons);
    QCOMPARE(shown.at(0).defaultButton, QMessageBox::No);
    QCOMPARE(shown.at(1).text, u"Saved."_s);
}

void tst_MessageBox::realBox_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Button>("defaultButton");

    QTest::addRow("single OK") << Buttons(QMessageBox::Ok) << QMessageBox::NoButton;
    QTest::addRow("default No") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
    QTest::addRow("default Yes") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes;
}

void tst_MessageBox::realBox()
{
    QFETCH(Buttons, buttons);
    QFETCH(Button, defaultButton);

    QWidget parent;
    QStringList seen;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen << box->windowTitle() << box->text() << QString::number(box->icon())
             << QString::number(box->standardButtons()) << QString::number(box->parentWidget() == &parent);
        QTest::keyClick(box, Qt::Key_Return);
        if (box->isVisible()) // never leave it open: the suite would hang
            box->done(QMessageBox::NoButton);
    });
    const Button expected = defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
    QCOMPARE(MessageBox::show(&parent, QMessageBox::Critical, u"QTA.INI"_s, u"Cannot write."_s, buttons, defaultButton),
             expected);
    QCOMPARE(seen,
             (QStringList { u"QTA.INI"_s, u"Cannot write."_s, QString::number(QMessageBox::Critical),
                            QString::number(buttons), u"1"_s }));
    QCOMPARE(MessageBox::shownForTesting().size(), 1);
}

void tst_MessageBox::ownCaptions_data()
{
    QTest::addColumn<bool>("realBox");
    QTest::addColumn<int>("key");
    QTest::addColumn<Button>("expected");

    QTest::addRow("hook answers") << false << 0 << QMessageBox::Discard;
    QTest::addRow("real box, Return takes the default") << true << int(Qt::Key_Return) << QMessageBox::Save;
    QTest::addRow("real box, Escape takes Cancel") << true << int(Qt::Key_Escape) << QMessageBox::Cancel;
}

// Buttons with captions of our own: the hook sees the captions, the real box shows them and keeps their roles.
void tst_MessageBox::ownCaptions()
{
    QFETCH(bool, realBox);
    QFETCH(int, key);
    QFETCH(Button, expected);

    const MessageBox::ButtonTexts buttons = { { QMessageBox::Save, u"Overwrite"_s },
                                              { QMessageBox::Discard, u"Reload"_s },
                                              { QMessageBox::Cancel, u"Cancel"_s } };
    QStringList captions;
    if (realBox) {
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *button : box->buttons())
                captions << button->text();
            QTest::keyClick(box, Qt::Key(key));
            if (box->isVisible())
                box->done(QMessageBox::NoButton);
        });
    } else {
        MessageBox::setNextAnswerForTesting([&](const MessageBoxRequest &request) {
            captions << request.buttonText(QMessageBox::Save) << request.buttonText(QMessageBox::Discard)
                     << request.buttonText(QMessageBox::Cancel);
            return QMessageBox::Discard;
        });
    }
    QCOMPARE(MessageBox::show(nullptr, QMessageBox::Warning, u"QTA"_s, u"Changed."_s, buttons, QMessageBox::Save),
             expected);
    captions.sort();
    QCOMPARE(captions, (QStringList { u"Cancel"_s, u"Overwrite"_s, u"Reload"_s }));
    const MessageBoxRequest shown = MessageBox::shownForTesting().value(0);
    QCOMPARE(shown.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(shown.buttonText(QMessageBox::Ok), QString());
}

QTEST_MAIN(tst_MessageBox)
#include "tst_messagebox.moc"
