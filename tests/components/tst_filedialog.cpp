#include "filedialog.h"
#include "messagebox.h"
#include "uitest.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>

using namespace Qt::StringLiterals;

// The real file dialog, as the page opens it to pick a bitmap or a program.
class tst_FileDialog final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(u"folder"_s));
        for (const QString &name : { u"tool.bmp"_s, u"notes.txt"_s, u"SHEET.BMP"_s, m_long }) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void typedName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("allFiles"); // the second filter picked first
        QTest::addColumn<QString>("expected"); // "" when cancelled
        QTest::addColumn<QString>("refusal");
        QTest::addRow("name with extension") << u"tool.bmp"_s << false << path(u"tool.bmp"_s) << "";
        QTest::addRow("default extension added") << u"tool"_s << false << path(u"tool.bmp"_s) << "";
        QTest::addRow("other extension, All Files picked") << u"notes.txt"_s << true << path(u"notes.txt"_s) << "";
        QTest::addRow("cancelled") << QString() << false << QString() << QString();
        QTest::addRow("missing file refused")
            << u"none.bmp"_s << false << "" << path(u"none.bmp"_s) + u"\nFile not found."_s;
        QTest::addRow("missing folder refused")
            << u"no/tool.bmp"_s << false << "" << path(u"no/tool.bmp"_s) + u"\nPath does not exist."_s;
    }

    // The preview strip sits inside the dialog while it is open and goes back to its page afterwards.
    void typedName()
    {
        QFETCH(QString, typed);
        QFETCH(bool, allFiles);
        QFETCH(QString, expected);
        QFETCH(QString, refusal);
        QWidget page;
        auto *preview = new QLabel(u"Selected Bitmap:"_s, &page);
        preview->setGeometry(3, 4, 120, 20);
        FileDialog dialog;
        dialog.setFilter(u"Windows Bitmaps (*.bmp)|*.bmp|All Files|*.*"_s);
        dialog.setDefaultExtension(u"bmp"_s);
        dialog.setFlags(0x281004); // as the program asks: long names, explorer style, file must exist, no read-only
        dialog.setInitialDir(m_dir.path());
        dialog.setPreviewWidget(preview);
        if (!refusal.isEmpty())
            MessageBox::setNextAnswerForTesting(QMessageBox::Ok);

        bool openAfterRefusal = false;
        whenShown<QFileDialog>(this, [&](QFileDialog *shown) {
            QVERIFY(preview->window() == shown && preview->isVisible());
            if (allFiles)
                QTest::keyClick(shown->findChild<QComboBox *>(u"fileTypeCombo"_s), Qt::Key_Down);
            if (!typed.isEmpty()) {
                // Without focus in the name box the dialog takes typing as list selection and rewrites the text.
                QVERIFY(QTest::qWaitForWindowActive(shown));
                auto *edit = shown->findChild<QLineEdit *>(u"fileNameEdit"_s);
                edit->setFocus();
                QTest::keyClicks(edit, typed);
                QTest::keyClick(edit, Qt::Key_Return);
                openAfterRefusal = shown->isVisible();
            }
        });
        QCOMPARE(dialog.showOpen(), !expected.isEmpty());
        QCOMPARE(dialog.fileName(), expected);
        QCOMPARE(dialog.filterIndex(), allFiles ? 2 : 1);
        QVERIFY(preview->parentWidget() == &page && !preview->isHidden());
        QCOMPARE(preview->geometry(), QRect(3, 4, 120, 20));

        // A refusal says why and leaves the dialog open for another name.
        const QList<MessageBoxRequest> shown = MessageBox::shownForTesting();
        MessageBox::clearShownForTesting();
        QCOMPARE(shown.size(), refusal.isEmpty() ? 0 : 1);
        QVERIFY(refusal.isEmpty() || (openAfterRefusal && shown.constFirst().text.startsWith(refusal)));
    }

    // Large enough for a long name and every column in full.
    void opensAtAUsefulSizeWithWholeNames()
    {
        FileDialog dialog;
        dialog.setFilter(u"Windows Bitmaps (*.bmp)|*.bmp"_s);
        dialog.setInitialDir(m_dir.path());
        whenShown<QFileDialog>(this, [&](QFileDialog *shown) {
            auto *list = shown->findChild<QTreeView *>(u"treeView"_s);
            const QModelIndex root = list->rootIndex();
            // Folders and files arrive as the model reads them; the filter hides what does not match.
            QVERIFY(QTest::qWaitFor([&] { return list->model()->rowCount(root) == 4; }));
            const QHeaderView *header = list->header();
            const auto columns = [header] {
                int width = 0;
                for (int c = 0; c < header->count(); ++c)
                    width += header->isSectionHidden(c) ? 0 : header->sectionSize(c);
                return width;
            };
            QTRY_VERIFY(header->sectionSize(0)
                        > list->fontMetrics().horizontalAdvance(m_long) + list->iconSize().width());
            QTRY_VERIFY(columns() <= list->viewport()->width());
        });
        QVERIFY(!dialog.showOpen());
    }

private:
    QString path(const QString &relative) const { return QDir::toNativeSeparators(m_dir.filePath(relative)); }

    QTemporaryDir m_dir;
    const QString m_long = u"a rather long name for a toolbar picture.bmp"_s;
};

QTEST_MAIN(tst_FileDialog)
#include "tst_filedialog.moc"
