// Any bytes as QTA.INI: the INI layer and the loader and saver must take them without a crash, and keep what
// they promise. Built as a libFuzzer target by `make fuzz`; replay.cpp runs the corpus in the normal tests.
#include "configuration.h"
#include "inidocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

void require(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    std::abort();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const IniDocument &doc, const QString &section)
{
    QStringList out;
    doc.readEntries(section, IniDocument::KeepEmptyNames, [&](QString &key, QString &value) {
        IniRules::unquote(value);
        out.append(key + u'=' + value);
    });
    return out;
}

void checkDocument(const QByteArray &bytes)
{
    IniDocument doc(bytes);
    require(doc.toBytes() == bytes, "toBytes differs from the bytes read");
    const QStringList sections = doc.sectionNames();
    for (const QString &section : sections) {
        doc.readEntries(section, IniDocument::AsThePlatform | IniDocument::SemicolonNames, [](QString &, QString &) {});
        entries(doc, section);
        doc.sectionLines(section);
    }
    entries(doc, QString());

    // A write reads back, from the bytes it gives.
    const QString section = sections.isEmpty() ? u"Fuzz"_s : sections.first();
    IniSectionEntries entry(doc);
    entry.addKey(u"FuzzKey"_s);
    entry.appendValue(u"v1"_s);
    doc.writeEntries(section, entry);
    const IniDocument written(doc.toBytes());
    require(written.toBytes() == doc.toBytes(), "written bytes do not round-trip");
    require(entries(written, section).contains(u"FuzzKey=v1"_s), "a written value does not read back");
}

// Load, save, load, save: the second save finds nothing to change.
void checkConfiguration(const QByteArray &bytes)
{
    // A folder per input (libFuzzer skips destructors), in memory where it can: every save waits for the disk.
    const QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/fuzz_ini-XXXXXX"_s
                                                                  : QDir::tempPath() + u"/fuzz_ini-XXXXXX"_s);
    require(dir.isValid(), "no temporary folder");
    const QString path = dir.filePath(u"QTA.INI"_s);
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "cannot write the input");
    file.close();
    Configuration config;
    SetupButtonImages(config);
    require(LoadConfiguration(config, dir.path()), "a readable file did not load");
    if (!SaveConfiguration(config, dir.path())) {
        require(readBytes(path) == bytes, "a refused save changed the file");
        return;
    }
    const QByteArray first = readBytes(path);
    Configuration reloaded;
    SetupButtonImages(reloaded);
    require(LoadConfiguration(reloaded, dir.path()), "a saved file did not load");
    require(SaveConfiguration(reloaded, dir.path()), "what a save wrote cannot be saved again");
    require(readBytes(path) == first, "a save of what was just loaded changed the file");
    require(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                == QStringList { u"QTA.INI"_s },
            "a save left another file behind");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDocument(bytes);
    checkConfiguration(bytes);
    return 0;
}
