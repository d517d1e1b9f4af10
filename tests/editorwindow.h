#pragma once

// The real main window on a QTA.INI and a settings store of the test's own, and what a user does with it:
// clicks, typing, menu choices and answers to message boxes through their seams.

#include "addonnamemarks.h"
#include "addonspage.h"
#include "addonsview.h"
#include "filedialog.h"
#include "folderbrowser.h"
#include "foldersettings.h"
#include "frmeditor.h"
#include "messagebox.h"
#include "popupmenu.h"
#include "testfiles.h"
#include "toolbar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

// A file as QTA leaves it: other sections, a comment and CRLF line ends, which every save keeps.
inline const QByteArray kHostIni = "; QTA settings\r\n[General]\r\nVersion=3.2\r\n"
                                   "[Addons]\r\nSheet Printer=C:\\SP.EXE %charfile%\r\nNotes=C:\\NOTEPAD.EXE\r\n"
                                   "[Toolbits]\r\nNew=NEW|1\r\nspace2=|\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\n";

// The "Addons" or the "Toolbits" lines of a file the editor saved: it writes them last, in that order.
inline QByteArray sectionOf(const QByteArray &file, const QByteArray &name)
{
    const qsizetype at = file.indexOf('[' + name + "]\r\n");
    const qsizetype end = name == "Addons" ? file.indexOf("[Toolbits]\r\n", at) : -1;
    return at < 0 ? QByteArray() : file.mid(at + name.size() + 4, end < 0 ? -1 : end - at - name.size() - 4);
}

class EditorWindow
{
    QTemporaryDir m_dir; // made first, removed last

public:
    // Writes ini as QTA.INI (none at all for a null array) and remembers its folder as an earlier run did.
    explicit EditorWindow(const QByteArray &ini = kHostIni)
    {
        QVERIFY(m_dir.isValid() && QDir().mkpath(folder()));
        if (!ini.isNull())
            writeBytes(iniPath(), ini);
        FolderSettings::setStoreFolderForTesting(m_dir.filePath(u"settings"_s));
        FolderSettings::write(FolderSettings::iniKey(), folder());
    }
    ~EditorWindow()
    {
        window.reset();
        FolderSettings::setStoreFolderForTesting(QString());
        FolderBrowser::setNextAnswerForTesting(nullptr);
    }

    // Starts the window and brings it to the front; false when start-up ended the program.
    bool start()
    {
        window = std::make_unique<frmEditor>();
        if (!window->start())
            return false;
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    QString folder() const { return m_dir.filePath(u"qta"_s); }
    QString iniPath() const { return folder() + u"/QTA.INI"_s; }
    QString otherFolder(const QString &name) const
    {
        QDir().mkpath(m_dir.filePath(name));
        return QFileInfo(m_dir.filePath(name)).canonicalFilePath();
    }
    QByteArray fileBytes() const { return readBytes(iniPath()); }

    template<typename T = QWidget> T *control(const QString &name) const { return window->findChild<T *>(name); }
    AddOnsView *grid() const { return control<AddOnsView>(u"grdAddOnsList"_s); }
    Toolbar *preview() const { return control<Toolbar>(u"vbQTAToolbar"_s); }
    AddOnsPage *addOnsPage() const { return control<AddOnsPage>(u"picTab(1)"_s); }
    bool panelOpen() const { return control(u"Frame1"_s)->isVisible(); }

    // The command buttons of the tab shown; Undo and Redo, which show only a picture, by their accessible name.
    Toolbar *commands() const
    {
        return qobject_cast<Toolbar *>(control<QStackedWidget>(u"cReBar1"_s)->currentWidget());
    }
    int command(const QString &caption) const
    {
        for (int i = 0; i < commands()->buttonCount(); ++i) {
            const QString name = commands()->buttonWidget(i)->accessibleName();
            if (commands()->buttonCaption(i) == caption || name == caption || name.startsWith(caption + u' ')
                || name.startsWith(caption + u':'))
                return i;
        }
        return -1;
    }
    void clickCommand(const QString &caption) const
    {
        QWidget *button = commands()->buttonWidget(command(caption));
        QVERIFY2(button, qPrintable(caption));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // What the Undo or Redo button offers ("Undo Delete Button"); empty while it is greyed.
    QString offered(const QString &caption) const
    {
        const int position = command(caption);
        return commands()->isButtonEnabled(position) ? commands()->buttonTooltip(position) : QString();
    }
    // Saves with "Save INI" and returns the lines of this section of the file.
    QByteArray savedSection(const QByteArray &name) const
    {
        clickCommand(u"Save INI"_s);
        return sectionOf(fileBytes(), name);
    }

    // Tabs count from 1.
    void clickTab(int number) const
    {
        auto *bar = control<QTabWidget>(u"vbTabControl1"_s)->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(number - 1).center());
    }

    // Clicks a preview button and picks "T0" add ... "T5" group ("" dismisses); offered: Left, Right, Group.
    void chooseFromButtonMenu(int position, const QString &key, QList<bool> *offered = nullptr) const
    {
        PopupMenu::setNextAnswerForTesting([key, offered](const PopupMenu &menu) {
            if (offered)
                *offered = { menu.isEnabled(menu.positionOfKey(u"T2"_s)), menu.isEnabled(menu.positionOfKey(u"T3"_s)),
                             menu.isChecked(menu.positionOfKey(u"T5"_s)) };
            return menu.positionOfKey(key);
        });
        QTest::mouseClick(preview()->buttonWidget(position), Qt::LeftButton);
    }
    // Opens the panel on the button at position, types its tooltip and clicks "Done Editing".
    void renameButton(int position, const QString &tooltip) const
    {
        chooseFromButtonMenu(position, u"T4"_s);
        typeOver(control(u"txtTooltip"_s), tooltip);
        QTest::mouseClick(control(u"cmdDone"_s), Qt::LeftButton);
    }

    // Picks the item with this text from a drop-down list as a user does: open it, go to the item, Enter.
    static void pick(QComboBox *combo, const QString &text)
    {
        const int item = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(item >= 0, qPrintable(text));
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->view()->model()->index(item, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        // The offscreen platform leaves the closed list's window active; a real one gives it back.
        combo->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(combo->window()));
    }
    // Replaces the text of a text box as typed keys do.
    static void typeOver(QWidget *box, const QString &text)
    {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }

    // Grid rows and columns count from 1, as the page's words do.
    QModelIndex cell(int row, int column) const { return grid()->model()->index(row - 1, column - 1); }
    QString cellText(int row, int column) const { return cell(row, column).data().toString(); }
    QString nameWarning(int row) const { return cell(row, 1).data(AddOnNameMarks::WarningRole).toString(); }
    int currentRow() const { return grid()->currentIndex().row() + 1; }
    bool editing() const { return addOnsPage()->isEditing(); }
    QPoint cellCentre(int row, int column) const { return grid()->visualRect(cell(row, column)).center(); }
    void clickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(grid()->viewport(), button, {}, cellCentre(row, column));
    }
    // Selects the cell, then clicks it again: the page's way to start editing it. A user's clicks come with the
    // window's events handled in between, also the one that closed the last edit.
    void startCellEdit(int row, int column) const
    {
        QCoreApplication::processEvents();
        if (grid()->currentIndex() != cell(row, column))
            clickCell(row, column);
        clickCell(row, column);
    }
    // Edits the cell, types text and presses Enter.
    void typeIntoCell(int row, int column, const QString &text) const
    {
        startCellEdit(row, column);
        typeOver(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    // Right-clicks the row and picks "Move Add-On Up" (1) or "Down" (2), 0 dismissing; offered: Up, Down.
    void moveRow(int row, int item, QList<bool> *offered = nullptr) const
    {
        PopupMenu::setNextAnswerForTesting([item, offered](const PopupMenu &menu) {
            if (offered)
                *offered = { menu.isEnabled(1), menu.isEnabled(2) };
            return item;
        });
        clickCell(row, 1, Qt::RightButton);
    }

    // Answers the next box whose text holds part; an unexpected box gets no answer it offers, which shows.
    static void answerMessage(const QString &part, QMessageBox::StandardButton button)
    {
        MessageBox::setNextAnswerForTesting([part, button](const MessageBoxRequest &request) {
            return request.text.contains(part) ? button : QMessageBox::NoButton;
        });
    }
    static QStringList messages()
    {
        QStringList texts;
        for (const MessageBoxRequest &request : MessageBox::shownForTesting())
            texts.append(request.text);
        return texts;
    }

    // For each suite's cleanup(): every answer prepared was asked for.
    static void checkNothingLeft()
    {
        const int unused = PopupMenu::pendingAnswersForTesting() + FileDialog::pendingAnswersForTesting()
            + MessageBox::pendingAnswersForTesting();
        PopupMenu::clearAnswersForTesting();
        FileDialog::clearAnswersForTesting();
        MessageBox::clearAnswersForTesting();
        MessageBox::clearShownForTesting();
        QCOMPARE(unused, 0);
    }

    std::unique_ptr<frmEditor> window;
};
