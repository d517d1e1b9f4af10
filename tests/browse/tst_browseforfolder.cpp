#include "cbrowseforfolder.h"
#include "components/uitest.h"

#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTreeView>

using namespace Qt::StringLiterals;

// The real folder browser, as the window asks for the folder of QTA.INI.
class tst_BrowseForFolder final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // OK is offered only for a folder the owner accepts; a missing initial folder selects nothing to accept.
    void okFollowsTheOwnersRule()
    {
        const QString with = m_temp.filePath(u"with"_s), without = m_temp.filePath(u"without"_s);
        QFile ini(with + u"/QTA.INI"_s);
        QVERIFY(QDir().mkpath(with) && QDir().mkpath(without) && ini.open(QIODevice::WriteOnly));
        cBrowseForFolder browser;
        browser.setFileSystemOnly(true);
        QStringList selections;
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, [&](const QString &path, bool &allowOk) {
            selections << path;
            allowOk = QFileInfo::exists(path + u"/QTA.INI"_s);
        });
        browser.setInitialDir(m_temp.filePath(u"missing"_s));
        whenShown<QDialog>(this, [&](QDialog *dialog) {
            QVERIFY(!dialog->findChild<QTreeView *>(u"tvwFolders"_s)->currentIndex().isValid());
            QVERIFY(!dialog->findChild<QPushButton *>(u"cmdOK"_s)->isEnabled());
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
        });
        QCOMPARE(browser.BrowseForFolder(), QString());

        browser.setInitialDir(without);
        QList<bool> okStates;
        whenShown<QDialog>(this, [&](QDialog *dialog) {
            QVERIFY(QTest::qWaitFor([&] { return !selections.isEmpty(); }));
            auto *ok = dialog->findChild<QPushButton *>(u"cmdOK"_s);
            auto *tree = dialog->findChild<QTreeView *>(u"tvwFolders"_s);
            okStates << ok->isEnabled();
            tree->scrollTo(indexOf(tree, with));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(indexOf(tree, with)).center());
            okStates << ok->isEnabled();
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        QCOMPARE(browser.BrowseForFolder(), QDir::toNativeSeparators(with));
        QCOMPARE(okStates, QList<bool>({ false, true }));
        QCOMPARE(selections, QStringList({ without, with }));
    }

    // A folder a few levels down, below many others, is shown, not left scrolled out of view.
    void initialFolderScrolledIntoView()
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
        whenShown<QDialog>(this, [&](QDialog *dialog) {
            auto *tree = dialog->findChild<QTreeView *>(u"tvwFolders"_s);
            // The folders are listed and sorted as the model reads them, pushing the initial one down.
            QTRY_COMPARE(indexOf(tree, deep).row(), 40);
            QTRY_COMPARE(tree->currentIndex(), indexOf(tree, deep));
            QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
        });
        QCOMPARE(browser.BrowseForFolder(), QString());
    }

private:
    static QModelIndex indexOf(const QTreeView *tree, const QString &path)
    {
        const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(tree->model());
        return proxy->mapFromSource(qobject_cast<const QFileSystemModel *>(proxy->sourceModel())->index(path));
    }

    QTemporaryDir m_temp;
};

QTEST_MAIN(tst_BrowseForFolder)
#include "tst_browseforfolder.moc"
