// Mounts a 64 KiB tmpfs over FOLDER (in a mount namespace of its own: tst_faults runs this through unshare),
// fills it, saves a configuration into QTA.INI there and prints what the save said and left. "hardlink" gives
// QTA.INI a second name, whose content must stay the old one too. Exit code 77: mounting is not allowed.
#include "configuration.h"

#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: faults_helper FOLDER replace|hardlink\n");
        return 2;
    }
    if (::mount("tmpfs", argv[1], "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
        std::printf("cannot mount a tmpfs: %s\n", std::strerror(errno));
        return 77;
    }
    const QByteArray old = "; host file\n[Main]\nFont=Courier\n";
    const QByteArray folder = argv[1];
    auto fill = [](const QByteArray &path, const QByteArray &bytes) { // until the disk refuses, when bytes is empty
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const QByteArray block = bytes.isEmpty() ? QByteArray(512, 'x') : bytes;
        while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0 && bytes.isEmpty()) { }
        return fd >= 0 && ::close(fd) == 0;
    };
    const bool hardLink = std::strcmp(argv[2], "hardlink") == 0;
    if (!fill(folder + "/QTA.INI", old)
        || (hardLink && ::link((folder + "/QTA.INI").constData(), (folder + "/twin.ini").constData()) != 0))
        return 3;
    fill(folder + "/filler", QByteArray());

    // Far more than the page QTA.INI holds, so the save needs pages the disk no longer has.
    Configuration config;
    SetupButtonImages(config);
    for (int i = 0; i < 300; ++i)
        config.addOns()->appendAddOn(AddOnEntry { u"Tool %1"_s.arg(i), u"/opt/tools/tool%1 -q"_s.arg(i), QString() });
    const ConfigResult result = SaveConfiguration(config, QString::fromLocal8Bit(folder));

    auto unchanged = [&](const char *name) {
        QFile file(QString::fromLocal8Bit(folder + '/' + name));
        return file.open(QIODevice::ReadOnly) && file.readAll() == old;
    };
    const QStringList names = QDir(QString::fromLocal8Bit(folder))
                                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    std::printf("saved: %s\nerror: %s\nintact: %s\nentries: %s\n", result.ok ? "yes" : "no", qPrintable(result.error),
                unchanged("QTA.INI") && (!hardLink || unchanged("twin.ini")) ? "yes" : "no",
                qPrintable(names.join(u' ')));
    return 0;
}
