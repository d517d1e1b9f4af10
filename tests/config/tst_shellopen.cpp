#include "shellopen.h"

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Stands in for the desktop: records what would have been opened.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

class tst_ShellOpen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(u"mailto"_s, &m_catcher, "open");
        QDesktopServices::setUrlHandler(u"file"_s, &m_catcher, "open");
        m_previousDir = QDir::currentPath();
        QVERIFY(m_dir.isValid() && QDir::setCurrent(m_dir.path()));
    }

    void cleanupTestCase()
    {
        QDir::setCurrent(m_previousDir);
        QDesktopServices::unsetUrlHandler(u"mailto"_s);
        QDesktopServices::unsetUrlHandler(u"file"_s);
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
            << u"Read Me.txt"_s << u"file"_s << QDir::current().filePath(u"Read Me.txt"_s);
        QTest::addRow("blank target") << u"  "_s << QString() << QString();
    }

    void open()
    {
        QFETCH(QString, target);
        QFETCH(QString, scheme);
        QFETCH(QString, path);

        m_catcher.urls.clear();
        QCOMPARE(ShellOpen(target), !scheme.isEmpty());
        QCOMPARE(m_catcher.urls.size(), scheme.isEmpty() ? 0 : 1);
        if (!scheme.isEmpty()) {
            const QUrl url = m_catcher.urls.constFirst();
            QCOMPARE(url.scheme(), scheme);
            QCOMPARE(url.isLocalFile() ? url.toLocalFile() : url.path(), path);
        }
    }

private:
    UrlCatcher m_catcher;
    QTemporaryDir m_dir;
    QString m_previousDir;
};

QTEST_MAIN(tst_ShellOpen)
#include "tst_shellopen.moc"
