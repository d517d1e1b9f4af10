#include "inidocument.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Entries written as "key=value", split at the first "=".
QList<IniEntry> entryList(const QStringList &lines)
{
    QList<IniEntry> out;
    for (const QString &line : lines)
        out.append(IniEntry { line.section(u'=', 0, 0), line.section(u'=', 1) });
    return out;
}

const QByteArray kBusy = "; QTA settings\r\nloose line\r\n\r\n[Main]\r\nFont = Courier  \r\n; keep me\r\n\r\n"
                         "[Addons]\r\nCalc=calc.exe\r\n  Edit = \"C:\\ed.exe\"  ; note\r\n\r\n\r\n[Last]\r\nx=\xE9\r\n";

QByteArray busyWith(const QByteArray &before, const QByteArray &after)
{
    return QByteArray(kBusy).replace(before, after);
}

} // namespace

class tst_IniDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setValueKeepsLayout_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");

        // Changing a value rewrites that line only, whatever the line ends and whatever else the file holds.
        QTest::addRow("crlf, comments, text before first section")
            << kBusy << u"addons"_s << u"EDIT"_s << u"vi"_s << busyWith("Edit = \"C:\\ed.exe\"  ; note", "Edit = vi");
        QTest::addRow("mixed ends") << QByteArray("[A]\nx=1\r\ny=2\r[B]\n\rz=3") << u"A"_s << u"y"_s << u"7"_s
                                    << QByteArray("[A]\nx=1\r\ny=7\r[B]\n\rz=3");
        QTest::addRow("last line without line end stays so")
            << QByteArray("[A]\r\nx=1") << u"A"_s << u"x"_s << u"22"_s << QByteArray("[A]\r\nx=22");
        QTest::addRow("line without equals gets the value")
            << QByteArray("[A]\r\n  flag  \r\nz=1\r\n") << u"A"_s << u"FLAG"_s << u"on"_s
            << QByteArray("[A]\r\n  flag=on\r\nz=1\r\n");
        QTest::addRow("8-bit value in an 8-bit file")
            << QByteArray("[A]\r\n; caf\xE9\r\nx=1\r\n") << u"A"_s << u"x"_s << u"\u20AC \u00FC"_s
            << QByteArray("[A]\r\n; caf\xE9\r\nx=\x80 \xFC\r\n");

        // A new key goes after the section's last non-blank line, with the file's own line end.
        QTest::addRow("new key before blank lines") << kBusy << u"Addons"_s << u"Paint"_s << u"mspaint.exe"_s
                                                    << busyWith("; note\r\n", "; note\r\nPaint=mspaint.exe\r\n");
        QTest::addRow("new key after a comment")
            << kBusy << u"Main"_s << u"Size"_s << u"10"_s << busyWith("; keep me\r\n", "; keep me\r\nSize=10\r\n");
        QTest::addRow("new key, cr file") << QByteArray("[A]\rx=1\r") << u"A"_s << u"y"_s << u"2"_s
                                          << QByteArray("[A]\rx=1\ry=2\r");
        QTest::addRow("new key, mixed file takes the first end")
            << QByteArray("[A]\nx=1\r\n[B]\r\n") << u"A"_s << u"y"_s << u"2"_s
            << QByteArray("[A]\nx=1\r\ny=2\n[B]\r\n");
        QTest::addRow("new key after last line without end")
            << QByteArray("[A]\r\nx=1") << u"A"_s << u"y"_s << u"2"_s << QByteArray("[A]\r\nx=1\r\ny=2\r\n");
        QTest::addRow("new section after last line without end")
            << QByteArray("[A]\nx=1") << u"B"_s << u"y"_s << u"2"_s << QByteArray("[A]\nx=1\n[B]\ny=2\n");
        QTest::addRow("new section in empty file")
            << QByteArray() << u"B"_s << u"y"_s << u"2"_s << QByteArray("[B]\r\ny=2\r\n");

        // Writing what is already there changes nothing.
        QTest::addRow("same value, leading blanks dropped")
            << kBusy << u"Addons"_s << u"Calc"_s << u"  calc.exe"_s << kBusy;

        // A UTF-8 file keeps its mark and gets UTF-8 text.
        const QByteArray utf8 = "\xEF\xBB\xBF; \xC3\xA9t\xC3\xA9\r\n[A]\r\nx=\xC3\xA9\r\n";
        QTest::addRow("utf-8 with mark, new non-ascii value")
            << utf8 << u"A"_s << u"y"_s << u"\u65E5\u00E9\u20AC"_s
            << QByteArray(utf8 + "y=\xE6\x97\xA5\xC3\xA9\xE2\x82\xAC\r\n");
        QTest::addRow("utf-8 with mark, same value") << utf8 << u"A"_s << u"x"_s << u"\u00E9"_s << utf8;
    }

    void setValueKeepsLayout()
    {
        QFETCH(QByteArray, initial);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);

        IniDocument doc(initial);
        QCOMPARE(doc.setValue(section, key, value), initial != expected);
        QCOMPARE(doc.toBytes(), expected);
        QCOMPARE(doc.value(section, key), std::optional<QString>(IniRules::trimmed(value)));
        // What was written reads back the same from the saved bytes.
        QCOMPARE(IniDocument(doc.toBytes()).value(section, key), doc.value(section, key));
    }

    void removeAllSections_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QByteArray>("expected");

        QTest::addRow("two copies, others kept")
            << QByteArray(
                   "; top\r\n[Addons]\r\na=1\r\n[Main]\r\nm=1\r\n\r\n[ADDONS]\r\n; c\r\nb=2\r\n[Tail]\r\nt=1\r\n")
            << u"Addons"_s << 2 << QByteArray("; top\r\n[Main]\r\nm=1\r\n\r\n[Tail]\r\nt=1\r\n");
        QTest::addRow("three copies, blanks in brackets, last without end")
            << QByteArray("[Addons]\na=1\n[ Addons ]\nb=2\n[Main]\nm=1\n[addons]\nc=3") << u"Addons"_s << 3
            << QByteArray("[Main]\nm=1\n");
        QTest::addRow("similar names kept") << QByteArray("[Addons]\na=1\n[Addons2]\nb=2\n[Add ons]\nc=3\n")
                                            << u"Addons"_s << 1 << QByteArray("[Addons2]\nb=2\n[Add ons]\nc=3\n");
        QTest::addRow("empty name removes nothing")
            << QByteArray("x=1\n[]\ny=2\n") << QString() << 0 << QByteArray("x=1\n[]\ny=2\n");
    }

    void removeAllSections()
    {
        QFETCH(QByteArray, initial);
        QFETCH(QString, section);
        QFETCH(int, removed);
        QFETCH(QByteArray, expected);

        IniDocument doc(initial);
        QCOMPARE(doc.removeAllSections(section), removed);
        QCOMPARE(doc.toBytes(), expected);
        QVERIFY(!doc.hasSection(section));
    }

    void appendSection_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray other = "[Main]\r\nm=1\r\n";
        QTest::addRow("keys in order") << other << QStringList { u"b=2"_s, u"a=1"_s }
                                       << QByteArray(other + "[Addons]\r\nb=2\r\na=1\r\n");
        QTest::addRow("repeated key: first place, last value")
            << other << QStringList { u"Calc=1"_s, u"Edit=2"_s, u"Calc=3"_s, u"Calc=4"_s }
            << QByteArray(other + "[Addons]\r\nCalc=4\r\nEdit=2\r\n");
        QTest::addRow("repeat differs in case and blanks")
            << other << QStringList { u"Calc =1"_s, u" CALC=  2"_s, u"\tcalc\t=3"_s }
            << QByteArray(other + "[Addons]\r\nCalc =3\r\n");
        QTest::addRow("lf file, last line without end")
            << QByteArray("[Main]\nm=1") << QStringList { u"a=1"_s } << QByteArray("[Main]\nm=1\n[Addons]\na=1\n");
        QTest::addRow("no entries, nothing appended") << other << QStringList() << other;
        // A save removes the section first; the new lines still take the file's line end when the removed
        // section held every line that showed it.
        QTest::addRow("rewritten, lf, nothing else")
            << QByteArray("[Addons]\nold=1\n") << QStringList { u"new=2"_s } << QByteArray("[Addons]\nnew=2\n");
        QTest::addRow("rewritten, cr only, nothing else")
            << QByteArray("[Addons]\rold=1\r") << QStringList { u"new=2"_s } << QByteArray("[Addons]\rnew=2\r");
    }

    void appendSection()
    {
        QFETCH(QByteArray, initial);
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, expected);

        IniDocument doc(initial);
        doc.removeAllSections(u"Addons"_s);
        IniDocument oneByOne = doc;
        doc.appendSection(u"Addons"_s, entryList(entries));
        QCOMPARE(doc.toBytes(), expected);

        // The result is the one a write per entry gives.
        for (const IniEntry &entry : entryList(entries))
            oneByOne.setValue(u"Addons"_s, entry.key, entry.value);
        QCOMPARE(oneByOne.toBytes(), expected);
    }

    void entries_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("quotes removed, comments and bare lines skipped")
            << QByteArray("[A]\r\n; c=1\r\nflag\r\nCalc = \"C:\\calc.exe\"\r\nRun=\"a b\" -x\r\n")
            << QStringList { u"Calc=C:\\calc.exe"_s, u"Run=\"a b\" -x"_s };
        QTest::addRow("duplicate key reads its first value")
            << QByteArray("[A]\na=1\nb=2\nA=3\n") << QStringList { u"a=1"_s, u"b=2"_s, u"A=1"_s };
        QTest::addRow("first entry without equals decides")
            << QByteArray("[A]\nb=2\nkey\nKEY=3\n") << QStringList { u"b=2"_s, u"KEY="_s };
        QTest::addRow("later empty key listed") << QByteArray("[A]\na=1\n=2\n") << QStringList { u"a=1"_s, u"=2"_s };
        QTest::addRow("first key empty hides all") << QByteArray("[A]\n; c\n=1\na=2\nb=3\n") << QStringList();
    }

    void entries()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);

        const IniDocument doc(file);
        QStringList got;
        for (const IniEntry &entry : doc.entries(u"A"_s)) {
            got.append(entry.key + u'=' + entry.value);
            // The one-pass answer matches a read per key.
            QCOMPARE(doc.value(u"A"_s, entry.key).value_or(QString()), entry.value);
        }
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(tst_IniDocument)
#include "tst_inidocument.moc"
