#include "history/SetAside.h"

#include "history/HistoryFailures.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

const QStringList kJournalSuffixes{u"-wal"_s, u"-shm"_s, u"-journal"_s};

QString FreeName(const QString &path, const QDateTime &when)
{
    const QString base = path + u".bozuk-"_s + when.toString(u"yyyyMMddHHmmss"_s);
    QString name = base;
    for (int copy = 2; QFile::exists(name); ++copy)
        name = base + u'-' + QString::number(copy);
    return name;
}

} // namespace

Result<QString> SetAside(const QString &path, const QDateTime &when)
{
    const QString aside = FreeName(path, when);
    QFile file(path);
    if (!file.rename(aside))
        return HistoryFailures::SetAsideFailure(path, file.errorString());
    for (const QString &suffix : kJournalSuffixes) {
        QFile journal(path + suffix);
        if (journal.exists() && !journal.rename(aside + suffix))
            return HistoryFailures::SetAsideFailure(path + suffix, journal.errorString());
    }
    return aside;
}
