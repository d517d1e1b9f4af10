// The text conversions on Windows: the system's ANSI code page, through the system's own calls.

#include "ansitext.h"

#ifdef Q_OS_WIN

#include <limits>
#include <qt_windows.h>

namespace AnsiText {

// The system's own conversions, called directly and without state: each piece of text is converted whole.
namespace {

UINT g_codePageForTesting = 0;

UINT codePage()
{
    return g_codePageForTesting ? g_codePageForTesting : GetACP();
}

// Files are read whole and at most 256 MB, so a size always fits the int the calls take.
int callSize(qsizetype size)
{
    return int(qMin<qsizetype>(size, std::numeric_limits<int>::max()));
}

// A best-fit replacement (a plain letter for an accented one the code page lacks) would write another character
// than the user typed.
DWORD encodeFlags()
{
    return codePage() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    const int size = callSize(bytes.size());
    if (size == 0)
        return QString();
    const int length = MultiByteToWideChar(codePage(), 0, bytes.data(), size, nullptr, 0);
    QString out(length, Qt::Uninitialized);
    MultiByteToWideChar(codePage(), 0, bytes.data(), size, reinterpret_cast<wchar_t *>(out.data()), length);
    return out;
}

void appendEncoded(QStringView text, QByteArray &out)
{
    const int size = callSize(text.size());
    if (size == 0)
        return;
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int length = WideCharToMultiByte(codePage(), encodeFlags(), wide, size, nullptr, 0, nullptr, nullptr);
    const qsizetype start = out.size();
    out.resize(start + length);
    WideCharToMultiByte(codePage(), encodeFlags(), wide, size, out.data() + start, length, nullptr, nullptr);
}

bool canEncode(QStringView text)
{
    const int size = callSize(text.size());
    if (size == 0)
        return true;
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    if (codePage() == CP_UTF8)
        return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, size, nullptr, 0, nullptr, nullptr) > 0;
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(codePage(), WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &usedDefault) <= 0)
        return false;
    // A character may also come back as another one (a code page with two ways to write it).
    return !usedDefault && decode(encode(text)) == text;
}

void setCodePageForTesting(unsigned codePage)
{
    g_codePageForTesting = codePage;
}

} // namespace AnsiText

#endif
