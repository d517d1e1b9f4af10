#include "privateprofile.h"

#include "filesafety.h"
#include "inidocument.h"

namespace {

IniDocument load(const QString &fileName)
{
    FileSafety::ReadResult file = FileSafety::readFile(fileName);
    return IniDocument(file.ok ? file.bytes : QByteArray());
}

// Copies a value into a buffer of bufferSize characters the way the platform does, including its way of
// dropping the enclosing quotes: when the buffer cuts the value, the closing quote may cost one character more.
QString copyEntry(const QString &value, int bufferSize)
{
    QStringView text(value);
    bool quoted = false;
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front()) {
        quoted = true;
        text = text.sliced(1);
    }
    QString out = (bufferSize < 0 ? text : text.first(qMin<qsizetype>(text.size(), bufferSize - 1))).toString();
    if (quoted && (bufferSize < 0 || bufferSize >= text.size()) && !out.isEmpty())
        out.chop(1);
    return out;
}

} // namespace

namespace PrivateProfile {

Read readString(const QString &section, const QString &key, const QString &defaultValue, int bufferSize,
                const QString &fileName)
{
    Read result;
    if (bufferSize == 0)
        return result;
    // Trailing blanks of the default are cut; a default of blanks only keeps one.
    QString def = defaultValue;
    while (def.size() > 1 && def.back() == u' ')
        def.chop(1);
    const std::optional<QString> raw = load(fileName).rawValue(section, key);
    result.text = copyEntry(raw ? *raw : def, bufferSize);
    result.count = int(result.text.size());
    return result;
}

QStringList keyNames(const QString &section, const QString &fileName)
{
    return load(fileName).keyNames(section);
}

QStringList sectionNames(const QString &fileName)
{
    return load(fileName).sectionNames();
}

QStringList sectionLines(const QString &section, const QString &fileName)
{
    return load(fileName).sectionLines(section);
}

bool writeString(const QString &section, const std::optional<QString> &key, const std::optional<QString> &value,
                 const QString &fileName, QString *error)
{
    FileSafety::ReadResult file = FileSafety::readFile(fileName);
    if (!file.ok) {
        if (error)
            *error = file.error;
        return false;
    }
    IniDocument doc(file.bytes);
    bool changed = false;
    if (!key)
        changed = doc.removeSection(section);
    else if (!value)
        changed = doc.removeKey(section, *key);
    else
        changed = doc.setValue(section, *key, *value);
    // Nothing changed: the file is not touched (and a missing one is not created).
    if (!changed)
        return true;
    return FileSafety::writeFile(fileName, doc.toBytes(), error);
}

} // namespace PrivateProfile
