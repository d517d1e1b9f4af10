// ini-ops INITIAL_INI OPS_TXT WORK_INI
//
// Runs a script of private-profile operations against WORK_INI (a copy of INITIAL_INI, or no file when
// INITIAL_INI does not exist) and prints one line per operation. Strings in the script and in the output are
// 8-bit text, quoted and escaped: \\ \" \r \n \t and \xHH.
//
// Each operation reads the file, answers through the INI layer's calls that the editor's load and save make
// (the key reads through the load's section read, the writes through the save's section write), and writes the
// file back through the save's guarded write when its bytes changed.

#include "ansitext.h"
#include "filesafety.h"
#include "inidocument.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Token
{
    bool quoted = false;
    QByteArray bytes;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Splits one script line into bare words and quoted strings; returns an error text or an empty string.
std::string tokenize(const QByteArray &line, std::vector<Token> &tokens)
{
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        Token token;
        if (c != '"') {
            while (i < n && line[i] != ' ' && line[i] != '\t')
                token.bytes.append(line[i++]);
            tokens.push_back(token);
            continue;
        }
        token.quoted = true;
        ++i;
        for (;;) {
            if (i >= n)
                return "unterminated string";
            const char d = line[i++];
            if (d == '"')
                break;
            if (d != '\\') {
                token.bytes.append(d);
                continue;
            }
            if (i >= n)
                return "bad escape";
            const char e = line[i++];
            switch (e) {
            case '\\':
                token.bytes.append('\\');
                break;
            case '"':
                token.bytes.append('"');
                break;
            case 'r':
                token.bytes.append('\r');
                break;
            case 'n':
                token.bytes.append('\n');
                break;
            case 't':
                token.bytes.append('\t');
                break;
            case 'x': {
                const int hi = i < n ? hexDigit(line[i]) : -1;
                const int lo = i + 1 < n ? hexDigit(line[i + 1]) : -1;
                if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
                    return "bad \\x escape";
                token.bytes.append(char(hi * 16 + lo));
                i += 2;
                break;
            }
            default:
                return "bad escape";
            }
        }
        tokens.push_back(token);
    }
    return std::string();
}

std::string escaped(const QByteArray &bytes)
{
    std::string out = "\"";
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c >= 0x20 && c <= 0x7E) {
                out += char(c);
            } else {
                char buf[5];
                std::snprintf(buf, sizeof buf, "\\x%02x", c);
                out += buf;
            }
        }
    }
    return out + "\"";
}

std::string escaped(const QString &text)
{
    return escaped(AnsiText::encode(text));
}

QString text(const Token &token)
{
    return AnsiText::decode(token.bytes);
}

// "name N "a" "b" ...": N counts each name's bytes plus its NUL.
std::string listLine(const char *name, const QStringList &items)
{
    qsizetype count = 0;
    std::string tail;
    for (const QString &item : items) {
        const QByteArray bytes = AnsiText::encode(item);
        count += bytes.size() + 1;
        tail += ' ' + escaped(bytes);
    }
    return std::string(name) + ' ' + std::to_string(count) + tail;
}

// The file as on disk now; a missing or unreadable one is empty.
IniDocument load(const QString &work)
{
    QByteArray bytes;
    FileSafety::readFile(work, &bytes, nullptr);
    return IniDocument(bytes);
}

// The key's value as its line holds it, or nullopt when the section holds no such key.
std::optional<QString> rawValue(const IniDocument &doc, const QString &section, const QString &key)
{
    std::optional<QString> found;
    const auto every = IniDocument::KeepEmptyNames | IniDocument::SemicolonNames;
    doc.readEntries(IniRules::trimmed(section), every, [&](QString &name, QString &value) {
        if (!found && IniRules::sameKey(name, key))
            found = std::move(value);
    });
    return found;
}

// The platform's read into a buffer of bufferSize characters, the closing NUL included: a longer value is cut,
// trailing blanks of the default are dropped (a default of blanks only keeps one), and when the value is
// quoted its closing quote costs one character more if the buffer cuts it.
std::string read(const IniDocument &doc, const QString &section, const QString &key, QString def, int bufferSize)
{
    if (bufferSize == 0)
        return "read 0 \"\"";
    while (def.size() > 1 && def.back() == u' ')
        def.chop(1);
    const std::optional<QString> raw = rawValue(doc, section, key);
    QStringView text(raw ? *raw : def);
    const bool quoted
        = text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front();
    if (quoted)
        text = text.sliced(1);
    QString out = text.first(qMin<qsizetype>(text.size(), bufferSize - 1)).toString();
    if (quoted && bufferSize >= text.size() && !out.isEmpty())
        out.chop(1);
    return "read " + std::to_string(out.size()) + ' ' + escaped(out);
}

// Keys as the platform lists them.
QStringList keyNames(const IniDocument &doc, const QString &section)
{
    QStringList names;
    doc.readEntries(section, IniDocument::AsThePlatform, [&](QString &key, QString &) { names.append(key); });
    return names;
}

// Changes the file as edit changes its document: the file is written only when its bytes change (a missing one
// is not created for nothing). "1" unless the file could not be read or written.
std::string change(const char *op, const QString &work, const std::function<void(IniDocument &)> &edit)
{
    QByteArray old;
    const bool readable = FileSafety::readFile(work, &old, nullptr);
    IniDocument doc(old);
    edit(doc);
    const QByteArray bytes = doc.toBytes();
    const bool ok = readable && (bytes == old || FileSafety::writeFile(work, bytes, nullptr));
    return std::string(op) + (ok ? " 1" : " 0");
}

std::string run(const std::vector<Token> &t, const QString &work)
{
    const std::string op = t.empty() ? std::string() : t[0].bytes.toStdString();
    auto shape = [&](std::initializer_list<bool> quoted) {
        if (t.size() != quoted.size() + 1)
            return false;
        std::size_t k = 1;
        for (bool q : quoted) {
            if (t[k++].quoted != q)
                return false;
        }
        return true;
    };
    if (op == "read" && shape({ true, true, true, false })) {
        bool ok = false;
        const int size = t[4].bytes.toInt(&ok);
        if (!ok || size < 0 || size > 1000000)
            return "error \"bad BUFSIZE\"";
        return read(load(work), text(t[1]), text(t[2]), text(t[3]), size);
    }
    if (op == "read_keys" && shape({ true }))
        return listLine("read_keys", keyNames(load(work), text(t[1])));
    if (op == "sections" && shape({}))
        return listLine("sections", load(work).sectionNames());
    if (op == "read_section" && shape({ true }))
        return listLine("read_section", load(work).sectionLines(text(t[1])));
    if (op == "write" && shape({ true, true, true })) {
        return change("write", work, [&](IniDocument &doc) {
            IniSectionEntries entry(doc, 1);
            entry.addKey(text(t[2]));
            entry.appendValue(text(t[3]));
            doc.writeEntries(text(t[1]), entry);
        });
    }
    if (op == "delete_key" && shape({ true, true }))
        return change("delete_key", work, [&](IniDocument &doc) { doc.removeKey(text(t[1]), text(t[2])); });
    if (op == "delete_section" && shape({ true }))
        return change("delete_section", work, [&](IniDocument &doc) { doc.removeSection(text(t[1])); });
    if (op == "dump" && shape({})) {
        QFile file(work);
        if (!file.exists())
            return "dump none";
        if (!file.open(QIODevice::ReadOnly))
            return "error \"cannot read the work file\"";
        return "dump " + escaped(file.readAll());
    }
    return "error \"malformed line\"";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ini-ops INITIAL_INI OPS_TXT WORK_INI\n");
        return 2;
    }
    const QString initial = QString::fromLocal8Bit(argv[1]);
    const QString ops = QString::fromLocal8Bit(argv[2]);
    const QString work = QString::fromLocal8Bit(argv[3]);

    QFile::remove(work);
    if (QFile::exists(initial) && !QFile::copy(initial, work)) {
        std::fprintf(stderr, "ini-ops: cannot copy %s\n", argv[1]);
        return 2;
    }
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile script(ops);
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "ini-ops: cannot read %s\n", argv[2]);
        return 2;
    }
    const QList<QByteArray> lines = script.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        std::vector<Token> tokens;
        const std::string problem = tokenize(line, tokens);
        const std::string out
            = problem.empty() ? run(tokens, work) : "error " + escaped(QByteArray::fromStdString(problem));
        std::fputs(out.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
