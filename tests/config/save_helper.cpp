// Saves into FOLDER/QTA.INI for tst_filesafety: "a" or "b", a large configuration; "loop", both until killed;
// "full", into a filled 64 KiB tmpfs it mounts over FOLDER, printing what the save said and left (77: no mount).
#include "configuration.h"
#include "testfiles.h"

#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Content a and content b: the same kind of lines, different names, values and counts.
void fill(Configuration &config, char which, int count)
{
    QList<AddOnEntry> addOns;
    QList<ToolbarButtonEntry> buttons;
    for (int i = 0; i < count; ++i) {
        const QString n = QChar::fromLatin1(which) + QString::number(i);
        addOns.append(AddOnEntry { u"Tool "_s + n, u"C:\\TOOLS\\T"_s + n + u".EXE -q"_s,
                                   ConfigFormat::parameterChoices().at(i % 4) });
        buttons.append(i % 10 == 9
                           ? ToolbarButtonEntry { u"space"_s + n, QString(), 0, true }
                           : ToolbarButtonEntry { u"Button "_s + n, u"RUNADDONNUM(%1)"_s.arg(i), i % 8, false });
    }
    SetupButtonImages(config);
    config.addOns()->setEntries(addOns);
    config.toolbar()->reset(buttons);
}

int saveOnFullDisk(const QString &folder)
{
#ifdef Q_OS_LINUX
    if (::mount("tmpfs", qPrintable(folder), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
        std::printf("cannot mount a tmpfs: %s\n", std::strerror(errno));
        return 77;
    }
#else
    std::printf("no tmpfs to mount on this system\n");
    return 77;
#endif
    const QByteArray old = "; host file\n[Main]\nFont=Courier\n";
    const QString ini = folder + u"/QTA.INI"_s;
    if (QFile file(ini); !file.open(QIODevice::WriteOnly) || file.write(old) != old.size() || !file.flush())
        return 3;
    QFile filler(folder + u"/filler"_s);
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        while (filler.write(QByteArray(512, 'x')) > 0) { }
    }
    filler.close();

    // Far more than the page QTA.INI holds, so the save needs pages the disk no longer has.
    Configuration config;
    fill(config, 'a', 300);
    QString error;
    const bool saved = SaveConfiguration(config, folder, &error);
    const bool intact = readBytes(ini) == old;
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    std::printf("saved: %s\nerror: %s\nintact: %s\nentries: %s\n", saved ? "yes" : "no", qPrintable(error),
                intact ? "yes" : "no", qPrintable(names.join(u' ')));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc == 3 ? argv[2] : "";
    if (mode == "full")
        return saveOnFullDisk(QString::fromLocal8Bit(argv[1]));
    if (mode != "a" && mode != "b" && mode != "loop") {
        std::fprintf(stderr, "usage: save_helper FOLDER a|b|loop|full\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    Configuration a;
    Configuration b;
    fill(a, 'a', 12000);
    fill(b, 'b', 10000);
    if (mode != "loop")
        return SaveConfiguration(mode == "a" ? a : b, folder) ? 0 : 1;
    while (SaveConfiguration(a, folder) && SaveConfiguration(b, folder)) { }
    return 1;
}
