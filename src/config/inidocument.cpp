#include "inidocument.h"

#include "ansitext.h"

#include <QHash>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

QByteArray folded(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = foldAscii(bytes[i]);
    return out;
}

QString leftTrimmed(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() < 0x80 && IniRules::isSpace(char(text[i].unicode())))
        ++i;
    return text.mid(i);
}

} // namespace

namespace IniRules {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype s = 0;
    qsizetype e = bytes.size();
    while (s < e && isSpace(bytes[s]))
        ++s;
    while (e > s && isSpace(bytes[e - 1]))
        --e;
    return bytes.sliced(s, e - s);
}

QString trimmed(const QString &text)
{
    auto space = [](QChar c) { return c.unicode() < 0x80 && isSpace(char(c.unicode())); };
    qsizetype s = 0;
    qsizetype e = text.size();
    while (s < e && space(text[s]))
        ++s;
    while (e > s && space(text[e - 1]))
        --e;
    return text.mid(s, e - s);
}

bool equalNames(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace IniRules

IniDocument::IniDocument(QByteArray bytes)
    : m_source(std::move(bytes))
{
    parse();
}

const char *IniDocument::data(const Line &line) const
{
    return (line.added >= 0 ? m_added[line.added].constData() : m_source.constData()) + line.offset;
}

QByteArrayView IniDocument::content(const Line &line) const
{
    return QByteArrayView(data(line), line.length);
}

QByteArrayView IniDocument::name(const Line &line) const
{
    return QByteArrayView(data(line) + line.nameStart, line.nameLength);
}

QByteArrayView IniDocument::rawValueBytes(const Line &line) const
{
    return QByteArrayView(data(line) + line.valueStart, line.valueLength);
}

QByteArrayView IniDocument::sectionName(const Section &s) const
{
    return s.header < 0 ? QByteArrayView() : name(m_lines[s.header]);
}

QByteArray IniDocument::encode(const QString &text) const
{
    return m_utf8 ? text.toUtf8() : AnsiText::encode(text);
}

QString IniDocument::decode(QByteArrayView bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : AnsiText::decode(bytes);
}

QByteArray IniDocument::toBytes() const
{
    qsizetype total = m_utf8 && m_source.startsWith(kUtf8Bom) ? 3 : 0;
    for (const Line &line : m_lines)
        total += line.length + line.eolLength;
    QByteArray out;
    out.reserve(total);
    if (m_utf8 && m_source.startsWith(kUtf8Bom))
        out.append(kUtf8Bom, 3);
    for (const Line &line : m_lines)
        out.append(data(line), line.length + line.eolLength);
    return out;
}

void IniDocument::parse()
{
    m_utf8 = m_source.startsWith(kUtf8Bom);
    const char *bytes = m_source.constData();
    const qsizetype size = m_source.size();
    qsizetype pos = m_utf8 ? 3 : 0;
    m_lines.clear();
    m_lines.reserve(size / 24 + 1);
    m_lineEnd.clear();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        Line line;
        line.offset = pos;
        line.length = end - pos;
        if (end < size)
            line.eolLength = (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
        m_lines.push_back(line);
        pos = end + line.eolLength;
        if (m_lineEnd.isEmpty() && line.eolLength > 0)
            m_lineEnd = m_source.sliced(end, line.eolLength);
    }
    // Taken once: the lines that showed it may be removed before new ones are added.
    if (m_lineEnd.isEmpty())
        m_lineEnd = QByteArrayLiteral("\r\n");
    reindex();
}

void IniDocument::classify(Line &line, bool &previousEmptyKey, bool &sectionHasEntry) const
{
    const QByteArrayView raw = content(line);
    const QByteArrayView text = IniRules::trimmed(raw);
    const int start = int(text.data() - raw.data());
    line.valueStart = -1;
    line.valueLength = 0;
    if (text.isEmpty()) {
        line.kind = Kind::Blank;
        return;
    }
    if (text.front() == '[') {
        const qsizetype close = text.lastIndexOf(']');
        if (close > 0) {
            const QByteArrayView inner = IniRules::trimmed(text.sliced(1, close - 1));
            line.kind = Kind::Header;
            line.nameStart = inner.isEmpty() ? start + 1 : int(inner.data() - raw.data());
            line.nameLength = int(inner.size());
            previousEmptyKey = false;
            sectionHasEntry = false;
            return;
        }
    }
    const qsizetype eq = text.indexOf('=');
    QByteArrayView key = text;
    if (eq >= 0) {
        key = text.first(eq);
        while (!key.isEmpty() && IniRules::isSpace(key.back()))
            key.chop(1);
        QByteArrayView value = text.sliced(eq + 1);
        while (!value.isEmpty() && IniRules::isSpace(value.front()))
            value = value.sliced(1);
        line.valueStart = int(value.data() - raw.data());
        line.valueLength = int(value.size());
    }
    line.nameStart = start;
    line.nameLength = int(key.size());
    // The platform drops a nameless entry that follows another nameless entry of the same section.
    if (key.isEmpty() && sectionHasEntry && previousEmptyKey) {
        line.kind = Kind::Hidden;
        return;
    }
    line.kind = Kind::Entry;
    previousEmptyKey = key.isEmpty();
    sectionHasEntry = true;
}

void IniDocument::reindex()
{
    m_sections.clear();
    m_sections.push_back(Section{-1, 0, 0});
    bool previousEmptyKey = false;
    bool sectionHasEntry = false;
    for (int i = 0; i < int(m_lines.size()); ++i) {
        classify(m_lines[i], previousEmptyKey, sectionHasEntry);
        if (m_lines[i].kind == Kind::Header) {
            m_sections.back().end = i;
            m_sections.push_back(Section{i, i + 1, i + 1});
        }
    }
    m_sections.back().end = int(m_lines.size());
}

int IniDocument::findSection(QByteArrayView wanted) const
{
    // An empty name stands for the lines before the first header, never for a "[]" section.
    if (wanted.isEmpty())
        return 0;
    for (int i = 1; i < int(m_sections.size()); ++i) {
        if (IniRules::equalNames(sectionName(m_sections[i]), wanted))
            return i;
    }
    return -1;
}

int IniDocument::findEntry(const Section &s, QByteArrayView key) const
{
    for (int i = s.first; i < s.end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Entry && IniRules::equalNames(name(line), key))
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::rawValue(const QString &section, const QString &key) const
{
    const int s = findSection(encode(IniRules::trimmed(section)));
    if (s < 0)
        return std::nullopt;
    const int e = findEntry(m_sections[s], encode(IniRules::trimmed(key)));
    if (e < 0 || m_lines[e].valueStart < 0)
        return std::nullopt;
    return decode(rawValueBytes(m_lines[e]));
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    std::optional<QString> raw = rawValue(section, key);
    if (raw)
        *raw = IniRules::unquoted(*raw);
    return raw;
}

QStringList IniDocument::keyNames(const QString &section) const
{
    QStringList names;
    const int s = findSection(encode(section));
    if (s < 0)
        return names;
    const Section &sec = m_sections[s];
    for (int i = sec.first; i < sec.end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Entry || line.valueStart < 0 || name(line).startsWith(';'))
            continue;
        if (names.isEmpty() && line.nameLength == 0)
            return names; // the platform takes a list that starts with an empty name as empty
        names.append(decode(name(line)));
    }
    return names;
}

QList<IniEntry> IniDocument::entries(const QString &section, EntryOptions options) const
{
    QList<IniEntry> result;
    const int s = findSection(encode(section));
    if (s < 0)
        return result;
    const Section &sec = m_sections[s];
    // A read answers from the first entry of a name; find each name's first entry once.
    QHash<QByteArray, int> firstEntry;
    firstEntry.reserve(sec.end - sec.first);
    for (int i = sec.first; i < sec.end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Entry)
            continue;
        const QByteArray key = folded(name(line));
        if (!firstEntry.contains(key))
            firstEntry.insert(key, i);
    }
    for (int i = sec.first; i < sec.end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Entry || line.valueStart < 0 || name(line).startsWith(';'))
            continue;
        if (line.nameLength == 0) {
            if (options & SkipEmptyKeys)
                continue;
            if (result.isEmpty())
                return result;
        }
        const Line &first = m_lines[firstEntry.value(folded(name(line)), i)];
        QString value = first.valueStart < 0 ? QString() : decode(rawValueBytes(first));
        if (!(options & KeepQuotes))
            value = IniRules::unquoted(value);
        result.append(IniEntry{decode(name(line)), value});
    }
    return result;
}

QStringList IniDocument::sectionNames() const
{
    QStringList names;
    for (std::size_t i = 1; i < m_sections.size(); ++i) {
        const QByteArrayView n = sectionName(m_sections[i]);
        if (!n.isEmpty())
            names.append(decode(n));
    }
    return names;
}

QStringList IniDocument::sectionLines(const QString &section) const
{
    QStringList lines;
    const int s = findSection(encode(section));
    if (s < 0)
        return lines;
    const Section &sec = m_sections[s];
    for (int i = sec.first; i < sec.end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind != Kind::Entry || name(line).startsWith(';'))
            continue;
        QString text = decode(name(line));
        if (line.valueStart >= 0)
            text += u'=' + decode(rawValueBytes(line));
        lines.append(text);
    }
    return lines;
}

bool IniDocument::hasSection(const QString &section) const
{
    const QByteArray wanted = encode(section);
    return !wanted.isEmpty() && findSection(wanted) > 0;
}

QByteArray IniDocument::lineEnd() const
{
    return m_lineEnd;
}

IniDocument::Line IniDocument::makeLine(const QByteArray &text)
{
    const QByteArray eol = lineEnd();
    m_added.push_back(text + eol);
    Line line;
    line.added = int(m_added.size()) - 1;
    line.length = text.size();
    line.eolLength = eol.size();
    return line;
}

void IniDocument::ensureLineEnd(int index)
{
    if (index < 0 || index >= int(m_lines.size()) || m_lines[index].eolLength > 0)
        return;
    const Line old = m_lines[index];
    Line line = makeLine(content(old).toByteArray());
    line.kind = old.kind;
    m_lines[index] = line;
}

void IniDocument::insertLine(int index, const QByteArray &text)
{
    ensureLineEnd(index - 1);
    m_lines.insert(m_lines.begin() + index, makeLine(text));
    reindex();
}

void IniDocument::replaceLineContent(int index, const QByteArray &text)
{
    const Line old = m_lines[index];
    Line line = makeLine(text);
    if (old.eolLength == 0) {
        // Keep a last line without a line end as it was.
        line.eolLength = 0;
    } else {
        m_added.back() = text + QByteArray(data(old) + old.length, old.eolLength);
        line.eolLength = old.eolLength;
    }
    m_lines[index] = line;
    reindex();
}

void IniDocument::removeLines(int first, int end)
{
    m_lines.erase(m_lines.begin() + first, m_lines.begin() + end);
    reindex();
}

bool IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray sectionBytes = encode(IniRules::trimmed(section));
    const QByteArray keyBytes = encode(IniRules::trimmed(key));
    const QByteArray valueBytes = encode(leftTrimmed(value));
    const int s = findSection(sectionBytes);
    if (s < 0) {
        ensureLineEnd(int(m_lines.size()) - 1);
        m_lines.push_back(makeLine('[' + encode(leftTrimmed(section)) + ']'));
        m_lines.push_back(makeLine(encode(leftTrimmed(key)) + '=' + valueBytes));
        reindex();
        return true;
    }
    const Section sec = m_sections[s];
    const int e = findEntry(sec, keyBytes);
    if (e >= 0) {
        const Line &line = m_lines[e];
        if (line.valueStart >= 0) {
            if (rawValueBytes(line) == valueBytes)
                return false;
            replaceLineContent(e, content(line).first(line.valueStart).toByteArray() + valueBytes);
        } else {
            replaceLineContent(e, content(line).first(line.nameStart + line.nameLength).toByteArray() + '='
                                      + valueBytes);
        }
        return true;
    }
    // A new key goes after the last line of the section that is not blank.
    int at = sec.header >= 0 ? sec.header + 1 : 0;
    for (int i = sec.end - 1; i >= sec.first; --i) {
        if (m_lines[i].kind != Kind::Blank) {
            at = i + 1;
            break;
        }
    }
    insertLine(at, encode(leftTrimmed(key)) + '=' + valueBytes);
    return true;
}

bool IniDocument::removeKey(const QString &section, const QString &key)
{
    const QByteArray sectionBytes = encode(section);
    const QByteArray keyBytes = encode(key);
    if (sectionBytes.isEmpty())
        return false;
    for (std::size_t s = 1; s < m_sections.size(); ++s) {
        if (!IniRules::equalNames(sectionName(m_sections[s]), sectionBytes))
            continue;
        const int e = findEntry(m_sections[s], keyBytes);
        if (e >= 0) {
            removeLines(e, e + 1);
            return true;
        }
    }
    return false;
}

bool IniDocument::removeSection(const QString &section)
{
    const QByteArray wanted = encode(section);
    const int s = wanted.isEmpty() ? -1 : findSection(wanted);
    if (s <= 0)
        return false;
    removeLines(m_sections[s].header, m_sections[s].end);
    return true;
}

int IniDocument::removeAllSections(const QString &section)
{
    const QByteArray wanted = encode(section);
    if (wanted.isEmpty())
        return 0;
    // One pass: keep every line that is not in a section of that name.
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    int removed = 0;
    for (const Section &s : m_sections) {
        const bool drop = s.header >= 0 && IniRules::equalNames(sectionName(s), wanted);
        removed += drop ? 1 : 0;
        if (drop)
            continue;
        const int from = s.header >= 0 ? s.header : s.first;
        kept.insert(kept.end(), m_lines.begin() + from, m_lines.begin() + s.end);
    }
    if (removed > 0) {
        m_lines = std::move(kept);
        reindex();
    }
    return removed;
}

void IniDocument::appendSection(const QString &section, const QList<IniEntry> &entries)
{
    if (entries.isEmpty())
        return;
    if (hasSection(section)) {
        for (const IniEntry &entry : entries)
            setValue(section, entry.key, entry.value);
        return;
    }
    // Lay out the lines as one write per entry would leave them: a repeated name updates the first line.
    QList<QByteArray> lines;
    QList<qsizetype> keyLength; // bytes up to and including the "=" of each line
    lines.reserve(entries.size() + 1);
    keyLength.reserve(entries.size() + 1);
    lines.append('[' + encode(leftTrimmed(section)) + ']');
    keyLength.append(0);
    QHash<QByteArray, qsizetype> lineOfKey;
    lineOfKey.reserve(entries.size());
    for (const IniEntry &entry : entries) {
        const QByteArray valueBytes = encode(leftTrimmed(entry.value));
        const QByteArray match = folded(encode(IniRules::trimmed(entry.key)));
        const auto it = lineOfKey.constFind(match);
        if (it == lineOfKey.cend()) {
            const QByteArray prefix = encode(leftTrimmed(entry.key)) + '=';
            lineOfKey.insert(match, lines.size());
            lines.append(prefix + valueBytes);
            keyLength.append(prefix.size());
        } else {
            QByteArray &line = lines[*it];
            line = line.first(keyLength[*it]) + valueBytes;
        }
    }
    ensureLineEnd(int(m_lines.size()) - 1);
    // One buffer for all new lines keeps a large section cheap.
    const QByteArray eol = lineEnd();
    QByteArray block;
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + eol.size();
    block.reserve(total);
    m_added.push_back(QByteArray());
    const int added = int(m_added.size()) - 1;
    for (const QByteArray &line : lines) {
        Line l;
        l.added = added;
        l.offset = block.size();
        l.length = line.size();
        l.eolLength = eol.size();
        m_lines.push_back(l);
        block.append(line).append(eol);
    }
    m_added[added] = std::move(block);
    reindex();
}
