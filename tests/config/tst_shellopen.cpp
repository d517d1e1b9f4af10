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
    void initTestCase();
    void cleanupTestCase();
    void init();
    void mailLink_data();
    void mailLink();
    void document();
    void emptyTarget();

private:
    UrlCatcher m_catcher;
};

void tst_ShellOpen::initTestCase()
{
    QDesktopServices::setUrlHandler(u"mailto"_s, &m_catcher, "open");
    QDesktopServices::setUrlHandler(u"file"_s, &m_catcher, "open");
}

void tst_ShellOpen::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(u"mailto"_s);
    QDesktopServices::unsetUrlHandler(u"file"_s);
}

void tst_ShellOpen::init()
{
    m_catcher.urls.clear();
}

void tst_ShellOpen::mailLink_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("address");

    QTest::addRow("mixed-case scheme") << u"MailTo:support@example.com"_s << u"support@example.com"_s;
    QTest::addRow("with a subject") << u"mailto:a@example.com?subject=QTA Config"_s << u"a@example.com"_s;
}

void tst_ShellOpen::mailLink()
{
    QFETCH(QString, target);
    QFETCH(QString, address);

    QVERIFY(ShellOpen(target));
    QCOMPARE(m_catcher.urls.size(), 1);
    const QUrl url = m_catcher.urls.constFirst();
    QCOMPARE(url.scheme(), u"mailto"_s);
    QCOMPARE(url.path(), address);
}

void tst_ShellOpen::document()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    // A relative name must reach the desktop as this folder's file, not as a bare name.
    const bool opened = ShellOpen(u"Read Me.txt"_s);
    QDir::setCurrent(previous);

    QVERIFY(opened);
    QCOMPARE(m_catcher.urls.size(), 1);
    const QUrl url = m_catcher.urls.constFirst();
    QVERIFY(url.isLocalFile());
    QCOMPARE(QDir(url.toLocalFile()), QDir(dir.filePath(u"Read Me.txt"_s)));
}

void tst_ShellOpen::emptyTarget()
{
    QVERIFY(!ShellOpen(u"  "_s));
    QVERIFY(m_catcher.urls.isEmpty());
}

QTEST_MAIN(tst_ShellOpen)
#include "tst_shellopen.moc"
