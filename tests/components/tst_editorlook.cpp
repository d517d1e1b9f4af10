#include "frmeditor.h"
#include "looktest.h"
#include "ownerdraw.h"
#include "resources.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window's look. Needs both editor pages: the controls it styles live on them.
class tst_EditorLook final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initComponentResources(); }
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void sevenFlatControls_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"txtTooltip", "txtAddOnName", "txtAddOnPath", "cmbboxCommandAddOns",
                                 "cmbboxCommandNoAddOns", "cmbboxAddOnParameters", "cmbButtonBitmap"})
            QTest::addRow("%s", name) << QString::fromLatin1(name);
    }

    void sevenFlatControls()
    {
        QFETCH(QString, name);

        frmEditor editor;
        QCOMPARE(editor.flatControlCount(), 7);
        auto *control = editor.findChild<QWidget *>(name);
        QVERIFY2(control, "the page does not have this control yet");
        QVERIFY2(control->style() != QApplication::style(), "the control keeps the 3D look");
    }

    void drawnButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");

        QTest::addRow("Done Editing, picture 0") << u"cmdDone"_s << u":/panel/done.png"_s;
        QTest::addRow("Cancel Edit, picture 1") << u"cmdCancel"_s << u":/panel/cancel.png"_s;
        for (const char *name : {"cmdBrowseForBitmap", "cmdBrowseForExe", "cmdAddAddOn", "cmdKillAddOn"})
            QTest::addRow("%s, caption only", name) << QString::fromLatin1(name) << QString();
    }

    void drawnButtons()
    {
        QFETCH(QString, name);
        QFETCH(QString, picture);

        frmEditor editor;
        auto *button = editor.findChild<QPushButton *>(name);
        QVERIFY2(button, "the page does not have this button yet");
        QVERIFY(editor.findChild<OwnerDrawManager *>()->buttons().contains(button));
        const QImage image = button->grab().toImage();
        for (const QString &candidate : {u":/panel/done.png"_s, u":/panel/cancel.png"_s})
            QCOMPARE(containsPicture(image, QImage(candidate)), candidate == picture);
    }
};

QTEST_MAIN(tst_EditorLook)
#include "tst_editorlook.moc"
