#pragma once

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <vector>

class IniDocument;

// The entries of a section to write, encoded in the document's character set as they are added, all into
// one buffer: a section of many thousand lines is written without a string per line.
class IniSectionEntries final
{
public:
    explicit IniSectionEntries(const IniDocument &doc, qsizetype expected = 0);

    // Starts the next entry.
    void addKey(QStringView key);
    // Adds text to the value of the entry started last.
    void appendValue(QStringView text);
    // Gives the entry started last the value made of parts, so that a read gives back exactly their text:
    // inside one pair of double quotes where a read would otherwise change it (IniRules::readChanges).
    void addValue(std::initializer_list<QStringView> parts);

private:
    friend class IniDocument;
    struct Slice
    {
        qsizetype offset = 0;
        qsizetype size = 0;
    };
    struct Entry
    {
        Slice key;
        Slice value;
    };
    Slice append(QStringView text);
    QByteArrayView view(Slice slice) const { return QByteArrayView(m_text.constData() + slice.offset, slice.size); }

    bool m_utf8 = false;
    QByteArray m_text;
    std::vector<Entry> m_entries;
};

// The bytes of one INI file, kept line by line with their own line ends, answering reads and writes by the
// private-profile rules of the platform (what QTA itself uses to read the file). Only the lines a write
// touches change; every other byte, comments, blank lines and line ends included, stays as it was.
//
// Names are matched with ASCII letters folded. A file that starts with a UTF-8 byte-order mark is UTF-8,
// any other is 8-bit text in the ANSI code page.
class IniDocument final
{
public:
    IniDocument() = default;
    explicit IniDocument(QByteArray bytes);

    QByteArray toBytes() const;
    bool isUtf8() const { return m_utf8; }

    // --- reading -------------------------------------------------------------------------------------
    // Hands over the entries of the first section named section (not trimmed) in file order, each key with
    // the value a read of that key finds, as its line holds it (IniRules::unquote gives what the read
    // returns): a repeated key finds its first line. Lines without "=" and names starting with ";" are no
    // entries, and a section whose first entry has an empty name lists nothing, as the platform answers.
    // KeepEmptyNames gives each entry with an empty name its own line's value (a read by the empty name finds
    // only the first), and lists them even when the first name is empty: the editor shows every line the
    // section holds, at its place, rather than an empty section it would then save over.
    // SemicolonNames lists the names starting with ";" too, which a read by such a name finds.
    // Each key and value is the callback's to keep: a large section goes straight into its model.
    enum EntryOption { AsThePlatform = 0, KeepEmptyNames = 1, SemicolonNames = 2 };
    Q_DECLARE_FLAGS(EntryOptions, EntryOption)
    void readEntries(const QString &section, EntryOptions options,
                     const std::function<void(QString &key, QString &value)> &take) const;
    // The number of lines of the first section named section: at least as many as its entries, to reserve
    // room for them.
    qsizetype sectionLineCount(const QString &section) const;

    // --- writing -------------------------------------------------------------------------------------
    // Writes the entries into the first section named section (trimmed) in order, as one platform write per
    // entry would: an existing key keeps its place and spelling and takes the new value, a new key goes after
    // the section's last entry, and a missing section is appended at the end of the file, where a key that
    // equals an earlier one (IniRules::sameKey) replaces that line's value instead of adding a line. An empty
    // name is no key to replace there: each such entry keeps a line of its own, at its place. Leading blanks
    // of keys and values are dropped.
    void writeEntries(const QString &section, const IniSectionEntries &entries);

    // Removes the first section named section (not trimmed): its header and all its lines.
    bool removeSection(const QString &section);

    // --- the platform's other calls, which the editor does not make: ini-ops answers recorded cases with them
    // Names of every section header in file order, duplicates included, empty names left out.
    QStringList sectionNames() const;

    // The lines of the first section named section (not trimmed), "key=value" or "key", ";" lines left out.
    QStringList sectionLines(const QString &section) const;

    // Removes the first entry named key from the first section of that name that holds one.
    bool removeKey(const QString &section, const QString &key);

private:
    enum class Kind : quint8 { Blank, Header, Entry, Hidden };
    // Kept small: a large file has hundreds of thousands of them.
    struct Line
    {
        qsizetype offset = 0; // into m_source, or into m_added[added]
        qsizetype length = 0; // content bytes, without the line end
        int added = -1;
        int nameStart = 0; // header name or entry key, relative to the content
        int nameLength = 0;
        int valueStart = -1; // -1: an entry without "="
        int valueLength = 0;
        quint8 eolLength = 0; // line end bytes following the content: 0, 1 or 2
        Kind kind = Kind::Blank;
    };
    struct Section
    {
        int header = -1; // line index of the header; -1 for the lines before the first header
        int first = 0; // first line after the header
        int end = 0; // one past the section's last line
    };

    bool setValue(const QString &section, const QString &key, const QString &value);
    void appendSection(const QByteArray &header, const IniSectionEntries &entries);
    // The line end new lines get: the first one of the lines held now; when none has one, the file's first
    // one as read, CR LF for a file without any.
    QByteArray lineEnd() const;

    const char *data(const Line &line) const;
    QByteArrayView content(const Line &line) const;
    QByteArrayView name(const Line &line) const;
    QByteArrayView rawValueBytes(const Line &line) const;
    QByteArrayView sectionName(const Section &s) const;

    QByteArray encode(QStringView text) const;
    QString decode(QByteArrayView bytes) const;

    void parse();
    void classify(Line &line) const;
    void reindex();

    bool sameName(QByteArrayView name, QByteArrayView wanted) const; // wanted: an encoded name
    int findSection(QByteArrayView name) const; // first section, name compared as given
    int findEntry(const Section &s, QByteArrayView key) const; // first entry of the section named key
    Line makeLine(const QByteArray &content);
    void insertLine(int index, const QByteArray &content);
    void replaceLineContent(int index, const QByteArray &content);
    void ensureLineEnd(int index);
    void removeLines(int first, int end);

    QByteArray m_source;
    QByteArray m_lineEnd = QByteArrayLiteral("\r\n"); // the file's own, for new lines
    std::vector<QByteArray> m_added;
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
    bool m_utf8 = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(IniDocument::EntryOptions)

namespace IniRules {

// Whitespace of the format: tab, LF, VT, FF, CR, blank and Ctrl-Z.
inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}
inline bool isSpace(QChar c)
{
    return c.unicode() < 0x80 && isSpace(char(c.unicode()));
}
// The text without the format's whitespace at its two ends, or at its start only, as a read takes names
// and a write takes what it writes.
QByteArrayView trimmed(QByteArrayView bytes);
QStringView trimmed(QStringView text);
QString trimmed(const QString &text);
QByteArrayView leftTrimmed(QByteArrayView bytes);
QStringView leftTrimmed(QStringView text);
bool equalNames(QByteArrayView a, QByteArrayView b);
// The form under which the file matches a section or key name: trimmed of the format's blanks, ASCII letters
// folded to lower case; every other character must match exactly ("\u00dcber" and "\u00fcber" are two keys).
// Two names are one key of the file exactly when their matchKey() forms are equal.
QString matchKey(const QString &name);
bool sameKey(const QString &a, const QString &b);
// Removes one pair of enclosing double or single quotes, as a read does.
void unquote(QString &value);
// Whether a value made of these parts, written as it stands, reads back as other text: a read trims the
// format's whitespace off its two ends and takes one pair of enclosing quotes off it.
bool readChanges(std::initializer_list<QStringView> parts);

} // namespace IniRules
