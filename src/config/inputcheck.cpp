#include "inputcheck.h"

#include <QDir>
#include <cstring>

namespace {

// Text settings hold none of these; tab, the line ends, VT, FF and Ctrl-Z count as blanks in the format.
// Branch-free, so the compiler counts many bytes at a time.
inline unsigned isControl(unsigned char c)
{
    const unsigned belowBlank = c < 0x20;
    const unsigned notBlank = (static_cast<unsigned char>(c - '\t') > '\r' - '\t') & (c != 0x1a);
    return (belowBlank & notBlank) | unsigned(c == 0x7f);
}

// A text file may hold a stray control character or two, binary data about one in ten bytes: more than one in
// a hundred is not text.
bool manyControls(QByteArrayView bytes, qsizetype *count)
{
    constexpr qsizetype kBlock = 4096;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype n = 0;
    qsizetype i = 0;
    for (; i + kBlock <= size; i += kBlock) {
        const unsigned char *block = p + i;
        unsigned inBlock = 0;
        for (int j = 0; j < kBlock; ++j)
            inBlock += isControl(block[j]);
        n += inBlock;
    }
    for (; i < size; ++i)
        n += isControl(p[i]);
    *count = n;
    return n > 0 && n * 100 > size;
}

// Whether every sequence is well-formed UTF-8 as a strict decoder takes it: no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = p + bytes.size();
    while (p < end) {
        // Plain ASCII, eight bytes at a time.
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0; // overlong
            else if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90; // overlong
            else if (c == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
        }
        p += length;
    }
    return true;
}

QString notSettings(const QString &path, const QString &what)
{
    return QStringLiteral("\"%1\" does not look like a settings file: it holds %2. The editor shows what it could "
                          "read; saving replaces only the \"Addons\" and \"Toolbits\" sections and keeps every other "
                          "byte.")
        .arg(QDir::toNativeSeparators(path), what);
}

} // namespace

QString describeUnusualContent(QByteArrayView bytes, const QString &path)
{
    if (bytes.isEmpty())
        return QString();
    if (std::memchr(bytes.data(), 0, std::size_t(bytes.size())))
        return notSettings(path, QStringLiteral("NUL bytes (binary data, or text saved as UTF-16)"));
    qsizetype controls = 0;
    if (manyControls(bytes, &controls)) {
        return notSettings(
            path,
            QStringLiteral("%1 control characters among its %2 bytes (binary data)").arg(controls).arg(bytes.size()));
    }
    if (bytes.startsWith("\xEF\xBB\xBF") && !isValidUtf8(bytes.sliced(3))) {
        return QStringLiteral("\"%1\" is marked as UTF-8 text but holds bytes that are not UTF-8. The editor shows "
                              "them as \"\uFFFD\"; where they stand in the \"Addons\" or \"Toolbits\" section, a save "
                              "writes \"\uFFFD\" in their place. Every other byte is kept.")
            .arg(QDir::toNativeSeparators(path));
    }
    return QString();
}
