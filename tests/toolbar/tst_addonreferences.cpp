#include "addonlistmodel.h"
#include "addonreferences.h"
#include "editorfixture.h"
#include "toolbarmodel.h"

#include <QAccessible>

namespace {

QList<AddOnEntry> addOns(const QStringList &names)
{
    QList<AddOnEntry> result;
    for (const QString &name : names)
        result.append(AddOnEntry{name, u"C:\\X.EXE"_s, u"(none)"_s});
    return result;
}

} // namespace

class tst_AddOnReferences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { checkNothingLeft(); }
    void problem_data();
    void problem();
    void previewMarksFollowBothLists();
};

void tst_AddOnReferences::problem_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");

    const QStringList three{u"Sheet Printer"_s, u"Notes"_s, u"Printer (A4)"_s};
    const QString range = u"(the list holds 3 add-ons, numbered 0 to 2)"_s;
    const QString unreadable = u"is not an add-on command QTA reads (such as RUNADDON(name) or RUNADDONNUM(number)): "
                               "this button will do nothing in QTA."_s;

    QTest::addRow("host command word") << three << "PRINT" << "";
    QTest::addRow("no command") << three << "(none)" << "";
    QTest::addRow("by name") << three << "RUNADDON(Notes)" << "";
    QTest::addRow("name: letter case and blanks as in the file") << three << "runAddOnByName( notes )" << "";
    QTest::addRow("name holding brackets") << three << "RUNADDONNAME(Printer (A4))" << "";
    QTest::addRow("unknown name") << three << "RUNADDON(Foo)"
                                  << "No add-on is named \"Foo\": this button will do nothing in QTA.";
    QTest::addRow("empty name") << three << "RUNADDON()"
                                << "This command names no add-on: this button will do nothing in QTA.";
    QTest::addRow("last number") << three << "RUNADDONNUM(2)" << "";
    QTest::addRow("number form in lower case") << three << "runaddonbynum(0)" << "";
    QTest::addRow("number past the end") << three << "RUNADDONNUM(3)"
                                         << u"There is no add-on number 3 "_s + range + u"."_s;
    QTest::addRow("number too large for any list") << three << "RUNADDONBYNUM(99999999999)"
                                                   << u"There is no add-on number 99999999999 "_s + range + u"."_s;
    QTest::addRow("not a number") << three << "RUNADDONNUM(x)" << u"\"x\" is not an add-on number "_s + range + u"."_s;
    QTest::addRow("negative number") << three << "RUNADDONNUM(-1)"
                                     << u"\"-1\" is not an add-on number "_s + range + u"."_s;
    QTest::addRow("one add-on") << QStringList{u"Notes"_s} << "RUNADDONNUM(1)"
                                << "There is no add-on number 1 (the list holds 1 add-on, number 0).";
    QTest::addRow("no add-ons") << QStringList() << "RUNADDONNUM(0)"
                                << "There is no add-on number 0 (the list holds no add-ons).";
    QTest::addRow("text after the bracket") << three << "RUNADDON(Notes) -q"
                                            << "Text follows the closing bracket (\"-q\"): QTA reads an add-on command "
                                               "that ends with the bracket, so this button may do nothing in QTA.";
    QTest::addRow("no closing bracket") << three << "RUNADDON(Notes" << u"\"RUNADDON(Notes\" "_s + unreadable;
    QTest::addRow("unknown command word") << three << "RUNADDONS(Notes)" << u"\"RUNADDONS(Notes)\" "_s + unreadable;
}

void tst_AddOnReferences::problem()
{
    QFETCH(QStringList, names);
    QFETCH(QString, command);
    QFETCH(QString, expected);

    QCOMPARE(AddOnReferences(addOns(names)).problem(command), expected);
}

// On the main window: the preview marks buttons as add-ons and buttons change, and never rewrites a command.
void tst_AddOnReferences::previewMarksFollowBothLists()
{
    EditorFixture fixture("Run Notes=RUNADDON(Notes)|1\r\nSecond=RUNADDONNUM(1)|2\r\nNew=NEW|1\r\n");
    const Toolbar *preview = fixture.editor->previewToolbar();
    AddOnListModel *list = fixture.editor->configuration()->addOns();
    ToolbarModel *buttons = fixture.model();
    auto tips = [preview] {
        QStringList result;
        for (int i = 0; i < preview->buttonCount(); ++i)
            result.append(preview->buttonWidget(i)->toolTip());
        return result.join(u" | "_s);
    };
    const QString noNotes = u"No add-on is named \"Notes\": this button will do nothing in QTA."_s;
    const QString noSecond = u"There is no add-on number 1 (the list holds 1 add-on, number 0)."_s;
    QCOMPARE(tips(), u"Run Notes | Second | New"_s);

    list->setCellText(1, AddOnListModel::NameColumn, u"Jotter"_s);
    QCOMPARE(tips(), u"Run Notes\n%1 | Second | New"_s.arg(noNotes));
    QCOMPARE(QAccessible::queryAccessibleInterface(preview->buttonWidget(0))->text(QAccessible::Description),
             noNotes);
    list->moveAddOn(1, 0);
    QCOMPARE(tips(), u"Run Notes\n%1 | Second | New"_s.arg(noNotes));
    list->setCellText(0, AddOnListModel::NameColumn, u"NOTES"_s);
    QCOMPARE(tips(), u"Run Notes | Second | New"_s);

    list->removeAddOn(1);
    QCOMPARE(tips(), u"Run Notes | Second\n%1 | New"_s.arg(noSecond));
    list->insertAddOn(0, AddOnEntry{u"Sheet Printer"_s, u"C:\\SP.EXE"_s, u"(none)"_s});
    QCOMPARE(tips(), u"Run Notes | Second | New"_s);
    list->setEntries({});
    QVERIFY(!preview->buttonMark(0).isEmpty() && !preview->buttonMark(1).isEmpty());
    QCOMPARE(preview->buttonMark(2), QString());

    // The marks travel with their buttons and follow edits of the buttons themselves.
    list->setEntries(addOns({u"Notes"_s, u"Sheet Printer"_s}));
    buttons->move(0, 2);
    buttons->replace(0, ToolbarButtonEntry{u"Second"_s, u"RUNADDONNUM(7)"_s, 2, false});
    QCOMPARE(preview->buttonMark(0), u"There is no add-on number 7 (the list holds 2 add-ons, numbered 0 to 1)."_s);
    QCOMPARE(preview->buttonMark(2), QString());
    buttons->insert(1, ToolbarButtonEntry{u"Run Foo"_s, u"RUNADDON(Foo)"_s, 1, false});
    QCOMPARE(preview->buttonMark(1), u"No add-on is named \"Foo\": this button will do nothing in QTA."_s);
    QCOMPARE(buttons->at(1).Command, u"RUNADDON(Foo)"_s);
}

QTEST_MAIN(tst_AddOnReferences)
#include "tst_addonreferences.moc"
