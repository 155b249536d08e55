#include "gui/singleinstance.h"

#include "core/environment.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace
{

const QByteArray ActivationRequest = "activate";
// A refused start may come while the first one holds the lock but does not listen yet.
constexpr int ConnectPatienceMs = 5000;
constexpr int ConnectRetryMs = 50;
constexpr int TransferTimeoutMs = 2000;

} // namespace

QString InstanceKey(const QString &exePath, const QString &userName)
{
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(exePath));
    if (FileNamesIgnoreCase())
        path = path.toCaseFolded();
    const QByteArray identity = path.toUtf8() + '\0' + userName.toUtf8();
    return QStringLiteral("tarsel-") +
           QString::fromLatin1(
               QCryptographicHash::hash(identity, QCryptographicHash::Sha1).toHex());
}

SingleInstance::SingleInstance(const QString &exePath, QObject *parent)
    : QObject(parent), m_key(InstanceKey(exePath, CurrentUserName()))
{
}

SingleInstance::~SingleInstance()
{
    // Close the socket before giving up the lock: closing removes the socket file, which must
    // not happen after a new first instance has created its own.
    if (m_server)
        m_server->close();
    m_lock.reset();
}

bool SingleInstance::isFirst()
{
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(QDir::tempPath() + QLatin1Char('/') + m_key +
                                             QStringLiteral(".lock"));
        // Only a dead owner makes the lock stale, however long the first instance runs.
        m_lock->setStaleLockTime(0);
        if (m_lock->tryLock(0))
            listen();
    }
    // A lock that cannot be written at all (no temporary folder, no permission) must not keep
    // the program from starting: only a lock held by another instance refuses the start.
    return m_lock->isLocked() || m_lock->error() != QLockFile::LockFailedError;
}

void SingleInstance::bringFirstForward()
{
    QLocalSocket socket;
    const QDeadlineTimer patience(ConnectPatienceMs);
    for (;;) {
        socket.abort();
        socket.connectToServer(m_key);
        if (socket.waitForConnected(TransferTimeoutMs))
            break;
        if (patience.hasExpired())
            return;
        QThread::msleep(ConnectRetryMs);
    }
    socket.write(ActivationRequest + '\n');
    socket.waitForBytesWritten(TransferTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(TransferTimeoutMs);
}

void SingleInstance::listen()
{
    // Holding the lock makes the name ours: listening replaces a socket left by an instance
    // that died. Should listening fail all the same, the program runs on; only the way to bring
    // it forward is lost.
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(m_key);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequests(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            readRequests(socket);
        }
    });
}

void SingleInstance::readRequests(QLocalSocket *socket)
{
    while (socket->canReadLine())
        if (socket->readLine().trimmed() == ActivationRequest)
            emit activationRequested();
}
