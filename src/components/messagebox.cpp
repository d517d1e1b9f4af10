#include "messagebox.h"

#include <QPointer>

namespace {

using Chooser = std::function<QMessageBox::StandardButton(const MessageBoxRequest &)>;

QList<Chooser> &queuedAnswers()
{
    static QList<Chooser> answers;
    return answers;
}

QList<MessageBoxRequest> &shownRequests()
{
    static QList<MessageBoxRequest> requests;
    return requests;
}

} // namespace

QMessageBox::StandardButton MessageBox::show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                             const QString &text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    const MessageBoxRequest request { icon, title, text, buttons, defaultButton };
    shownRequests().append(request);

    if (!queuedAnswers().isEmpty()) {
        const Chooser chooser = queuedAnswers().takeFirst();
        const QMessageBox::StandardButton answer = chooser ? chooser(request) : QMessageBox::NoButton;
        // QMessageBox itself adds OK to a box that names no button.
        const QMessageBox::StandardButtons offered = buttons == QMessageBox::NoButton ? QMessageBox::Ok : buttons;
        return offered.testFlag(answer) ? answer : QMessageBox::NoButton;
    }

    // On the heap and watched: the parent may be destroyed while the box runs, taking the box with it.
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    const int result = box->exec();
    delete box;
    return static_cast<QMessageBox::StandardButton>(result);
}

void MessageBox::setNextAnswerForTesting(Chooser chooser)
{
    queuedAnswers().append(std::move(chooser));
}

void MessageBox::setNextAnswerForTesting(QMessageBox::StandardButton answer)
{
    setNextAnswerForTesting([answer](const MessageBoxRequest &) { return answer; });
}

int MessageBox::pendingAnswersForTesting()
{
    return int(queuedAnswers().size());
}

void MessageBox::clearAnswersForTesting()
{
    queuedAnswers().clear();
}

QList<MessageBoxRequest> MessageBox::shownForTesting()
{
    return shownRequests();
}

void MessageBox::clearShownForTesting()
{
    shownRequests().clear();
}
