#pragma once

// The main window started on a QTA.INI and a settings store of the test's own, and the ways a user reaches
// the toolbar page: clicks on the preview, menu choices, the panel's lists, the saved file.

#include "configuration.h"
#include "filedialog.h"
#include "foldersettings.h"
#include "frmeditor.h"
#include "messagebox.h"
#include "popupmenu.h"
#include "toolbar.h"
#include "toolbareditorpage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

// Other sections, a comment and CRLF line ends, which every save must keep.
inline const QByteArray kHead = "; QTA settings\r\n[General]\r\nVersion=3.2\r\n"
                                "[Addons]\r\nSheet Printer=C:\\SP.EXE %charfile%\r\nNotes=C:\\NOTEPAD.EXE\r\n";
inline const QByteArray kDefaultToolbits = "New=NEW|1\r\nLoad...=LOAD|2\r\nSave=SAVE|3\r\nspace4=|\r\nPrint=PRINT|4\r\n"
                                           "Print Preview=PREVIEW|5\r\nspace7=|\r\nPreferences...=PREFERENCES|6\r\n"
                                           "Exit QTA=EXIT|7\r\n";

class EditorFixture
{
    QTemporaryDir m_dir; // first made, last removed

public:
    // toolbits: the lines of the "Toolbits" section; none gives a file without it (the default toolbar).
    explicit EditorFixture(const QByteArray &toolbits, const QByteArray &head = kHead)
        : original(head + (toolbits.isEmpty() ? QByteArray() : "[Toolbits]\r\n" + toolbits))
    {
        writeFile(iniPath(), original);
        FolderSettings::setStoreFolderForTesting(m_dir.path());
        FolderSettings::write(FolderSettings::iniKey(), m_dir.path());
        FolderSettings::write(FolderSettings::bitmapsKey(), dir());
        editor = std::make_unique<frmEditor>();
        QVERIFY(editor->start());
        editor->show();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
    }
    ~EditorFixture() { FolderSettings::setStoreFolderForTesting(QString()); }

    QString dir() const { return QFileInfo(m_dir.path()).canonicalFilePath(); }
    QString iniPath() const { return m_dir.filePath(u"QTA.INI"_s); }
    ToolbarModel *model() const { return editor->configuration()->toolbar(); }
    ToolbarEditorPage *page() const { return editor->toolbarPage(); }
    template<typename T = QWidget> T *control(const char *name) const
    {
        return editor->findChild<T *>(QString::fromLatin1(name));
    }
    QComboBox *list(const char *name) const { return control<QComboBox>(name); }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray savedFile() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Answers the next menu with the item of this key ("" dismisses it); seen gets what it offered, as
    // "left right group" with + for enabled (checked) and - for not.
    static void answerMenu(const QString &key, QString *seen = nullptr)
    {
        PopupMenu::setNextAnswerForTesting([key, seen](const PopupMenu &menu) {
            auto sign = [](bool on) { return on ? u"+"_s : u"-"_s; };
            if (seen)
                *seen = sign(menu.isEnabled(menu.positionOfKey(u"T2"_s)))
                    + sign(menu.isEnabled(menu.positionOfKey(u"T3"_s)))
                    + sign(menu.isChecked(menu.positionOfKey(u"T5"_s)));
            return menu.positionOfKey(key);
        });
    }
    // Clicks the preview button at position and picks the menu item with this key.
    void choose(int position, const QString &key, QString *seen = nullptr) const
    {
        answerMenu(key, seen);
        QTest::mouseClick(editor->previewToolbar()->buttonWidget(position), Qt::LeftButton);
    }
    // Picks the item with this text as the user does: open the list, move to it, press Enter.
    static void pick(QComboBox *combo, const QString &text)
    {
        const int item = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(item >= 0, qPrintable(text));
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        view->setCurrentIndex(view->model()->index(item, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(combo->currentIndex(), item);
    }

    // Saves and returns the "Toolbits" lines, after checking that the rest of the file is as it was and that
    // the preview shows the model.
    QByteArray saveToolbits() const
    {
        const Toolbar *preview = editor->previewToolbar();
        for (int i = 0; i < model()->count(); ++i) {
            if (preview->isSeparator(i) != model()->at(i).IsSeparator
                || preview->buttonTooltip(i) != model()->at(i).Tooltip)
                return "preview differs at " + QByteArray::number(i);
        }
        if (preview->buttonCount() != model()->count())
            return "preview has another count";
        if (!editor->saveIni())
            return "save failed";
        const QByteArray saved = savedFile();
        const qsizetype section = saved.indexOf("[Toolbits]\r\n");
        const qsizetype originalSection = original.indexOf("[Toolbits]");
        if (saved.left(section < 0 ? saved.size() : section)
            != original.left(originalSection < 0 ? original.size() : originalSection))
            return "other sections changed";
        return section < 0 ? QByteArray() : saved.mid(section + 12);
    }

    const QByteArray original;
    std::unique_ptr<frmEditor> editor;
};

// Each suite's cleanup: no answer left unused (a menu or dialog that never opened), no window left open.
inline void checkNothingLeft()
{
    const int unused = PopupMenu::pendingAnswersForTesting() + FileDialog::pendingAnswersForTesting()
        + MessageBox::pendingAnswersForTesting();
    PopupMenu::clearAnswersForTesting();
    FileDialog::clearAnswersForTesting();
    MessageBox::clearAnswersForTesting();
    MessageBox::clearShownForTesting();
    QCOMPARE(unused, 0);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](QWidget *w) { return w->isVisible(); }));
}
