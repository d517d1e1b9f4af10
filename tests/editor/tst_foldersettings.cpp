// The remembered folders in the user's real settings store, where other programs (earlier versions of the
// editor among them) find and leave them: the registry on Windows, the configuration file elsewhere.
#include "configuration.h"
#include "foldersettings.h"
#include "frmeditor.h"
#include "testfiles.h"
#include "toolbarmodel.h"

#include <QDir>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_WIN
const QString kKey = u"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\QTAEdit\\Folders"_s;

// Runs the system's reg.exe, as another program or the user at a prompt would.
bool reg(const QStringList &arguments)
{
    QProcess process;
    process.start(u"reg.exe"_s, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
#endif

} // namespace

class tst_FolderSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
#ifdef Q_OS_WIN
        if (!qEnvironmentVariableIsSet("QTA_TEST_DISPOSABLE_SETTINGS"))
            QSKIP("changes this user's own remembered folders in the registry; make test-windows runs it in a Wine "
                  "prefix of its own");
#else
        // Before the first settings object, which fixes where the store is.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(u"config"_s)));
#endif
        m_folders = { m_dir.filePath(u"QTA Files/Fr\u00E9d\u00E9ric"_s), m_dir.filePath(u"My Bitmaps"_s),
                      m_dir.filePath(u"Add-ons"_s) };
        for (QString &folder : m_folders) {
            QVERIFY(QDir().mkpath(folder));
            folder = QDir::toNativeSeparators(folder);
        }
        QVERIFY(QFile::copy(QStringLiteral(QTA_EXAMPLE_INI), m_folders[0] + u"/QTA.INI"_s));
        removeStore();
    }

    void cleanupTestCase() { removeStore(); }

    // What another program finds after the editor wrote the three folders.
    void writtenWhereOthersLook()
    {
        const QStringList keys = { FolderSettings::iniKey(), FolderSettings::bitmapsKey(), FolderSettings::exesKey() };
        for (int i = 0; i < keys.size(); ++i)
            FolderSettings::write(keys[i], m_folders[i]);
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(storedOutside(keys[i]), m_folders[i]);
    }

    // What the editor finds at start-up after another program wrote them.
    void writtenByOthersReadAtStartUp()
    {
        removeStore();
        writeOutside(FolderSettings::iniKey(), m_folders[0]);
        writeOutside(FolderSettings::bitmapsKey(), m_folders[1]);
        writeOutside(FolderSettings::exesKey(), m_folders[2]);

        frmEditor editor;
        QVERIFY(editor.start());
        QCOMPARE(editor.INIPATH, m_folders[0]);
        QCOMPARE(editor.BMPPATH, m_folders[1]);
        QCOMPARE(editor.EXEPATH, m_folders[2]);
        QCOMPARE(editor.configuration()->toolbar()->count(), 13); // the sample's toolbar, not the default one
    }

private:
    void removeStore()
    {
#ifdef Q_OS_WIN
        reg({ u"delete"_s, kKey, u"/f"_s });
#else
        QDir(m_dir.filePath(u"config/QTAEdit"_s)).removeRecursively();
#endif
    }

    void writeOutside(const QString &key, const QString &value)
    {
#ifdef Q_OS_WIN
        QVERIFY(reg({ u"add"_s, kKey, u"/v"_s, key, u"/t"_s, u"REG_SZ"_s, u"/d"_s, value, u"/f"_s }));
#else
        QVERIFY(QDir().mkpath(m_dir.filePath(u"config/QTAEdit"_s)));
        QFile file(m_dir.filePath(u"config/QTAEdit/QTAEdit.conf"_s));
        QVERIFY(file.open(QIODevice::Append));
        if (file.size() == 0)
            file.write("[Folders]\n");
        file.write((key + u'=' + value + u'\n').toUtf8());
#endif
    }

    // The value as a program that knows nothing of Qt reads it.
    QString storedOutside(const QString &key)
    {
#ifdef Q_OS_WIN
        // reg export writes UTF-16, so no code page stands between the registry and the comparison.
        const QString file = m_dir.filePath(u"export.reg"_s);
        if (!reg({ u"export"_s, kKey, QDir::toNativeSeparators(file), u"/y"_s }))
            return u"(reg export failed)"_s;
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        const QString text = utf16.decode(readBytes(file));
        const QString prefix = u'"' + key + u"\"=\""_s;
        for (const QString &line : text.split(u"\r\n"_s)) {
            if (line.startsWith(prefix) && line.endsWith(u'"'))
                return line.mid(prefix.size(), line.size() - prefix.size() - 1).replace(u"\\\\"_s, u"\\"_s);
        }
        return u"(no value %1 in %2)"_s.arg(key, text);
#else
        const QString text = QString::fromUtf8(readBytes(m_dir.filePath(u"config/QTAEdit/QTAEdit.conf"_s)));
        const QStringList lines = text.split(u'\n');
        const qsizetype section = lines.indexOf(u"[Folders]"_s);
        for (qsizetype i = section + 1; section >= 0 && i < lines.size() && !lines[i].startsWith(u'['); ++i) {
            if (lines[i].startsWith(key + u'='))
                return lines[i].mid(key.size() + 1);
        }
        return u"(no value %1 in %2)"_s.arg(key, text);
#endif
    }

    QTemporaryDir m_dir;
    QStringList m_folders; // QTA.INI, bitmaps, add-ons
};

QTEST_MAIN(tst_FolderSettings)
#include "tst_foldersettings.moc"
