#pragma once

// The real main window, started on a QTA.INI and a settings store of the test's own, and what a user does with
// it: clicks on command buttons, tabs, preview buttons and grid cells, menu choices, typing, answers to
// message boxes. Stories end in what the window shows and in the bytes of QTA.INI.

#include "testfiles.h"

#include "cbrowseforfolder.h"
#include "configuration.h"
#include "filedialog.h"
#include "foldersettings.h"
#include "frmeditor.h"
#include "grid.h"
#include "messagebox.h"
#include "popupmenu.h"
#include "tabcontrol.h"
#include "toolbar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class EditorWindow
{
    QTemporaryDir m_dir; // made first, removed last

public:
    // Writes ini as QTA.INI (none at all for a null array), remembers its folder and starts the window.
    explicit EditorWindow(const QByteArray &ini)
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(folder()));
        if (!ini.isNull())
            writeBytes(iniPath(), ini);
        FolderSettings::setStoreFolderForTesting(m_dir.filePath(QStringLiteral("settings")));
        FolderSettings::write(FolderSettings::iniKey(), folder());
        MessageBox::clearShownForTesting();
    }
    ~EditorWindow()
    {
        window.reset();
        FolderSettings::setStoreFolderForTesting(QString());
        PopupMenu::clearAnswersForTesting();
        FileDialog::clearAnswersForTesting();
        MessageBox::clearAnswersForTesting();
        cBrowseForFolder::setNextAnswerForTesting(nullptr);
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

    QString folder() const { return m_dir.filePath(QStringLiteral("qta")); }
    QString iniPath() const { return folder() + QStringLiteral("/QTA.INI"); }
    // Another folder of the test's own, made on first use.
    QString otherFolder(const QString &name) const
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(path);
        return path;
    }
    QByteArray fileBytes() const { return readBytes(iniPath()); }

    template<typename T = QWidget> T *control(const QString &name) const { return window->findChild<T *>(name); }
    Grid *grid() const { return window->addOnsGrid(); }
    Toolbar *preview() const { return window->previewToolbar(); }

    // The command button with this caption on the tab's toolbar; Undo and Redo, which show only a picture, by
    // the first word of their accessible name.
    void clickCommand(const QString &caption) const
    {
        Toolbar *toolbar = window->commandToolbar(window->currentTab());
        for (int i = 0; i < toolbar->buttonCount(); ++i) {
            const QString name = toolbar->buttonWidget(i)->accessibleName();
            const bool named = name.startsWith(caption) && (name.size() == caption.size() || !name[caption.size()].isLetter());
            if (toolbar->buttonCaption(i) == caption || named) {
                QTest::mouseClick(toolbar->buttonWidget(i), Qt::LeftButton);
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no command button \"%1\"").arg(caption)));
    }

    // Tabs count from 1.
    void clickTab(int number) const
    {
        auto *bar = control<TabControl>(QStringLiteral("vbTabControl1"))->findChild<QTabBar *>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(number - 1).center());
    }

    // Clicks the preview button at position and picks the menu item with this key ("T0" add, "T4" edit...).
    void chooseFromButtonMenu(int position, const QString &key) const
    {
        PopupMenu::setNextAnswerForTesting([key](const PopupMenu &menu) { return menu.positionOfKey(key); });
        QTest::mouseClick(preview()->buttonWidget(position), Qt::LeftButton);
    }

    // Picks the item with this text from a drop-down list as a user does: open it, go to the item, Enter.
    static void pick(QComboBox *combo, const QString &text)
    {
        const int item = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(item >= 0, qPrintable(text));
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        view->setCurrentIndex(view->model()->index(item, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
    }

    // Replaces the text of the focused text box as typed keys do.
    static void typeOver(QWidget *box, const QString &text)
    {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }

    // Selects the grid cell, then clicks it again: the page's way to start editing it.
    void startCellEdit(int row, int column) const
    {
        const QPoint at
            = grid()->viewport()->mapFrom(grid()->parentWidget(), grid()->CellRectangle(row, column).center());
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
    }

    // Answers the next message box whose text holds part with this button; a box of another text fails the
    // answer (NoButton) so that an unexpected question shows.
    static void answerMessage(const QString &part, QMessageBox::StandardButton button)
    {
        MessageBox::setNextAnswerForTesting([part, button](const MessageBoxRequest &request) {
            return request.text.contains(part) ? button : QMessageBox::NoButton;
        });
    }
    // The texts of every message box shown so far.
    static QStringList messages()
    {
        QStringList texts;
        for (const MessageBoxRequest &request : MessageBox::shownForTesting())
            texts.append(request.text);
        return texts;
    }

    std::unique_ptr<frmEditor> window;
};
