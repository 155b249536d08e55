// The main window's selection over a real tree: time of the walk, peak memory per selected row,
// time of "Tout Effacer" and of a second selection, and of scrolling the grid from top to end.
//
//   bench_selection SRC YYYY-MM-DD
//
// Prints one line: rows, walk seconds, bytes of peak memory per row, clear seconds, second
// selection seconds, scroll seconds.

#include "gui/mainwindow.h"
#include "gui/messagebox.h"
#include "gui/questionbox.h"
#include "gui/selectiongrid.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTableView>

#include "gui/folderfield.h"

#include <cstdio>

namespace
{

// Peak resident memory of this process, in bytes.
qint64 peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// Resets the kernel's peak so the next reading starts from the present use.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_selection SRC YYYY-MM-DD\n");
        return 2;
    }
    MessageBox::setTestMode(true);
    QuestionBox::setTestMode(true);
    const QString source = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    const QDate day = QDate::fromString(QString::fromLatin1(argv[2]), Qt::ISODate);

    TForm1 form;
    form.chk_AutoCopy->setChecked(false);
    form.DirSOURCE->setText(source);
    form.DirCIBLE->setText(QDir::tempPath());
    form.Calendar1->setSelectedDate(day);
    form.show();
    QCoreApplication::processEvents();
    QAction *select = form.command(QStringLiteral("act_BtnSEL"));

    resetPeakMemory();
    const qint64 before = peakMemory();
    QElapsedTimer timer;
    timer.start();
    select->trigger();
    const double walkSeconds = timer.elapsed() / 1000.0;
    const qint64 rows = form.ListBox1.size();
    const double perRow = rows ? double(peakMemory() - before) / double(rows) : 0.0;

    // Scroll the grid from top to end, one page at a time, painting every page.
    QScrollBar *bar = form.ValueListEditor1->verticalScrollBar();
    timer.restart();
    for (int value = 0; value <= bar->maximum(); value += qMax(1, bar->pageStep() * 1000)) {
        bar->setValue(value);
        form.ValueListEditor1->viewport()->repaint();
    }
    const double scrollSeconds = timer.elapsed() / 1000.0;

    timer.restart();
    form.findChild<QAction *>(QStringLiteral("Effacer1"))->trigger();
    const double clearSeconds = timer.elapsed() / 1000.0;

    timer.restart();
    select->trigger();
    const double againSeconds = timer.elapsed() / 1000.0;

    std::printf("%lld %.3f %.0f %.3f %.3f %.3f\n", rows, walkSeconds, perRow, clearSeconds,
                againSeconds, scrollSeconds);
    QFile::remove(QStringLiteral("LISTE_FICHIERS.LOG"));
    return 0;
}
