#include "messagebox.h"

#include <QPointer>
#include <QPushButton>

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

QString MessageBoxRequest::buttonText(QMessageBox::StandardButton button) const
{
    for (const auto &[standard, text] : buttonTexts) {
        if (standard == button)
            return text;
    }
    return QString();
}

QMessageBox::StandardButton MessageBox::show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                             const QString &text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return ask(MessageBoxRequest { icon, title, text, buttons, defaultButton, {} }, parent);
}

QMessageBox::StandardButton MessageBox::show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                             const QString &text, const ButtonTexts &buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    QMessageBox::StandardButtons flags;
    for (const auto &entry : buttons)
        flags |= entry.first;
    return ask(MessageBoxRequest { icon, title, text, flags, defaultButton, buttons }, parent);
}

QMessageBox::StandardButton MessageBox::ask(const MessageBoxRequest &request, QWidget *parent)
{
    shownRequests().append(request);

    if (!queuedAnswers().isEmpty()) {
        const Chooser chooser = queuedAnswers().takeFirst();
        const QMessageBox::StandardButton answer = chooser ? chooser(request) : QMessageBox::NoButton;
        // QMessageBox itself adds OK to a box that names no button.
        const QMessageBox::StandardButtons offered
            = request.buttons == QMessageBox::NoButton ? QMessageBox::Ok : request.buttons;
        return offered.testFlag(answer) ? answer : QMessageBox::NoButton;
    }

    // On the heap and watched: the parent may be destroyed while the box runs, taking the box with it.
    QPointer<QMessageBox> box
        = new QMessageBox(request.icon, request.title, request.text, QMessageBox::NoButton, parent);
    if (request.buttonTexts.isEmpty()) {
        box->setStandardButtons(request.buttons);
    } else {
        for (const auto &[standard, caption] : request.buttonTexts) {
            QPushButton *button = box->addButton(standard);
            if (!caption.isEmpty())
                button->setText(caption);
        }
    }
    if (request.defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(request.defaultButton);
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
