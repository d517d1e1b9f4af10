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
    void cleanup()
    {
        QCOMPARE(MessageBox::pendingAnswersForTesting(), 0);
        MessageBox::clearShownForTesting();
    }

    void hookAnswer_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Button>("answer");
        QTest::addColumn<Button>("expected");
        QTest::addRow("offered button") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No << QMessageBox::No;
        QTest::addRow("button not offered") << Buttons(QMessageBox::Ok) << QMessageBox::Cancel << QMessageBox::NoButton;
        QTest::addRow("no button named, OK offered") << Buttons() << QMessageBox::Ok << QMessageBox::Ok;
    }

    void hookAnswer()
    {
        QFETCH(Buttons, buttons);
        QFETCH(Button, answer);
        QString seen;
        MessageBox::setNextAnswerForTesting([&](const MessageBoxRequest &request) {
            seen = request.text;
            return answer;
        });
        MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
        QTEST(MessageBox::show(nullptr, QMessageBox::Question, u"QTA"_s, u"Save?"_s, buttons, QMessageBox::No),
              "expected");
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

    void realBox_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Button>("defaultButton");
        QTest::addRow("single OK") << Buttons(QMessageBox::Ok) << QMessageBox::NoButton;
        QTest::addRow("default No") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
        QTest::addRow("default Yes") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes;
    }

    void realBox()
    {
        QFETCH(Buttons, buttons);
        QFETCH(Button, defaultButton);
        QWidget parent;
        QStringList seen;
        answerRealBox(Qt::Key_Return, [&](QMessageBox *box) {
            seen << box->windowTitle() << box->text() << QString::number(box->icon())
                 << QString::number(box->standardButtons()) << QString::number(box->parentWidget() == &parent);
        });
        const Button expected = defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
        const QString title = u"QTA.INI"_s, text = u"Cannot write."_s;
        QCOMPARE(MessageBox::show(&parent, QMessageBox::Critical, title, text, buttons, defaultButton), expected);
        QCOMPARE(seen, (QStringList{title, text, QString::number(QMessageBox::Critical),
                                    QString::number(buttons), u"1"_s}));
        QCOMPARE(MessageBox::shownForTesting().size(), 1);
    }

    void ownCaptions_data()
    {
        QTest::addColumn<bool>("realBox");
        QTest::addColumn<int>("key");
        QTest::addColumn<Button>("expected");
        QTest::addRow("hook answers") << false << 0 << QMessageBox::Discard;
        QTest::addRow("real box, Return takes the default") << true << int(Qt::Key_Return) << QMessageBox::Save;
        QTest::addRow("real box, Escape takes Cancel") << true << int(Qt::Key_Escape) << QMessageBox::Cancel;
    }

    // Buttons with captions of our own: the hook sees the captions, the real box shows them and keeps their roles.
    void ownCaptions()
    {
        QFETCH(bool, realBox);
        QFETCH(int, key);
        const MessageBox::ButtonTexts buttons = {
            {QMessageBox::Save, u"Overwrite"_s}, {QMessageBox::Discard, u"Reload"_s}, {QMessageBox::Cancel, u"Cancel"_s}
        };
        QStringList captions;
        if (realBox) {
            answerRealBox(Qt::Key(key), [&](QMessageBox *box) {
                for (QAbstractButton *button : box->buttons())
                    captions << button->text();
            });
        } else {
            MessageBox::setNextAnswerForTesting([&](const MessageBoxRequest &request) {
                for (const Button b : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel})
                    captions << request.buttonText(b);
                return QMessageBox::Discard;
            });
        }
        QTEST(MessageBox::show(nullptr, QMessageBox::Warning, u"QTA"_s, u"Changed."_s, buttons, QMessageBox::Save),
              "expected");
        captions.sort();
        QCOMPARE(captions, (QStringList{u"Cancel"_s, u"Overwrite"_s, u"Reload"_s}));
        const MessageBoxRequest shown = MessageBox::shownForTesting().value(0);
        QCOMPARE(shown.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(shown.buttonText(QMessageBox::Ok), QString());
    }

private:
    // Once the real box is up: looks at it, then presses the key on it.
    void answerRealBox(Qt::Key key, const std::function<void(QMessageBox *)> &look)
    {
        QTimer::singleShot(0, this, [key, look] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            look(box);
            QTest::keyClick(box, key);
            if (box->isVisible()) // never leave it open: the suite would hang
                box->done(QMessageBox::NoButton);
        });
    }
};

QTEST_MAIN(tst_MessageBox)
#include "tst_messagebox.moc"
