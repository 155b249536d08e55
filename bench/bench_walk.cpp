// Walks a tree as the selection does, with a sink that keeps nothing, and prints the number of
// selected files and the seconds the walk took (process start-up excluded).
//
//   bench_walk FOLDER DAY [MODE]     DAY as yyyy-mm-dd, MODE -1, 0 (default) or 1

#include "core/environment.h"
#include "core/scan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace
{

class CountingSink : public ScanSink
{
public:
    void folderEntered(const QString &) override {}
    void fileSelected(const QString &, qint64, qint64, int, int) override { ++selected; }
    void folderFound(const QString &) override {}
    bool folderFilesDone() override { return true; }

    int selected = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QDate day = args.size() > 2 ? QDate::fromString(args[2], Qt::ISODate) : QDate();
    if (!day.isValid()) {
        std::fprintf(stderr, "usage: bench_walk FOLDER yyyy-mm-dd [-1|0|1]\n");
        return 2;
    }
    const int mode = args.size() > 3 ? args[3].toInt() : 0;
    const QString folder = IncludeTrailingDelimiter(args[1]);
    const ScanContext context{QStringLiteral("*.*"), folder, [mode] { return mode; },
                              [day] { return day; }};

    CountingSink sink;
    QElapsedTimer timer;
    timer.start();
    ScanFolder(folder, context, sink);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%d %.6f\n", sink.selected, seconds);
    return 0;
}
