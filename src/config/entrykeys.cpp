#include "entrykeys.h"

#include "inidocument.h"

#include <QHash>
#include <QSet>

namespace {

// "1, 2 and 3"
QString numberList(const QList<int> &positions)
{
    QStringList numbers;
    for (const int position : positions)
        numbers.append(QString::number(position + 1));
    const QString last = numbers.takeLast();
    return numbers.isEmpty() ? last : numbers.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QStringList addOnNames(const QList<AddOnEntry> &addOns)
{
    QStringList names;
    names.reserve(addOns.size());
    for (const AddOnEntry &addOn : addOns)
        names.append(addOn.name);
    return names;
}

} // namespace

QStringList savedToolbarKeys(const QList<ToolbarButtonEntry> &buttons)
{
    QStringList keys;
    keys.reserve(buttons.size());
    QSet<QString> taken;
    // A nameless line is no key another line can replace: it is never taken.
    for (const ToolbarButtonEntry &button : buttons) {
        keys.append(button.tooltip);
        if (QString key = IniRules::matchKey(button.tooltip); !button.isSeparator && !key.isEmpty())
            taken.insert(std::move(key));
    }
    for (int position = 0; position < buttons.size(); ++position) {
        if (!buttons[position].isSeparator)
            continue;
        QString key = IniRules::matchKey(keys[position]);
        if (key.isEmpty())
            continue;
        if (taken.contains(key)) {
            int number = position + 1;
            do
                keys[position] = ConfigFormat::separatorKey(number++);
            while (taken.contains(IniRules::matchKey(keys[position])));
            key = IniRules::matchKey(keys[position]);
        }
        taken.insert(key);
    }
    return keys;
}

QList<QList<int>> sharedKeys(const QStringList &keys)
{
    QHash<QString, int> groupOfKey;
    QList<QList<int>> groups;
    for (int position = 0; position < keys.size(); ++position) {
        const QString key = IniRules::matchKey(keys[position]);
        // Nameless lines each keep their place in the file.
        if (key.isEmpty())
            continue;
        const auto it = groupOfKey.constFind(key);
        if (it == groupOfKey.cend()) {
            groupOfKey.insert(key, int(groups.size()));
            groups.append(QList<int> { position });
        } else {
            groups[*it].append(position);
        }
    }
    groups.removeIf([](const QList<int> &group) { return group.size() < 2; });
    return groups;
}

QStringList toolbarKeyWarnings(const QList<ToolbarButtonEntry> &buttons)
{
    QStringList warnings(buttons.size());
    for (const QList<int> &group : sharedKeys(savedToolbarKeys(buttons))) {
        const QString text = QStringLiteral("Buttons %1 have the same name (as QTA.INI compares names): saving "
                                            "writes them as one line, with the command and picture of button %2.")
                                 .arg(numberList(group))
                                 .arg(group.constLast() + 1);
        for (const int position : group)
            warnings[position] = text;
    }
    return warnings;
}

QStringList addOnKeyWarnings(const QList<AddOnEntry> &addOns)
{
    QStringList warnings(addOns.size());
    for (const QList<int> &group : sharedKeys(addOnNames(addOns))) {
        const QString text = QStringLiteral("Rows %1 have the same name (letter case ignored): saving writes them as "
                                            "one line, with the command line of row %2.")
                                 .arg(numberList(group))
                                 .arg(group.constLast() + 1);
        for (const int row : group)
            warnings[row] = text;
    }
    return warnings;
}

QStringList savedEntryLosses(const QList<ToolbarButtonEntry> &buttons, const QList<AddOnEntry> &addOns)
{
    QStringList losses;
    const QStringList buttonKeys = savedToolbarKeys(buttons);
    for (const QList<int> &group : sharedKeys(buttonKeys)) {
        losses.append(QStringLiteral("Toolbar buttons %1 (\"%2\"): one line, at button %3's place, with the "
                                     "command and picture of button %4.")
                          .arg(numberList(group), IniRules::trimmed(buttonKeys[group.first()]))
                          .arg(group.first() + 1)
                          .arg(group.constLast() + 1));
    }
    const QStringList names = addOnNames(addOns);
    for (const QList<int> &group : sharedKeys(names)) {
        losses.append(QStringLiteral("Add-ons in rows %1 (\"%2\"): one line, at row %3's place, with the command "
                                     "line of row %4; the add-ons after it move up, and buttons that run an add-on "
                                     "by number then run another one.")
                          .arg(numberList(group), IniRules::trimmed(names[group.first()]))
                          .arg(group.first() + 1)
                          .arg(group.constLast() + 1));
    }
    // QTA lists no key of a section whose first line has no name.
    if (!buttonKeys.isEmpty() && IniRules::trimmed(buttonKeys.first()).isEmpty())
        losses.append(QStringLiteral("Toolbar button 1 has no name: QTA reads no button at all from a toolbar "
                                     "whose first line has no name, and shows its default toolbar."));
    if (!names.isEmpty() && IniRules::trimmed(names.first()).isEmpty())
        losses.append(QStringLiteral("The add-on in row 1 has no name: QTA reads no add-on at all from a list "
                                     "whose first line has no name."));
    return losses;
}
