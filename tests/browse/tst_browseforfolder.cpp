#include "cbrowseforfolder.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// The main window's rule for its INI prompt: only a folder holding QTA.INI may be chosen.
void requireIni(const QString &sPath, bool &bAllowOk)
{
    if (!QFileInfo(QDir(sPath).filePath(u"QTA.INI"_s)).isFile())
        bAllowOk = false;
}

// Runs act on the folder dialog once it is up, then closes it if act did not: the suite must not hang.
void whenShown(QObject *context, const std::function<void(QDialog *)> &act)
{
    QTimer::singleShot(0, context, [act] {
        QDialog *dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())); }))
            return;
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

// Selects path by clicking its row, as the user would.
void clickFolder(QTreeView *tree, const QString &path)
{
    const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(tree->model());
    const auto *files = qobject_cast<const QFileSystemModel *>(proxy->sourceModel());
    const QModelIndex index = proxy->mapFromSource(files->index(path));
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}

} // namespace

class tst_BrowseForFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(u"QTAEdit"_s);
        QVERIFY(m_temp.isValid());
        m_withIni = m_temp.filePath(u"with"_s);
        m_withoutIni = m_temp.filePath(u"without"_s);
        QVERIFY(QDir().mkpath(m_withIni) && QDir().mkpath(m_withoutIni));
        QFile ini(m_withIni + u"/QTA.INI"_s);
        QVERIFY(ini.open(QIODevice::WriteOnly));
    }

    void cleanup()
    {
        cBrowseForFolder::setNextAnswerForTesting(nullptr);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void withoutDialog()
    {
        const cBrowseForFolder browser;
        QCOMPARE(browser.Title(), u"Choose Folder"_s);
        QVERIFY(!browser.EditBox() && !browser.StatusText() && !browser.FileSystemOnly());
        QVERIFY(!browser.ValidateEditBox() && !browser.UseNewUI() && !browser.isShowing());
        QCOMPARE(browser.DisplayName(), QVariant(QString()));
        QVERIFY(browser.InitialDir().isEmpty() && browser.RootDir().isEmpty() && !browser.hwndOwner());
        QCOMPARE(browser.SpecialFolderLocation(QStandardPaths::HomeLocation),
                 QDir::toNativeSeparators(QDir::homePath()));
        QCOMPARE(browser.SpecialFolderLocation(4711), QString());
        QCOMPARE(browser.SpecialFolderLocation(-1), QString());
    }

    // SetStatus and SetFolder work only while the dialog is up: before a browse and after it they raise an error.
    void notShowing()
    {
        cBrowseForFolder browser;
        for (int round = 0; round < 2; ++round) {
            for (const bool setFolder : {false, true}) {
                try {
                    setFolder ? browser.SetFolder(m_withIni) : browser.SetStatus(u"hello"_s);
                    QFAIL("no error raised");
                } catch (const BrowseForFolderError &error) {
                    QCOMPARE(error.number(), 26002);
                    QCOMPARE(error.description(), u"Operation invalid unless dialog is displayed."_s);
                    QCOMPARE(error.source(), u"QTAEdit.cBrowseForFolder"_s);
                }
            }
            cBrowseForFolder::setNextAnswerForTesting([](cBrowseForFolder &) { return QString(); });
            browser.BrowseForFolder();
        }
    }

    void hook_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("simulated");
        QTest::addColumn<bool>("allowOk");
        QTest::addColumn<QString>("displayName");
        QTest::addRow("chosen") << u"/opt/QTA/Tools"_s << QString() << true << u"Tools"_s;
        QTest::addRow("chosen root") << u"/"_s << QString() << true << u"/"_s;
        QTest::addRow("cancelled") << QString() << QString() << true << QString();
        QTest::addRow("handler refuses a folder without QTA.INI") << QString() << u"without"_s << false << QString();
        QTest::addRow("handler accepts a folder with QTA.INI") << u"with"_s << u"with"_s << true << u"with"_s;
    }

    void hook()
    {
        QFETCH(QString, answer);
        QFETCH(QString, simulated);
        QFETCH(bool, allowOk);
        QFETCH(QString, displayName);
        cBrowseForFolder browser;
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, requireIni);
        bool showingInside = false;
        bool allowed = true;
        const QString chosen = answer.isEmpty() || answer.startsWith(u'/') ? answer : m_temp.filePath(answer);
        cBrowseForFolder::setNextAnswerForTesting([&](cBrowseForFolder &self) {
            showingInside = self.isShowing();
            self.SetStatus(u"works while showing"_s);
            if (!simulated.isEmpty())
                allowed = self.simulateSelection(m_temp.filePath(simulated));
            return chosen;
        });
        QCOMPARE(browser.BrowseForFolder(), chosen);
        QVERIFY(showingInside);
        QVERIFY(!browser.isShowing());
        QCOMPARE(allowed, allowOk);
        QCOMPARE(browser.DisplayName().toString(), displayName);
    }

    void hookAnswersOnce()
    {
        cBrowseForFolder browser;
        cBrowseForFolder::setNextAnswerForTesting([](cBrowseForFolder &) { return u"/first"_s; });
        QCOMPARE(browser.BrowseForFolder(), u"/first"_s);
        bool dialogShown = false;
        whenShown(this, [&](QDialog *) { dialogShown = true; });
        QCOMPARE(browser.BrowseForFolder(), QString());
        QVERIFY(dialogShown);
    }

    void dialogOkFollowsHandler()
    {
        cBrowseForFolder browser;
        browser.setFileSystemOnly(true);
        browser.setStatusText(true);
        browser.setTitle(u"Please browse for your QTA.INI file"_s);
        browser.setInitialDir(m_withoutIni);
        QStringList events;
        connect(&browser, &cBrowseForFolder::Initialized, this, [&] { events << u"Initialized"_s; });
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, [&](const QString &sPath, bool &bAllowOk) {
            events << sPath;
            requireIni(sPath, bAllowOk);
        });

        QList<bool> okStates;
        QString title, status;
        whenShown(this, [&](QDialog *dialog) {
            if (!QTest::qWaitFor([&] { return !events.isEmpty(); }))
                return;
            auto *ok = dialog->findChild<QPushButton *>(u"cmdOK"_s);
            title = dialog->findChild<QLabel *>(u"lblTitle"_s)->text();
            okStates << ok->isEnabled();
            clickFolder(dialog->findChild<QTreeView *>(u"tvwFolders"_s), m_withIni);
            okStates << ok->isEnabled();
            status = dialog->findChild<QLabel *>(u"lblStatus"_s)->text();
            browser.SetFolder(m_withoutIni);
            okStates << ok->isEnabled();
            browser.SetFolder(m_withIni);
            okStates << ok->isEnabled();
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        const QString result = browser.BrowseForFolder();

        QCOMPARE(title, browser.Title());
        QCOMPARE(okStates, QList<bool>({ false, true, false, true }));
        QCOMPARE(status, QDir::toNativeSeparators(m_withIni));
        QCOMPARE(events, QStringList({ u"Initialized"_s, m_withoutIni, m_withIni, m_withoutIni, m_withIni }));
        QCOMPARE(result, QDir::toNativeSeparators(m_withIni));
        QCOMPARE(browser.DisplayName().toString(), u"with"_s);
        QVERIFY(!browser.isShowing() && !browser.dialog());
    }

    // A folder a few levels down, below many others, is shown, not left scrolled out of view.
    void dialogShowsTheInitialFolder()
    {
        QString deep = m_temp.filePath(u"deep"_s);
        for (int level = 0; level < 3; ++level) {
            for (int i = 0; i < 40; ++i)
                QVERIFY(QDir().mkpath(deep + u"/a%1"_s.arg(i, 2, 10, QChar(u'0'))));
            deep += u"/z"_s;
        }
        QVERIFY(QDir().mkpath(deep));
        cBrowseForFolder browser;
        browser.setInitialDir(deep);
        bool shown = false;
        whenShown(this, [&](QDialog *dialog) {
            auto *tree = dialog->findChild<QTreeView *>(u"tvwFolders"_s);
            const auto *files = qobject_cast<const QFileSystemModel *>(
                qobject_cast<const QSortFilterProxyModel *>(tree->model())->sourceModel());
            // The folders above it are listed and sorted as the model reads them, pushing it down.
            QVERIFY(QTest::qWaitFor([&] {
                for (QString level = m_temp.filePath(u"deep"_s); level != deep; level += u"/z"_s) {
                    if (files->index(level + u"/z"_s).row() != 40)
                        return false;
                }
                return true;
            }));
            shown = QTest::qWaitFor([tree] {
                return tree->currentIndex().isValid()
                    && tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
            }, 2000);
        });
        QCOMPARE(browser.BrowseForFolder(), QString());
        QVERIFY(shown);
    }

    void dialogCancel_data()
    {
        QTest::addColumn<bool>("escapeKey");
        QTest::addRow("missing initial folder, Cancel button") << false;
        QTest::addRow("missing initial folder, Escape key") << true;
    }

    void dialogCancel()
    {
        QFETCH(bool, escapeKey);
        cBrowseForFolder browser;
        browser.setInitialDir(m_temp.filePath(u"missing"_s));
        // A display name left from an earlier browse must not survive a cancel.
        cBrowseForFolder::setNextAnswerForTesting([this](cBrowseForFolder &) { return m_withIni; });
        browser.BrowseForFolder();
        int initialized = 0;
        int selections = 0;
        connect(&browser, &cBrowseForFolder::Initialized, this, [&] { ++initialized; });
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, [&] { ++selections; });

        bool selected = true;
        bool okEnabled = true;
        whenShown(this, [&](QDialog *dialog) {
            if (!QTest::qWaitFor([&] { return initialized > 0; }))
                return;
            selected = dialog->findChild<QTreeView *>(u"tvwFolders"_s)->currentIndex().isValid();
            okEnabled = dialog->findChild<QPushButton *>(u"cmdOK"_s)->isEnabled();
            if (escapeKey)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
        });

        QCOMPARE(browser.BrowseForFolder(), QString());
        QCOMPARE(initialized, 1);
        QCOMPARE(selections, 0);
        QVERIFY(!selected);
        QVERIFY(!okEnabled);
        QCOMPARE(browser.DisplayName(), QVariant(QString()));
    }

    void dialogHandlerError()
    {
        cBrowseForFolder browser;
        browser.setInitialDir(m_withIni);
        connect(&browser, &cBrowseForFolder::SelectionChanged, this,
                [](const QString &, bool &) { throw std::runtime_error("handler failed"); });
        // Only in case the dialog does not close itself.
        QTimer rescue;
        rescue.callOnTimeout(this, [] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        rescue.start(2000);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, browser.BrowseForFolder());
        QVERIFY(!browser.isShowing() && !browser.dialog());
    }

private:
    QTemporaryDir m_temp;
    QString m_withIni;
    QString m_withoutIni;
};

QTEST_MAIN(tst_BrowseForFolder)
#include "tst_browseforfolder.moc"
