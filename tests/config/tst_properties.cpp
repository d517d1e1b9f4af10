// Random files, random edits, save, load again: what the file keeps and what comes back.
#include "configuration.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

class Gen
{
public:
    explicit Gen(quint32 seed)
        : m_rng(seed)
    {
    }
    int operator()(int n) { return n <= 0 ? 0 : int(m_rng.bounded(quint32(n))); }
    bool chance(int percent) { return (*this)(100) < percent; }
    template<typename T, std::size_t N> const T &pick(const T (&items)[N]) { return items[(*this)(int(N))]; }
    template<typename T> const T &pick(const QList<T> &items) { return items[(*this)(int(items.size()))]; }

private:
    QRandomGenerator m_rng;
};

// --- the format's rules, as this test understands them -----------------------------------------------

bool isIniSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' || c == u'\x1a';
}

QString iniTrimmed(const QString &text)
{
    qsizetype s = 0, e = text.size();
    while (s < e && isIniSpace(text[s]))
        ++s;
    while (e > s && isIniSpace(text[e - 1]))
        --e;
    return text.mid(s, e - s);
}

QString foldedKey(const QString &key)
{
    QString out = iniTrimmed(key);
    for (QChar &c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return out;
}

// The characters of Windows-1252 outside Latin-1, and the five bytes it leaves undefined, kept as themselves.
const QString kCodePageExtras = u"\u20ac\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u017d"
                                u"\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u017e\u0178"
                                u"\u0081\u008d\u008f\u0090\u009d"_s;

bool fitsCodePage(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c < u'\x80' || (c >= u'\xa0' && c <= u'\xff') || kCodePageExtras.contains(c);
    });
}

// A line break or NUL anywhere would end the line early; an 8-bit file holds only its code page.
bool writableValue(const QString &v, bool utf8)
{
    return !v.contains(u'\n') && !v.contains(u'\r') && !v.contains(QChar(0)) && (utf8 || fitsCodePage(v));
}

// A line that starts with "[" and holds "]" is a section header; "=" would end the key early.
bool writableEntry(const QString &key, const QString &value, bool utf8)
{
    const QString k = iniTrimmed(key);
    return !k.contains(u'=') && !(k.startsWith(u'[') && (k + value).contains(u']')) && !k.startsWith(u';')
        && writableValue(key, utf8) && writableValue(value, utf8);
}

struct Line
{
    QString key;
    QString value;
};

// One line per key, as the file holds them: the first position and spelling, the last value. Nameless lines
// are no key: each stays.
QList<Line> merged(const QList<Line> &lines)
{
    QList<Line> out;
    QHash<QString, qsizetype> at;
    for (const Line &l : lines) {
        const QString k = foldedKey(l.key);
        if (at.contains(k))
            out[at[k]].value = l.value;
        else
            at.insert(k.isEmpty() ? u"\n"_s + QString::number(out.size()) : k, out.size()),
                out.append(Line { iniTrimmed(l.key), l.value });
    }
    return out;
}

// The lines a load lists: QTA does not see a nameless line right after another nameless one (a save refuses
// to write one).
QList<Line> listed(const QList<Line> &lines)
{
    QList<Line> out;
    for (const Line &l : lines) {
        if (!(l.key.isEmpty() && !out.isEmpty() && out.last().key.isEmpty()))
            out.append(l);
    }
    return out;
}

QString describeButton(const QString &tooltip, const QString &command, const QString &imageKey, bool separator)
{
    return separator ? tooltip + u" (separator)"_s : tooltip + u" = "_s + command + u" | "_s + imageKey;
}

// The image key a save writes for a picture index.
QString imageKey(const Configuration &config, int index)
{
    if (index < 0)
        return QString();
    return index < config.images()->count() ? config.images()->keyAt(index) : QString::number(index);
}

QStringList describeButtons(const Configuration &config)
{
    QStringList out;
    for (const ToolbarButtonEntry &b : config.toolbar()->entries())
        out.append(describeButton(b.Tooltip, b.Command, imageKey(config, b.ImageIndex), b.IsSeparator));
    return out;
}

QStringList describeAddOns(const QList<AddOnEntry> &list)
{
    QStringList out;
    for (const AddOnEntry &a : list)
        out.append(a.Name + u" = "_s + a.CommandLine + u" ; "_s + a.Parameters);
    return out;
}

// What a save of config must write and a load must then give back.
struct Prediction
{
    bool refused = false;
    bool rewrites = false; // a save of the lists loaded back writes some line in another form
    QStringList addOns;
    QStringList buttons;
};

Prediction predict(const Configuration &config, bool utf8)
{
    Prediction p;
    QList<Line> addOnLines;
    for (const AddOnEntry &a : config.addOns()->entries()) {
        const QString value = ConfigFormat::addOnValue(a);
        p.refused |= !writableEntry(a.Name, value, utf8);
        addOnLines.append(Line { a.Name, value });
    }
    // A read gives back exactly the value the lists make: the command line and the parameters.
    QList<AddOnEntry> addOns;
    const QList<Line> addOnsWritten = merged(addOnLines);
    p.refused |= listed(addOnsWritten).size() != addOnsWritten.size();
    for (const Line &l : listed(addOnsWritten)) {
        addOns.append(ConfigFormat::parseAddOn(l.key, l.value));
        p.rewrites |= ConfigFormat::addOnValue(addOns.last()) != l.value;
    }
    p.addOns = describeAddOns(addOns);

    // A separator whose name another entry has takes a free "space" + number from its position on; an empty
    // name is no key, and no entry has it.
    const QList<ToolbarButtonEntry> &entries = config.toolbar()->entries();
    QSet<QString> taken;
    for (const ToolbarButtonEntry &b : entries) {
        if (!b.IsSeparator)
            taken.insert(foldedKey(b.Tooltip));
    }
    taken.remove(QString());
    QList<Line> buttonLines;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ToolbarButtonEntry &b = entries[i];
        QString key = b.Tooltip;
        for (qsizetype n = i + 1; b.IsSeparator && taken.contains(foldedKey(key)); ++n)
            key = u"space"_s + QString::number(n);
        if (b.IsSeparator && !foldedKey(key).isEmpty())
            taken.insert(foldedKey(key));
        const QString value = b.IsSeparator ? u"|"_s : b.Command + u'|' + imageKey(config, b.ImageIndex);
        p.refused |= !writableEntry(key, value, utf8);
        p.refused |= !b.IsSeparator && (b.Command.contains(u'|') || b.Command.isEmpty());
        buttonLines.append(Line { key, value });
    }
    const QList<Line> buttonsWritten = merged(buttonLines);
    p.refused |= listed(buttonsWritten).size() != buttonsWritten.size();
    for (const Line &l : listed(buttonsWritten)) {
        // Command and image key come back exactly, split at the first bar.
        const qsizetype bar = l.value.indexOf(u'|');
        const QString command = l.value.left(bar);
        p.buttons.append(describeButton(l.key, command, l.value.mid(bar + 1), command.isEmpty()));
    }
    p.rewrites |= buttonLines.isEmpty();
    if (buttonLines.isEmpty()) {
        for (const ToolbarButtonEntry &b : DefaultToolbar())
            p.buttons.append(describeButton(b.Tooltip, b.Command, QString::number(b.ImageIndex), b.IsSeparator));
    }
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

QByteArray firstLineEnd(const QByteArray &file)
{
    for (qsizetype i = file.startsWith(kBom) ? 3 : 0; i < file.size(); ++i) {
        if (file[i] == '\n')
            return "\n";
        if (file[i] == '\r')
            return file.mid(i, 2) == "\r\n" ? "\r\n" : "\r";
    }
    return "\r\n";
}

// What a save must leave of file outside the two sections: all of it, and a line end after a last line
// without one when new sections follow it (the first line end of what is left, else the file's first).
QByteArray keptBytes(const QByteArray &file, bool appended)
{
    QByteArray kept = withoutOurSections(file);
    if (appended && kept.size() > (kept.startsWith(kBom) ? 3 : 0) && !kept.endsWith('\n') && !kept.endsWith('\r'))
        kept += firstLineEnd(kept.contains('\n') || kept.contains('\r') ? kept : file);
    return kept;
}

// Back-dates the file, so that any rewrite shows in its modification time.
QDateTime backDate(const QString &path)
{
    const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-3);
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(old, QFileDevice::FileModificationTime);
    return QFileInfo(path).lastModified();
}

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// --- random files ------------------------------------------------------------------------------------

QByteArray randomText(Gen &g, int maxLength)
{
    static const char chars[] = " \t\"'|=%;[]#aBcXyZ019\\/.\x1a\x80\xe9\xfc\xff";
    QByteArray out;
    for (int n = g(maxLength + 1); n > 0; --n)
        out += g.chance(5) ? QByteArray("\xe2\x86\x92") : QByteArray(1, chars[g(int(sizeof chars) - 1)]);
    return out;
}

QByteArray randomFileValue(Gen &g)
{
    static const char *const commands[] = { "NEW", "LOAD", "", " ", "RUNADDON(Calc)", "\"SAVE", "EXIT\t", "a|b" };
    static const char *const images[]
        = { "1", "7", "8", "9", "", "12", "/nonexistent/qta/a.bmp", "C:\\QTA\\B.BMP", "0 ", "'" };
    static const char *const programs[] = { "C:\\T\\calc.exe", "\"C:\\My Tools\\e.exe\"", "x  y.exe -q", "", "'q'" };
    static const char *const macros[]
        = { "", " %charfile%", " %FILELISTQUOTED%", " %filelistquoted% %CharFile%", "%charfile%" };
    QByteArray v;
    switch (g(5)) {
    case 0:
        v = QByteArray(g.pick(commands)) + '|' + g.pick(images);
        break;
    case 1:
        v = QByteArray(g.pick(programs)) + g.pick(macros);
        break;
    case 2:
        v = g.chance(50) ? QByteArray("|") : QByteArray("|5");
        break;
    case 3:
        v = g.pick(commands);
        break;
    default:
        v = randomText(g, 12);
        break;
    }
    if (g.chance(10))
        v = (g.chance(50) ? '"' : '\'') + v + (g.chance(80) ? '"' : '\'');
    return v;
}

QByteArray randomFile(Gen &g)
{
    static const char *const sections[]
        = { "Addons", "Toolbits", "addons", "TOOLBITS", "ToolBits", "General", "Window", "Recent Files", "", "a]b" };
    static const char *const keys[]
        = { "New",  "new",       "SAVE", "Save ", "space4", "SPACE4", "Notes", "Calc",
            "Tool", "M\xfcller", "a b",  "\tx",   "",       "[odd",   ";c",    "\xe9t\xe9" };
    static const char *const pads[] = { "", "", " ", "\t", "  ", "\x1a" };
    static const char *const ends[] = { "\r\n", "\n", "\r" };
    QByteArray out = g.chance(15) ? kBom : QByteArray(""); // empty, not missing
    const char *fileEnd = g.pick(ends);
    const bool mixed = g.chance(25);
    for (int i = 0, lines = g(30); i < lines; ++i) {
        QByteArray line;
        switch (g(10)) {
        case 0:
        case 1:
            line = QByteArray(g.pick(pads)) + '[' + g.pick(pads) + g.pick(sections) + g.pick(pads) + ']';
            if (g.chance(15))
                line += g.chance(50) ? " ; note" : "x]";
            if (g.chance(5))
                line.chop(1 + line.size() - line.lastIndexOf(']')); // no "]": an entry, not a header
            break;
        case 2:
            line = (g.chance(70) ? ";" : "#") + randomText(g, 10);
            break;
        case 3:
            line = g.pick(pads);
            break;
        case 4:
            line = randomText(g, 10);
            break;
        default:
            line = QByteArray(g.pick(pads)) + (g.chance(80) ? QByteArray(g.pick(keys)) : randomText(g, 6))
                + g.pick(pads) + '=' + g.pick(pads) + randomFileValue(g) + g.pick(pads);
            break;
        }
        out += line;
        if (i + 1 < lines || g.chance(75))
            out += mixed ? g.pick(ends) : fileEnd;
    }
    return out;
}

// --- random edits ------------------------------------------------------------------------------------

QString randomKey(Gen &g, const Configuration &config)
{
    static const QString keys[] = { u"New"_s,           u"new "_s,          u"Save"_s, u"SAVE"_s,
                                    u"space4"_s,        u"Tool"_s,          u"Calc"_s, u"M\u00fcller"_s,
                                    u"\u00c9t\u00e9"_s, u"\u00e9t\u00e9"_s, u"a\tb"_s, u"\tPad"_s,
                                    u"Pad\u001a"_s,     u"\"Quoted\""_s,    u"x]"_s,   u"Euro \u20ac"_s };
    static const QString bad[]
        = { u""_s, u"  "_s, u"a=b"_s, u"[x"_s, u" ;x"_s, u"a\nb"_s, u"end\n"_s, u"next \u2192"_s };
    if (g.chance(3))
        return g.pick(bad);
    if (g.chance(25) && config.toolbar()->count() > 0)
        return config.toolbar()->at(g(config.toolbar()->count())).Tooltip.toUpper();
    if (g.chance(20) && config.addOns()->count() > 0)
        return config.addOns()->at(g(config.addOns()->count())).Name.toLower();
    return g.pick(keys);
}

QString randomCommand(Gen &g, const Configuration &config)
{
    static const QString odd[] = { u"\"SAVE"_s, u" LOAD"_s, u"'quoted'"_s, u"RUN it\t"_s, u"\"X\""_s };
    static const QString bad[] = { u"A|B"_s, u""_s, u" \t"_s, u"x\r"_s, u"\u2192"_s };
    if (g.chance(3))
        return g.pick(bad);
    if (g.chance(20) && !config.addOnCommands().isEmpty())
        return g.pick(config.addOnCommands());
    return g.chance(20) ? g.pick(odd) : g.pick(ConfigFormat::hostCommandWords());
}

QString randomCommandLine(Gen &g)
{
    static const QString lines[] = { u"C:\\T\\x.exe"_s, u"\"C:\\My Tools\\e.exe\""_s, u"C:\\a  b\\c.exe -q"_s,
                                     u"%charfile%"_s,   u"'single'"_s,                u" lead.exe"_s,
                                     u"tab.exe\t"_s,    u""_s,                        u"C:\\\u00e9t\u00e9.exe"_s };
    static const QString bad[] = { u"x\ny"_s, u"nul\u0000"_s, u"\u2192.exe"_s };
    return g.chance(3) ? g.pick(bad) : g.pick(lines);
}

int randomImage(Gen &g, const Configuration &config)
{
    const int count = config.images()->count();
    const int kind = g(6);
    if (kind == 0)
        return -1;
    if (kind == 1)
        return count > 8 ? 8 + g(count - 8) : 8; // a bitmap file the load added
    return kind == 2 ? 8 + g(2) : g(8);
}

ToolbarButtonEntry randomButton(Gen &g, const Configuration &config)
{
    if (g.chance(20))
        return ToolbarButtonEntry { u"space"_s + QString::number(g(12)), QString(), g.chance(50) ? 0 : -1, true };
    return ToolbarButtonEntry { randomKey(g, config), randomCommand(g, config), randomImage(g, config), false };
}

void randomEdit(Gen &g, Configuration &config)
{
    ToolbarModel *bar = config.toolbar();
    AddOnListModel *list = config.addOns();
    const int buttons = bar->count();
    const int rows = list->count();
    switch (g(8)) {
    case 0:
        bar->insert(g(buttons + 1), randomButton(g, config));
        break;
    case 1:
        if (buttons > 0)
            bar->remove(g(buttons));
        break;
    case 2:
        if (buttons > 0)
            bar->move(g(buttons), g(buttons));
        break;
    case 3:
        if (buttons > 0)
            bar->replace(g(buttons), randomButton(g, config));
        break;
    case 4:
        list->insertAddOn(
            g(rows + 1),
            AddOnEntry { randomKey(g, config), randomCommandLine(g), g.pick(ConfigFormat::parameterChoices()) });
        break;
    case 5:
        if (rows > 0)
            list->removeAddOn(g(rows));
        break;
    case 6:
        if (rows > 0)
            list->moveAddOn(g(rows), g(rows));
        break;
    default:
        if (rows > 0) {
            const int column = g(3);
            list->setCellText(g(rows), column,
                              column == 0        ? randomKey(g, config)
                                  : column == 1  ? randomCommandLine(g)
                                  : g.chance(90) ? g.pick(ConfigFormat::parameterChoices())
                                                 : u"-v"_s);
        }
        break;
    }
}

// --- the properties ------------------------------------------------------------------------------------

// Loads file (null: no file) in a new folder under root into a fresh configuration, lets edit change it, saves,
// loads again and checks every property. Reports through QTest; callers look at QTest::currentTestFailed().
void checkRoundTrip(const QString &root, const QByteArray &file, const std::function<void(Configuration &)> &edit,
                    const QByteArray &earlier = QByteArray())
{
    QTemporaryDir dir(root + u"/run-XXXXXX"_s);
    QVERIFY(dir.isValid());
    const QString path = dir.path() + u"/QTA.INI"_s;
    if (!file.isNull())
        writeBytes(path, file);
    const QDateTime stamp = file.isNull() ? QDateTime() : backDate(path);

    Configuration config;
    SetupButtonImages(config);
    if (!earlier.isNull()) { // what an earlier load leaves behind: the picture at index 8 stays
        QTemporaryDir before(root + u"/earlier-XXXXXX"_s);
        writeBytes(before.filePath(u"QTA.INI"_s), earlier);
        QVERIFY(LoadConfiguration(config, before.path()));
    }
    const ConfigResult loaded = LoadConfiguration(config, dir.path());
    QVERIFY2(loaded.ok, qPrintable(loaded.error));
    edit(config);

    const Prediction expected = predict(config, file.startsWith(kBom));
    const ConfigResult saved = SaveConfiguration(config, dir.path());
    QVERIFY2(saved.ok == !expected.refused, qPrintable(saved.ok ? u"the save did not refuse"_s : saved.error));
    QCOMPARE(folderEntries(dir.path()), file.isNull() && !saved.ok ? QStringList() : QStringList { u"QTA.INI"_s });
    const QByteArray after = readBytes(path);
    if (!saved.ok) {
        QCOMPARE(after, file);
        if (!file.isNull())
            QCOMPARE(QFileInfo(path).lastModified(), stamp);
        return;
    }

    QCOMPARE(withoutOurSections(after), keptBytes(file, config.addOns()->count() + config.toolbar()->count() > 0));

    Configuration reloaded;
    SetupButtonImages(reloaded);
    const ConfigResult again = LoadConfiguration(reloaded, dir.path());
    QVERIFY2(again.ok, qPrintable(again.error));
    QCOMPARE(describeAddOns(reloaded.addOns()->entries()), expected.addOns);
    QCOMPARE(describeButtons(reloaded), expected.buttons);
    QStringList commands { ConfigFormat::none() };
    for (int i = 0; i < reloaded.addOns()->count(); ++i)
        commands += AddOnCommandForms(reloaded.addOns()->at(i).Name, i);
    QCOMPARE(reloaded.addOnCommands(), commands);

    // Where the format changed what came back (macro words taken out of a command line, the default toolbar
    // for an empty one), the next save writes that form once; from then on a save of what was just loaded
    // changes nothing, not even the file's time.
    QByteArray current = after;
    if (expected.rewrites) {
        QVERIFY(SaveConfiguration(reloaded, dir.path()));
        current = readBytes(path);
        QCOMPARE(withoutOurSections(current), keptBytes(after, true));
        QVERIFY(LoadConfiguration(reloaded, dir.path()));
    }
    const QDateTime savedStamp = backDate(path);
    const ConfigResult unchanged = SaveConfiguration(reloaded, dir.path());
    QVERIFY2(unchanged.ok, qPrintable(unchanged.error));
    QCOMPARE(readBytes(path), current);
    QCOMPARE(QFileInfo(path).lastModified(), savedStamp);
    QCOMPARE(folderEntries(dir.path()), QStringList { u"QTA.INI"_s });
}

} // namespace

class tst_Properties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        bool ok = false;
        const quint32 seed = qEnvironmentVariable("QTA_TEST_SEED").toUInt(&ok);
        if (ok)
            m_seed = seed;
        // Every save waits for the disk; in memory, many more files fit in the same time.
        const QFileInfo shm(u"/dev/shm"_s);
        const bool inMemory = shm.isDir() && shm.isWritable();
        m_root.reset(inMemory ? new QTemporaryDir(shm.filePath() + u"/tst_properties-XXXXXX"_s) : new QTemporaryDir);
        QVERIFY(m_root->isValid());
        m_runs = qEnvironmentVariableIntValue("QTA_TEST_RUNS", &ok);
        if (!ok)
            m_runs = inMemory ? 3000 : 400;
        qInfo("seed %u, %d runs in %s (QTA_TEST_SEED, QTA_TEST_RUNS override)", m_seed, m_runs,
              qPrintable(m_root->path()));
    }

    void regressions_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("isButton"); // the edit appends a button, else an add-on
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text"); // command or command line
        QTest::addColumn<int>("image");

        // Inputs the random runs once failed on, each with the seed that found it.
        QTest::addRow("blanks around a name and a value (20240623)")
            << QByteArray("[General]\nA=1\n") << false << u" Pad\u001a"_s << u"tab.exe\t"_s << -1;
        QTest::addRow("line end of a removed section (20240912)")
            << QByteArray("[Toolbits]\r\nNew=NEW|1\r\n[General]\rA=1\r") << true << u"Open"_s << u"LOAD"_s << 2;
        QTest::addRow("value in quotes (20241566)")
            << QByteArray("[Toolbits]\nTool=EXIT|x'\n") << true << u"Q"_s << u"'x"_s << 8;
        QTest::addRow("value in quotes, a separator once read (20241566)")
            << QByteArray("[Toolbits]\nTool=EXIT|\"\n") << true << u"Q"_s << u"\""_s << 8;
    }

    void regressions()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, isButton);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, image);
        checkRoundTrip(m_root->path(), file, [&](Configuration &config) {
            if (isButton)
                config.toolbar()->append(ToolbarButtonEntry { key, text, image, false });
            else
                config.addOns()->appendAddOn(AddOnEntry { key, text, ConfigFormat::none() });
        });
    }

    void randomFilesAndEdits()
    {
        for (int run = 0; run < m_runs; ++run) {
            const quint32 seed = m_seed + quint32(run);
            Gen g(seed);
            const QByteArray file = g.chance(5) ? QByteArray() : randomFile(g);
            const QByteArray earlier = g.chance(20) ? randomFile(g) : QByteArray();
            const int edits = g(9);
            checkRoundTrip(
                m_root->path(), file,
                [&](Configuration &config) {
                    for (int i = 0; i < edits; ++i)
                        randomEdit(g, config);
                },
                earlier);
            if (QTest::currentTestFailed()) {
                qInfo("failed with QTA_TEST_SEED=%u QTA_TEST_RUNS=1; file: \"%s\"; loaded before it: \"%s\"", seed,
                      file.toPercentEncoding(" []=;|\"'").constData(),
                      earlier.toPercentEncoding(" []=;|\"'").constData());
                return;
            }
        }
    }

private:
    QScopedPointer<QTemporaryDir> m_root;
    quint32 m_seed = 20240611;
    int m_runs = 0;
};

QTEST_GUILESS_MAIN(tst_Properties)
#include "tst_properties.moc"
