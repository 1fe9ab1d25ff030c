#include "app/DatabaseClaim.h"

#include "platform/LockFolder.h"

#include <QCryptographicHash>
#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// From the server, port and database alone, the names compared without case as SQL Server does by default.
QString LockPathFor(const ConnectionValues &values)
{
    const QString key = values.server.trimmed().toLower() + u'\n' + values.port.trimmed() + u'\n' +
                        values.database.trimmed().toLower();
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(LockFolder()).filePath(u"zanto-yedek-db-%1.lock"_s.arg(QString::fromLatin1(digest)));
}

} // namespace

DatabaseClaim::DatabaseClaim(const ConnectionValues &values)
{
    if (values.server.trimmed().isEmpty())
        return;
    // As with the program folder's lock, one another user holds counts as held.
    lock_ = std::make_unique<QLockFile>(LockPathFor(values));
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
