#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <utility>

// The platform headers define MessageBox as a macro; this class name must not be rewritten by it.
#ifdef MessageBox
#undef MessageBox
#endif

// What a message box asked the user.
struct MessageBoxRequest
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QList<std::pair<QMessageBox::StandardButton, QString>> buttonTexts; // captions replacing the standard ones

    // The caption the box shows on this button: its own text where one was given, else empty (the standard one).
    QString buttonText(QMessageBox::StandardButton button) const;
};

// Every message box of the program goes through here, so tests can answer it and read what it said.
class MessageBox final
{
public:
    MessageBox() = delete;

    // Shows a modal QMessageBox and returns the button that closed it.
    static QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                            const QString &text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // The same with captions of our own ("Overwrite", "Reload"; empty keeps the standard caption). Each button keeps
    // the role of its standard button, which decides its place in the box and lets Escape still pick Cancel or No.
    using ButtonTexts = QList<std::pair<QMessageBox::StandardButton, QString>>;
    static QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                            const QString &text, const ButtonTexts &buttons,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Test hook: queues one answer. Each show() takes the oldest queued chooser instead of showing a box; a
    // button the box does not offer comes back as NoButton. With nothing queued the real box is shown.
    static void setNextAnswerForTesting(std::function<QMessageBox::StandardButton(const MessageBoxRequest &)> chooser);
    static void setNextAnswerForTesting(QMessageBox::StandardButton answer);
    static int pendingAnswersForTesting();
    static void clearAnswersForTesting();

    // Every box asked for since the last clear, answered by the hook or by the user, oldest first.
    static QList<MessageBoxRequest> shownForTesting();
    static void clearShownForTesting();

private:
    static QMessageBox::StandardButton ask(const MessageBoxRequest &request, QWidget *parent);
};
