#pragma once

#include "core/archive.h"

#include <QObject>
#include <QProcess>
#include <QStringList>

// Runs one console child at a time, hidden, with its standard output and standard
// error merged and its standard input closed. The output arrives in pieces cut by
// OutputCutter, through the event queue, and the end follows the last piece.
class ProcessRunner : public QObject
{
    Q_OBJECT
public:
    explicit ProcessRunner(QObject *parent = nullptr);
    // Waits for a running child, without delivering its output any more.
    ~ProcessRunner() override;

    // The program and arguments go to the child as they are, without a shell. Throws
    // TarselError when a child still runs, or with the system's text when the program
    // cannot be started.
    void start(const QString &program, const QStringList &arguments);
    bool isRunning() const;
    // Blocks until the running child has ended and its output and end were delivered.
    void waitForFinished();

signals:
    void read(const QString &text);
    // A child that crashed reports -1, which no 7-Zip code uses.
    void terminated(int exitCode);

private:
    void readOutput();
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void deliver(const QStringList &pieces);

    QProcess m_process;
    OutputCutter m_cutter;
};
