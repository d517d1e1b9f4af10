// 8-bit text: the conversion both systems share, then Windows-1252 of our own for every system but Windows
// (ansitext_win.cpp asks the system there).

#include "ansitext.h"

namespace AnsiText {

// Both platforms' conversions append; a fresh array is the common case.
QByteArray encode(QStringView text)
{
    QByteArray out;
    appendEncoded(text, out);
    return out;
}

} // namespace AnsiText

#ifndef Q_OS_WIN

#include <array>

namespace {

// Windows-1252 for 0x80..0x9F; the five bytes the code page leaves undefined map to the C1 control of the
// same value, so that they still round-trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t decodeByte(unsigned char b)
{
    return (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char16_t(b);
}

// Returns -1 for a character the code page cannot hold.
int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(kHighControls.size()); ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace AnsiText {

QString decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(decodeByte(static_cast<unsigned char>(bytes[i])));
    return out;
}

void appendEncoded(QStringView text, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *dst = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = encodeChar(text[i].unicode());
        dst[i] = b < 0 ? '?' : char(b);
    }
}

bool canEncode(QStringView text)
{
    for (QChar c : text) {
        if (encodeChar(c.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace AnsiText

#endif
