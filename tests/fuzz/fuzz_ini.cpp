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

void readEverything(const IniDocument &doc)
{
    const QStringList sections = doc.sectionNames();
    for (const QString &section : sections) {
        require(doc.hasSection(section), "a listed section is not found");
        for (const QString &key : doc.keyNames(section)) {
            doc.value(section, key);
            doc.rawValue(section, key);
        }
        doc.entries(section);
        doc.entries(section, IniDocument::KeepEmptyNames);
        doc.sectionLines(section);
    }
    doc.entries(QString());
    doc.value(QString(), u"key"_s);
}

void checkDocument(const QByteArray &bytes)
{
    IniDocument doc(bytes);
    require(doc.toBytes() == bytes, "toBytes differs from the bytes read");
    readEverything(doc);

    // A write reads back, in the memory copy and in the bytes it gives.
    const QStringList sections = doc.sectionNames();
    const QString section = sections.isEmpty() ? u"Fuzz"_s : sections.first();
    doc.setValue(section, u"FuzzKey"_s, u"v1"_s);
    require(doc.value(section, u"FuzzKey"_s) == u"v1"_s, "a written value does not read back");
    const IniDocument written(doc.toBytes());
    require(written.toBytes() == doc.toBytes(), "written bytes do not round-trip");
    require(written.value(section, u"FuzzKey"_s) == u"v1"_s, "a written value does not read back from the bytes");

    // A section replaced as a save replaces it: one copy, at the end, equal keys merged.
    IniDocument replaced(bytes);
    replaced.removeAllSections(u"Addons"_s);
    require(!replaced.hasSection(u"Addons"_s), "a section survived its removal");
    replaced.appendSection(u"Addons"_s, { { u"A"_s, u"1"_s }, { u"b"_s, u"2"_s }, { u"a"_s, u"3"_s } });
    const IniDocument reread(replaced.toBytes());
    const QList<IniEntry> entries = reread.entries(u"Addons"_s);
    require(entries.size() == 2 && entries[0].key == u"A"_s && entries[0].value == u"3"_s && entries[1].key == u"b"_s
                && entries[1].value == u"2"_s,
            "the appended section does not read back");
    IniDocument again(replaced.toBytes());
    require(again.removeAllSections(u"Addons"_s) == 1, "the appended section is not the only one");
    readEverything(reread);
}

// Load, save, load, save: the second save finds nothing to change.
void checkConfiguration(const QByteArray &bytes)
{
    // A folder per input (libFuzzer ends without running destructors), in memory where the system has one:
    // every save waits for the disk.
    const QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/fuzz_ini-XXXXXX"_s
                                                                  : QDir::tempPath() + u"/fuzz_ini-XXXXXX"_s);
    require(dir.isValid(), "no temporary folder");
    const QString folder = dir.path();
    const QString path = folder + u"/QTA.INI"_s;
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "cannot write the input");
    }
    Configuration config;
    SetupButtonImages(config);
    require(LoadConfiguration(config, folder).ok, "a readable file did not load");
    if (!SaveConfiguration(config, folder).ok) {
        require(readBytes(path) == bytes, "a refused save changed the file");
        return;
    }
    const QByteArray first = readBytes(path);
    Configuration reloaded;
    SetupButtonImages(reloaded);
    require(LoadConfiguration(reloaded, folder).ok, "a saved file did not load");
    require(SaveConfiguration(reloaded, folder).ok, "what a save wrote cannot be saved again");
    require(readBytes(path) == first, "a save of what was just loaded changed the file");
    require(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
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
