// qta-bench [N ...]
//
// Times LoadConfiguration and SaveConfiguration on generated QTA.INI files of N toolbar buttons and N/10
// add-ons (default N = 1000, 10000, 100000), against a floor: reading the file's bytes and writing them
// safely to another file beside it. Prints a table, the growth per step and the verdicts. The exit code is
// non-zero only when a load or a save fails; missing a target is reported, not failed.

#include "ansitext.h"
#include "configuration.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kBitmapButtons = 40; // buttons naming a bitmap file; every other file exists
constexpr double kRatioTarget = 3.0;
constexpr double kGrowthTarget = 12.0;

struct Row
{
    int n = 0;
    qint64 fileBytes = 0;
    double floorMs = 0, loadMs = 0, saveMs = 0;
    double peakMiB = -1;
    double total() const { return loadMs + saveMs; }
    double ratio() const { return total() / floorMs; }
};

QByteArray num(qint64 n)
{
    return QByteArray::number(n);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double msOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString bitmapPath(const QString &folder, int k)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("pic%1.bmp").arg(k)));
}

// "Toolbits" with n lines (buttons, every 7th a separator, a few naming bitmap files) and "Addons" with n/10,
// cycling through the parameter choices.
QByteArray ourSections(int n, const QString &folder)
{
    const char *const hostWords[] = { "NEW", "SAVE", "PRINT", "PREVIEW", "EXPORTHTML", "RECALCALL" };
    const char *const parameters[] = { "", " %charfile%", " %filelistquoted%", " %charfile% %filelistquoted%" };
    const int addOns = std::max(1, n / 10);
    const int bitmapEvery = std::max(1, n / kBitmapButtons);
    int bitmaps = 0;
    QByteArray out("[Toolbits]\r\n");
    for (int i = 0; i < n; ++i) {
        if (i % bitmapEvery == 1 && bitmaps < kBitmapButtons) {
            out += "Picture " + num(i) + "=PRINT|" + AnsiText::encode(bitmapPath(folder, bitmaps++)) + "\r\n";
        } else if (i % 7 == 6) {
            out += "space" + num(i) + "=|\r\n";
        } else {
            const QByteArray command = i % 3 == 0 ? "RUNADDONNUM(" + num(i % addOns) + ')'
                : i % 3 == 1                      ? "RUNADDON(Add-on " + num(i % addOns) + ')'
                                                  : QByteArray(hostWords[(i / 3) % 6]);
            out += "Tip " + num(i) + '=' + command + '|' + num(i % 8) + "\r\n";
        }
    }
    out += "\r\n[Addons]\r\n";
    for (int j = 0; j < addOns; ++j)
        out += "Add-on " + num(j) + "=C:\\Tools\\Tool " + num(j) + "\\tool.exe" + parameters[j % 4] + "\r\n";
    return out + "\r\n";
}

// QTA's own sections, with comments, blank lines and 8-bit text, until they reach about budget bytes.
QByteArray otherSections(qint64 budget, int &serial)
{
    const char *const names[] = { "Options", "Recent", "Window", "Printing", "Export" };
    QByteArray out;
    while (out.size() < budget) {
        const int s = serial++;
        out += "; Settings group " + num(s) + " \xA9 QTA\r\n[" + names[s % 5] + num(s) + "]\r\n";
        for (int k = 0; k < 40 && out.size() < budget; ++k) {
            if (k % 10 == 9)
                out += "\r\n";
            else if (k % 10 == 4)
                out += "; Caf\xE9 r\xE9sum\xE9 \xAB note \xBB " + num(k) + "\r\n";
            else
                out += "Key" + num(k) + "=Value " + num(qint64(s) * 40 + k) + " M\xFCller\r\n";
        }
        out += "\r\n";
    }
    return out;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Writes QTA.INI and the bitmap files into folder; returns the file's bytes (empty on failure).
QByteArray makeFiles(int n, const QString &folder)
{
    const QByteArray ours = ourSections(n, folder);
    int serial = 0;
    const QByteArray before = otherSections(ours.size() / 2, serial);
    const QByteArray after = otherSections(ours.size() - before.size(), serial);
    const QByteArray bytes = before + ours + after;
    for (int k = 0; k < kBitmapButtons; k += 2) {
        if (!writeBytes(bitmapPath(folder, k), QByteArrayLiteral("BM tiny picture")))
            return {};
    }
    return writeBytes(IniFilePath(folder), bytes) ? bytes : QByteArray();
}

// Read the file's bytes and write them safely beside it: what any load plus save must at least spend.
// Like the save, it ends in QSaveFile::commit, whose flush to disk dominates at small N and varies with the disk.
double floorRun(const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    QFile in(IniFilePath(folder));
    if (!in.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = in.readAll();
    QSaveFile out(QDir(folder).filePath(QStringLiteral("floor.ini")));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return -1;
    return msOf(timer);
}

double peakMiB()
{
#ifdef Q_OS_LINUX
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
#endif
    return -1;
}

bool fail(const QString &what)
{
    std::fprintf(stderr, "qta-bench: %s\n", qPrintable(what));
    return false;
}

bool measure(int n, Row &row)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(QStringLiteral("no temporary folder: %1").arg(dir.errorString()));
    const QString folder = dir.path();
    const QByteArray original = makeFiles(n, folder);
    if (original.isEmpty())
        return fail(QStringLiteral("could not write the test files in %1").arg(folder));
    row.n = n;
    row.fileBytes = original.size();

    const int runs = n >= 100000 ? 3 : 7;
    std::vector<double> floors, loads, saves;
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        floors.push_back(floorRun(folder));
        if (floors.back() < 0)
            return fail(QStringLiteral("the floor run could not read or write in %1").arg(folder));

        // No views are connected, so the models' signals cost next to nothing.
        auto config = std::make_unique<Configuration>();
        SetupButtonImages(*config);
        timer.start();
        const ConfigResult loaded = LoadConfiguration(*config, folder);
        loads.push_back(msOf(timer));
        if (!loaded)
            return fail(QStringLiteral("load failed: %1").arg(loaded.error));
        if (config->toolbar()->count() != n || config->addOns()->count() != std::max(1, n / 10))
            return fail(QStringLiteral("load of N=%1 gave %2 buttons and %3 add-ons")
                            .arg(n)
                            .arg(config->toolbar()->count())
                            .arg(config->addOns()->count()));

        // One add-on name and one tooltip change, so the save has something to write.
        config->addOns()->setCellText(config->addOns()->count() / 2, AddOnListModel::NameColumn,
                                      QStringLiteral("Renamed add-on"));
        int position = n / 2;
        while (config->toolbar()->isSeparatorAt(position))
            ++position;
        ToolbarButtonEntry button = config->toolbar()->at(position);
        button.Tooltip = QStringLiteral("Renamed button");
        config->toolbar()->replace(position, button);

        if (!writeBytes(IniFilePath(folder), original))
            return fail(QStringLiteral("could not restore %1").arg(IniFilePath(folder)));
        timer.start();
        const ConfigResult saved = SaveConfiguration(*config, folder);
        saves.push_back(msOf(timer));
        if (!saved)
            return fail(QStringLiteral("save failed: %1").arg(saved.error));
        QFile check(IniFilePath(folder));
        const QByteArray written = check.open(QIODevice::ReadOnly) ? check.readAll() : QByteArray();
        if (!written.contains("Renamed add-on=") || !written.contains("Renamed button="))
            return fail(QStringLiteral("the save of N=%1 did not write the changed entries").arg(n));
    }
    row.floorMs = median(floors);
    row.loadMs = median(loads);
    row.saveMs = median(saves);
    row.peakMiB = peakMiB();
    return true;
}

QByteArray peakText(double mib)
{
    return mib < 0 ? QByteArrayLiteral("n/a") : QByteArray::number(mib, 'f', 1);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<int> sizes { 1000, 10000, 100000 };
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty()) {
        sizes.clear();
        for (const QString &arg : args) {
            bool ok = false;
            const int n = arg.toInt(&ok);
            if (!ok || n < 1) {
                std::fprintf(stderr, "usage: qta-bench [N ...]   (N: number of toolbar lines, at least 1)\n");
                return 2;
            }
            sizes.push_back(n);
        }
    }

    std::printf("%8s %10s %9s %9s %9s %7s %9s\n", "N", "file KiB", "floor ms", "load ms", "save ms", "ratio",
                "peak MiB");
    std::vector<Row> rows;
    for (const int n : sizes) {
        Row row;
        if (!measure(n, row))
            return 1;
        std::printf("%8d %10.1f %9.2f %9.2f %9.2f %7.2f %9s\n", row.n, double(row.fileBytes) / 1024.0, row.floorMs,
                    row.loadMs, row.saveMs, row.ratio(), peakText(row.peakMiB).constData());
        std::fflush(stdout);
        rows.push_back(row);
    }
    std::printf("(ratio = (load + save) / floor; peak is the process's high-water mark so far)\n\n");

    std::printf("scaling of load + save:\n");
    QByteArrayList growths;
    bool growthMet = true;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const double growth = rows[i].total() / rows[i - 1].total();
        std::printf("  N %d -> %d (x%g): %.2f times\n", rows[i - 1].n, rows[i].n, double(rows[i].n) / rows[i - 1].n,
                    growth);
        if (rows[i].n == 10 * rows[i - 1].n) {
            growths.append(QByteArray::number(growth, 'f', 2));
            growthMet = growthMet && growth <= kGrowthTarget;
        }
    }
    std::printf("\n");

    const auto at10k = std::find_if(rows.begin(), rows.end(), [](const Row &r) { return r.n == 10000; });
    if (at10k == rows.end())
        std::printf("ratio at N=10000: not measured (target <= %g)\n", kRatioTarget);
    else
        std::printf("ratio at N=10000: %.2f (target <= %g) - %s\n", at10k->ratio(), kRatioTarget,
                    at10k->ratio() <= kRatioTarget ? "met" : "MISSED");
    if (growths.isEmpty())
        std::printf("x10 N costs: not measured (target <= %g)\n", kGrowthTarget);
    else
        std::printf("x10 N costs: %s times (target <= %g) - %s\n", growths.join(" and ").constData(), kGrowthTarget,
                    growthMet ? "met" : "MISSED");
    return 0;
}
