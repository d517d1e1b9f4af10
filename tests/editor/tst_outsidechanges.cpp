// The guard against another program's changes to QTA.INI, with real files, a real watcher and a real window.
#include "filesafety.h"
#include "messagebox.h"
#include "outsidechanges.h"
#include "testfiles.h"

#include <QDialog>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

using Button = QMessageBox::StandardButton;
using Decision = OutsideChanges::Decision;

namespace {

const QByteArray kOld = "[Main]\nFont=Courier\n[Addons]\nCalc=calc.exe\n";
const QByteArray kOther = "[Main]\nFont=Courier\n[Addons]\nHex=hexed.exe\n"; // the size of kOld
const QByteArray kOurs = "[Main]\nFont=Courier\n[Addons]\nEdit=ed.exe\n";

int questions()
{
    return int(MessageBox::shownForTesting().size());
}

} // namespace

class tst_OutsideChanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_path = m_dir->filePath(u"QTA.INI"_s);
        writeBytes(m_path, kOld);
        m_window.reset(new QWidget);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.data()));
        m_guard = new OutsideChanges(m_window.data(), u"QTA Config Editor"_s);
        m_guard->watch(m_path);
    }

    void cleanup()
    {
        const int pending = MessageBox::pendingAnswersForTesting();
        MessageBox::clearAnswersForTesting();
        MessageBox::clearShownForTesting();
        m_window.reset();
        QCOMPARE(pending, 0);
    }

    void beforeSave_data()
    {
        QTest::addColumn<QString>("how"); // empty: the file left alone
        QTest::addColumn<Button>("answer"); // NoButton: no question expected
        QTest::addColumn<Decision>("decision");
        QTest::addRow("unchanged: no question") << QString() << QMessageBox::NoButton << Decision::Proceed;
        QTest::addRow("changed, Overwrite") << u"rewrite"_s << QMessageBox::Save << Decision::Proceed;
        QTest::addRow("changed, Reload") << u"rewrite"_s << QMessageBox::Discard << Decision::Reload;
        QTest::addRow("changed, Cancel") << u"rewrite"_s << QMessageBox::Cancel << Decision::Cancel;
        QTest::addRow("deleted, Save anyway") << u"delete"_s << QMessageBox::Save << Decision::Proceed;
    }

    void beforeSave()
    {
        QFETCH(QString, how);
        QFETCH(Button, answer);
        QFETCH(Decision, decision);
        const bool asks = answer != QMessageBox::NoButton;
        if (!how.isEmpty())
            change(how);
        const QByteArray onDisk = readBytes(m_path);
        if (asks)
            MessageBox::setNextAnswerForTesting(answer);
        QCOMPARE(m_guard->beforeSave(), decision);
        QCOMPARE(questions(), int(asks));
        if (asks) {
            const MessageBoxRequest asked = MessageBox::shownForTesting().constFirst();
            QVERIFY(asked.text.startsWith(u'"' + QDir::toNativeSeparators(m_path) + u"\" was "_s
                                          + (how == u"delete" ? u"deleted"_s : u"changed"_s)));
            QCOMPARE(asked.buttonText(QMessageBox::Save), how == u"delete" ? u"Save anyway"_s : u"Overwrite"_s);
            QCOMPARE(asked.buttonText(QMessageBox::Discard), u"Reload"_s);
            QCOMPARE(asked.defaultButton, QMessageBox::Cancel);
        }
        QTest::qWait(400);
        QCOMPARE(questions(), int(asks)); // a change decided on is not offered again
    }

    // Our own saves are not offered as outside changes, and only the run's first save keeps a backup.
    void ownSavesAndBackupOncePerRun()
    {
        QSignalSpy reload(m_guard, &OutsideChanges::reloadRequested);
        const QString backup = m_path + u".bak"_s;
        save(*m_guard, kOurs);
        QTest::qWait(400); // the watcher's signals for our own save arrive and are looked at
        save(*m_guard, kOther);
        QTest::qWait(400);
        QCOMPARE(reload.size(), 0);
        QCOMPARE(readBytes(backup), kOld); // as it was before the run's first save

        OutsideChanges next(m_window.data(), u"QTA Config Editor"_s); // the next run
        next.watch(m_path);
        save(next, kOurs);
        QCOMPARE(readBytes(backup), kOther);

        // Another folder chosen during the run: its file gets a backup of its own.
        QVERIFY(QDir(m_dir->path()).mkdir(u"other"_s));
        m_path = m_dir->filePath(u"other/QTA.INI"_s);
        writeBytes(m_path, kOld);
        next.watch(m_path);
        save(next, kOurs);
        QCOMPARE(readBytes(m_path + u".bak"_s), kOld);
        QCOMPARE(questions(), 0);
    }

    void offer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<Button>("answer");
        QTest::addRow("rewritten, Reload") << u"rewrite"_s << QMessageBox::Yes;
        QTest::addRow("rewritten, Keep my edits") << u"rewrite"_s << QMessageBox::No;
        QTest::addRow("replaced by rename, Keep my edits") << u"rename"_s << QMessageBox::No;
        QTest::addRow("deleted, Keep my edits") << u"delete"_s << QMessageBox::No;
    }

    void offer()
    {
        QFETCH(QString, how);
        QFETCH(Button, answer);
        QSignalSpy reload(m_guard, &OutsideChanges::reloadRequested);
        MessageBox::setNextAnswerForTesting(answer);
        change(how);
        QTRY_COMPARE_WITH_TIMEOUT(questions(), 1, 5000);
        const MessageBoxRequest offer = MessageBox::shownForTesting().constFirst();
        QVERIFY(offer.text.startsWith(u'"' + QDir::toNativeSeparators(m_path) + u'"'));
        QCOMPARE(offer.buttonText(QMessageBox::Yes), u"Reload"_s);
        QCOMPARE(offer.buttonText(QMessageBox::No), u"Keep my edits"_s);
        QCOMPARE(reload.size(), answer == QMessageBox::Yes ? 1 : 0);
        QTest::qWait(400);
        QCOMPARE(questions(), 1); // once per change

        // Edits kept: the next save still asks, and the next change, to a replaced file too, is offered again.
        MessageBox::setNextAnswerForTesting(QMessageBox::Cancel);
        QCOMPARE(m_guard->beforeSave(), Decision::Cancel);
        MessageBox::setNextAnswerForTesting(QMessageBox::No);
        change(how == u"delete" ? u"rewrite"_s : how, kOurs);
        QTRY_COMPARE_WITH_TIMEOUT(questions(), 3, 5000);
    }

    void offerWaits_data()
    {
        QTest::addColumn<bool>("modal");
        QTest::addRow("another window active") << false;
        QTest::addRow("a modal dialog open") << true;
    }

    // Nothing pops up over another window or box: the offer comes when the window is back in front.
    void offerWaits()
    {
        QFETCH(bool, modal);
        QWidget other;
        QDialog dialog(m_window.data());
        dialog.setModal(true);
        QWidget *front = modal ? static_cast<QWidget *>(&dialog) : &other;
        front->show();
        front->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(front));
        change(u"rewrite"_s);
        QTest::qWait(700);
        QCOMPARE(questions(), 0);

        MessageBox::setNextAnswerForTesting(QMessageBox::No);
        front->hide();
        m_window->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(questions(), 1, 5000);
    }

    void backupFailure_data()
    {
        QTest::addColumn<Button>("answer");
        QTest::addRow("save without a backup") << QMessageBox::Yes;
        QTest::addRow("do not save") << QMessageBox::No;
    }

    void backupFailure()
    {
        QFETCH(Button, answer);
        const bool decision = answer == QMessageBox::Yes;
        QVERIFY(QDir(m_dir->path()).mkdir(u"QTA.INI.bak"_s)); // a folder in the backup's place
        MessageBox::setNextAnswerForTesting(answer);
        QCOMPARE(m_guard->beforeWrite(m_path), decision);
        const MessageBoxRequest asked = MessageBox::shownForTesting().value(0);
        QVERIFY2(asked.text.contains(u'"' + QDir::toNativeSeparators(m_path + u".bak"_s) + u"\": it is a folder"_s),
                 qPrintable(asked.text));
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);

        // Agreed to once, not asked again in the run; refused, asked again.
        if (answer == QMessageBox::No)
            MessageBox::setNextAnswerForTesting(QMessageBox::No);
        QCOMPARE(m_guard->beforeWrite(m_path), decision);
        QCOMPARE(questions(), answer == QMessageBox::Yes ? 1 : 2);
    }

private:
    // As another program would: "rewrite", "rename" (a new file moved over it) or "delete".
    void change(const QString &how, const QByteArray &bytes = kOther)
    {
        const QString fresh = m_dir->filePath(u"fresh.tmp"_s);
        if (how == u"delete")
            QVERIFY(QFile::remove(m_path));
        else
            writeBytes(how == u"rename" ? fresh : m_path, bytes);
        if (how == u"rename") {
#ifdef Q_OS_WIN
            // Windows' C library renames only onto a free name.
            QVERIFY(QFile::remove(m_path) && QFile::rename(fresh, m_path));
#else
            QCOMPARE(std::rename(qPrintable(fresh), qPrintable(m_path)), 0);
#endif
        }
    }

    void save(OutsideChanges &guard, const QByteArray &bytes)
    {
        QCOMPARE(guard.beforeSave(), Decision::Proceed);
        QVERIFY(guard.beforeWrite(m_path));
        QString error;
        QVERIFY2(FileSafety::writeFile(m_path, bytes, &error), qPrintable(error));
        guard.watch(m_path);
    }

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_path;
    QScopedPointer<QWidget> m_window;
    OutsideChanges *m_guard = nullptr;
};

QTEST_MAIN(tst_OutsideChanges)
#include "tst_outsidechanges.moc"
