#include "inidocument.h"

#include "ansitext.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr int kPrefetchDistance = 8; // names ahead, see FirstOfName::prefetch

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// Finds the first of each name (names compared as the file compares them) among numbered items, with one
// flat table and no allocation per name: large sections stay cheap to read and to write. Each slot keeps
// part of its name's hash, so a probe looks at another item's name only when that part matches.
class FirstOfName
{
public:
    explicit FirstOfName(qsizetype expected)
    {
        std::size_t capacity = 16;
        while (capacity < std::size_t(expected) * 2)
            capacity *= 2;
        m_slots.assign(capacity, 0);
    }

    // The number of the first item named name; when there is none yet, item becomes it.
    template<typename NameOf> int findOrInsert(QByteArrayView name, int item, NameOf nameOf)
    {
        const std::size_t mask = m_slots.size() - 1;
        const quint64 h = hash(name);
        const quint64 tag = h & ~quint64(0xFFFFFFFF);
        for (std::size_t i = std::size_t(h) & mask;; i = (i + 1) & mask) {
            quint64 &slot = m_slots[i];
            if (slot == 0) {
                slot = tag | (quint64(quint32(item)) + 1);
                return item;
            }
            const int other = int(quint32(slot) - 1);
            if ((slot & ~quint64(0xFFFFFFFF)) == tag && IniRules::equalNames(nameOf(other), name))
                return other;
        }
    }

    // Asks the processor for the slot findOrInsert(name) will read first, a few names ahead of it: in a large
    // section the table outgrows the caches, and waiting for each slot in turn costs more than the hashing.
    void prefetch(QByteArrayView name) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(m_slots.data() + (std::size_t(hash(name)) & (m_slots.size() - 1)));
#else
        Q_UNUSED(name);
#endif
    }

private:
    static quint64 hash(QByteArrayView name)
    {
        quint64 h = 1469598103934665603ull;
        for (char c : name)
            h = (h ^ static_cast<unsigned char>(foldAscii(c))) * 1099511628211ull;
        return h ^ (h >> 29);
    }

    std::vector<quint64> m_slots; // 0: empty; else the hash's upper half, then the item + 1
};

} // namespace

namespace IniRules {

namespace {

template<typename View> View trimmedView(View text, bool end)
{
    while (!text.isEmpty() && isSpace(text.front()))
        text = text.sliced(1);
    while (end && !text.isEmpty() && isSpace(text.back()))
        text.chop(1);
    return text;
}

} // namespace

QByteArrayView trimmed(QByteArrayView bytes)
{
    return trimmedView(bytes, true);
}

QStringView trimmed(QStringView text)
{
    return trimmedView(text, true);
}

QString trimmed(const QString &text)
{
    return trimmed(QStringView(text)).toString();
}

QByteArrayView leftTrimmed(QByteArrayView bytes)
{
    return trimmedView(bytes, false);
}

QStringView leftTrimmed(QStringView text)
{
    return trimmedView(text, false);
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

QString matchKey(const QString &name)
{
    QString key = trimmed(name);
    for (QChar &c : key) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return key;
}

bool sameKey(const QString &a, const QString &b)
{
    return matchKey(a) == matchKey(b);
}

void unquote(QString &value)
{
    // In place: the string is the caller's, no copy is needed.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
        value.chop(1);
        value.remove(0, 1);
    }
}

bool readChanges(std::initializer_list<QStringView> parts)
{
    QChar first;
    QChar last;
    qsizetype size = 0;
    for (const QStringView part : parts) {
        if (part.isEmpty())
            continue;
        if (size == 0)
            first = part.front();
        last = part.back();
        size += part.size();
    }
    if (size == 0)
        return false;
    if (isSpace(first) || isSpace(last))
        return true;
    return size >= 2 && (first == u'"' || first == u'\'') && last == first;
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

QByteArray IniDocument::encode(QStringView text) const
{
    return m_utf8 ? text.toUtf8() : AnsiText::encode(text);
}

QString IniDocument::decode(QByteArrayView bytes) const
{
    if (!m_utf8)
        return AnsiText::decode(bytes);
    // The file's own mark is behind us: a name or value that starts with those bytes keeps them (fromUtf8
    // would drop them, and the text would no longer find its line). Stateless: a sequence cut short at the
    // end is U+FFFD, not held back for more input.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

QByteArray IniDocument::toBytes() const
{
    qsizetype total = m_utf8 && m_source.startsWith(kUtf8Bom) ? 3 : 0;
    for (const Line &line : m_lines)
        total += line.length + line.eolLength;
    QByteArray out(total, Qt::Uninitialized);
    char *dst = out.data();
    if (m_utf8 && m_source.startsWith(kUtf8Bom)) {
        std::memcpy(dst, kUtf8Bom, 3);
        dst += 3;
    }
    for (const Line &line : m_lines) {
        const qsizetype n = line.length + line.eolLength;
        std::memcpy(dst, data(line), std::size_t(n));
        dst += n;
    }
    return out;
}

void IniDocument::parse()
{
    m_utf8 = m_source.startsWith(kUtf8Bom);
    const char *bytes = m_source.constData();
    const qsizetype size = m_source.size();
    qsizetype pos = m_utf8 ? 3 : 0;
    m_lines.clear();
    // Sized once: growing the table of a large file would copy it and touch twice its memory.
    qsizetype lineFeeds = 0;
    for (const char *p = bytes + pos, *end = bytes + size;
         (p = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)))) != nullptr; ++p)
        ++lineFeeds;
    m_lines.reserve(std::size_t(lineFeeds) + 1);
    m_lineEnd.clear();
    // The next CR and LF from pos, each searched again only once passed: one pass over the bytes.
    auto next = [&](char c, qsizetype from) {
        const void *hit = from < size ? std::memchr(bytes + from, c, std::size_t(size - from)) : nullptr;
        return hit ? static_cast<const char *>(hit) - bytes : size;
    };
    qsizetype nextCr = next('\r', pos);
    qsizetype nextLf = next('\n', pos);
    while (pos < size) {
        if (nextCr < pos)
            nextCr = next('\r', pos);
        if (nextLf < pos)
            nextLf = next('\n', pos);
        const qsizetype end = qMin(nextCr, nextLf);
        Line line;
        line.offset = pos;
        line.length = end - pos;
        if (end < size)
            line.eolLength = (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
        classify(line);
        m_lines.push_back(line);
        pos = end + line.eolLength;
        if (m_lineEnd.isEmpty() && line.eolLength > 0)
            m_lineEnd = m_source.sliced(end, line.eolLength);
    }
    // Kept for when every line that showed it is removed before new ones are added.
    if (m_lineEnd.isEmpty())
        m_lineEnd = QByteArrayLiteral("\r\n");
    reindex();
}

void IniDocument::classify(Line &line) const
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
            return;
        }
    }
    const qsizetype eq = text.indexOf('=');
    QByteArrayView key = text;
    if (eq >= 0) {
        key = IniRules::trimmed(text.first(eq));
        const QByteArrayView value = IniRules::leftTrimmed(text.sliced(eq + 1));
        line.valueStart = int(value.data() - raw.data());
        line.valueLength = int(value.size());
    }
    line.nameStart = start;
    line.nameLength = int(key.size());
    line.kind = Kind::Entry;
}

void IniDocument::reindex()
{
    m_sections.clear();
    m_sections.push_back(Section { -1, 0, 0 });
    bool previousEmptyKey = false;
    bool sectionHasEntry = false;
    for (int i = 0; i < int(m_lines.size()); ++i) {
        Line &line = m_lines[i];
        if (line.kind == Kind::Header) {
            m_sections.back().end = i;
            m_sections.push_back(Section { i, i + 1, i + 1 });
            previousEmptyKey = false;
            sectionHasEntry = false;
        } else if (line.kind == Kind::Entry || line.kind == Kind::Hidden) {
            // The platform drops a nameless entry that follows another nameless entry of the same section.
            const bool emptyKey = line.nameLength == 0;
            line.kind = emptyKey && sectionHasEntry && previousEmptyKey ? Kind::Hidden : Kind::Entry;
            if (line.kind == Kind::Entry) {
                previousEmptyKey = emptyKey;
                sectionHasEntry = true;
            }
        }
    }
    m_sections.back().end = int(m_lines.size());
}

bool IniDocument::sameName(QByteArrayView name, QByteArrayView wanted) const
{
    if (IniRules::equalNames(name, wanted))
        return true;
    // A UTF-8 file's names are text: a byte that is not UTF-8 reads as U+FFFD (three bytes), and a name given
    // back in that form must find its line again, as it does on the platform, which reads the file as text.
    return m_utf8 && name.size() < wanted.size() && wanted.contains("\xEF\xBF\xBD")
        && IniRules::equalNames(decode(name).toUtf8(), wanted);
}

int IniDocument::findSection(QByteArrayView wanted) const
{
    // An empty name stands for the lines before the first header, never for a "[]" section.
    if (wanted.isEmpty())
        return 0;
    for (int i = 1; i < int(m_sections.size()); ++i) {
        if (sameName(sectionName(m_sections[i]), wanted))
            return i;
    }
    return -1;
}

int IniDocument::findEntry(const Section &s, QByteArrayView key) const
{
    for (int i = s.first; i < s.end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Entry && sameName(name(line), key))
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionLineCount(const QString &section) const
{
    const int s = findSection(encode(section));
    return s < 0 ? 0 : m_sections[s].end - m_sections[s].first;
}

void IniDocument::readEntries(const QString &section, EntryOptions options,
                              const std::function<void(QString &key, QString &value)> &take) const
{
    const int s = findSection(encode(section));
    if (s < 0)
        return;
    const Section &sec = m_sections[s];
    // A read answers from the first entry of a name: remember each name's first entry on the way.
    FirstOfName firstEntry(sec.end - sec.first);
    auto nameOfLine = [this](int i) { return name(m_lines[i]); };
    bool taken = false;
    for (int i = sec.first; i < sec.end; ++i) {
        if (i + kPrefetchDistance < sec.end && m_lines[i + kPrefetchDistance].kind == Kind::Entry)
            firstEntry.prefetch(name(m_lines[i + kPrefetchDistance]));
        const Line &line = m_lines[i];
        if (line.kind != Kind::Entry)
            continue;
        const int first = firstEntry.findOrInsert(name(line), i, nameOfLine);
        if (line.valueStart < 0 || (name(line).startsWith(';') && !(options & SemicolonNames)))
            continue;
        const bool ownLine = line.nameLength == 0 && (options & KeepEmptyNames);
        if (line.nameLength == 0 && !ownLine && !taken)
            return;
        const Line &answer = ownLine ? line : m_lines[first];
        QString value = answer.valueStart < 0 ? QString() : decode(rawValueBytes(answer));
        QString key = decode(name(line));
        taken = true;
        take(key, value);
    }
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

QByteArray IniDocument::lineEnd() const
{
    // The first line end of the lines held now, not of the file as read: a save removes sections, and it must
    // pick the same line end again when it next finds its own result on disk.
    for (const Line &line : m_lines) {
        if (line.eolLength > 0)
            return QByteArray(data(line) + line.length, line.eolLength);
    }
    return m_lineEnd;
}

IniDocument::Line IniDocument::makeLine(const QByteArray &text)
{
    const QByteArray eol = lineEnd();
    m_added.push_back(text + eol);
    Line line;
    line.added = int(m_added.size()) - 1;
    line.length = text.size();
    line.eolLength = quint8(eol.size());
    classify(line);
    return line;
}

void IniDocument::ensureLineEnd(int index)
{
    if (index < 0 || index >= int(m_lines.size()) || m_lines[index].eolLength > 0)
        return;
    const Line old = m_lines[index];
    m_lines[index] = makeLine(content(old).toByteArray());
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
    const QByteArray valueBytes = encode(IniRules::leftTrimmed(value));
    const int s = findSection(sectionBytes);
    if (s < 0) {
        ensureLineEnd(int(m_lines.size()) - 1);
        m_lines.push_back(makeLine('[' + encode(IniRules::leftTrimmed(section)) + ']'));
        m_lines.push_back(makeLine(encode(IniRules::leftTrimmed(key)) + '=' + valueBytes));
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
            replaceLineContent(e,
                               content(line).first(line.nameStart + line.nameLength).toByteArray() + '=' + valueBytes);
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
    insertLine(at, encode(IniRules::leftTrimmed(key)) + '=' + valueBytes);
    return true;
}

bool IniDocument::removeKey(const QString &section, const QString &key)
{
    const QByteArray sectionBytes = encode(section);
    const QByteArray keyBytes = encode(key);
    if (sectionBytes.isEmpty())
        return false;
    for (std::size_t s = 1; s < m_sections.size(); ++s) {
        if (!sameName(sectionName(m_sections[s]), sectionBytes))
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

void IniDocument::writeEntries(const QString &section, const IniSectionEntries &entries)
{
    if (entries.m_entries.empty())
        return;
    Q_ASSERT(entries.m_utf8 == m_utf8);
    if (findSection(encode(IniRules::trimmed(section))) >= 0) {
        for (const IniSectionEntries::Entry &entry : entries.m_entries)
            setValue(section, decode(entries.view(entry.key)), decode(entries.view(entry.value)));
        return;
    }
    appendSection('[' + encode(IniRules::leftTrimmed(section)) + ']', entries);
}

// A new section laid out as one write per entry would leave it: a repeated name updates the first line.
void IniDocument::appendSection(const QByteArray &header, const IniSectionEntries &entries)
{
    // Each line is a pair of entry numbers, the one giving its key and the one giving its value.
    const std::vector<IniSectionEntries::Entry> &given = entries.m_entries;
    auto keyOf = [&](int e) { return IniRules::leftTrimmed(entries.view(given[e].key)); }; // as written
    auto matchOf = [&](int e) { return IniRules::trimmed(entries.view(given[e].key)); }; // as compared
    auto valueOf = [&](int e) { return IniRules::leftTrimmed(entries.view(given[e].value)); };
    std::vector<std::pair<int, int>> lines;
    lines.reserve(given.size());
    FirstOfName lineOfKey(qsizetype(given.size()));
    auto nameOfPending = [&](int i) { return matchOf(lines[i].first); };
    for (int e = 0; e < int(given.size()); ++e) {
        if (e + kPrefetchDistance < int(given.size()))
            lineOfKey.prefetch(matchOf(e + kPrefetchDistance));
        const int first = matchOf(e).isEmpty() ? int(lines.size())
                                               : lineOfKey.findOrInsert(matchOf(e), int(lines.size()), nameOfPending);
        if (first == int(lines.size()))
            lines.emplace_back(e, e);
        else
            lines[first].second = e;
    }
    ensureLineEnd(int(m_lines.size()) - 1);
    // One buffer for all new lines keeps a large section cheap.
    const QByteArray eol = lineEnd();
    qsizetype total = header.size() + eol.size();
    for (const auto &[key, value] : lines)
        total += keyOf(key).size() + 1 + valueOf(value).size() + eol.size();
    QByteArray block(total, Qt::Uninitialized);
    m_added.push_back(QByteArray());
    const int added = int(m_added.size()) - 1;
    m_lines.reserve(m_lines.size() + lines.size() + 1);
    const std::size_t firstNew = m_lines.size();
    char *dst = block.data();
    auto put = [&dst](QByteArrayView bytes) {
        std::memcpy(dst, bytes.data(), std::size_t(bytes.size()));
        dst += bytes.size();
    };
    auto appendLine = [&](QByteArrayView key, QByteArrayView value, bool isHeader) {
        Line l;
        l.added = added;
        l.offset = dst - block.constData();
        put(key);
        if (!isHeader) {
            *dst++ = '=';
            put(value);
        }
        l.length = dst - block.constData() - l.offset;
        l.eolLength = quint8(eol.size());
        put(eol);
        m_lines.push_back(l);
    };
    appendLine(header, {}, true);
    for (const auto &[key, value] : lines)
        appendLine(keyOf(key), valueOf(value), false);
    m_added[added] = std::move(block);
    for (std::size_t i = firstNew; i < m_lines.size(); ++i)
        classify(m_lines[i]);
    reindex();
}

IniSectionEntries::IniSectionEntries(const IniDocument &doc, qsizetype expected)
    : m_utf8(doc.isUtf8())
{
    m_entries.reserve(std::size_t(expected));
    m_text.reserve(expected * 32);
}

IniSectionEntries::Slice IniSectionEntries::append(QStringView text)
{
    Slice slice { m_text.size(), 0 };
    if (m_utf8)
        m_text.append(text.toUtf8());
    else
        AnsiText::appendEncoded(text, m_text);
    slice.size = m_text.size() - slice.offset;
    return slice;
}

void IniSectionEntries::addKey(QStringView key)
{
    const Slice slice = append(key);
    m_entries.push_back(Entry { slice, Slice { m_text.size(), 0 } });
}

void IniSectionEntries::appendValue(QStringView text)
{
    Q_ASSERT(!m_entries.empty());
    m_entries.back().value.size += append(text).size;
}

void IniSectionEntries::addValue(std::initializer_list<QStringView> parts)
{
    const bool quote = IniRules::readChanges(parts);
    if (quote)
        appendValue(u"\"");
    for (const QStringView part : parts)
        appendValue(part);
    if (quote)
        appendValue(u"\"");
}
