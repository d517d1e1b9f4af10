#include "configuration.h"
#include "inidocument.h"
#include "inputcheck.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Files that are not the tidy text QTA writes: they load without a crash or a hang, say what is odd about
// them, and a save changes nothing outside the two sections it owns.
class tst_BadInput final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unusualContent_data();
    void unusualContent();
    void loadAndSave_data();
    void loadAndSave();
    void nulInOwnSectionsBlocksTheSave_data();
    void nulInOwnSectionsBlocksTheSave();
    void fiftyMegabytes();
    void refusedBeforeReading_data();
    void refusedBeforeReading();
};

namespace {

const QByteArray kLongValue(1024 * 1024, 'x');

// Fixed seed: a failure must be repeatable.
QByteArray randomBytes(qsizetype size)
{
    QRandomGenerator random(20261206);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// The file without the two sections a save rewrites.
QByteArray otherBytes(const QByteArray &bytes)
{
    IniDocument doc(bytes);
    doc.removeAllSections(u"Addons"_s);
    doc.removeAllSections(u"Toolbits"_s);
    return doc.toBytes();
}

QStringList addOnNames(const Configuration &config)
{
    QStringList names;
    for (const AddOnEntry &entry : config.addOns()->entries())
        names.append(entry.Name);
    return names;
}

QStringList buttonsOf(const Configuration &config)
{
    QStringList buttons;
    for (const ToolbarButtonEntry &button : config.toolbar()->entries())
        buttons.append(button.Tooltip + u'=' + button.Command);
    return buttons;
}

qsizetype longestCommand(const Configuration &config)
{
    qsizetype longest = 0;
    for (const ToolbarButtonEntry &button : config.toolbar()->entries())
        longest = qMax(longest, button.Command.size());
    return longest;
}

// '@' stands for a NUL byte.
QByteArray withNul(const char *text)
{
    return QByteArray(text).replace('@', '\0');
}

void prepare(Configuration &config)
{
    SetupButtonImages(config);
    ResetToolbar(config);
}

// Writes bytes as QTA.INI in dir and loads them into config.
ConfigResult loadFrom(const QTemporaryDir &dir, const QByteArray &bytes, Configuration &config)
{
    writeBytes(IniFilePath(dir.path()), bytes);
    prepare(config);
    return LoadConfiguration(config, dir.path());
}

} // namespace

void tst_BadInput::unusualContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("warning"); // a fragment; empty: no warning

    QTest::addRow("8-bit text") << QByteArray("[Addons]\r\nCaf\xe9=C:\\\x80.EXE\r\n") << QString();
    QTest::addRow("utf-8 with its mark") << QByteArray("\xEF\xBB\xBF[A]\nK=\xE2\x86\x92 \xF0\x9F\x98\x80\n")
                                         << QString();
    QTest::addRow("blanks the format knows, one stray escape")
        << QByteArray("[A]\tx\r\nK=\x0b\x0c v\x1a\n\x1b") + QByteArray(200, 'a') << QString();
    QTest::addRow("nul bytes") << withNul("[A]\nK=v@w\n") << u"NUL bytes"_s;
    QTest::addRow("binary without nul") << randomBytes(4096).replace('\0', 'n') << u"control characters"_s;
    QTest::addRow("invalid utf-8 after the mark") << QByteArray("\xEF\xBB\xBF[A]\nK=\xC3(\n") << u"not UTF-8"_s;
    QTest::addRow("surrogate after the mark") << QByteArray("\xEF\xBB\xBFK=\xED\xA0\x80\n") << u"not UTF-8"_s;
    QTest::addRow("sequence cut at the end") << QByteArray("\xEF\xBB\xBFK=\xE2\x86") << u"not UTF-8"_s;
}

void tst_BadInput::unusualContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, warning);

    const QString path = u"/data/qta/QTA.INI"_s;
    const QString text = describeUnusualContent(bytes, path);
    if (warning.isEmpty()) {
        QVERIFY2(text.isEmpty(), qPrintable(text));
    } else {
        QVERIFY2(text.contains(warning), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    }
}

void tst_BadInput::loadAndSave_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QStringList>("addOns");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<qsizetype>("longestCommand");

    QTest::addRow("random bytes with nul") << randomBytes(256 * 1024) + '\n' << u"NUL bytes"_s << QStringList()
                                           << 9 << qsizetype(11);
    QTest::addRow("nul in names and values of another section")
        << withNul("[Gen@eral]\r\nA@b=c@d\r\n[Addons]\r\nTool=x.exe\r\n[Toolbits]\r\nNew=NEW|1\r\n")
        << u"NUL bytes"_s << QStringList{u"Tool"_s} << 1 << qsizetype(3);
    QTest::addRow("1 MB line inside Toolbits")
        << "[Toolbits]\r\nBig=" + kLongValue + "|1\r\nNew=NEW|1\r\n[General]\r\nA=1\r\n" << QString()
        << QStringList() << 2 << qsizetype(kLongValue.size());
    QTest::addRow("1 MB line inside another section")
        << "[General]\r\nBig=" + kLongValue + "\r\n[Toolbits]\r\nNew=NEW|1\r\n" << QString() << QStringList() << 1
        << qsizetype(3);
    QTest::addRow("only carriage returns")
        << QByteArray("[Addons]\rTool=x.exe\r[Toolbits]\rNew=NEW|1\rOpen=LOAD|2\r[General]\rA=1\r") << QString()
        << QStringList{u"Tool"_s} << 2 << qsizetype(4);
    QTest::addRow("utf-8 mark")
        << QByteArray("\xEF\xBB\xBF[General]\r\nA=\xE2\x86\x92\r\n[Addons]\r\nW\xC3\xB6rter=x.exe\r\n") << QString()
        << QStringList{u"W\u00f6rter"_s} << 9 << qsizetype(11);
    QTest::addRow("invalid utf-8 in another section")
        << QByteArray("\xEF\xBB\xBF[General]\r\nA=\xFF\xFE\xC0\xAF\r\n[Toolbits]\r\nNew=NEW|1\r\n") << u"not UTF-8"_s
        << QStringList() << 1 << qsizetype(3);
}

void tst_BadInput::loadAndSave()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, warning);
    QFETCH(QStringList, addOns);
    QFETCH(int, buttons);
    QFETCH(qsizetype, longestCommand);

    QTemporaryDir dir;
    const QString path = IniFilePath(dir.path());
    Configuration config;
    const ConfigResult loaded = loadFrom(dir, bytes, config);
    QVERIFY2(loaded.ok, qPrintable(loaded.error));
    if (warning.isEmpty())
        QVERIFY2(loaded.warning.isEmpty(), qPrintable(loaded.warning));
    else
        QVERIFY2(loaded.warning.contains(warning) && loaded.warning.contains(QDir::toNativeSeparators(path)),
                 qPrintable(loaded.warning));
    QCOMPARE(addOnNames(config), addOns);
    QCOMPARE(config.toolbar()->count(), buttons);
    QCOMPARE(::longestCommand(config), longestCommand);

    // A change makes the save write both sections.
    config.toolbar()->append(ToolbarButtonEntry{u"Added"_s, u"EXIT"_s, 7, false});
    const ConfigResult saved = SaveConfiguration(config, dir.path());
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QByteArray after = readBytes(path);
    QCOMPARE(otherBytes(after), otherBytes(bytes));
    QCOMPARE(after.startsWith("\xEF\xBB\xBF"), bytes.startsWith("\xEF\xBB\xBF"));
    if (!bytes.contains('\n'))
        QVERIFY(!after.contains('\n')); // new lines take the file's own line end

    Configuration reloaded;
    prepare(reloaded);
    QVERIFY(LoadConfiguration(reloaded, dir.path()));
    QCOMPARE(addOnNames(reloaded), addOns);
    QCOMPARE(buttonsOf(reloaded), buttonsOf(config));
}

void tst_BadInput::nulInOwnSectionsBlocksTheSave_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("entry");

    QTest::addRow("button name") << withNul("[Toolbits]\nNe@w=NEW|1\n") << u"Toolbar button 1"_s;
    QTest::addRow("add-on command line") << withNul("[Addons]\nTool=x@.exe\n") << u"Add-on in row 1"_s;
    const QString text = u"[Addons]\r\nCalc=calc.exe\r\n"_s;
    QTest::addRow("UTF-16 file") << QByteArray("\xFF\xFE").append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
                                 << u"UTF-16"_s;
}

// The platform would cut such a line at the NUL; writing it back either way would change it unasked. Lines of
// 8-bit text added to a UTF-16 file would spoil it for QTA too.
void tst_BadInput::nulInOwnSectionsBlocksTheSave()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, entry);

    QTemporaryDir dir;
    const QString path = IniFilePath(dir.path());
    Configuration config;
    const ConfigResult loaded = loadFrom(dir, bytes, config);
    QVERIFY(loaded.ok && loaded.warning.contains(u"NUL"_s));
    const ConfigResult saved = SaveConfiguration(config, dir.path());
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(entry), qPrintable(saved.error));
    QCOMPARE(readBytes(path), bytes);
}

void tst_BadInput::fiftyMegabytes()
{
    QByteArray bytes;
    bytes.reserve(51 * 1024 * 1024);
    for (int section = 0; bytes.size() < 50 * 1024 * 1024; ++section) {
        bytes += "[Section " + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 20; ++key)
            bytes += "Key" + QByteArray::number(key) + "=C:\\Program Files\\Some Tool\\settings value\r\n";
        // Both own sections in the middle of the file, so the save moves them.
        if (section == 5000)
            bytes += "[Addons]\r\nTool=x.exe %charfile%\r\n[Toolbits]\r\nNew=NEW|1\r\nTool=RUNADDON(Tool)|2\r\n";
    }
    QTemporaryDir dir;
    const QString path = IniFilePath(dir.path());
    writeBytes(path, bytes);

    Configuration config;
    prepare(config);
    QElapsedTimer timer;
    timer.start();
    const ConfigResult loaded = LoadConfiguration(config, dir.path());
    const qint64 loadMs = timer.restart();
    QVERIFY2(loaded.ok && loaded.warning.isEmpty(), qPrintable(loaded.error + loaded.warning));
    QCOMPARE(addOnNames(config), QStringList{u"Tool"_s});
    QCOMPARE(config.toolbar()->count(), 2);

    config.toolbar()->append(ToolbarButtonEntry{u"Added"_s, u"EXIT"_s, 7, false});
    timer.restart();
    const ConfigResult saved = SaveConfiguration(config, dir.path());
    const qint64 saveMs = timer.elapsed();
    QVERIFY2(saved.ok, qPrintable(saved.error));
    qInfo("%lld MB: load %lld ms, save %lld ms", qlonglong(bytes.size() >> 20), loadMs, saveMs);
    const QByteArray after = readBytes(path);
    QCOMPARE(otherBytes(after), otherBytes(bytes));
    QVERIFY(after.endsWith("Tool=RUNADDON(Tool)|2\r\nAdded=EXIT|7\r\n"));
}

void tst_BadInput::refusedBeforeReading_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("pipe") << u"pipe"_s << u"not a regular file"_s;
    QTest::addRow("257 MB") << u"huge"_s << u"too large"_s;
}

// A pipe would block the read for ever; a huge file would overflow the line model. Both are refused with the
// reason, the lists stay as they were, and nothing is written.
void tst_BadInput::refusedBeforeReading()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = IniFilePath(dir.path());
    if (kind == u"pipe") {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps its named pipes apart from folders: none can be named QTA.INI");
#endif
        QVERIFY(QProcess::execute(u"mkfifo"_s, {path}) == 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(257) << 20)); // sparse: no disk used
    }
    Configuration config;
    prepare(config);
    config.addOns()->appendAddOn(AddOnEntry{u"Kept"_s, u"x.exe"_s, u"(none)"_s});
    const ConfigResult loaded = LoadConfiguration(config, dir.path());
    QVERIFY(!loaded.ok);
    QVERIFY2(loaded.error.contains(reason) && loaded.error.contains(u"QTA.INI"_s), qPrintable(loaded.error));
    QCOMPARE(addOnNames(config), QStringList{u"Kept"_s});
    QVERIFY(!SaveConfiguration(config, dir.path()).ok);
}

QTEST_GUILESS_MAIN(tst_BadInput)
#include "tst_badinput.moc"
