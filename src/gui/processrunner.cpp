#include "gui/processrunner.h"

#include "core/error.h"

#include <QCursor>
#include <QGuiApplication>

namespace
{

class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

ProcessRunner::ProcessRunner(QObject *parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ProcessRunner::readOutput);
    connect(&m_process, &QProcess::finished, this, &ProcessRunner::processFinished);
}

ProcessRunner::~ProcessRunner()
{
    m_process.disconnect(this);
    if (isRunning())
        m_process.waitForFinished(-1);
}

void ProcessRunner::start(const QString &program, const QStringList &arguments)
{
    if (isRunning())
        throw TarselError(QStringLiteral("Cannot perform this operation when process is running"));
    const BusyCursor busy;
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(-1))
        throw TarselError(m_process.errorString());
}

bool ProcessRunner::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

void ProcessRunner::waitForFinished()
{
    if (isRunning())
        m_process.waitForFinished(-1);
}

void ProcessRunner::readOutput()
{
    deliver(m_cutter.feed(m_process.readAllStandardOutput()));
}

void ProcessRunner::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    const QByteArray rest = m_process.readAllStandardOutput();
    if (!rest.isEmpty())
        deliver(m_cutter.feed(rest));
    deliver(m_cutter.finish());
    emit terminated(exitStatus == QProcess::NormalExit ? exitCode : -1);
}

void ProcessRunner::deliver(const QStringList &pieces)
{
    for (const QString &piece : pieces)
        emit read(piece);
}
