#include "testfiles.h"
#include "filesafety.h"
#include "inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHostFile = "; QTA configuration\r\n[Main]\r\nFont=Courier\r\n\r\n[Toolbits]\r\nOpen=LOAD\r\n"
                             "[Addons]\r\nCalc=\"C:\\Windows\\calc.exe\"\r\nEdit=notepad.exe %charfile%\r\n\r\n"
                             "[Colors]\r\nBack=\xE9t\xE9\r\n";

} // namespace

class tst_IniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(u"QTA.INI"_s);
        writeBytes(m_path, kHostFile);
        m_messages.clear();
        m_previousHandler = setIniMessageHandler([this](const QString &text, const QString &title) {
            m_messages.append({ text, title });
        });
    }

    void cleanup()
    {
        setIniMessageHandler(m_previousHandler);
        FileSafety::setWriteLimitForTesting(-1);
    }

    // The first test: the process starts unregistered.
    void unregisteredCall_data()
    {
        QTest::addColumn<bool>("afterDelete");
        QTest::addColumn<QString>("call");

        const QStringList calls = { u"IniReadSection"_s, u"IniReadKey"_s, u"IniWriteKey"_s, u"IniDeleteSection"_s };
        for (const QString &call : calls)
            QTest::addRow("before IniRegister: %s", qPrintable(call)) << false << call;
        for (const QString &call : calls)
            QTest::addRow("after IniDeleteSection: %s", qPrintable(call)) << true << call;
    }

    void unregisteredCall()
    {
        QFETCH(bool, afterDelete);
        QFETCH(QString, call);

        if (afterDelete) {
            IniRegister(u"Addons"_s, m_path);
            IniDeleteSection();
            QVERIFY(m_messages.isEmpty());
        }
        QVERIFY(!IniContext().Registered);
        const QByteArray before = readBytes(m_path);

        if (call == u"IniReadSection") {
            IniSectionTable table { QStringList { u"keep"_s }, QStringList { u"me"_s } };
            QCOMPARE(IniReadSection(table), 0);
            QCOMPARE(table, (IniSectionTable { QStringList { u"keep"_s }, QStringList { u"me"_s } }));
        } else if (call == u"IniReadKey") {
            QCOMPARE(IniReadKey(u"Font"_s, u"fallback"_s), QString());
        } else if (call == u"IniWriteKey") {
            QString reason;
            QCOMPARE(IniWriteKey(u"Font"_s, u"Arial"_s, &reason), qint16(0));
        } else {
            IniDeleteSection();
        }

        QCOMPARE(m_messages,
                 (QList<QStringList> {
                     { u"[Section] and FileName Not Registered in Private.Ini!"_s, u"IniFile Logic Error"_s } }));
        QCOMPARE(readBytes(m_path), before);
        QVERIFY(!IniContext().Registered);
    }

    void registeredCalls()
    {
        IniRegister(u"  Addons \t"_s, u" "_s + m_path + u"  "_s);
        QCOMPARE(IniContext().Section, u"Addons"_s);
        QCOMPARE(IniContext().FileName, m_path);
        IniSectionTable table;
        QCOMPARE(IniReadSection(table), 2);
        QCOMPARE(table[0], (QStringList { u"Calc"_s, u"Edit"_s }));

        const QByteArray written = QByteArray(kHostFile).replace("notepad.exe", "wordpad.exe");
        QCOMPARE(IniWriteKey(u"edit"_s, u"wordpad.exe %charfile%"_s), qint16(1));
        QCOMPARE(readBytes(m_path), written);
        QCOMPARE(IniReadKey(u"EDIT"_s, QString()), u"wordpad.exe %charfile%"_s);
        // Writing the value a key already has does not write at all: a full disk cannot hurt it.
        FileSafety::setWriteLimitForTesting(0);
        QVERIFY(IniWriteKey(u"Calc"_s, u"\"C:\\Windows\\calc.exe\""_s) != 0);
        QCOMPARE(readBytes(m_path), written);
        FileSafety::setWriteLimitForTesting(-1);
        QVERIFY(m_messages.isEmpty());

        // Deleting the section removes it by its trimmed name and leaves the rest.
        IniDeleteSection();
        const qsizetype from = kHostFile.indexOf("[Addons]");
        QCOMPARE(readBytes(m_path), QByteArray(kHostFile).remove(from, kHostFile.indexOf("[Colors]") - from));
        QCOMPARE(IniContext().Section, QString());
    }

    void readSectionLeavesTable_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file at all

        QTest::addRow("missing file") << QByteArray();
        QTest::addRow("missing section") << QByteArray("[Main]\r\nAddons=1\r\n");
        QTest::addRow("empty section") << QByteArray("[Addons]\r\n\r\n[Main]\r\na=1\r\n");
        QTest::addRow("comments and bare lines only") << QByteArray("[Addons]\r\n; Calc=calc.exe\r\nCalc\r\n");
    }

    void readSectionLeavesTable()
    {
        QFETCH(QByteArray, file);

        if (file.isEmpty())
            QVERIFY(QFile::remove(m_path));
        else
            writeBytes(m_path, file);
        IniRegister(u"Addons"_s, m_path);
        IniSectionTable table { QStringList { u"Calc"_s }, QStringList { u"calc.exe"_s } };
        QCOMPARE(IniReadSection(table), 0);
        QCOMPARE(table, (IniSectionTable { QStringList { u"Calc"_s }, QStringList { u"calc.exe"_s } }));
        QCOMPARE(IniReadKey(u"Calc"_s, u"dflt"_s), u"dflt"_s);
        QCOMPARE(QFile::exists(m_path), !file.isEmpty());
    }

    void valueReadBack_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");

        const QString long300 = u"0123456789"_s.repeated(30);
        QTest::addRow("300 characters, no cut") << long300 << long300;
        QTest::addRow("whole path quoted") << u"\"C:\\Program Files\\Calc\\calc.exe\""_s
                                           << u"C:\\Program Files\\Calc\\calc.exe"_s;
        QTest::addRow("quoted path and argument")
            << u"\"C:\\Program Files\\ed.exe\" %charfile%"_s << u"\"C:\\Program Files\\ed.exe\" %charfile%"_s;
        QTest::addRow("single quotes") << u"'C:\\x.exe'"_s << u"C:\\x.exe"_s;
    }

    void valueReadBack()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);

        IniRegister(u"Addons"_s, m_path);
        QCOMPARE(IniWriteKey(u"Tool"_s, written), qint16(1));
        QCOMPARE(IniReadKey(u"Tool"_s, QString()), read);
        IniSectionTable table;
        QCOMPARE(IniReadSection(table), 3);
        QCOMPARE(table[1].last(), read);
    }

    void writeRefused_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");

        QTest::addRow("key holding =") << u"a=b"_s << u"x"_s;
        QTest::addRow("key holding CR") << u"a\rb"_s << u"x"_s;
        QTest::addRow("key holding LF") << u"a\nb"_s << u"x"_s;
        QTest::addRow("key holding NUL") << u"a"_s + QChar(0) + u"b"_s << u"x"_s;
        QTest::addRow("key starting with [") << u"[Main]"_s << u"x"_s;
        QTest::addRow("key starting with ;") << u";Calc"_s << u"x"_s;
        QTest::addRow("key with blanks before [, ] in the value") << u"  [x"_s << u"a]b"_s;
        QTest::addRow("value the code page cannot hold") << u"Calc"_s << u"\u2192"_s;
        QTest::addRow("key with tab before ;") << u"\t;x"_s << u"x"_s;
        QTest::addRow("value holding CR") << u"Calc"_s << u"a\rb"_s;
        QTest::addRow("value holding LF") << u"Calc"_s << u"a\n[Main]"_s;
        QTest::addRow("value holding NUL") << u"Calc"_s << u"a"_s + QChar(0) + u"b"_s;
    }

    void writeRefused()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);

        IniRegister(u"Addons"_s, m_path);
        QString reason;
        QCOMPARE(IniWriteKey(key, value, &reason), qint16(0));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readBytes(m_path), kHostFile);
    }

    // Lines the file holds as written are not refused.
    void writeAccepted_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line"); // appended to the section

        QTest::addRow("key starting with [, no ] on the line") << u"[x"_s << u"y"_s << QByteArray("[x=y");
        QTest::addRow("empty key") << QString() << u"x"_s << QByteArray("=x");
        QTest::addRow("8-bit letters") << u"Caf\u00e9"_s << u"\u00e9t\u00e9"_s << QByteArray("Caf\xe9=\xe9t\xe9");
    }

    void writeAccepted()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, line);

        IniRegister(u"Addons"_s, m_path);
        QString reason;
        QCOMPARE(IniWriteKey(key, value, &reason), qint16(1));
        QCOMPARE(reason, QString());
        QCOMPARE(IniReadKey(key, u"missing"_s), value);
        const QByteArray end = "%charfile%\r\n";
        QCOMPARE(readBytes(m_path), QByteArray(kHostFile).insert(kHostFile.indexOf(end) + end.size(), line + "\r\n"));
    }

private:
    QString m_path;
    QScopedPointer<QTemporaryDir> m_dir;
    QList<QStringList> m_messages;
    IniMessageHandler m_previousHandler;
};

QTEST_GUILESS_MAIN(tst_IniFile)
#include "tst_inifile.moc"
