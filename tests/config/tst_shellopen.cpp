#include "shellcatcher.h"
#include "shellopen.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

class tst_ShellOpen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (const QString why = m_catcher.install(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }

    void cleanupTestCase()
    {
        QDir::setCurrent(m_previousDir);
        m_catcher.uninstall();
    }

    void open_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("scheme"); // empty: nothing may be opened
        QTest::addColumn<QString>("path");

        QTest::addRow("mixed-case mail scheme")
            << u"MailTo:support@example.com"_s << u"mailto"_s << u"support@example.com"_s;
        QTest::addRow("mail with a subject") << u"mailto:a@example.com?subject=QTA Config"_s << u"mailto"_s
                                             << u"a@example.com"_s;
        // A relative name must reach the desktop as the current folder's file, not as a bare name.
        QTest::addRow("relative document name")
            << u"Read Me.qtatest"_s << u"file"_s << QDir::current().filePath(u"Read Me.qtatest"_s);
        QTest::addRow("blank target") << u"  "_s << QString() << QString();
    }

    void open()
    {
        QFETCH(QString, target);
        QFETCH(QString, scheme);
        QFETCH(QString, path);

        m_catcher.clear();
        if (!path.isEmpty() && scheme == u"file"_s) { // the shell opens only documents that are there
            QFile document(path);
            QVERIFY(document.open(QIODevice::WriteOnly));
        }
        QCOMPARE(ShellOpen(target), !scheme.isEmpty());
        const QList<QUrl> urls = m_catcher.caught(!scheme.isEmpty());
        QCOMPARE(urls.size(), scheme.isEmpty() ? 0 : 1);
        if (!scheme.isEmpty()) {
            const QUrl url = urls.constFirst();
            QCOMPARE(url.scheme(), scheme);
            QCOMPARE(url.isLocalFile() ? url.toLocalFile() : url.path(), path);
        }
    }

private:
    ShellCatcher m_catcher;
    QTemporaryDir m_dir;
    QString m_previousDir;
};

QTEST_MAIN(tst_ShellOpen)
#include "tst_shellopen.moc"
