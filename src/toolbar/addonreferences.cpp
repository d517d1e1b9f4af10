#include "addonreferences.h"

#include "inidocument.h"

#include <algorithm>

namespace {

enum class Form { None, ByName, ByNumber };

// The command word before the bracket, letter case ignored; a blank or anything else in front of the bracket
// makes it no form QTA reads.
Form formOf(QStringView word)
{
    static const QStringView byName[] = { u"RUNADDON", u"RUNADDONNAME", u"RUNADDONBYNAME" };
    static const QStringView byNumber[] = { u"RUNADDONNUM", u"RUNADDONBYNUM" };
    for (QStringView form : byName) {
        if (word.compare(form, Qt::CaseInsensitive) == 0)
            return Form::ByName;
    }
    for (QStringView form : byNumber) {
        if (word.compare(form, Qt::CaseInsensitive) == 0)
            return Form::ByNumber;
    }
    return Form::None;
}

bool isDecimal(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

AddOnReferences::AddOnReferences(const QList<AddOnEntry> &addOns)
    : m_count(int(addOns.size()))
{
    m_names.reserve(addOns.size());
    for (const AddOnEntry &addOn : addOns)
        m_names.insert(IniRules::matchKey(addOn.name));
}

QString AddOnReferences::problem(const QString &command) const
{
    if (!ConfigFormat::isAddOnCommand(command))
        return {};
    const QString text = IniRules::trimmed(command);
    const qsizetype open = text.indexOf(u'(');
    // The last bracket closes: an add-on's name may hold brackets of its own, as in "Printer (A4)".
    const qsizetype close = text.lastIndexOf(u')');
    const Form form = open < 0 ? Form::None : formOf(QStringView(text).left(open));
    if (form == Form::None || close < open) {
        return QStringLiteral("\"%1\" is not an add-on command QTA reads (such as RUNADDON(name) or "
                              "RUNADDONNUM(number)): this button will do nothing in QTA.")
            .arg(text);
    }
    const QString rest = IniRules::trimmed(text.mid(close + 1));
    if (!rest.isEmpty()) {
        return QStringLiteral("Text follows the closing bracket (\"%1\"): QTA reads an add-on command that ends "
                              "with the bracket, so this button may do nothing in QTA.")
            .arg(rest);
    }
    const QString argument = IniRules::trimmed(text.mid(open + 1, close - open - 1));
    return form == Form::ByName ? nameProblem(argument) : numberProblem(argument);
}

QString AddOnReferences::nameProblem(const QString &name) const
{
    if (name.isEmpty())
        return QStringLiteral("This command names no add-on: this button will do nothing in QTA.");
    if (m_names.contains(IniRules::matchKey(name)))
        return {};
    return QStringLiteral("No add-on is named \"%1\": this button will do nothing in QTA.").arg(name);
}

QString AddOnReferences::numberProblem(const QString &number) const
{
    if (number.isEmpty())
        return QStringLiteral("This command gives no add-on number %1.").arg(listSize());
    if (!isDecimal(number))
        return QStringLiteral("\"%1\" is not an add-on number %2.").arg(number, listSize());
    bool ok = false;
    const int position = number.toInt(&ok);
    if (ok && position < m_count)
        return {};
    return QStringLiteral("There is no add-on number %1 %2.").arg(number, listSize());
}

QString AddOnReferences::listSize() const
{
    if (m_count == 0)
        return QStringLiteral("(the list holds no add-ons)");
    if (m_count == 1)
        return QStringLiteral("(the list holds 1 add-on, number 0)");
    return QStringLiteral("(the list holds %1 add-ons, numbered 0 to %2)").arg(m_count).arg(m_count - 1);
}
