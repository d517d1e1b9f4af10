// Saves one of two large configurations into QTA.INI in FOLDER: "a" or "b" once, "loop" both in turn until the
// process is killed. tst_crashsafety kills it at random moments.
#include "configuration.h"

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Content a and content b: the same kind of lines, different names, values and counts.
void fill(Configuration &config, char which)
{
    const int count = which == 'a' ? 12000 : 10000;
    const QString tag = QString(QLatin1Char(which));
    QList<AddOnEntry> addOns;
    QList<ToolbarButtonEntry> buttons;
    addOns.reserve(count);
    buttons.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        addOns.append(AddOnEntry { u"Tool "_s + tag + n, u"C:\\TOOLS\\"_s + tag + u"\\T"_s + n + u".EXE -q"_s,
                                   ConfigFormat::parameterChoices().at(i % 4) });
        buttons.append(i % 10 == 9
                           ? ToolbarButtonEntry { u"space"_s + n, QString(), 0, true }
                           : ToolbarButtonEntry { u"Button "_s + tag + n, u"RUNADDONNUM("_s + n + u')', i % 8, false });
    }
    SetupButtonImages(config);
    config.addOns()->setEntries(addOns);
    config.toolbar()->reset(buttons);
}

bool save(const Configuration &config, const QString &folder)
{
    const ConfigResult result = SaveConfiguration(config, folder);
    if (!result.ok)
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
    return result.ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3
        || (std::strcmp(argv[2], "a") != 0 && std::strcmp(argv[2], "b") != 0 && std::strcmp(argv[2], "loop") != 0)) {
        std::fprintf(stderr, "usage: crashsafety_helper FOLDER a|b|loop\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    Configuration a;
    Configuration b;
    fill(a, 'a');
    fill(b, 'b');
    if (argv[2][0] != 'l')
        return save(argv[2][0] == 'a' ? a : b, folder) ? 0 : 1;
    while (save(a, folder) && save(b, folder)) { }
    return 1;
}
