#include "listedfonts.h"
#include "probe.h"

#include "preview/frmprincipal.h"
#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/printer.h"
#include "runtime/program.h"
#include "startup/catalogue.h"
#include "startup/frmpresenta.h"
#include "ticks.h"

#include <QAbstractItemView>
#include <QCollator>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget)
        : QObject(widget)
    {
        widget->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void fail(const char *what)
{
    std::fprintf(stderr, "bench: %s\n", what);
    std::fflush(stderr);
    std::_Exit(2);
}

// Opening the font list's drop-down until its rows are on screen, several times.
void measureDropDown(ComboBox *list, int times)
{
    auto *rows = new PaintCounter(list->view()->viewport());
    for (int i = 0; i < times; ++i) {
        const int before = rows->count;
        const qint64 start = probe::now();
        list->showPopup();
        QElapsedTimer waited;
        waited.start();
        while (rows->count == before && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        if (rows->count == before)
            fail("the drop-down never painted");
        probe::report("dropdown_ns", probe::now() - start);
        list->hidePopup();
        settle();
    }
}

// One whole automatic-viewing cycle, the sample at 72 points, bold and underlined: every tick is
// fired through the test hook as soon as the previous one has been painted. A limit stops it early,
// for a quick look.
void measureCycle(FrmPrincipal &form, int limit)
{
    if (form.CmbTama->List(13) != QLatin1String("72"))
        fail("size 72 is not the last size");
    form.CmbTama->setListIndex(13);
    form.cnegri->click();
    form.csubra->click();
    settle();
    if (form.txtvisu->fontSize() != 72 || !form.txtvisu->fontBold() || !form.txtvisu->fontUnderline())
        fail("the sample is not 72 points, bold and underlined");

    measureDropDown(form.CmbNDL, 5);

    auto *sample = new PaintCounter(form.txtvisu->viewport());
    const int count = limit > 0 ? std::min(limit, form.CmbNDL->ListCount()) : form.CmbNDL->ListCount();
    form.cmdviau_Click();
    // Only the bench ticks: the clock's own ticks would add entries to the cycle.
    form.Timer1->setInterval(24 * 3600 * 1000);
    settle();
    const int first = form.posauto;
    const qint64 before = probe::residentKb();
    probe::report("cycle_start_kb", before);
    qint64 highest = before;
    int unpainted = 0;
    int unprepared = 0;
    std::vector<qint64> ticks, idles;
    ticks.reserve(std::size_t(count));
    idles.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const int painted = sample->count;
        const qint64 start = probe::now();
        tick(*form.Timer1);
        QCoreApplication::sendPostedEvents();
        ticks.push_back(probe::now() - start);
        if (sample->count == painted)
            ++unpainted;
        if (form.txtvisu->fontName() != form.CmbNDL->List(form.posauto))
            fail("the tick did not apply its font");
        // The window now waits 750 ms for the next tick; the next font is loaded in that time,
        // measured apart from the tick.
        const qint64 idle = probe::now();
        QCoreApplication::processEvents();
        for (int round = 0; form.txtvisu->isPreparing() && round < 10; ++round)
            QCoreApplication::processEvents();
        idles.push_back(probe::now() - idle);
        if (form.txtvisu->isPreparing())
            ++unprepared;
        if (i % 500 == 0)
            highest = std::max(highest, probe::residentKb());
    }
    settle();
    const qint64 after = probe::residentKb();
    if (count == form.CmbNDL->ListCount() && form.posauto != first)
        fail("the cycle did not come back to the first entry");

    FILE *out = std::fopen(qgetenv("QUELVARO_BENCH_TICKS").constData(), "w");
    if (out) {
        for (std::size_t i = 0; i < ticks.size(); ++i)
            std::fprintf(out, "%lld\t%lld\t%s\n", static_cast<long long>(ticks[i]),
                static_cast<long long>(idles[i]),
                form.CmbNDL->List(int((std::size_t(first) + i + 1) % std::size_t(form.CmbNDL->ListCount())))
                    .toUtf8()
                    .constData());
        std::fclose(out);
    }
    probe::report("ticks", qint64(ticks.size()));
    probe::report("unpainted_ticks", unpainted);
    probe::report("unprepared_ticks", unprepared);
    probe::report("cycle_end_kb", after);
    probe::report("cycle_highest_kb", std::max(highest, after));
    probe::report("peak_kb", probe::peakResidentKb());
}

// The real start-up, as app/main.cpp runs it; the mode decides what happens once the preview
// window is on screen.
int startUp(int argc, char *argv[], bool cycle, int limit)
{
    ProbedApplication app(argc, argv);
    SetUpApplication();

    Printer printer(systemFonts());
    Forms forms;
    bool seen = false;
    app.onExposed = [&](QWindow *window) {
        if (seen || !Forms::isLoaded<FrmPrincipal>())
            return;
        FrmPrincipal &form = Forms::get<FrmPrincipal>();
        if (window != form.windowHandle())
            return;
        seen = true;
        probe::report("exposed_ns", probe::now());
        probe::report("startup_peak_kb", probe::peakResidentKb());
        probe::report("listed", form.CmbNDL->ListCount());
        if (!cycle)
            probe::finish();
        QTimer::singleShot(0, &form, [&form, limit] {
            measureCycle(form, limit);
            probe::finish();
        });
    };
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.Show();
    return app.exec();
}

QStringList readNames(const char *path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read the names");
    QStringList names = QString::fromUtf8(file.readAll()).split(u'\n');
    names.removeAll(QString());
    return names;
}

// CargarFuentes from a fake source of the names, timed, its list checked against the expected order.
void loadCatalogue(const QStringList &arrival, const QStringList &sorted)
{
    Printer printer(std::make_unique<ListedFonts>(arrival));
    Forms forms;
    setEnding([](int) {});
    FrmPrincipal &form = Forms::get<FrmPrincipal>();
    const qint64 start = probe::now();
    CargarFuentes();
    probe::report("catalogue_ns", probe::now() - start);
    if (form.CmbNDL->ListCount() != sorted.size())
        fail("the catalogue lost names");
    for (int at = 0; at < sorted.size(); at += 997)
        if (form.CmbNDL->List(at) != sorted.at(at))
            fail("the catalogue is out of order");
    probe::finish();
}

// One measurement per process, so that none inherits the heap another left: the catalogue with
// the names in the order the installed fonts give them (Qt keeps its families ordered by
// case-insensitive code point) or shuffled, or one call that hands the same names, already sorted,
// to a plain combo box.
int catalogue(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList shuffled = readNames(argv[2]);
    const QByteArray order(argv[3]);
    QStringList sorted = shuffled;
    const QLocale system;
    QCollator collator(
        system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(sorted.begin(), sorted.end(),
        [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });

    if (order == "shuffled")
        loadCatalogue(shuffled, sorted);
    if (order == "installed") {
        QStringList installed = shuffled;
        std::sort(installed.begin(), installed.end(),
            [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        loadCatalogue(installed, sorted);
    }
    if (order != "bulk")
        fail("unknown order");
    QComboBox box;
    const qint64 start = probe::now();
    box.addItems(sorted);
    probe::report("bulk_ns", probe::now() - start);
    probe::finish();
}

// The names the program lists from the fonts the configuration sees, one a line, in the order the
// platform gives them: the catalogue's names for a measurement on the user's own fonts.
int names(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::unique_ptr<FontSource> source = systemFonts();
    for (int i = 0; i < source->FontCount(); ++i)
        std::printf("%s\n", source->Fonts(i).toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "startup" || mode == "cycle")
        return startUp(argc, argv, mode == "cycle", argc > 2 ? atoi(argv[2]) : 0);
    if (mode == "catalogue" && argc > 3)
        return catalogue(argc, argv);
    if (mode == "names")
        return names(argc, argv);
    std::fprintf(stderr,
        "usage: quelvaro_bench startup | cycle [TICKS] | catalogue NAMES installed|shuffled|bulk | names\n");
    return 2;
}
