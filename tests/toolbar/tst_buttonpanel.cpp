#include "buttonimagelist.h"
#include "editorfixture.h"
#include "pathfunctions.h"
#include "picturecombolist.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>

namespace {

const QByteArray kLoaded = "New=NEW|1\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\nOld=FROBNICATE|2\r\n"
                           "Lower=runaddon(notes)|3\r\nBlank=NEW|\r\n";

void writeBitmap(const QString &path)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(path, "BMP"));
}

QStringList items(QComboBox *combo, int from = 0)
{
    QStringList texts;
    for (int i = from; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

} // namespace

class tst_ButtonPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { checkNothingLeft(); }

    void listsAndKeyboard()
    {
        EditorFixture f(kLoaded);
        QVERIFY(!f.control("Frame1")->isVisible());
        QCOMPARE(f.list("cmbboxCommandNoAddOns")->count(), 47);
        QCOMPARE(items(f.list("cmbboxCommandNoAddOns"), 45),
                 QStringList({ u"HELPABOUTDATA"_s, u"HELPABOUTDATAFILES"_s }));
        QCOMPARE(items(f.list("cmbButtonBitmap")),
                 QStringList({ u"(none)"_s, u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s }));
        QCOMPARE(f.list("cmbboxCommandAddOns")->count(), 11);
        // The add-on list follows the add-ons of each load.
        EditorFixture::writeFile(f.iniPath(), "[Addons]\r\nOnly=C:\\ONLY.EXE\r\n");
        QVERIFY(f.editor->reloadIni());
        QCOMPARE(items(f.list("cmbboxCommandAddOns")), f.editor->configuration()->addOnCommands());
        QCOMPARE(f.list("cmbboxCommandAddOns")->itemText(5), u"RUNADDONBYNUM(0)"_s);

        // Tab goes through the panel in order; each control has the name a screen reader announces.
        f.choose(0, u"T4"_s);
        QStringList reached;
        for (int i = 0; i < 7; ++i) {
            reached.append(QApplication::focusWidget()->objectName() + u'='
                           + QApplication::focusWidget()->accessibleName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(reached,
                 QStringList({ u"txtTooltip=Button Tooltip"_s, u"cmbboxCommandNoAddOns=Button Command: (Non-AddOn)"_s,
                               u"cmbboxCommandAddOns=Button Command: (RunAddOn*)"_s, u"cmbButtonBitmap=Button Image"_s,
                               u"cmdBrowseForBitmap=..."_s, u"cmdDone=Done Editing"_s, u"cmdCancel=Cancel Edit"_s }));
    }

    // What the panel shows for a button; Done without a change leaves the button and the file as they were.
    void beginShowsTheButton_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key"); // the menu item that opens the panel
        QTest::addColumn<QString>("shown"); // tooltip | host list | add-on list | picture
        QTest::addColumn<int>("extraItems"); // commands shown as items of their own

        QTest::addRow("host command") << 0 << "T4"
                                      << "New|NEW|(none)|1" << 0;
        QTest::addRow("add-on command") << 1 << "T4"
                                        << "Print sheet|(none)|RUNADDON(Sheet Printer)|4" << 0;
        QTest::addRow("unknown word kept") << 2 << "T4"
                                           << "Old|FROBNICATE|(none)|2" << 1;
        QTest::addRow("add-on in lower case") << 3 << "T4"
                                              << "Lower|(none)|runaddon(notes)|3" << 1;
        QTest::addRow("no picture") << 4 << "T4"
                                    << "Blank|NEW|(none)|(none)" << 0;
        QTest::addRow("new button") << 2 << "T0"
                                    << "New Button|(none)|(none)|0" << 0;
    }

    void beginShowsTheButton()
    {
        QFETCH(int, position);
        QFETCH(QString, key);
        QFETCH(int, extraItems);
        EditorFixture f(kLoaded);
        // An edit before: its extra items go when the panel opens again.
        f.choose(2, u"T4"_s);
        f.choose(position, key);
        const ToolbarButtonEntry before = f.model()->at(position);
        QTEST(QStringList({ f.control<QLineEdit>("txtTooltip")->text(), f.list("cmbboxCommandNoAddOns")->currentText(),
                            f.list("cmbboxCommandAddOns")->currentText(), f.list("cmbButtonBitmap")->currentText() })
                  .join(u'|'),
              "shown");
        QCOMPARE(f.list("cmbboxCommandNoAddOns")->count() + f.list("cmbboxCommandAddOns")->count(),
                 47 + 11 + extraItems);
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        QVERIFY(!f.control("Frame1")->isVisible());
        QCOMPARE(f.model()->at(position), before);
        QVERIFY(f.editor->saveIni());
        if (key == u"T4"_s)
            QCOMPARE(f.savedFile(), f.original);
    }

    void commitWritesTheChoices_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("tooltip"); // typed over the old one; empty leaves it
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shown"); // host list | add-on list, before Done
        QTest::addColumn<QByteArray>("line");

        QTest::addRow("host word over add-on command") << 1 << ""
                                                       << "cmbboxCommandNoAddOns"
                                                       << "PRINT"
                                                       << "PRINT|(none)" << QByteArray("Print sheet=PRINT|4");
        QTest::addRow("add-on command over host word") << 0 << ""
                                                       << "cmbboxCommandAddOns"
                                                       << "RUNADDONNUM(1)"
                                                       << "(none)|RUNADDONNUM(1)" << QByteArray("New=RUNADDONNUM(1)|1");
        QTest::addRow("(none) in the other list")
            << 1 << ""
            << "cmbboxCommandNoAddOns"
            << "(none)"
            << "(none)|RUNADDON(Sheet Printer)" << QByteArray("Print sheet=RUNADDON(Sheet Printer)|4");
        QTest::addRow("(none) in both, stored as text") << 1 << ""
                                                        << "cmbboxCommandAddOns"
                                                        << "(none)"
                                                        << "(none)|(none)" << QByteArray("Print sheet=(none)|4");
        QTest::addRow("unknown word replaced") << 2 << ""
                                               << "cmbboxCommandNoAddOns"
                                               << "SAVEAS"
                                               << "SAVEAS|(none)" << QByteArray("Old=SAVEAS|2");
        QTest::addRow("tooltip and picture") << 0 << "Brand new"
                                             << "cmbButtonBitmap"
                                             << "7"
                                             << "NEW|(none)" << QByteArray("Brand new=NEW|7");
        QTest::addRow("no picture") << 0 << ""
                                    << "cmbButtonBitmap"
                                    << "(none)"
                                    << "NEW|(none)" << QByteArray("New=NEW|");
    }

    void commitWritesTheChoices()
    {
        QFETCH(int, position);
        QFETCH(QString, tooltip);
        QFETCH(QString, list);
        QFETCH(QString, item);
        QFETCH(QByteArray, line);
        EditorFixture f(kLoaded);
        f.choose(position, u"T4"_s);
        QTest::keyClicks(f.control("txtTooltip"), tooltip);
        EditorFixture::pick(f.list(list.toLatin1().constData()), item);
        QTEST(f.list("cmbboxCommandNoAddOns")->currentText() + u'|' + f.list("cmbboxCommandAddOns")->currentText(),
              "shown");
        QCOMPARE(f.list("cmbButtonBitmap")->toolTip(), f.list("cmbButtonBitmap")->currentText());
        const QString picture = f.list("cmbButtonBitmap")->currentText();
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);

        QList<QByteArray> lines = kLoaded.split('\n');
        lines[position] = line + '\r';
        QCOMPARE(f.saveToolbits(), lines.join('\n'));
        // Opened again, it shows what was stored.
        f.choose(position, u"T4"_s);
        QCOMPARE(f.list("cmbButtonBitmap")->currentText(), picture);
        QTest::keyClick(f.control("txtTooltip"), Qt::Key_Escape);
    }

    // Escape and "&Cancel Edit" drop the edit, Enter and "&Done Editing" commit; Enter on Cancel cancels.
    void keysAndButtons_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("written");
        QTest::addRow("cancel button") << "cmdCancel" << false;
        QTest::addRow("escape") << "txtTooltip" << false;
        QTest::addRow("done button") << "cmdDone" << true;
        QTest::addRow("enter in a list") << "cmbboxCommandAddOns" << true;
        QTest::addRow("enter on cancel") << "cmdCancel Enter" << false;
    }

    void keysAndButtons()
    {
        QFETCH(QString, how);
        QFETCH(bool, written);
        EditorFixture f({});
        f.choose(2, u"T4"_s);
        QTest::keyClicks(f.control("txtTooltip"), u"Keep"_s);
        // Enter in an open list only picks its item.
        EditorFixture::pick(f.list("cmbboxCommandAddOns"), u"RUNADDON(Notes)"_s);
        EditorFixture::pick(f.list("cmbButtonBitmap"), u"(none)"_s);
        QVERIFY(f.control("Frame1")->isVisible());

        QWidget *target = f.control(how.section(u' ', 0, 0).toLatin1().constData());
        if (how.startsWith(u"cmd"_s) && !how.endsWith(u"Enter"_s)) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else {
            target->setFocus();
            QTest::keyClick(target, written || how.endsWith(u"Enter"_s) ? Qt::Key_Return : Qt::Key_Escape);
        }
        QVERIFY(!f.control("Frame1")->isVisible());
        // The keyboard user carries on from the button.
        QCOMPARE(QApplication::focusWidget(), f.editor->previewToolbar()->buttonWidget(2));
        const ToolbarButtonEntry expected = written ? ToolbarButtonEntry { u"Keep"_s, u"RUNADDON(Notes)"_s, -1, false }
                                                    : ToolbarButtonEntry { u"Save"_s, u"SAVE"_s, 3, false };
        QCOMPARE(f.model()->at(2), expected);
    }

    // A tooltip that would collapse with another line or cannot be written, and a command a line cannot hold,
    // are questioned before anything is written.
    void unsavableValues_data()
    {
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("addOnCommand");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QByteArray>("saved"); // what a save writes when the user keeps it; empty: refused

        const QByteArray rest = "Save=SAVE|3\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\n";
        QTest::addRow("equal to another") << "Save"
                                          << ""
                                          << "collapse into one"
                                          << "Save=SAVE|3\r\nspace2=|\r\n" + rest.mid(13);
        QTest::addRow("equal but for case") << "SAVE"
                                            << ""
                                            << "collapse into one"
                                            << "SAVE=SAVE|3\r\nspace2=|\r\n" + rest.mid(13);
        QTest::addRow("holds =") << "a=b"
                                 << ""
                                 << "holds \"=\"" << QByteArray();
        QTest::addRow("starts with [, holds ]") << "[x]"
                                                << ""
                                                << "starts with \"[\"" << QByteArray();
        QTest::addRow("starts with ;") << ";x"
                                       << ""
                                       << "starts with \";\"" << QByteArray();
        QTest::addRow("command holds |") << "New"
                                         << "RUNADDON(A|B)"
                                         << "holds \"|\"" << QByteArray();
    }

    void unsavableValues()
    {
        QFETCH(QString, tooltip);
        QFETCH(QString, addOnCommand);
        QFETCH(QString, warning);
        QFETCH(QByteArray, saved);
        EditorFixture f("New=NEW|1\r\nspace2=|\r\nSave=SAVE|3\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\n",
                        kHead + "A|B=C:\\AB.EXE\r\n");
        f.choose(0, u"T4"_s);
        f.control<QLineEdit>("txtTooltip")->setText(tooltip);
        if (!addOnCommand.isEmpty())
            EditorFixture::pick(f.list("cmbboxCommandAddOns"), addOnCommand);

        // Back to the value: nothing written, the panel open on it.
        MessageBox::setNextAnswerForTesting(QMessageBox::No);
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        QCOMPARE(MessageBox::shownForTesting().size(), 1);
        const MessageBoxRequest box = MessageBox::shownForTesting().constFirst();
        QVERIFY2(box.text.contains(warning), qPrintable(box.text));
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.defaultButton, QMessageBox::No);
        QCOMPARE(QApplication::focusWidget(), f.control(addOnCommand.isEmpty() ? "txtTooltip" : "cmbboxCommandAddOns"));
        QCOMPARE(f.model()->at(0).Tooltip, u"New"_s);

        // Kept: written as it stands, and the save does what the warning said.
        MessageBox::setNextAnswerForTesting(QMessageBox::Yes);
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        QCOMPARE(f.model()->at(0).Tooltip, tooltip);
        // A refused save says why; one that collapses two buttons asks first.
        MessageBox::setNextAnswerForTesting(saved.isEmpty() ? QMessageBox::Ok : QMessageBox::Save);
        QCOMPARE(f.editor->saveIni(), !saved.isEmpty());
        QCOMPARE(f.savedFile(),
                 saved.isEmpty() ? f.original
                                 : f.original.left(f.original.indexOf("[Toolbits]")) + "[Toolbits]\r\n" + saved);
    }

    // "..." through the dialog hook: the settings it opens with, and what each chosen file does.
    void browseForBitmap_data()
    {
        QTest::addColumn<QStringList>("files"); // chosen one after the other; "" cancels
        QTest::addColumn<int>("newPictures");
        QTest::addColumn<int>("bitmapItems");
        QTest::addColumn<bool>("refused");

        QTest::addRow("new file") << QStringList { u"green.bmp"_s } << 1 << 2 << false;
        QTest::addRow("file a button uses") << QStringList { u"used.bmp"_s } << 0 << 2 << false;
        QTest::addRow("same file twice") << QStringList { u"green.bmp"_s, u"./green.bmp"_s } << 1 << 3 << false;
        QTest::addRow("cancelled") << QStringList { u""_s } << 0 << 1 << false;
        QTest::addRow("not a bitmap") << QStringList { u"text.bmp"_s } << 0 << 1 << true;
    }

    void browseForBitmap()
    {
        QFETCH(QStringList, files);
        QFETCH(int, newPictures);
        QFETCH(int, bitmapItems);
        QFETCH(bool, refused);
        QTemporaryDir pictures;
        const QString folder = QFileInfo(pictures.path()).canonicalFilePath();
        writeBitmap(folder + u"/green.bmp"_s);
        writeBitmap(folder + u"/used.bmp"_s);
        EditorFixture::writeFile(folder + u"/text.bmp"_s, "not a picture");
        EditorFixture f("New=NEW|1\r\nUsed=SAVE|" + folder.toLocal8Bit() + "/used.bmp\r\n");
        ButtonImageList *images = f.editor->configuration()->images();
        const int pictureCount = images->count();
        f.choose(1, u"T4"_s);
        auto *list = f.control<PictureComboList>("cmbButtonBitmap");
        // A bitmap's key: its short path on Windows, the path itself elsewhere (the folder is canonical).
        QCOMPARE(list->currentText(), GetShortPath(folder + u"/used.bmp"_s));

        for (const QString &name : std::as_const(files)) {
            QStringList settings;
            FileDialog::setNextAnswerForTesting([&](FileDialog &dialog) {
                settings = QStringList {
                    dialog.filter(),           QString::number(dialog.filterIndex()),
                    dialog.defaultExtension(), QString::number(dialog.flags(), 16),
                    dialog.initialDir(),       dialog.previewWidget() ? dialog.previewWidget()->objectName() : QString()
                };
                return name.isEmpty() ? QString() : folder + u'/' + name;
            });
            if (refused)
                MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
            QTest::mouseClick(f.control("cmdBrowseForBitmap"), Qt::LeftButton);
            QCOMPARE(settings,
                     QStringList({ u"Windows Bitmaps (*.bmp)|*.bmp"_s, u"1"_s, u"bmp"_s, u"281004"_s, f.dir(),
                                   u"Picture1"_s }));
        }
        QCOMPARE(MessageBox::shownForTesting().size(), refused ? 1 : 0);
        if (refused) // the reason, not just the refusal
            QVERIFY2(MessageBox::shownForTesting().first().text.contains(u"not a picture this program can read"_s),
                     qPrintable(MessageBox::shownForTesting().first().text));
        QCOMPARE(images->count(), pictureCount + newPictures);
        QCOMPARE(list->count(), 9 + bitmapItems);
        // The new item is selected, keyed by the file's stable path, and shows the picture of that key.
        const QString chosen = GetShortPath(bitmapItems > 1 ? folder + u'/' + QFileInfo(files.constLast()).fileName()
                                                            : folder + u"/used.bmp"_s);
        QCOMPARE(list->currentIndex(), list->count() - 1);
        QCOMPARE(list->toolTip(), chosen);
        QCOMPARE(list->itemPicture(list->currentIndex()), images->indexOfKey(chosen));
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        QCOMPARE(f.saveToolbits(), "New=NEW|1\r\nUsed=SAVE|" + chosen.toLocal8Bit() + "\r\n");
    }

    // The real file dialog: it opens in the bitmaps folder, previews the file the user moves to, and its
    // choice is taken.
    void realFileDialog()
    {
        EditorFixture f({});
        const QString file = f.dir() + u"/blue.bmp"_s;
        writeBitmap(file);
        f.choose(0, u"T4"_s);
        QString folder;
        bool previewed = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            folder = dialog->directory().canonicalPath();
            auto *view = dialog->findChild<QListView *>(u"listView"_s);
            auto *preview = dialog->findChild<QLabel *>(u"picPreviewImage"_s);
            if (view && preview) {
                view->setCurrentIndex(qobject_cast<QFileSystemModel *>(view->model())->index(file));
                previewed = QTest::qWaitFor([preview] { return !preview->pixmap().isNull(); });
            }
            dialog->selectFile(file);
            static_cast<QDialog *>(dialog)->accept();
        });
        QTest::mouseClick(f.control("cmdBrowseForBitmap"), Qt::LeftButton);
        QCOMPARE(folder, f.dir());
        QVERIFY(previewed);
        QCOMPARE(f.list("cmbButtonBitmap")->currentText(), GetShortPath(file));
        QTest::keyClick(f.control("cmbButtonBitmap"), Qt::Key_Return);
        QCOMPARE(f.saveToolbits(), "New=NEW|" + GetShortPath(file).toLocal8Bit() + "\r\n" + kDefaultToolbits.mid(11));
    }

    void linesAsQtaReadsThem_data()
    {
        QTest::addColumn<QByteArray>("lines"); // the "Toolbits" section the window starts on
        QTest::addColumn<QStringList>("shown"); // per button: tooltip=command|picture, or tooltip alone for a gap
        QTest::addColumn<QString>("tooltip"); // typed for the first button in its panel; empty: no edit
        QTest::addColumn<QByteArray>("saved"); // the "Toolbits" section after "Save INI"

        // Only an empty command makes a gap; a blank one is a command QTA reads back from its quotes.
        QTest::addRow("quoted blank command") << QByteArray("Tip=\" |3\"\r\n") << QStringList { u"Tip= |3"_s }
                                              << QString() << QByteArray("Tip=\" |3\"\r\n");
        // A nameless line is a button QTA counts: it keeps its place.
        QTest::addRow("nameless button and separator")
            << QByteArray("New=NEW|1\r\n=SAVE|3\r\nspace3=|\r\n=|\r\nExit=EXIT|7\r\n")
            << QStringList { u"New=NEW|1"_s, u"=SAVE|3"_s, u"space3"_s, QString(), u"Exit=EXIT|7"_s } << QString()
            << QByteArray("New=NEW|1\r\n=SAVE|3\r\nspace3=|\r\n=|\r\nExit=EXIT|7\r\n");
        QTest::addRow("nameless first button")
            << QByteArray("=NEW|1\r\nSave=SAVE|3\r\n") << QStringList { u"=NEW|1"_s, u"Save=SAVE|3"_s } << QString()
            << QByteArray("=NEW|1\r\nSave=SAVE|3\r\n");
        // A line that starts with "[" is a section header only when it holds "]".
        QTest::addRow("tooltip starting with [") << QByteArray("[Tip=NEW|1\r\n") << QStringList { u"[Tip=NEW|1"_s }
                                                 << QString() << QByteArray("[Tip=NEW|1\r\n");
        QTest::addRow("tooltip starting with [ typed") << QByteArray("New=NEW|1\r\n") << QStringList { u"New=NEW|1"_s }
                                                       << u"[New"_s << QByteArray("[New=NEW|1\r\n");
    }

    // The preview shows what QTA reads from each line, and "Save INI" writes it so that QTA reads the same.
    void linesAsQtaReadsThem()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, tooltip);
        QFETCH(QByteArray, saved);
        // A question or a refusal would wait for a user: answered here, and reported below.
        for (int i = 0; i < 2; ++i) {
            MessageBox::setNextAnswerForTesting([](const MessageBoxRequest &box) {
                return box.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
            });
        }
        EditorFixture f(lines);
        const Toolbar *preview = f.editor->previewToolbar();
        QStringList shown;
        for (int i = 0; i < preview->buttonCount(); ++i) {
            const ToolbarButtonEntry &button = f.model()->at(i);
            shown.append(preview->isSeparator(i)
                             ? preview->buttonTooltip(i)
                             : u"%1=%2|%3"_s.arg(preview->buttonTooltip(i), button.Command).arg(button.ImageIndex));
        }
        if (!tooltip.isEmpty()) {
            f.choose(0, u"T4"_s);
            f.control<QLineEdit>("txtTooltip")->setText(tooltip);
            QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        }
        QTest::mouseClick(f.editor->commandToolbar(1)->buttonWidget(1), Qt::LeftButton); // Save INI
        QStringList said;
        for (const MessageBoxRequest &box : MessageBox::shownForTesting())
            said.append(box.text);
        MessageBox::clearAnswersForTesting();
        QTEST(shown, "shown");
        QCOMPARE(said, QStringList());
        QCOMPARE(f.savedFile(), f.original.left(f.original.indexOf("[Toolbits]")) + "[Toolbits]\r\n" + saved);
    }
};

QTEST_MAIN(tst_ButtonPanel)
#include "tst_buttonpanel.moc"
