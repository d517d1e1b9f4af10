#pragma once

#include "configformat.h"

#include <QList>
#include <QSet>
#include <QString>

// Checks what a button's add-on command refers to against the add-on list. QTA resolves the reference only
// when the button is pressed, and a name it does not find or a position past the end of the list runs
// nothing, so the editor points such buttons out. Commands are never rewritten here.
class AddOnReferences final
{
public:
    explicit AddOnReferences(const QList<AddOnEntry> &addOns = {});

    // Why the command will not run an add-on of the list, in words for the user; empty when it will, and for
    // every command that is not an add-on command (host command words, "(none)").
    QString problem(const QString &command) const;

    friend bool operator==(const AddOnReferences &, const AddOnReferences &) = default;

private:
    QString nameProblem(const QString &name) const;
    QString numberProblem(const QString &number) const;
    QString listSize() const;

    QSet<QString> m_names; // IniRules::matchKey of each name
    int m_count = 0;
};
