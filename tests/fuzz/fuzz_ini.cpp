// Any bytes as QTA.INI: the loader and saver must take them without a crash and keep what they promise. Built as a
// libFuzzer target by `make fuzz`; replay.cpp runs the corpus in the normal tests.
#include "configuration.h"

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
    checkConfiguration(bytes);
    return 0;
}
