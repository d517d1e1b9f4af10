// qta-bench [N ...]
//
// Times three things and gives a verdict for each target; every figure is the median of repeated runs.
//  - The core: LoadConfiguration and SaveConfiguration on generated QTA.INI files of N toolbar buttons and N/10
//    add-ons (default N = 1000, 10000, 100000), against a floor timed the same way in the same runs: reading the
//    file's bytes and writing them safely to another file beside it.
//  - The window: files of 1000 and 10000 buttons and add-ons loaded into the real main window, until the preview
//    toolbar or the add-ons grid has painted, with the parts (load, preview, grid) timed on their own.
//  - Start-up: the editor on a copy of examples/QTA.INI, from process start to its first painted window, against
//    a program that shows one plain Qt Widgets window, built with the same flags and spawned alternately.
// The windows are drawn offscreen unless QT_QPA_PLATFORM names a platform. The exit code is non-zero only when
// something fails; a missed target is reported, not failed.

#include "ansitext.h"
#include "configuration.h"
#include "folderbrowser.h"
#include "frmeditor.h"
#include "toolbar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kBitmapButtons = 40; // buttons naming a bitmap file; every other file exists
constexpr double kRatioTarget = 3.0;
constexpr double kGrowthTarget = 12.0;
constexpr double kWindowTargetMs = 100.0; // at 1000 buttons
constexpr double kStartupTarget = 1.3;
constexpr int kWindowRuns = 5;
constexpr qint64 kWindowBudgetMs = 30000; // per size: further runs start only within this time
constexpr int kStartupRuns = 7;

struct Row
{
    int n = 0;
    qint64 fileBytes = 0;
    double floorMs = 0, loadMs = 0, saveMs = 0;
    double peakMiB = -1;
    double total() const { return loadMs + saveMs; }
    double ratio() const { return total() / floorMs; }
};

struct WindowRow
{
    int n = 0;
    double loadMs = 0, previewMs = 0, gridMs = 0, toolbarTabMs = 0, addOnsTabMs = 0;
    double worst() const { return std::max(toolbarTabMs, addOnsTabMs); }
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

bool fail(const QString &what)
{
    std::fprintf(stderr, "qta-bench: %s\n", qPrintable(what));
    return false;
}

QString bitmapPath(const QString &folder, int k)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("pic%1.bmp").arg(k)));
}

// "Toolbits" with n lines (buttons, every 7th a separator, a few naming bitmap files) and "Addons" with
// addOns lines, cycling through the parameter choices.
QByteArray ourSections(int n, int addOns, const QString &folder)
{
    const char *const hostWords[] = { "NEW", "SAVE", "PRINT", "PREVIEW", "EXPORTHTML", "RECALCALL" };
    const char *const parameters[] = { "", " %charfile%", " %filelistquoted%", " %charfile% %filelistquoted%" };
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

// The core's files hold a tenth as many add-ons as buttons, the window's as many.
int coreAddOns(int n)
{
    return std::max(1, n / 10);
}

// Writes QTA.INI and the bitmap files into folder; returns the file's bytes (empty on failure).
QByteArray makeFiles(int n, int addOns, const QString &folder)
{
    const QByteArray ours = ourSections(n, addOns, folder);
    int serial = 0;
    const QByteArray before = otherSections(ours.size() / 2, serial);
    const QByteArray after = otherSections(ours.size() - before.size(), serial);
    const QByteArray bytes = before + ours + after;
    for (int k = 0; k < kBitmapButtons; k += 2) {
        if (!writeBytes(bitmapPath(folder, k), QByteArrayLiteral("BM tiny picture")))
            return {};
    }
    return writeBytes(qtaIniPath(folder), bytes) ? bytes : QByteArray();
}

// Read the file's bytes and write them safely beside it: what any load plus save must at least spend.
// Like the save, it ends in QSaveFile::commit, whose flush to disk dominates at small N and varies with the disk.
double floorRun(const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    QFile in(qtaIniPath(folder));
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

// A fresh configuration loaded from folder, as the editor's own is at start-up; nullptr (and a message) on
// failure or when the file did not give n buttons.
std::unique_ptr<Configuration> loadFresh(const QString &folder, int n, int addOns, double *ms)
{
    auto config = std::make_unique<Configuration>();
    SetupButtonImages(*config);
    QElapsedTimer timer;
    timer.start();
    QString error;
    const bool loaded = LoadConfiguration(*config, folder, &error);
    *ms = msOf(timer);
    if (!loaded) {
        fail(QStringLiteral("load failed: %1").arg(error));
        return nullptr;
    }
    if (config->toolbar()->count() != n || config->addOns()->count() != addOns) {
        fail(QStringLiteral("load of N=%1 gave %2 buttons and %3 add-ons")
                 .arg(n)
                 .arg(config->toolbar()->count())
                 .arg(config->addOns()->count()));
        return nullptr;
    }
    return config;
}

bool measureCore(int n, Row &row)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(QStringLiteral("no temporary folder: %1").arg(dir.errorString()));
    const QString folder = dir.path();
    const QByteArray original = makeFiles(n, coreAddOns(n), folder);
    if (original.isEmpty())
        return fail(QStringLiteral("could not write the test files in %1").arg(folder));
    row.n = n;
    row.fileBytes = original.size();

    // Floor, load and save take turns within each run, so a slow moment of the disk or the machine falls on
    // all three alike; the first run only warms the caches.
    const int runs = n >= 100000 ? 9 : 21;
    std::vector<double> floors, loads, saves;
    QElapsedTimer timer;
    for (int run = 0; run <= runs; ++run) {
        const double floorMs = floorRun(folder);
        if (floorMs < 0)
            return fail(QStringLiteral("the floor run could not read or write in %1").arg(folder));

        // No views are connected, so the models' signals cost next to nothing.
        double loadMs = 0;
        const std::unique_ptr<Configuration> config = loadFresh(folder, n, coreAddOns(n), &loadMs);
        if (!config)
            return false;

        // One add-on name and one tooltip change, so the save has something to write.
        config->addOns()->setCellText(config->addOns()->count() / 2, AddOnListModel::NameColumn,
                                      QStringLiteral("Renamed add-on"));
        int position = n / 2;
        while (config->toolbar()->isSeparatorAt(position))
            ++position;
        ToolbarButtonEntry button = config->toolbar()->at(position);
        button.tooltip = QStringLiteral("Renamed button");
        config->toolbar()->replace(position, button);

        if (!writeBytes(qtaIniPath(folder), original))
            return fail(QStringLiteral("could not restore %1").arg(qtaIniPath(folder)));
        timer.start();
        QString error;
        const bool saved = SaveConfiguration(*config, folder, &error);
        const double saveMs = msOf(timer);
        if (!saved)
            return fail(QStringLiteral("save failed: %1").arg(error));
        QFile check(qtaIniPath(folder));
        const QByteArray written = check.open(QIODevice::ReadOnly) ? check.readAll() : QByteArray();
        if (!written.contains("Renamed add-on=") || !written.contains("Renamed button="))
            return fail(QStringLiteral("the save of N=%1 did not write the changed entries").arg(n));
        if (run > 0) {
            floors.push_back(floorMs);
            loads.push_back(loadMs);
            saves.push_back(saveMs);
        }
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

// Counts the paint events of a widget and its children.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(QWidget *target)
        : m_target(target)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget == m_target || m_target->isAncestorOf(widget))
                ++m_paints;
        }
        return false;
    }

private:
    QWidget *m_target;
    int m_paints = 0;
};

// Runs change, then processes events until target has painted and a further pass paints nothing more.
// Returns the time from the start of change to the last paint, or -1 when target never painted.
template<typename Change> double timeToPainted(QWidget *target, Change change)
{
    PaintCounter counter(target);
    QElapsedTimer timer;
    timer.start();
    change();
    QElapsedTimer waiting;
    waiting.start();
    double last = -1;
    for (int pass = 0; pass < 100000 && waiting.elapsed() < 20000; ++pass) {
        const int before = counter.paints();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (counter.paints() > before)
            last = msOf(timer);
        else if (last >= 0)
            break;
    }
    return last;
}

// Lets the window catch up with everything queued: layouts, repaints, timers due now.
void settle()
{
    for (int pass = 0; pass < 20; ++pass)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Ends the benchmark when a dialog opens: the window part drives the editor without a user to answer it.
void watchForDialogs(QObject *context)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            fail(QStringLiteral("a dialog \"%1\" opened while the window was timed").arg(dialog->windowTitle()));
            std::fflush(stderr);
            std::_Exit(1);
        }
    });
    timer->start(200);
}

bool measureWindow(frmEditor &editor, QTabBar *tabs, const QString &folder, int n, WindowRow &row)
{
    row.n = n;
    // As the user does it: "Set QTA.INI Path", the folder picked in the browser.
    FolderBrowser::setNextAnswerForTesting([folder](FolderBrowser &) { return folder; });
    editor.setIniPath();
    Configuration *config = editor.configuration();
    auto *preview = editor.findChild<Toolbar *>(QStringLiteral("vbQTAToolbar"));
    auto *grid = editor.findChild<QTableView *>(QStringLiteral("grdAddOnsList"));
    auto reload = [&editor] {
        if (!editor.reloadIni())
            std::_Exit(1);
    };
    tabs->setCurrentIndex(0);
    settle();
    reload();
    settle();
    if (config->toolbar()->count() != n || preview->buttonCount() != n)
        return fail(QStringLiteral("the window shows %1 buttons of %2").arg(preview->buttonCount()).arg(n));

    std::vector<double> loads, previews, grids, toolbarTabs, addOnsTabs;
    // Fewer runs where one takes long: the medians of a slow window still come within a minute or so.
    QElapsedTimer spent;
    spent.start();
    for (int run = 0; run < kWindowRuns && (run == 0 || spent.elapsed() < kWindowBudgetMs); ++run) {
        double loadMs = 0;
        if (!loadFresh(folder, n, n, &loadMs))
            return false;
        loads.push_back(loadMs);

        tabs->setCurrentIndex(0);
        settle();
        toolbarTabs.push_back(timeToPainted(preview, reload));
        const QList<ToolbarButtonEntry> buttons = config->toolbar()->entries();
        previews.push_back(timeToPainted(preview, [&] { config->toolbar()->reset(buttons); }));

        tabs->setCurrentIndex(1);
        settle();
        addOnsTabs.push_back(timeToPainted(grid, reload));
        const QList<AddOnEntry> addOns = config->addOns()->entries();
        grids.push_back(timeToPainted(grid, [&] { config->addOns()->setEntries(addOns); }));
    }
    tabs->setCurrentIndex(0);
    settle();
    for (const std::vector<double> *times : { &previews, &grids, &toolbarTabs, &addOnsTabs }) {
        if (std::any_of(times->begin(), times->end(), [](double ms) { return ms < 0; }))
            return fail(QStringLiteral("the window did not repaint after a change at N=%1").arg(n));
    }
    row.loadMs = median(loads);
    row.previewMs = median(previews);
    row.gridMs = median(grids);
    row.toolbarTabMs = median(toolbarTabs);
    row.addOnsTabMs = median(addOnsTabs);
    return true;
}

bool writeFolderSettings(const QString &configHome, const QString &iniFolder)
{
    if (!QDir().mkpath(configHome + QStringLiteral("/QTAEdit")))
        return fail(QStringLiteral("could not make the settings folder in %1").arg(configHome));
    return writeBytes(configHome + QStringLiteral("/QTAEdit/QTAEdit.conf"),
                      "[Folders]\nQTA.INI=" + QDir::toNativeSeparators(iniFolder).toUtf8() + '\n');
}

// Spawns program and waits for its "shown"; returns the time from the spawn to that line, or -1.
double timeToShown(const QString &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, QStringList());
    while (!process.canReadLine() && process.waitForReadyRead(20000)) { }
    const double ms = msOf(timer);
    const bool shown = process.readLine().startsWith("shown");
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    if (!shown) {
        fail(QStringLiteral("%1 did not show its window: %2 %3")
                 .arg(program, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError())));
    }
    return shown ? ms : -1;
}

bool measureStartup(double &editorMs, double &windowMs)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(QStringLiteral("no temporary folder: %1").arg(dir.errorString()));
    const QString iniFolder = dir.filePath(QStringLiteral("qta"));
    const QString configHome = dir.filePath(QStringLiteral("config"));
    const QString sample = QStringLiteral(QTA_SOURCE_DIR "/examples/QTA.INI");
    if (!QDir().mkpath(iniFolder) || !QFile::copy(sample, qtaIniPath(iniFolder)))
        return fail(QStringLiteral("could not copy %1 to %2").arg(sample, iniFolder));
    if (!writeFolderSettings(configHome, iniFolder))
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);

    const QString bin = QCoreApplication::applicationDirPath();
    const QString editor = bin + QStringLiteral("/qta-bench-start-editor");
    const QString window = bin + QStringLiteral("/qta-bench-start-window");
    std::vector<double> editors, windows;
    // One start of each first, to bring the libraries into the disk cache; then turns, each pair in the other
    // order from the last, so neither program always follows the other.
    for (int run = -1; run < kStartupRuns; ++run) {
        const bool editorFirst = run % 2 == 0;
        const double first = timeToShown(editorFirst ? editor : window, environment);
        const double second = timeToShown(editorFirst ? window : editor, environment);
        if (first < 0 || second < 0)
            return false;
        if (run >= 0) {
            editors.push_back(editorFirst ? first : second);
            windows.push_back(editorFirst ? second : first);
        }
    }
    editorMs = median(editors);
    windowMs = median(windows);
    return true;
}

QByteArray cpuModel()
{
#ifdef Q_OS_LINUX
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return line.mid(line.indexOf(':') + 1).trimmed();
        }
    }
#endif
    return QByteArrayLiteral("unknown CPU");
}

const char *compiler()
{
#if defined(__clang__)
    return "Clang " __clang_version__;
#elif defined(__GNUC__)
    return "GCC " __VERSION__;
#elif defined(_MSC_VER)
    return "MSVC " QT_STRINGIFY(_MSC_FULL_VER);
#else
    return "unknown compiler";
#endif
}

bool verdict(bool met)
{
    std::printf("%s\n", met ? "met" : "MISSED");
    return met;
}

int runCore(const std::vector<int> &sizes)
{
    std::printf("Core: load and save of QTA.INI, N toolbar buttons and N/10 add-ons\n");
    std::printf("%8s %10s %9s %9s %9s %7s %9s\n", "N", "file KiB", "floor ms", "load ms", "save ms", "ratio",
                "peak MiB");
    std::vector<Row> rows;
    for (const int n : sizes) {
        Row row;
        if (!measureCore(n, row))
            return 1;
        std::printf("%8d %10.1f %9.2f %9.2f %9.2f %7.2f %9s\n", row.n, double(row.fileBytes) / 1024.0, row.floorMs,
                    row.loadMs, row.saveMs, row.ratio(), peakText(row.peakMiB).constData());
        std::fflush(stdout);
        rows.push_back(row);
    }
    std::printf("(ratio = (load + save) / floor; peak is the process's high-water mark so far)\n");
    QByteArrayList growths;
    bool growthMet = true;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const double growth = rows[i].total() / rows[i - 1].total();
        std::printf("load + save, N %d -> %d (x%g): %.2f times\n", rows[i - 1].n, rows[i].n,
                    double(rows[i].n) / rows[i - 1].n, growth);
        if (rows[i].n == 10 * rows[i - 1].n) {
            growths.append(QByteArray::number(growth, 'f', 2));
            growthMet = growthMet && growth <= kGrowthTarget;
        }
    }
    const auto at10k = std::find_if(rows.begin(), rows.end(), [](const Row &r) { return r.n == 10000; });
    if (at10k == rows.end()) {
        std::printf("verdict: ratio at N=10000: not measured (target <= %g)\n", kRatioTarget);
    } else {
        std::printf("verdict: ratio at N=10000: %.2f (target <= %g) - ", at10k->ratio(), kRatioTarget);
        verdict(at10k->ratio() <= kRatioTarget);
    }
    if (growths.isEmpty()) {
        std::printf("verdict: x10 N costs: not measured (target <= %g)\n", kGrowthTarget);
    } else {
        std::printf("verdict: x10 N costs: %s times (target <= %g) - ", growths.join(" and ").constData(),
                    kGrowthTarget);
        verdict(growthMet);
    }
    std::printf("\n");
    return 0;
}

int runWindow(const QString &workFolder, const std::vector<int> &sizes)
{
    std::printf("Window: a file of N buttons and N add-ons loaded into the main window until painted\n");
    std::printf("%8s %9s %11s %9s %15s %15s\n", "N", "load ms", "preview ms", "grid ms", "toolbar tab ms",
                "add-ons tab ms");
    std::printf("(load: LoadConfiguration alone; preview, grid: the widget redrawn from its model alone;\n"
                " tab columns: Reload INI until that tab's view has painted, the whole path)\n");
    // Every file is written before the editor starts: it watches the file it shows for changes by others.
    for (const int n : sizes) {
        const QString folder = QDir(workFolder).filePath(QStringLiteral("n%1").arg(n));
        if (!QDir().mkpath(folder) || makeFiles(n, n, folder).isEmpty())
            return fail(QStringLiteral("could not write the test files in %1").arg(folder)), 1;
    }

    frmEditor editor;
    watchForDialogs(&editor);
    if (!editor.start())
        return fail(QStringLiteral("the editor did not find its folder in the settings")), 1;
    editor.show();
    QElapsedTimer exposed;
    exposed.start();
    while (!(editor.windowHandle() && editor.windowHandle()->isExposed()) && exposed.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *tabBar = editor.findChild<QTabBar *>();
    if (!tabBar)
        return fail(QStringLiteral("the main window has no tab bar")), 1;

    std::vector<WindowRow> rows;
    for (const int n : sizes) {
        WindowRow row;
        if (!measureWindow(editor, tabBar, QDir(workFolder).filePath(QStringLiteral("n%1").arg(n)), n, row))
            return 1;
        std::printf("%8d %9.2f %11.2f %9.2f %15.2f %15.2f\n", row.n, row.loadMs, row.previewMs, row.gridMs,
                    row.toolbarTabMs, row.addOnsTabMs);
        std::fflush(stdout);
        rows.push_back(row);
    }
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const WindowRow &small = rows[i - 1];
        const WindowRow &large = rows[i];
        std::printf("N %d -> %d (x%g): load %.2f, preview %.2f, grid %.2f, toolbar tab %.2f, add-ons tab %.2f times\n",
                    small.n, large.n, double(large.n) / small.n, large.loadMs / small.loadMs,
                    large.previewMs / small.previewMs, large.gridMs / small.gridMs,
                    large.toolbarTabMs / small.toolbarTabMs, large.addOnsTabMs / small.addOnsTabMs);
        if (large.n == 10 * small.n) {
            const double growth = large.worst() / small.worst();
            std::printf("verdict: x10 N in the window (N=%d): %.2f times (roughly linear: target <= %g) - ", large.n,
                        growth, kGrowthTarget);
            verdict(growth <= kGrowthTarget);
        }
    }
    const auto at1k = std::find_if(rows.begin(), rows.end(), [](const WindowRow &r) { return r.n == 1000; });
    if (at1k == rows.end()) {
        std::printf("verdict: N=1000 in the window: not measured (target < %g ms)\n", kWindowTargetMs);
    } else {
        std::printf("verdict: N=1000 in the window: %.1f ms (target < %g) - ", at1k->worst(), kWindowTargetMs);
        verdict(at1k->worst() < kWindowTargetMs);
    }
    std::printf("\n");
    return 0;
}

int runStartup()
{
    double editorMs = 0;
    double windowMs = 0;
    if (!measureStartup(editorMs, windowMs))
        return 1;
    const double ratio = editorMs / windowMs;
    std::printf("Start-up to the first painted window (median of %d, spawned alternately): editor %.1f ms, "
                "plain Qt window %.1f ms\n",
                kStartupRuns, editorMs, windowMs);
    std::printf("verdict: start-up ratio %.2f (target <= %g) - ", ratio, kStartupTarget);
    verdict(ratio <= kStartupTarget);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    std::vector<int> sizes { 1000, 10000, 100000 };
    std::vector<int> windowSizes { 1000, 10000 };
    QByteArrayList parts { "core", "window", "startup" };
    bool sizesGiven = false;
    auto parseSizes = [](const QByteArray &text, std::vector<int> &out) {
        out.clear();
        for (const QByteArray &item : text.split(',')) {
            bool ok = false;
            const int n = item.toInt(&ok);
            if (!ok || n < 1 || n > 10000000)
                return false;
            out.push_back(n);
        }
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        bool ok = true;
        if (arg.startsWith("--parts=")) {
            parts = arg.mid(8).split(',');
            ok = std::all_of(parts.begin(), parts.end(),
                             [](const QByteArray &p) { return p == "core" || p == "window" || p == "startup"; });
        } else if (arg.startsWith("--window-sizes=")) {
            ok = parseSizes(arg.mid(15), windowSizes) && !windowSizes.empty();
        } else {
            std::vector<int> one;
            ok = parseSizes(arg, one) && one.size() == 1;
            if (ok) {
                if (!sizesGiven)
                    sizes.clear();
                sizesGiven = true;
                sizes.push_back(one.front());
            }
        }
        if (!ok) {
            std::fprintf(stderr,
                         "usage: qta-bench [--parts=core,window,startup] [--window-sizes=N,...] [N ...]\n"
                         "  N: toolbar lines of the core's files (default 1000 10000 100000)\n");
            return 2;
        }
    }
    // The window and the start-up programs draw offscreen, and the editor keeps its settings in a folder of
    // the benchmark's own: the user's are never read or written.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    if (!work.isValid())
        return fail(QStringLiteral("no temporary folder: %1").arg(work.errorString())), 1;
    const QString configHome = work.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = work.filePath(QStringLiteral("runtime"));
        if (QDir().mkpath(runtime)
            && QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    if (!writeFolderSettings(configHome, work.filePath(QStringLiteral("n%1").arg(windowSizes.front()))))
        return 1;

    QApplication app(argc, argv);
    std::printf("Machine: %s, %d cores; Qt %s (built with %s); %s; %s build; platform %s\n\n", cpuModel().constData(),
                QThread::idealThreadCount(), qVersion(), QT_VERSION_STR, compiler(), QTA_BUILD_TYPE,
                qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    if (parts.contains("core")) {
        if (const int status = runCore(sizes))
            return status;
    }
    if (parts.contains("window")) {
        if (const int status = runWindow(work.path(), windowSizes))
            return status;
    }
    return parts.contains("startup") ? runStartup() : 0;
}
