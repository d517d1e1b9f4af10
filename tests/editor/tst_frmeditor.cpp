#include "testfiles.h"
#include "cbrowseforfolder.h"
#include "configuration.h"
#include "filesafety.h"
#include "foldersettings.h"
#include "frmeditor.h"
#include "grid.h"
#include "messagebox.h"
#include "tabcontrol.h"
#include "toolbar.h"

#include <QLabel>

#include <QFile>
#include <QProcess>
#include <QScrollArea>
#include <QStringDecoder>
#include <QTabBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

namespace {

const QByteArray kIni = "; QTA settings\r\n[General]\r\nVersion=3.2\r\n"
                        "[Addons]\r\nSheet Printer=C:\\SP.EXE %charfile%\r\nNotes=C:\\NOTEPAD.EXE\r\n"
                        "[Toolbits]\r\nNew=NEW|1\r\nspace2=|\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\n"
                        "[Printing]\r\nCopies=1\r\n";

// Clicks the command button of the shown command toolbar with this caption.
void clickCommand(frmEditor &editor, int toolbarNumber, int position)
{
    auto *toolbar = editor.findChild<Toolbar *>(QStringLiteral("cToolbar%1").arg(toolbarNumber));
    QVERIFY(toolbar);
    QWidget *button = toolbar->buttonWidget(position);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void clickTab(frmEditor &editor, int number)
{
    auto *tabs = editor.findChild<TabControl *>(QStringLiteral("vbTabControl1"));
    QVERIFY(tabs);
    auto *bar = tabs->findChild<QTabBar *>();
    QVERIFY(bar);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(number - 1).center());
}

} // namespace

class tst_FrmEditor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_iniFolder;
    QString m_iniPath;

    // Picks this folder in the next folder browser, after checking whether its OK button would be enabled.
    void answerBrowser(const QString &folder, bool *okEnabled = nullptr, bool cancel = false)
    {
        cBrowseForFolder::setNextAnswerForTesting([folder, okEnabled, cancel](cBrowseForFolder &browser) {
            const bool ok = browser.simulateSelection(folder);
            if (okEnabled)
                *okEnabled = ok;
            return (cancel || !ok) ? QString() : folder;
        });
    }

    // The user's own store of remembered folders, as programs that know nothing of Qt see it: the registry key
    // through the system's reg.exe on Windows, the configuration file elsewhere.
#ifdef Q_OS_WIN
    static inline const QString kUsersKey =
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\QTAEdit\\Folders");

    static bool reg(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("reg.exe"), arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
#else
    static QString usersStoreFile()
    {
        return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/QTAEdit/QTAEdit.conf");
    }
#endif

    void clearUsersStore()
    {
#ifdef Q_OS_WIN
        reg({ QStringLiteral("delete"), kUsersKey, QStringLiteral("/f") });
#else
        QFile::remove(usersStoreFile());
#endif
    }

    void writeToUsersStore(const QString &key, const QString &value)
    {
#ifdef Q_OS_WIN
        QVERIFY(reg({ QStringLiteral("add"), kUsersKey, QStringLiteral("/v"), key, QStringLiteral("/t"),
                      QStringLiteral("REG_SZ"), QStringLiteral("/d"), value, QStringLiteral("/f") }));
#else
        QVERIFY(QDir().mkpath(QFileInfo(usersStoreFile()).path()));
        QFile file(usersStoreFile());
        QVERIFY(file.open(QIODevice::Append));
        if (file.size() == 0)
            file.write("[Folders]\n");
        file.write((key + QLatin1Char('=') + value + QLatin1Char('\n')).toUtf8());
#endif
    }

    QString readFromUsersStore(const QString &key)
    {
#ifdef Q_OS_WIN
        // reg export writes UTF-16: no code page stands between the registry and the comparison.
        const QString file = QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("export.reg")));
        if (!reg({ QStringLiteral("export"), kUsersKey, file, QStringLiteral("/y") }))
            return QStringLiteral("(reg export failed)");
        const QString text = QStringDecoder(QStringDecoder::Utf16LE).decode(readBytes(file));
        const QString prefix = QLatin1Char('"') + key + QStringLiteral("\"=\"");
        for (const QString &line : text.split(QStringLiteral("\r\n"))) {
            if (line.startsWith(prefix) && line.endsWith(QLatin1Char('"')))
                return line.mid(prefix.size()).chopped(1).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        }
#else
        const QString text = QString::fromUtf8(readBytes(usersStoreFile()));
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            if (line.startsWith(key + QLatin1Char('=')))
                return line.mid(key.size() + 1);
        }
#endif
        return QStringLiteral("(no value %1 in %2)").arg(key, text);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
#ifndef Q_OS_WIN
        // Before the first settings object, which fixes where the user's store is: never the user's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
#endif
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path() + QStringLiteral("/") + QString::fromLatin1(QTest::currentTestFunction());
        QVERIFY(QDir().mkpath(root + QStringLiteral("/settings")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/qta")));
        FolderSettings::setStoreFolderForTesting(root + QStringLiteral("/settings"));
        m_iniFolder = root + QStringLiteral("/qta");
        m_iniPath = m_iniFolder + QStringLiteral("/QTA.INI");
        writeBytes(m_iniPath, kIni);
        MessageBox::clearShownForTesting();
        for (int i = 0; i < 4; ++i)
            MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    }

    void cleanup()
    {
        cBrowseForFolder::setNextAnswerForTesting(nullptr);
        MessageBox::clearAnswersForTesting();
        FileSafety::setWriteLimitForTesting(-1);
        FolderSettings::setStoreFolderForTesting(QString());
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()
                    || std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                                    [](QWidget *w) { return w->isVisible(); }));
    }

    void firstRunAsksForTheIniFolder()
    {
        bool okOnEmptyFolder = true;
        const QString empty = m_dir.path() + QStringLiteral("/empty");
        QVERIFY(QDir().mkpath(empty));
        {
            frmEditor editor;
            QString title;
            // A folder without QTA.INI cannot be confirmed.
            cBrowseForFolder::setNextAnswerForTesting([&](cBrowseForFolder &browser) {
                title = browser.Title();
                okOnEmptyFolder = browser.simulateSelection(empty);
                return browser.simulateSelection(m_iniFolder) ? m_iniFolder : QString();
            });
            QVERIFY(editor.start());
            QCOMPARE(title, QStringLiteral("Please browse for your QTA.INI file"));
            QVERIFY(!okOnEmptyFolder);
            QCOMPARE(editor.INIPATH, m_iniFolder);
            QCOMPARE(editor.configuration()->toolbar()->count(), 3);
            QCOMPARE(editor.configuration()->addOns()->count(), 2);
        }
        QCOMPARE(FolderSettings::read(FolderSettings::iniKey()), m_iniFolder);
        QVERIFY(!FolderSettings::contains(FolderSettings::bitmapsKey()));
        QVERIFY(!FolderSettings::contains(FolderSettings::exesKey()));
    }

    void cancelOnFirstRunEndsWithoutWriting()
    {
        frmEditor editor;
        answerBrowser(m_iniFolder, nullptr, true);
        QVERIFY(!editor.start());
        QVERIFY(!FolderSettings::contains(FolderSettings::iniKey()));
        QCOMPARE(readBytes(m_iniPath), kIni);
    }

    void rememberedFolderSurvivesARestart()
    {
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        bool asked = false;
        cBrowseForFolder::setNextAnswerForTesting([&asked](cBrowseForFolder &) {
            asked = true;
            return QString();
        });
        frmEditor editor;
        QVERIFY(editor.start());
        QVERIFY(!asked);
        QCOMPARE(editor.INIPATH, m_iniFolder);
        QCOMPARE(editor.BMPPATH, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
        auto *grid = editor.findChild<Grid *>(QStringLiteral("grdAddOnsList"));
        QCOMPARE(grid->RowCount(), 2);
        QCOMPARE(grid->CurrentRow(), 1);
        QVERIFY(editor.findChild<QWidget *>(QStringLiteral("cmdKillAddOn"))->isEnabled());
    }

    void fitsTheScreen_data()
    {
        QTest::addColumn<double>("textScale");
        QTest::newRow("100 percent") << 1.0;
        QTest::newRow("150 percent") << 1.5;
        QTest::newRow("200 percent") << 2.0;
    }

    // Larger text makes the window larger; it still fits the screen, centred, and scrolls what does not fit.
    void fitsTheScreen()
    {
        QFETCH(double, textScale);
        const QFont before = QApplication::font();
        QFont larger = before;
        larger.setPointSizeF(before.pointSizeF() * textScale);
        QApplication::setFont(larger);
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        {
            frmEditor editor;
            QVERIFY(editor.start());
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor));
            const QRect room = editor.screen()->availableGeometry();
            QVERIFY2(room.contains(editor.frameGeometry()),
                     qPrintable(QStringLiteral("%1x%2 on %3x%4").arg(editor.frameGeometry().width())
                                    .arg(editor.frameGeometry().height())
                                    .arg(room.width())
                                    .arg(room.height())));
            QVERIFY(qAbs(editor.frameGeometry().center().x() - room.center().x()) <= 2);
            QVERIFY(qAbs(editor.frameGeometry().center().y() - room.center().y()) <= 20);
            // Every control can still be reached: the last line of the add-ons page and the About link.
            auto *about = editor.findChild<QWidget *>(QStringLiteral("Label5"));
            auto *scroller = editor.findChild<QScrollArea *>();
            scroller->ensureWidgetVisible(about);
            QVERIFY(editor.rect().contains(QRect(about->mapTo(&editor, QPoint(0, 0)), about->size())));
        }
        QApplication::setFont(before);
    }

    // A long toolbar keeps its buttons whole: the preview scrolls to the one the keyboard is on.
    void longToolbarScrolls()
    {
        QByteArray toolbits = "[Toolbits]\r\n";
        for (int i = 0; i < 80; ++i)
            toolbits += "Button " + QByteArray::number(i) + "=NEW|" + QByteArray::number(1 + i % 7) + "\r\n";
        writeBytes(m_iniPath, toolbits);
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        Toolbar *preview = editor.previewToolbar();
        for (int i = 0; i < preview->buttonCount(); ++i)
            QVERIFY(preview->buttonWidget(i)->width() >= preview->buttonWidget(i)->sizeHint().width());
        preview->focusButton(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QWidget *last = preview->buttonWidget(79);
        QCOMPARE(QApplication::focusWidget(), last);
        QWidget *host = editor.findChild<QWidget *>(QStringLiteral("vbalTBarHost1"));
        const QRect shown(last->mapTo(host, QPoint(0, 0)), last->size());
        QVERIFY(host->rect().contains(shown));
        QVERIFY(!shown.intersects(editor.findChild<QWidget *>(QStringLiteral("lblPreviewHint"))->geometry()));
    }

    void noAddOnsDisablesDelete()
    {
        writeBytes(m_iniPath, "[Toolbits]\r\nNew=NEW|1\r\n");
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        QVERIFY(!editor.findChild<QWidget *>(QStringLiteral("cmdKillAddOn"))->isEnabled());
    }

    void tabSwitchSavesAndReloads()
    {
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        editor.configuration()->addOns()->setCellText(1, AddOnListModel::NameColumn, QStringLiteral("Editor"));
        clickTab(editor, 2);
        QCOMPARE(editor.currentTab(), 2);
        QVERIFY(readBytes(m_iniPath).contains("\r\nEditor=C:\\NOTEPAD.EXE\r\n"));
        QVERIFY(readBytes(m_iniPath).startsWith("; QTA settings\r\n[General]\r\nVersion=3.2\r\n[Printing]\r\nCopies=1\r\n"));
        // The reload rebuilt the add-on commands from the saved list.
        QVERIFY(editor.configuration()->addOnCommands().contains(QStringLiteral("RUNADDON(Editor)")));
        QVERIFY(editor.findChild<QWidget *>(QStringLiteral("picTab(1)"))->isVisible());
        QVERIFY(!editor.findChild<QWidget *>(QStringLiteral("picTab(0)"))->isVisible());
        QVERIFY(editor.findChild<QWidget *>(QStringLiteral("cToolbar2"))->isVisible());
        QVERIFY(!editor.findChild<QWidget *>(QStringLiteral("cToolbar1"))->isVisible());
    }

    void commandsActOnTheLists()
    {
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        ToolbarModel *toolbar = editor.configuration()->toolbar();
        MessageBox::clearAnswersForTesting();

        clickCommand(editor, 1, 2); // Reset Toolbar: the file is not touched
        QCOMPARE(toolbar->count(), 9);
        QCOMPARE(readBytes(m_iniPath), kIni);

        MessageBox::setNextAnswerForTesting(QMessageBox::Discard);
        clickCommand(editor, 1, 0); // Reload INI, dropping the reset: the file's toolbar again
        QCOMPARE(toolbar->count(), 3);

        clickCommand(editor, 1, 2);
        clickCommand(editor, 1, 1); // Save INI
        QVERIFY(readBytes(m_iniPath).endsWith("[Toolbits]\r\nNew=NEW|1\r\nLoad...=LOAD|2\r\nSave=SAVE|3\r\nspace4=|\r\n"
                                            "Print=PRINT|4\r\nPrint Preview=PREVIEW|5\r\nspace7=|\r\n"
                                            "Preferences...=PREFERENCES|6\r\nExit QTA=EXIT|7\r\n"));

        const QByteArray saved = readBytes(m_iniPath);
        clickCommand(editor, 1, 7); // Exit: nothing changed since the save, nothing asked
        QVERIFY(!editor.isVisible());
        QCOMPARE(readBytes(m_iniPath), saved);
        QCOMPARE(MessageBox::shownForTesting().size(), 1);
    }

    void setFolderCommands_data()
    {
        QTest::addColumn<int>("toolbar");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("acceptedFile");
        QTest::addColumn<QString>("refusedFile");
        QTest::addRow("QTA.INI") << 1 << 4 << FolderSettings::iniKey() << "QTA.INI" << "QTA.BAK";
        QTest::addRow("bitmaps") << 1 << 5 << FolderSettings::bitmapsKey() << "button.Bmp" << "button.png";
        QTest::addRow("add-ons") << 2 << 4 << FolderSettings::exesKey() << "TOOL.exe" << "tool.sh";
    }

    void setFolderCommands()
    {
        QFETCH(int, toolbar);
        QFETCH(int, position);
        QFETCH(QString, key);
        QFETCH(QString, acceptedFile);
        QFETCH(QString, refusedFile);
        const QString good = m_dir.path() + QStringLiteral("/good-") + key;
        const QString bad = m_dir.path() + QStringLiteral("/bad-") + key;
        QVERIFY(QDir().mkpath(good));
        QVERIFY(QDir().mkpath(bad));
        writeBytes(good + u'/' + acceptedFile, "x");
        writeBytes(bad + u'/' + refusedFile, "x");
        QVERIFY(QDir().mkpath(bad + QStringLiteral("/") + acceptedFile)); // a folder of that name does not count

        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        if (toolbar == 2)
            clickTab(editor, 2);

        bool ok = true;
        answerBrowser(bad, &ok);
        clickCommand(editor, toolbar, position);
        QVERIFY(!ok);
        // Cancelled: the old value stays and is written back.
        const QString kept = key == FolderSettings::iniKey() ? m_iniFolder : QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
        QCOMPARE(FolderSettings::read(key), kept);

        answerBrowser(good, &ok);
        clickCommand(editor, toolbar, position);
        QVERIFY(ok);
        QCOMPARE(FolderSettings::read(key), good);
    }

    void failedSaveKeepsTheLists()
    {
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        editor.configuration()->addOns()->setCellText(0, AddOnListModel::NameColumn, QStringLiteral("Renamed"));
        FileSafety::setWriteLimitForTesting(5); // the disk fills up part way
        clickTab(editor, 2);
        QCOMPARE(MessageBox::shownForTesting().size(), 1);
        QVERIFY(MessageBox::shownForTesting().first().text.contains(QDir::toNativeSeparators(m_iniPath)));
        QCOMPARE(readBytes(m_iniPath), kIni);
        // No reload after the failed save: the edit is still on screen.
        QCOMPARE(editor.configuration()->addOns()->at(0).Name, QStringLiteral("Renamed"));
        QCOMPARE(editor.currentTab(), 2);
    }
    void outsideChangeBeforeSave_data()
    {
        QTest::addColumn<bool>("byTabSwitch");
        QTest::addColumn<int>("answer");
        QTest::addRow("Save INI, overwrite") << false << int(QMessageBox::Save);
        QTest::addRow("Save INI, reload") << false << int(QMessageBox::Discard);
        QTest::addRow("Save INI, cancel") << false << int(QMessageBox::Cancel);
        QTest::addRow("tab switch, overwrite") << true << int(QMessageBox::Save);
        QTest::addRow("tab switch, reload") << true << int(QMessageBox::Discard);
    }

    // Another program rewrites QTA.INI while the editor shows it: the save asks first, and each answer does
    // what it says to the file, the lists and the backup.
    void outsideChangeBeforeSave()
    {
        QFETCH(bool, byTabSwitch);
        QFETCH(int, answer);
        QFile::remove(m_iniPath + QStringLiteral(".bak")); // rows share the folder
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        editor.configuration()->addOns()->setCellText(0, AddOnListModel::NameColumn, QStringLiteral("Renamed"));
        const QByteArray other = QByteArray(kIni).replace("Copies=1", "Copies=2");
        writeBytes(m_iniPath, other);

        MessageBox::clearAnswersForTesting();
        MessageBox::clearShownForTesting();
        MessageBox::setNextAnswerForTesting([answer](const MessageBoxRequest &request) {
            return request.text.contains(QStringLiteral("changed by another program"))
                ? QMessageBox::StandardButton(answer)
                : QMessageBox::NoButton;
        });
        if (byTabSwitch)
            clickTab(editor, 2);
        else
            clickCommand(editor, 1, 1);
        QCOMPARE(MessageBox::shownForTesting().size(), 1);

        const QByteArray now = readBytes(m_iniPath);
        const QString firstName = editor.configuration()->addOns()->at(0).Name;
        const bool backup = QFile::exists(m_iniPath + QStringLiteral(".bak"));
        if (answer == QMessageBox::Save) {
            QVERIFY(now.contains("Copies=2") && now.contains("Renamed="));
            QCOMPARE(readBytes(m_iniPath + QStringLiteral(".bak")), other); // the file as it was before this save
            QCOMPARE(firstName, QStringLiteral("Renamed"));
        } else {
            QCOMPARE(now, other);
            QVERIFY(!backup);
            QCOMPARE(firstName, answer == QMessageBox::Discard ? QStringLiteral("Sheet Printer") : QStringLiteral("Renamed"));
        }
        // Overwritten or reloaded, the file is the editor's again: the next save does not ask. Cancelled, it
        // still holds the other program's version, so it would ask again.
        if (answer == QMessageBox::Cancel)
            return;
        MessageBox::clearShownForTesting();
        clickCommand(editor, byTabSwitch ? 2 : 1, 1);
        QVERIFY(MessageBox::shownForTesting().isEmpty());
    }

    // A change on disk while the window is in front brings the offer to reload at once.
    void outsideChangeOffersReload()
    {
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        MessageBox::clearAnswersForTesting();
        MessageBox::clearShownForTesting();
        MessageBox::setNextAnswerForTesting(QMessageBox::Yes);
        writeBytes(m_iniPath, QByteArray(kIni).replace("Notes=", "Memo="));
        QTRY_COMPARE_WITH_TIMEOUT(MessageBox::shownForTesting().size(), 1, 10000);
        QTRY_COMPARE(editor.configuration()->addOns()->at(1).Name, QStringLiteral("Memo"));
        QVERIFY(!editor.undoStack()->canUndo());
    }

    // A file that does not look like text is loaded with a remark, shown once and not on every tab switch.
    void unusualFileIsNamedOnce()
    {
        writeBytes(m_iniPath, kIni + QByteArray("[Blob]\r\nData=\0\0\0\1\2\r\n", 20));
        FolderSettings::write(FolderSettings::iniKey(), m_iniFolder);
        MessageBox::clearAnswersForTesting();
        MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
        frmEditor editor;
        QVERIFY(editor.start());
        editor.show();
        QCOMPARE(MessageBox::shownForTesting().size(), 1);
        QVERIFY(MessageBox::shownForTesting().first().text.contains(QStringLiteral("NUL")));
        QCOMPARE(editor.configuration()->addOns()->count(), 2);
        clickTab(editor, 2);
        clickTab(editor, 1);
        QCOMPARE(MessageBox::shownForTesting().size(), 1);
        QVERIFY(readBytes(m_iniPath).contains(QByteArray("Data=\0\0\0\1\2\r\n", 12)));
    }
    // The folders live in the user's own store, where other programs (earlier versions of the editor among them)
    // find and leave them.
    void foldersWhereOtherProgramsLook()
    {
#ifdef Q_OS_WIN
        if (!qEnvironmentVariableIsSet("QTA_TEST_DISPOSABLE_SETTINGS"))
            QSKIP("changes this user's own remembered folders in the registry; make test-windows runs it in a Wine "
                  "prefix of its own");
#endif
        FolderSettings::setStoreFolderForTesting(QString());
        const QStringList keys = { FolderSettings::iniKey(), FolderSettings::bitmapsKey(), FolderSettings::exesKey() };
        QStringList folders;
        for (const QString &name : { QStringLiteral("QTA Files/Fr\u00E9d\u00E9ric"), QStringLiteral("My Bitmaps"),
                                     QStringLiteral("Add-ons") }) {
            folders << QDir::toNativeSeparators(m_dir.filePath(name));
            QVERIFY(QDir().mkpath(folders.last()));
        }
        writeBytes(folders[0] + QStringLiteral("/QTA.INI"), kIni);

        // Written by another program: read at start-up, no folder browser.
        clearUsersStore();
        for (int i = 0; i < keys.size(); ++i)
            writeToUsersStore(keys[i], folders[i]);
        answerBrowser(QString(), nullptr, true);
        {
            frmEditor editor;
            QVERIFY(editor.start());
            QCOMPARE(QStringList({ editor.INIPATH, editor.BMPPATH, editor.EXEPATH }), folders);
            QCOMPARE(editor.configuration()->toolbar()->count(), 3);
        }

        // Written by the editor: found by another program.
        clearUsersStore();
        for (int i = 0; i < keys.size(); ++i)
            FolderSettings::write(keys[i], folders[i]);
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(readFromUsersStore(keys[i]), folders[i]);
        clearUsersStore();
    }
};

QTEST_MAIN(tst_FrmEditor)
#include "tst_frmeditor.moc"
