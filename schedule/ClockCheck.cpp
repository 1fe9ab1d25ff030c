#include "schedule/ClockCheck.h"

#include "backup/BackupPlan.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;

QDateTime Later(const QDateTime &a, const QDateTime &b)
{
    if (!a.isValid())
        return b;
    return b.isValid() && b > a ? b : a;
}

QString Shown(const QDateTime &time)
{
    return time.toLocalTime().toString(u"dd.MM.yyyy HH:mm"_s);
}

QString Doubt(const QDateTime &now, const QDateTime &before)
{
    const QString times = before.isValid() ? u"saat %1, son yedekleme %2"_s.arg(Shown(now), Shown(before))
                                           : u"saat %1"_s.arg(Shown(now));
    return u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: %1. Eski yedekler silinmedi; saati düzeltin."_s.arg(times);
}

bool SameBoot(const ClockReading &a, const ClockReading &b)
{
    return !a.bootId.isEmpty() && a.bootId == b.bootId && a.elapsedMs >= 0 && b.elapsedMs >= a.elapsedMs;
}

} // namespace

ClockEvidence GatherClockEvidence(const QList<RunRecord> &newestFirst, const QList<OwnBackup> &backups,
                                  const QString &ownFile)
{
    ClockEvidence evidence;
    QSet<QString> doubtedNames;
    bool finishedSeen = false;
    QDateTime doubtedEnd;
    for (const RunRecord &run : newestFirst) {
        const bool lastFinished = run.finished && !std::exchange(finishedSeen, true);
        if (run.clockSuspect) {
            doubtedNames.insert(ServerFileName(run.file));
            if (lastFinished)
                doubtedEnd = run.ended;
            continue;
        }
        evidence.latestRun = Later(Later(evidence.latestRun, run.started), run.ended);
        if (run.finished && !evidence.lastEnd.wall.isValid())
            evidence.lastEnd = {run.ended, run.endedElapsedMs, run.bootId};
    }
    const QString own = ServerFileName(ownFile);
    for (const OwnBackup &backup : backups)
        if (backup.entry.name != own && !doubtedNames.contains(backup.entry.name))
            evidence.newestStamp = Later(evidence.newestStamp, backup.stamp);
    if (doubtedEnd.isValid() && doubtedEnd > Later(evidence.latestRun, evidence.newestStamp))
        evidence.doubtedAhead = doubtedEnd;
    return evidence;
}

std::optional<QString> ClockDoubt(const ClockReading &now, const ClockEvidence &evidence)
{
    const QDateTime latest = Later(evidence.newestStamp, evidence.latestRun);
    if (latest.isValid() && now.wall < latest)
        return Doubt(now.wall, latest);
    const ClockReading &last = evidence.lastEnd;
    if (last.wall.isValid() && SameBoot(last, now) &&
        last.wall.msecsTo(now.wall) > now.elapsedMs - last.elapsedMs + kDayMs)
        return Doubt(now.wall, last.wall);
    if (evidence.doubtedAhead.isValid() && now.wall >= evidence.doubtedAhead)
        return Doubt(now.wall, latest);
    return std::nullopt;
}
