// Sections far larger than any hand-written file: the tables that find the first entry of a name, and a
// load and save of many buttons, must give what small files give.

#include "configuration.h"
#include "inidocument.h"
#include "testfiles.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Section
{
    QByteArray text; // "[Big]" and its lines
    QList<IniEntry> lines; // every line as written
    QList<IniEntry> answers; // what a read gives for each line: the value of the first line of its name
    QList<IniEntry> collapsed; // one line per name, first spelling, last value: what a write of lines leaves
};

// n lines named "Name <k>"; every 13th repeats an earlier name far back, in other letter case.
Section makeSection(int n)
{
    Section s;
    s.text = "[Big]\r\n";
    QHash<QString, qsizetype> firstAt; // by folded name: its line in collapsed
    QHash<QString, QString> firstValue;
    for (int i = 0; i < n; ++i) {
        QString key = QStringLiteral("Name %1").arg(i);
        if (i % 13 == 12)
            key = QStringLiteral("NAME %1").arg(int((quint64(i) * 7919) % quint64(i)));
        const QString value = QStringLiteral("value %1").arg(i);
        s.text += key.toLatin1() + '=' + value.toLatin1() + "\r\n";
        s.lines.append({ key, value });
        const QString folded = key.toLower();
        if (!firstAt.contains(folded)) {
            firstAt.insert(folded, s.collapsed.size());
            firstValue.insert(folded, value);
            s.collapsed.append({ key, value });
        } else {
            s.collapsed[firstAt.value(folded)].value = value;
        }
        s.answers.append({ key, firstValue.value(folded) });
    }
    return s;
}

QStringList describe(const QList<IniEntry> &entries)
{
    QStringList out;
    for (const IniEntry &e : entries)
        out.append(e.key + u'=' + e.value);
    return out;
}

} // namespace

class tst_LargeSections final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizes_data()
    {
        QTest::addColumn<int>("n");
        QTest::addRow("forty lines") << 40;
        QTest::addRow("five thousand lines") << 5000;
        QTest::addRow("seventy thousand lines") << 70000;
    }

    void readAnswersFromFirstOfName_data() { sizes_data(); }
    void readAnswersFromFirstOfName()
    {
        QFETCH(int, n);
        const Section s = makeSection(n);
        const IniDocument doc(s.text);
        QCOMPARE(describe(doc.entries(QStringLiteral("big"))), describe(s.answers));
    }

    void writeCollapsesRepeatedNames_data() { sizes_data(); }
    void writeCollapsesRepeatedNames()
    {
        QFETCH(int, n);
        const Section s = makeSection(n);
        IniDocument doc(QByteArrayLiteral("[Other]\r\nx=1\r\n"));
        doc.appendSection(QStringLiteral("Big"), s.lines);
        QCOMPARE(doc.sectionLines(QStringLiteral("Big")), describe(s.collapsed));
        QVERIFY(doc.toBytes().startsWith("[Other]\r\nx=1\r\n[Big]\r\n"));
    }

    // Buttons whose values need their quotes kept or their blanks dropped, many times over: a second save of
    // what a load gave changes nothing.
    void loadAndSaveManyButtons_data() { sizes_data(); }
    void loadAndSaveManyButtons()
    {
        QFETCH(int, n);
        const char *const values[] = { "'SAVE|x'", " LOAD |3 ", "\"RUN it\"|\"", "|", "NEW|1", "PRINT|  " };
        QByteArray text = "; before\r\n[Addons]\r\nTool=C:\\T.EXE %charfile%\r\n[Toolbits]\r\n";
        for (int i = 0; i < n; ++i)
            text += "Tip " + QByteArray::number(i) + '=' + values[i % 6] + "\r\n";
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = IniFilePath(dir.path());
        writeBytes(path, text);

        Configuration first;
        SetupButtonImages(first);
        QVERIFY(LoadConfiguration(first, dir.path()));
        QCOMPARE(first.toolbar()->count(), n);
        QVERIFY(SaveConfiguration(first, dir.path()));
        Configuration second;
        SetupButtonImages(second);
        QVERIFY(LoadConfiguration(second, dir.path()));
        QCOMPARE(second.toolbar()->entries(), first.toolbar()->entries());
        QCOMPARE(second.addOns()->entries(), first.addOns()->entries());
        const QByteArray saved = readBytes(path);
        QVERIFY(saved.startsWith("; before\r\n"));
        QVERIFY(SaveConfiguration(second, dir.path()));
        QCOMPARE(readBytes(path), saved);
    }
};

QTEST_GUILESS_MAIN(tst_LargeSections)
#include "tst_largesections.moc"
