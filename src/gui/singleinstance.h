#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// At most one running instance per program file and user. The first start holds a lock file in
// the temporary folder and listens on a local socket; a refused start asks it to come forward.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &exePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock of this identity. Stale locks left by a dead instance are taken over. Of
    // two starts made at the same moment exactly one is first.
    bool isFirst();
    // For a refused start: asks the first instance to come forward.
    void bringFirstForward();

signals:
    // In the first instance: a refused start asked it to come forward.
    void activationRequested();

private:
    void listen();
    void readRequests(QLocalSocket *socket);

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

// The name of an instance identity: the program file (case-folded where file names ignore case)
// and the user, hashed into a text usable as a file and socket name.
QString InstanceKey(const QString &exePath, const QString &userName);
