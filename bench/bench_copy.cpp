// Selects every file of a tree, then copies the selection into a target folder as the copy
// command does, and prints the number of files and the seconds the copy took (the walk and the
// process start-up excluded).
//
//   bench_copy SOURCE TARGET

#include "core/copyengine.h"
#include "core/environment.h"
#include "core/scan.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

namespace
{

class ListingSink : public ScanSink
{
public:
    void folderEntered(const QString &) override {}
    void fileSelected(const QString &path, qint64, qint64, int, int) override { paths << path; }
    void folderFound(const QString &) override {}
    bool folderFilesDone() override { return true; }

    QStringList paths;
};

class QuietCopySink : public CopySink
{
public:
    void setRowWord(int, const QString &, bool) override {}
    void fileStarted(int, const QString &) override {}
    void message(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool isExcluded(const QString &) override { return false; }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: bench_copy SOURCE TARGET\n");
        return 2;
    }
    const QString source = IncludeTrailingDelimiter(args[1]);
    const QString target = IncludeTrailingDelimiter(args[2]);
    if (!QDir().mkpath(target)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(target));
        return 1;
    }

    // Everything written before tomorrow: the whole generated tree.
    const QDate tomorrow = QDate::currentDate().addDays(1);
    const ScanContext context{QStringLiteral("*.*"), source, [] { return -1; },
                              [tomorrow] { return tomorrow; }};
    ListingSink listing;
    ScanFolder(source, context, listing);

    QuietCopySink sink;
    QElapsedTimer timer;
    timer.start();
    const CopySummary summary = RunCopy(listing.paths, source, target, true, sink);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%lld %.6f %d\n", static_cast<long long>(listing.paths.size()), seconds,
                summary.failed);
    return summary.failed == 0 ? 0 : 1;
}
