#include "flatlook.h"
#include "looktest.h"
#include "picturecombolist.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

// "kind:name", the kind as in the rows below.
QWidget *addControl(QWidget *form, const QString &description)
{
    const QString kind = description.section(u':', 0, 0);
    QWidget *c = nullptr;
    if (kind == u"line")
        c = new QLineEdit(form);
    else if (kind == u"combo" || kind == u"editable")
        c = new QComboBox(form);
    else if (kind == u"picture")
        c = new PictureComboList(form);
    else if (kind == u"rich")
        c = new QTextEdit(form);
    else if (kind == u"plain")
        c = new QPlainTextEdit(form);
    else if (kind == u"list")
        c = new QListWidget(form);
    else if (kind == u"spin")
        c = new QSpinBox(form);
    else if (kind == u"button")
        c = new QPushButton(u"..."_s, form);
    else
        c = new QLabel(u"Button Tooltip:"_s, form);
    if (kind == u"editable")
        static_cast<QComboBox *>(c)->setEditable(true);
    c->setObjectName(description.section(u':', 1));
    c->setGeometry(10, 10, 160, kind == u"list" ? 80 : 26);
    return c;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}

} // namespace

class tst_FlatLook final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void choosesEditControls_data()
    {
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<QStringList>("taken");

        QTest::addRow("the main window's kinds, in order")
            << QStringList{u"line:txtTooltip"_s, u"label:lblTooltip"_s, u"picture:cmbButtonBitmap"_s,
                           u"combo:cmbboxCommandAddOns"_s}
            << QStringList{u"txtTooltip"_s, u"cmbButtonBitmap"_s, u"cmbboxCommandAddOns"_s};
        QTest::addRow("editable combo box, not the line edit inside")
            << QStringList{u"editable:cmbboxAddOnParameters"_s} << QStringList{u"cmbboxAddOnParameters"_s};
        QTest::addRow("list and rich-text boxes, except txtEdit")
            << QStringList{u"list:lstFiles"_s, u"rich:txtEdit"_s, u"rich:txtNotes"_s, u"plain:txtLog"_s}
            << QStringList{u"lstFiles"_s, u"txtNotes"_s, u"txtLog"_s};
        QTest::addRow("unnamed, spin box, button")
            << QStringList{u"line:"_s, u"spin:txtCount"_s, u"button:cmdDone"_s} << QStringList{};
    }

    void choosesEditControls()
    {
        QFETCH(QStringList, controls);
        QFETCH(QStringList, taken);

        QWidget form;
        for (const QString &description : std::as_const(controls))
            addControl(&form, description);
        auto *earlier = new FlatControl(&form);
        QList<FlatControl *> flat{earlier};
        // Every widget of the form, the parts Qt builds inside the controls among them.
        QCOMPARE(MakeFlatControls(flat, form.findChildren<QWidget *>()), taken.size());

        QCOMPARE(flat.takeFirst(), earlier);
        QStringList names;
        for (const FlatControl *f : std::as_const(flat)) {
            names.append(f->control()->objectName());
            QVERIFY(f->control()->style() != QApplication::style());
        }
        QCOMPARE(names, taken);

        // Deleting a FlatControl gives its control, and the parts inside it, their own look back.
        qDeleteAll(flat);
        for (const QWidget *w : form.findChildren<QWidget *>())
            QVERIFY2(w->style() == QApplication::style(), qPrintable(w->objectName()));
    }

    void drawsThinFrame_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("focused");

        for (const char *control : {"line:txtA", "combo:cmbA", "editable:cmbB", "picture:cmbC", "list:lstA"}) {
            for (const bool dark : {false, true}) {
                for (const bool focused : {false, true})
                    QTest::addRow("%s%s%s", control, dark ? ", dark" : "", focused ? ", focused" : "")
                        << QString::fromLatin1(control) << dark << focused;
            }
        }
    }

    void drawsThinFrame()
    {
        QFETCH(QString, control);
        QFETCH(bool, dark);
        QFETCH(bool, focused);

        QWidget form;
        if (dark)
            form.setPalette(darkPalette());
        QWidget *c = addControl(&form, control);
        QList<FlatControl *> flat;
        QCOMPARE(MakeFlatControls(flat, {c}), 1);
        if (focused) {
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            c->setFocus();
            QTRY_VERIFY(c->hasFocus());
        }

        const QImage image = c->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        const QColor edge = image.pixelColor(0, h / 2);
        const QPalette palette = c->palette();
        // One colour all round, so no bevel; thin; and it stands out from both the field and its text.
        QVERIFY(near(image.pixelColor(w / 3, 0), edge) && near(image.pixelColor(w / 3, h - 1), edge)
                && near(image.pixelColor(w - 1, h / 2), edge));
        if (focused) {
            QVERIFY(near(edge, palette.color(QPalette::Highlight)));
        } else {
            QVERIFY(near(image.pixelColor(1, h / 2), palette.color(QPalette::Base)));
            QVERIFY(qAbs(edge.lightness() - palette.color(QPalette::Base).lightness()) >= 40);
            QVERIFY(qAbs(edge.lightness() - palette.color(QPalette::Text).lightness()) >= 40);
        }
    }
};

QTEST_MAIN(tst_FlatLook)
#include "tst_flatlook.moc"
