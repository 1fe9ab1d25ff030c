#include "app/DatabaseClaim.h"

#include <QCryptographicHash>
#include <QDir>

DatabaseClaim::DatabaseClaim(const ConnectionValues &values)
{
    if (values.server.trimmed().isEmpty())
        return;
    // Server and database names are compared without case, as SQL Server does by default.
    const QString key = values.server.trimmed().toLower() + u'\n' + values.port.trimmed() + u'\n' +
                        values.database.trimmed().toLower();
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(
        QStringLiteral("zanto-yedek-%1-db-%2.lock")
            .arg(QString::fromLocal8Bit(qgetenv("USER")), QString::fromLatin1(digest))));
    lock_->setStaleLockTime(0);
}

bool DatabaseClaim::claim()
{
    return !lock_ || lock_->tryLock(100);
}

void DatabaseClaim::release()
{
    if (lock_)
        lock_->unlock();
}
