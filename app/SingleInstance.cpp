#include "app/SingleInstance.h"

#include "platform/LockFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcInstance, "kvz.instance")

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
constexpr int kWaitMilliseconds = 3000;

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent), name_(key)
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->readAll().contains(kShow))
                    return;
                qCInfo(lcInstance) << "started again: showing the window";
                emit showRequested();
            });
        }
    });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyFor(const QString &programFolder)
{
    const QByteArray folder = QDir(programFolder).canonicalPath().toUtf8();
    const QByteArray digest = QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
    return QDir(LockFolder()).filePath(u"zanto-yedek-%1"_s.arg(QString::fromLatin1(digest)));
}

bool SingleInstance::claim()
{
    // The lock settles a race of two copies started at once; the socket carries the request to show.
    // A lock file another user made counts as held, even when its copy has gone: this user can neither
    // take it nor remove it from the shared folder, and two users of one program folder must not both
    // back up. Their socket is closed to this user, so that copy is not brought forward.
    lock_ = std::make_unique<QLockFile>(name_ + u".lock"_s);
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(100)) {
        askRunningCopyToShow();
        return false;
    }
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Without the socket a second start cannot bring this window forward, but the lock still keeps it
    // from running: worth a line in the log, not a refusal to start.
    if (!server_.listen(name_))
        qWarning("cannot listen for a second start: %s", qPrintable(server_.errorString()));
    return true;
}

void SingleInstance::release()
{
    server_.close();
    if (lock_)
        lock_->unlock();
}

bool SingleInstance::askRunningCopyToShow() const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMilliseconds))
        return false;
    socket.write(kShow);
    return socket.waitForBytesWritten(kWaitMilliseconds);
}
