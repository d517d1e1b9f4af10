#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

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

    // Test hook: queues one answer. Each show() takes the oldest queued chooser instead of showing a box; a
    // button the box does not offer comes back as NoButton. With nothing queued the real box is shown.
    static void setNextAnswerForTesting(std::function<QMessageBox::StandardButton(const MessageBoxRequest &)> chooser);
    static void setNextAnswerForTesting(QMessageBox::StandardButton answer);
    static int pendingAnswersForTesting();
    static void clearAnswersForTesting();

    // Every box asked for since the last clear, answered by the hook or by the user, oldest first.
    static QList<MessageBoxRequest> shownForTesting();
    static void clearShownForTesting();
};
