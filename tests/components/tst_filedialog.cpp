#include "filedialog.h"
#include "messagebox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTreeView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

constexpr int openFlags = 0x281004; // long names, explorer style, file must exist, hide read-only

class tst_FileDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(u"my.pics"_s));
        for (const QString &name : { u"tool.bmp"_s, u"notes.txt"_s, u"my.pics/tool.bmp"_s }) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void cleanup()
    {
        QCOMPARE(FileDialog::pendingAnswersForTesting(), 0);
        QCOMPARE(MessageBox::pendingAnswersForTesting(), 0);
        MessageBox::clearShownForTesting();
    }

    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");

        // The dialog hides the patterns in parentheses, so a description that names its own shows whole.
        QTest::addRow("one pair") << u"Windows Bitmaps (*.bmp)|*.bmp"_s
                                  << QStringList { u"Windows Bitmaps (*.bmp) (*.bmp)"_s };
        QTest::addRow("*.* means every file")
            << u"Programs|*.exe|All|*.*"_s << QStringList { u"Programs (*.exe)"_s, u"All (*)"_s };
        QTest::addRow("pattern list, blanks")
            << u" Pictures | *.bmp;*.dib "_s << QStringList { u"Pictures (*.bmp *.dib)"_s };
        QTest::addRow("incomplete pairs dropped")
            << u"None||Bitmaps|*.bmp|Orphan"_s << QStringList { u"Bitmaps (*.bmp)"_s };
        QTest::addRow("empty") << QString() << QStringList();
    }

    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(FileDialog::toNameFilters(filter), expected);
    }

    void hookAnswer()
    {
        FileDialog dialog;
        dialog.setFileName(u"old.bmp"_s);
        dialog.setInitialDir(u"/pics"_s);
        QStringList events;
        connect(&dialog, &FileDialog::InitDialog, this, [&](QFileDialog *) { events << u"init"_s; });
        connect(&dialog, &FileDialog::FolderChange, this,
                [&](QFileDialog *, const QString &folder) { events << u"folder "_s + folder; });
        connect(&dialog, &FileDialog::FileChange, this,
                [&](QFileDialog *, const QString &file) { events << u"file "_s + file; });
        connect(&dialog, &FileDialog::DialogClose, this, [&] { events << u"close"_s; });

        FileDialog::setNextAnswerForTesting([](FileDialog &shown) {
            shown.emitFileChangeForTesting(shown.initialDir() + u"/a.bmp"_s);
            return shown.initialDir() + u"/a.bmp"_s;
        });
        FileDialog::setNextAnswerForTesting([](FileDialog &) { return QString(); });
        QVERIFY(dialog.showOpen());
        QCOMPARE(dialog.fileName(), QDir::toNativeSeparators(u"/pics/a.bmp"_s));
        QCOMPARE(events, (QStringList { u"init"_s, u"folder /pics"_s, u"file /pics/a.bmp"_s, u"close"_s }));
        QVERIFY(!dialog.showOpen());
        QCOMPARE(dialog.fileName(), QString());
    }

    void realDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("pickSecondFilter");
        QTest::addColumn<QString>("expected"); // "" when cancelled
        QTest::addColumn<QString>("refusal");

        QTest::addRow("name with extension") << u"tool.bmp"_s << openFlags << false << path(u"tool.bmp"_s) << QString();
        QTest::addRow("default extension added") << u"tool"_s << openFlags << false << path(u"tool.bmp"_s) << QString();
        QTest::addRow("dot in a folder name is no extension")
            << u"my.pics/tool"_s << openFlags << false << path(u"my.pics/tool.bmp"_s) << QString();
        QTest::addRow("other extension, filter picked")
            << u"notes.txt"_s << openFlags << true << path(u"notes.txt"_s) << QString();
        QTest::addRow("missing file allowed without flags")
            << u"new.bmp"_s << 0 << false << path(u"new.bmp"_s) << QString();
        QTest::addRow("Escape") << QString() << openFlags << false << QString() << QString();
        QTest::addRow("missing file refused")
            << u"none.bmp"_s << openFlags << false << QString() << path(u"none.bmp"_s) + u"\nFile not found."_s;
        QTest::addRow("missing folder refused")
            << u"no/tool.bmp"_s << 0x1000 << false << QString() << path(u"no/tool.bmp"_s) + u"\nPath does not exist."_s;
    }

    void realDialog()
    {
        QFETCH(QString, typed);
        QFETCH(int, flags);
        QFETCH(bool, pickSecondFilter);
        QFETCH(QString, expected);
        QFETCH(QString, refusal);

        QWidget holder;
        auto *preview = new QLabel(u"Selected Bitmap:"_s, &holder);
        preview->setGeometry(3, 4, 120, 20);
        FileDialog dialog;
        dialog.setFileName(u"old.bmp"_s);
        dialog.setFilter(u"Windows Bitmaps (*.bmp)|*.bmp|All Files|*.*"_s);
        dialog.setDefaultExtension(u"bmp"_s);
        dialog.setFlags(flags);
        dialog.setInitialDir(m_dir.path());
        dialog.setPreviewWidget(preview);
        if (!refusal.isEmpty())
            MessageBox::setNextAnswerForTesting(QMessageBox::Ok);

        QStringList filterTexts;
        bool previewInside = false;
        bool openAfterRefusal = false;
        // exec() shows the dialog before it starts waiting, so this runs with the dialog up.
        QTimer::singleShot(0, this, [&] {
            auto *shown = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(shown);
            auto *combo = shown->findChild<QComboBox *>(u"fileTypeCombo"_s);
            for (int i = 0; i < combo->count(); ++i)
                filterTexts << combo->itemText(i);
            previewInside = preview->window() == shown && preview->isVisible();
            if (pickSecondFilter)
                QTest::keyClick(combo, Qt::Key_Down);
            if (!typed.isEmpty()) {
                // Without focus in the name box the dialog takes typing as list selection and rewrites the text.
                QVERIFY(QTest::qWaitForWindowActive(shown));
                auto *edit = shown->findChild<QLineEdit *>(u"fileNameEdit"_s);
                edit->setFocus();
                edit->clear();
                QTest::keyClicks(edit, typed);
                QTest::keyClick(edit, Qt::Key_Return);
                openAfterRefusal = shown->isVisible();
            }
            if (shown->isVisible())
                QTest::keyClick(shown, Qt::Key_Escape);
            if (shown->isVisible()) // never leave it open: the suite would hang
                shown->reject();
        });
        QCOMPARE(dialog.showOpen(), !expected.isEmpty());
        QCOMPARE(dialog.fileName(), expected);
        QCOMPARE(dialog.filterIndex(), pickSecondFilter ? 2 : 1);
        QCOMPARE(filterTexts, (QStringList { u"Windows Bitmaps (*.bmp)"_s, u"All Files"_s }));
        QVERIFY(previewInside);
        QCOMPARE(preview->parentWidget(), &holder);
        QCOMPARE(preview->geometry(), QRect(3, 4, 120, 20));
        QVERIFY(!preview->isHidden());

        const QList<MessageBoxRequest> shown = MessageBox::shownForTesting();
        QCOMPARE(shown.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) {
            QVERIFY(openAfterRefusal);
            QCOMPARE(shown.constFirst().icon, QMessageBox::Warning);
            QVERIFY2(shown.constFirst().text.startsWith(refusal), qPrintable(shown.constFirst().text));
        }
    }

    // The dialog opens large enough to show a long file name and every column of the list in full.
    void realDialogShowsWholeNames()
    {
        const QString name = u"a rather long name for a toolbar picture.bmp"_s;
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        FileDialog dialog;
        dialog.setFilter(u"Windows Bitmaps (*.bmp)|*.bmp"_s);
        dialog.setInitialDir(m_dir.path());
        bool whole = false;
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto *shown = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(shown);
            auto *list = shown->findChild<QTreeView *>(u"treeView"_s);
            QVERIFY(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) >= 3; }));
            QTest::qWait(50);
            const QHeaderView *header = list->header();
            int columns = 0;
            for (int c = 0; c < header->count(); ++c)
                columns += header->isSectionHidden(c) ? 0 : header->sectionSize(c);
            const int nameWidth = list->fontMetrics().horizontalAdvance(name) + list->iconSize().width();
            whole = header->sectionSize(0) > nameWidth && columns <= list->viewport()->width();
            seen = u"%1 for %2, columns %3 in %4"_s.arg(header->sectionSize(0))
                       .arg(nameWidth)
                       .arg(columns)
                       .arg(list->viewport()->width());
            shown->reject();
        });
        QVERIFY(!dialog.showOpen());
        QVERIFY2(whole, qPrintable(seen));
        file.remove();
    }

private:
    QString path(const QString &relative) const { return QDir::toNativeSeparators(m_dir.filePath(relative)); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_FileDialog)
#include "tst_filedialog.moc"
