#include "dropdownwidth.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>

int averageCharWidth(const QWidget *form)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return QFontMetrics(form->font()).horizontalAdvance(letters) / int(letters.size());
}

void sizeDropDownToItems(QComboBox *combo, const QWidget *form)
{
    qsizetype longest = 0;
    for (int i = 0; i < combo->count(); ++i)
        longest = qMax(longest, combo->itemText(i).size());
    // A long list gets a scroll bar, which needs room of its own.
    const int width = averageCharWidth(form) * int(combo->count() >= 9 ? longest + 2 : longest - 2);
    // The list is never narrower than the combo itself.
    combo->view()->setMinimumWidth(qMax(width, combo->width()));
}
