// Random files and edits, saved and loaded again: what the file keeps and gives back, by this test's own rules.
#include "configuration.h"
#include "testfiles.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

struct Gen : QRandomGenerator
{
    using QRandomGenerator::QRandomGenerator;
    int operator()(int n) { return n <= 0 ? 0 : int(bounded(quint32(n))); }
    bool chance(int percent) { return (*this)(100) < percent; }
    template<typename List> const auto &pick(const List &items) { return items[(*this)(int(std::size(items)))]; }
};

// A read trims these blanks off names and values.
QString iniTrimmed(QString text)
{
    static const QRegularExpression blanks(u"^[ \t\n\v\f\r\x1a]+|[ \t\n\v\f\r\x1a]+$"_s);
    return text.remove(blanks);
}

// Names match with ASCII letters folded, and no others.
QString foldedKey(const QString &key)
{
    QString out = iniTrimmed(key);
    for (QChar &c : out)
        c = c.unicode() < 0x80 ? c.toLower() : c;
    return out;
}

// The characters of Windows-1252 outside Latin-1, and the five bytes it leaves undefined, kept as themselves.
const QString kCodePageExtras = u"\u20ac\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u017d"
                                u"\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u017e\u0178"
                                u"\u0081\u008d\u008f\u0090\u009d"_s;

// A line break or NUL anywhere would end the line early; an 8-bit file holds only its code page.
bool writableText(const QString &text, bool utf8)
{
    return std::all_of(text.begin(), text.end(), [utf8](QChar c) {
        return c != u'\n' && c != u'\r' && c != QChar(0)
            && (utf8 || c < u'\x80' || (c >= u'\xa0' && c <= u'\xff') || kCodePageExtras.contains(c));
    });
}

// A key starting with "[" on a line holding "]" reads as a header, one starting with ";" as a comment.
bool writableEntry(const QString &key, const QString &value, bool utf8)
{
    const QString k = iniTrimmed(key);
    return !k.contains(u'=') && !(k.startsWith(u'[') && (k + value).contains(u']')) && !k.startsWith(u';')
        && writableText(key, utf8) && writableText(value, utf8);
}

struct Line
{
    QString key, value;
};

// One line per key: first place and spelling, last value. Nameless lines each stay; one right after another is
// hidden from a read, so a save refuses it.
QList<Line> written(const QList<Line> &lines, bool *hidden)
{
    QList<Line> out;
    QHash<QString, qsizetype> at;
    for (const Line &l : lines) {
        const QString k = foldedKey(l.key);
        *hidden |= k.isEmpty() && !out.isEmpty() && out.last().key.isEmpty();
        if (!k.isEmpty() && at.contains(k)) {
            out[at[k]].value = l.value;
        } else {
            at.insert(k, out.size());
            out.append(Line { iniTrimmed(l.key), l.value });
        }
    }
    return out;
}

QString imageKey(const Configuration &config, int index)
{
    return index < 0                       ? QString()
        : index < config.images()->count() ? config.images()->keyAt(index)
                                           : QString::number(index);
}

QString describeButton(const QString &key, const QString &command, const QString &image)
{
    return command.isEmpty() ? key + u" (separator)"_s : key + u" = "_s + command + u" | "_s + image;
}

QStringList describeButtons(const Configuration &config)
{
    QStringList out;
    for (const ToolbarButtonEntry &b : config.toolbar()->entries())
        out.append(describeButton(b.tooltip, b.isSeparator ? QString() : b.command, imageKey(config, b.imageIndex)));
    return out;
}

// What a save of config must write and a load must then give back.
struct Prediction
{
    bool refused = false;
    bool rewrites = false; // a save of the lists loaded back writes some line in another form
    QList<AddOnEntry> addOns;
    QStringList buttons;
};

Prediction predict(const Configuration &config, bool utf8)
{
    Prediction p;
    QList<Line> addOnLines;
    for (const AddOnEntry &a : config.addOns()->entries()) {
        const QString value = ConfigFormat::addOnValue(a);
        p.refused |= !writableEntry(a.name, value, utf8);
        addOnLines.append(Line { a.name, value });
    }
    // A read gives back exactly the value the lists make: the command line and the parameters.
    for (const Line &l : written(addOnLines, &p.refused)) {
        p.addOns.append(ConfigFormat::parseAddOn(l.key, l.value));
        p.rewrites |= ConfigFormat::addOnValue(p.addOns.last()) != l.value;
    }

    // A separator whose name is taken gets a free "space" + number from its position on; an empty name is no key.
    const QList<ToolbarButtonEntry> &entries = config.toolbar()->entries();
    QSet<QString> taken;
    for (const ToolbarButtonEntry &b : entries)
        taken.insert(b.isSeparator ? QString() : foldedKey(b.tooltip));
    taken.remove(QString());
    QList<Line> buttonLines;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ToolbarButtonEntry &b = entries[i];
        QString key = b.tooltip;
        for (qsizetype n = i + 1; b.isSeparator && taken.contains(foldedKey(key)); ++n)
            key = u"space"_s + QString::number(n);
        if (b.isSeparator && !foldedKey(key).isEmpty())
            taken.insert(foldedKey(key));
        const QString value = b.isSeparator ? u"|"_s : b.command + u'|' + imageKey(config, b.imageIndex);
        p.refused |= !writableEntry(key, value, utf8);
        p.refused |= !b.isSeparator && (b.command.contains(u'|') || b.command.isEmpty());
        buttonLines.append(Line { key, value });
    }
    // Command and image key come back exactly, split at the first bar.
    for (const Line &l : written(buttonLines, &p.refused))
        p.buttons.append(describeButton(l.key, l.value.section(u'|', 0, 0), l.value.section(u'|', 1)));
    p.rewrites |= buttonLines.isEmpty();
    for (const ToolbarButtonEntry &b : buttonLines.isEmpty() ? defaultToolbar() : QList<ToolbarButtonEntry>())
        p.buttons.append(
            describeButton(b.tooltip, b.isSeparator ? QString() : b.command, QString::number(b.imageIndex)));
    return p;
}

// The file without its "Addons" and "Toolbits" sections, split by this test's own reading of the lines.
QByteArray withoutOurSections(const QByteArray &file)
{
    QByteArray out;
    qsizetype pos = file.startsWith(kBom) ? 3 : 0;
    out += file.first(pos);
    bool dropping = false;
    while (pos < file.size()) {
        qsizetype end = pos;
        while (end < file.size() && file[end] != '\n' && file[end] != '\r')
            ++end;
        const qsizetype next = end + (file.mid(end, 2) == "\r\n" ? 2 : end < file.size() ? 1 : 0);
        const QString text = iniTrimmed(QString::fromLatin1(file.mid(pos, end - pos)));
        const qsizetype close = text.lastIndexOf(u']');
        if (text.startsWith(u'[') && close > 0) {
            const QString name = foldedKey(text.mid(1, close - 1));
            dropping = name == u"addons"_s || name == u"toolbits"_s;
        }
        if (!dropping)
            out += file.mid(pos, next - pos);
        pos = next;
    }
    return out;
}

// What a save must leave of file outside the two sections: all of it, and a line end after a last line without
// one when new sections follow it (the first line end of what is left, else the file's first, else CR LF).
QByteArray keptBytes(const QByteArray &file, bool appended)
{
    QByteArray kept = withoutOurSections(file);
    if (!appended || kept.size() <= (kept.startsWith(kBom) ? 3 : 0) || kept.endsWith('\n') || kept.endsWith('\r'))
        return kept;
    for (const QByteArray &from : { kept, file }) {
        const qsizetype cr = from.indexOf('\r'), lf = from.indexOf('\n');
        if (cr >= 0 && (lf < 0 || cr < lf))
            return kept + (lf == cr + 1 ? "\r\n" : "\r");
        if (lf >= 0)
            return kept + '\n';
    }
    return kept + "\r\n";
}

// Back-dates the file, so that any rewrite shows in its modification time.
QDateTime backDate(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-3), QFileDevice::FileModificationTime);
    return QFileInfo(path).lastModified();
}

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QByteArray randomText(Gen &g)
{
    static const char chars[] = " \t\"'|=%;[]aBZ9\\.\x1a\x80\xe9\xff";
    QByteArray out;
    for (int n = g(8); n > 0; --n)
        out += g.chance(5) ? QByteArray("\xe2\x86\x92") : QByteArray(1, chars[g(int(sizeof chars) - 1)]);
    return out;
}

QByteArray randomFile(Gen &g)
{
    static const QList<QByteArray> headers
        = QByteArray("[Addons],[Toolbits], [ toolbits ] ; x,[ADDONS],[General],[a]b],[odd").split(',');
    static const QList<QByteArray> keys = QByteArray("New,new ,SAVE,space4,,\tTool,M\xfcller,[x,;c,a b").split(',');
    static const QList<QByteArray> values
        = QByteArray("NEW|1,LOAD|9,|,|5,SAVE|/nonexistent/qta/a.bmp,X|C:\\B.BMP, \"SAVE\" |2,'q'|0 ,a|b|c,,"
                     "C:\\T\\calc.exe %charfile%,\"C:\\My Tools\\e.exe\",x  y.exe -a%FILELISTQUOTED%-b %CharFile%")
              .split(',');
    static const QList<QByteArray> ends = { "\r\n", "\n", "\r" };
    QByteArray out = g.chance(15) ? kBom : QByteArray("");
    const QByteArray end = g.pick(ends);
    for (int i = 0, lines = g(20); i < lines; ++i) {
        const int kind = g(6);
        if (kind == 0)
            out += g.pick(headers);
        else if (kind == 1)
            out += g.chance(50) ? QByteArray("; note") : randomText(g);
        else if (kind > 2) // 2: a blank line
            out += g.pick(keys) + (g.chance(70) ? "=" : " = ") + (g.chance(80) ? g.pick(values) : randomText(g));
        if (i + 1 < lines || g.chance(75))
            out += g.chance(10) ? g.pick(ends) : end;
    }
    return out;
}

QString randomKey(Gen &g, const Configuration &config)
{
    static const QStringList keys
        = u"New,new ,SAVE,space4,Tool,\u00c9t\u00e9,\tPad\x1a,\"Quoted\",x],Euro \u20ac,, "_s.split(u',');
    static const QStringList bad = u"a=b,[x],\t;x,a\nb,next \u2192"_s.split(u',');
    if (g.chance(20) && config.toolbar()->count() > 0)
        return config.toolbar()->at(g(config.toolbar()->count())).tooltip.toUpper();
    return g.chance(4) ? g.pick(bad) : g.pick(keys);
}

ToolbarButtonEntry randomButton(Gen &g, const Configuration &config)
{
    static const QStringList odd = u"\"SAVE, LOAD,'quoted',RUN it\t,A|B,,x\r"_s.split(u',');
    if (g.chance(20))
        return ToolbarButtonEntry { u"space"_s + QString::number(g(12)), QString(), 0, true };
    const QString command = g.chance(15) ? g.pick(odd)
        : g.chance(25)                   ? g.pick(config.addOnCommands())
                                         : g.pick(ConfigFormat::hostCommandWords());
    return ToolbarButtonEntry { randomKey(g, config), command, g.chance(15) ? -1 : g(config.images()->count() + 2),
                                false };
}

AddOnEntry randomAddOn(Gen &g, const Configuration &config)
{
    static const QStringList lines = u"C:\\T\\x.exe,\"C:\\My Tools\\e.exe\",C:\\a  b\\c.exe -q,'single', lead.exe,"
                                     "tab.exe\t,,\u00e9t\u00e9.exe,\u2192.exe"_s.split(u',');
    return AddOnEntry { randomKey(g, config), g.pick(lines), g.pick(ConfigFormat::parameterChoices()) };
}

// One edit through the models' own operations, and the same edit on plain lists: what the models must then hold.
void randomEdit(Gen &g, Configuration &config, QList<ToolbarButtonEntry> &buttons, QList<AddOnEntry> &addOns)
{
    ToolbarModel *bar = config.toolbar();
    AddOnListModel *list = config.addOns();
    const int kind = g(8), b = g(int(buttons.size()) + (kind == 0)), r = g(int(addOns.size()) + (kind == 4));
    const int to = g(int(kind == 3 ? buttons.size() : addOns.size())), column = g(3);
    if (kind == 0) {
        buttons.insert(b, randomButton(g, config));
        bar->insert(b, buttons[b]);
    } else if (kind == 1 && !buttons.isEmpty()) {
        buttons.removeAt(b);
        bar->remove(b);
    } else if (kind == 2 && !buttons.isEmpty()) {
        buttons[b] = randomButton(g, config);
        bar->replace(b, buttons[b]);
    } else if (kind == 3 && !buttons.isEmpty()) {
        buttons.move(b, to);
        bar->move(b, to);
    } else if (kind == 4) {
        addOns.insert(r, randomAddOn(g, config));
        list->insertAddOn(r, addOns[r]);
    } else if (kind == 5 && !addOns.isEmpty()) {
        addOns.removeAt(r);
        list->removeAddOn(r);
    } else if (kind == 6 && !addOns.isEmpty()) {
        addOns.move(r, to);
        list->moveAddOn(r, to);
    } else if (kind == 7 && !addOns.isEmpty()) {
        const AddOnEntry a = randomAddOn(g, config);
        QString &cell = column == 0 ? addOns[r].name : column == 1 ? addOns[r].commandLine : addOns[r].parameters;
        cell = column == 0 ? a.name : column == 1 ? a.commandLine : a.parameters;
        list->setCellText(r, column, cell);
    }
}

// Loads file (null: none) in a new folder under root, edits, saves and loads again; fails through QTest.
void checkRoundTrip(const QString &root, Gen &g, const QByteArray &file)
{
    QTemporaryDir dir(root + u"/run-XXXXXX"_s);
    QVERIFY(dir.isValid());
    // Where names are case-sensitive, a file named "qta.ini" is QTA's file: the save must write it, not a second one.
    const QString name = !file.isNull() && g.chance(10) ? u"qta.ini"_s : u"QTA.INI"_s;
    const QString path = dir.path() + u'/' + name;
    if (!file.isNull())
        writeBytes(path, file);
    const QDateTime stamp = file.isNull() ? QDateTime() : backDate(path);

    Configuration config;
    QAbstractItemModelTester grid(config.addOns(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    SetupButtonImages(config);
    QVERIFY(LoadConfiguration(config, dir.path()));
    QList<ToolbarButtonEntry> buttons = config.toolbar()->entries();
    QList<AddOnEntry> addOns = config.addOns()->entries();
    for (int edits = g(7); edits > 0; --edits)
        randomEdit(g, config, buttons, addOns);
    QCOMPARE(config.toolbar()->entries(), buttons);
    QCOMPARE(config.addOns()->entries(), addOns);

    const Prediction expected = predict(config, file.startsWith(kBom));
    QString error;
    const bool saved = SaveConfiguration(config, dir.path(), &error);
    QVERIFY2(saved == !expected.refused, qPrintable(saved ? u"the save did not refuse"_s : error));
    QCOMPARE(folderEntries(dir.path()), file.isNull() && !saved ? QStringList() : QStringList { name });
    const QByteArray after = readBytes(path);
    if (!saved) {
        QCOMPARE(after, file);
        QCOMPARE(QFileInfo(path).lastModified(), stamp); // not even touched
        return;
    }
    QCOMPARE(withoutOurSections(after), keptBytes(file, config.addOns()->count() + config.toolbar()->count() > 0));

    Configuration reloaded;
    SetupButtonImages(reloaded);
    QVERIFY(LoadConfiguration(reloaded, dir.path()));
    QCOMPARE(reloaded.addOns()->entries(), expected.addOns);
    QCOMPARE(describeButtons(reloaded), expected.buttons);

    // A form the format changed (macro words moved, the default toolbar for none) is written once by the next save;
    // from then on a save of what was just loaded changes nothing, not even the file's time.
    QByteArray current = after;
    if (expected.rewrites) {
        QVERIFY(SaveConfiguration(reloaded, dir.path()));
        current = readBytes(path);
        QCOMPARE(withoutOurSections(current), keptBytes(after, true));
        QVERIFY(LoadConfiguration(reloaded, dir.path()));
    }
    const QDateTime savedStamp = backDate(path);
    QVERIFY(SaveConfiguration(reloaded, dir.path()));
    QCOMPARE(readBytes(path), current);
    QCOMPARE(QFileInfo(path).lastModified(), savedStamp);
    QCOMPARE(folderEntries(dir.path()), QStringList { name });
}

} // namespace

class tst_Properties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomFilesAndEdits()
    {
        bool ok = false;
        const quint32 firstSeed = qEnvironmentVariable("QTA_TEST_SEED", u"20240611"_s).toUInt();
        // Every save waits for the disk; in memory, many more files fit in the same time.
        const bool inMemory = QFileInfo(u"/dev/shm"_s).isWritable();
        const QTemporaryDir root(inMemory ? u"/dev/shm/tst_properties-XXXXXX"_s : QDir::tempPath() + u"/qta-XXXXXX"_s);
        int runs = qEnvironmentVariableIntValue("QTA_TEST_RUNS", &ok);
        runs = ok ? runs : inMemory ? 3000 : 400;
        qInfo("seed %u, %d runs (QTA_TEST_SEED, QTA_TEST_RUNS override)", firstSeed, runs);
        for (quint32 seed = firstSeed; seed < firstSeed + quint32(runs); ++seed) {
            Gen g(seed);
            const QByteArray file = g.chance(5) ? QByteArray() : randomFile(g);
            checkRoundTrip(root.path(), g, file);
            if (QTest::currentTestFailed()) {
                qInfo("failed with QTA_TEST_SEED=%u QTA_TEST_RUNS=1; file: \"%s\"", seed,
                      file.toPercentEncoding(" []=;|\"'").constData());
                return;
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_Properties)
#include "tst_properties.moc"
