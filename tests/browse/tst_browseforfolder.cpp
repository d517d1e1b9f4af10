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

QDialog *waitForDialog()
{
    QDialog *dialog = nullptr;
    const bool shown
        = QTest::qWaitFor([&] { return (dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())); });
    return shown ? dialog : nullptr;
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
    void initTestCase();
    void cleanup();
    void defaults();
    void notShowing_data();
    void notShowing();
    void hook_data();
    void hook();
    void hookAnswersOnce();
    void specialFolder_data();
    void specialFolder();
    void dialogOkFollowsHandler();
    void dialogCancel_data();
    void dialogCancel();
    void dialogHandlerError();

private:
    QTemporaryDir m_temp;
    QString m_withIni;
    QString m_withoutIni;
};

void tst_BrowseForFolder::initTestCase()
{
    QCoreApplication::setApplicationName(u"QTAEdit"_s);
    QVERIFY(m_temp.isValid());
    m_withIni = m_temp.filePath(u"with"_s);
    m_withoutIni = m_temp.filePath(u"without"_s);
    QVERIFY(QDir().mkpath(m_withIni) && QDir().mkpath(m_withoutIni));
    QFile ini(m_withIni + u"/QTA.INI"_s);
    QVERIFY(ini.open(QIODevice::WriteOnly));
}

void tst_BrowseForFolder::cleanup()
{
    cBrowseForFolder::setNextAnswerForTesting(nullptr);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_BrowseForFolder::defaults()
{
    const cBrowseForFolder browser;
    QCOMPARE(browser.Title(), u"Choose Folder"_s);
    QVERIFY(!browser.EditBox() && !browser.StatusText() && !browser.FileSystemOnly());
    QVERIFY(!browser.ValidateEditBox() && !browser.UseNewUI() && !browser.isShowing());
    QCOMPARE(browser.DisplayName(), QVariant(QString()));
    QVERIFY(browser.InitialDir().isEmpty() && browser.RootDir().isEmpty() && !browser.hwndOwner());
}

void tst_BrowseForFolder::notShowing_data()
{
    QTest::addColumn<bool>("setFolder");
    QTest::addColumn<bool>("afterBrowse");
    QTest::addRow("SetStatus, new instance") << false << false;
    QTest::addRow("SetFolder, new instance") << true << false;
    QTest::addRow("SetStatus, after a browse") << false << true;
    QTest::addRow("SetFolder, after a browse") << true << true;
}

void tst_BrowseForFolder::notShowing()
{
    QFETCH(bool, setFolder);
    QFETCH(bool, afterBrowse);
    cBrowseForFolder browser;
    if (afterBrowse) {
        cBrowseForFolder::setNextAnswerForTesting([](cBrowseForFolder &) { return QString(); });
        browser.BrowseForFolder();
    }
    try {
        setFolder ? browser.SetFolder(m_withIni) : browser.SetStatus(u"hello"_s);
        QFAIL("no error raised");
    } catch (const BrowseForFolderError &error) {
        QCOMPARE(error.number(), 26002);
        QCOMPARE(error.description(), u"Operation invalid unless dialog is displayed."_s);
        QCOMPARE(error.source(), u"QTAEdit.cBrowseForFolder"_s);
    }
}

void tst_BrowseForFolder::hook_data()
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

void tst_BrowseForFolder::hook()
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

void tst_BrowseForFolder::hookAnswersOnce()
{
    cBrowseForFolder browser;
    cBrowseForFolder::setNextAnswerForTesting([](cBrowseForFolder &) { return u"/first"_s; });
    QCOMPARE(browser.BrowseForFolder(), u"/first"_s);
    bool dialogShown = false;
    QTimer::singleShot(0, this, [&] {
        if (QDialog *dialog = waitForDialog()) {
            dialogShown = true;
            dialog->reject();
        }
    });
    QCOMPARE(browser.BrowseForFolder(), QString());
    QVERIFY(dialogShown);
}

void tst_BrowseForFolder::specialFolder_data()
{
    QTest::addColumn<int>("eFolder");
    QTest::addColumn<QString>("expected");
    QTest::addRow("home") << int(QStandardPaths::HomeLocation) << QDir::toNativeSeparators(QDir::homePath());
    QTest::addRow("unknown number") << 4711 << QString();
    QTest::addRow("negative number") << -1 << QString();
}

void tst_BrowseForFolder::specialFolder()
{
    QFETCH(int, eFolder);
    QFETCH(QString, expected);
    QCOMPARE(cBrowseForFolder().SpecialFolderLocation(eFolder), expected);
}

void tst_BrowseForFolder::dialogOkFollowsHandler()
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
    QTimer::singleShot(0, this, [&] {
        QDialog *dialog = waitForDialog();
        if (!dialog)
            return;
        if (QTest::qWaitFor([&] { return !events.isEmpty(); })) {
            auto *ok = dialog->findChild<QPushButton *>(u"cmdOK"_s);
            auto *tree = dialog->findChild<QTreeView *>(u"tvwFolders"_s);
            title = dialog->findChild<QLabel *>(u"lblTitle"_s)->text();
            okStates << ok->isEnabled();
            clickFolder(tree, m_withIni);
            okStates << ok->isEnabled();
            status = dialog->findChild<QLabel *>(u"lblStatus"_s)->text();
            browser.SetFolder(m_withoutIni);
            okStates << ok->isEnabled();
            browser.SetFolder(m_withIni);
            okStates << ok->isEnabled();
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        if (dialog->isVisible())
            dialog->reject();
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

void tst_BrowseForFolder::dialogCancel_data()
{
    QTest::addColumn<bool>("escapeKey");
    QTest::addRow("missing initial folder, Cancel button") << false;
    QTest::addRow("missing initial folder, Escape key") << true;
}

void tst_BrowseForFolder::dialogCancel()
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
    QTimer::singleShot(0, this, [&] {
        QDialog *dialog = waitForDialog();
        if (!dialog)
            return;
        if (QTest::qWaitFor([&] { return initialized > 0; })) {
            selected = dialog->findChild<QTreeView *>(u"tvwFolders"_s)->currentIndex().isValid();
            okEnabled = dialog->findChild<QPushButton *>(u"cmdOK"_s)->isEnabled();
            if (escapeKey)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
        }
        if (dialog->isVisible())
            dialog->reject();
    });

    QCOMPARE(browser.BrowseForFolder(), QString());
    QCOMPARE(initialized, 1);
    QCOMPARE(selections, 0);
    QVERIFY(!selected);
    QVERIFY(!okEnabled);
    QCOMPARE(browser.DisplayName(), QVariant(QString()));
}

void tst_BrowseForFolder::dialogHandlerError()
{
    cBrowseForFolder browser;
    browser.setInitialDir(m_withIni);
    connect(&browser, &cBrowseForFolder::SelectionChanged, this,
            [](const QString &, bool &) { throw std::runtime_error("handler failed"); });
    // Only in case the dialog does not close itself.
    QTimer rescue;
    rescue.setSingleShot(true);
    connect(&rescue, &QTimer::timeout, this, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    rescue.start(2000);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, browser.BrowseForFolder());
    QVERIFY(!browser.isShowing() && !browser.dialog());
}

QTEST_MAIN(tst_BrowseForFolder)
#include "tst_browseforfolder.moc"
