#include "backup/Retention.h"

#include "backup/BackupPlan.h"
#include "backup/OwnBackups.h"

#include <QHash>
#include <algorithm>

using namespace Qt::StringLiterals;

QList<OwnBackup> InRunOrder(QList<OwnBackup> backups, const QStringList &newestFirst)
{
    QHash<QString, qsizetype> rank;
    for (const QString &path : newestFirst) {
        // A name given twice keeps its first, newer place.
        const QString name = ServerFileName(path);
        if (!rank.contains(name))
            rank.insert(name, rank.size());
    }
    const auto rankOf = [&](const OwnBackup &backup) { return rank.value(backup.entry.name, rank.size()); };
    std::stable_sort(backups.begin(), backups.end(), [&](const OwnBackup &a, const OwnBackup &b) {
        const qsizetype rankA = rankOf(a);
        const qsizetype rankB = rankOf(b);
        if (rankA != rankB)
            return rankA < rankB;
        return a.entry.modified > b.entry.modified;
    });
    return backups;
}

RetentionPlan PlanRetention(const QList<FolderEntry> &entries, const QString &database, const QDateTime &now,
                            int keepDays, const QStringList &newestFirst)
{
    RetentionPlan plan;
    if (keepDays <= 0)
        return plan;
    const QString newestPath = newestFirst.value(0);
    const QString newest = ServerFileName(newestPath);
    // A folder of the same path on this machine as on the server's would otherwise lose files that are
    // no copies of what the server just wrote.
    const bool newestHere = std::any_of(entries.begin(), entries.end(), [&](const FolderEntry &entry) {
        return entry.name == newest && entry.isFile && !entry.isSymLink;
    });
    if (!newestHere) {
        plan.refusals.append(
            {QString(), u"Son yedek (%1) bu bilgisayardan görülen yedek klasöründe yok; "
                        "klasör SQL Server'ın yazdığı klasör olmayabilir. Eski yedekler "
                        "silinmedi, gerekirse SQL Server'ın bilgisayarında elle silin."_s.arg(newestPath)});
        return plan;
    }
    const QDateTime oldest = now.addDays(-keepDays);
    const int kept = std::max(keepDays, kMinBackupsKept);
    int newer = 0; // the regular files met so far, newest first
    for (const OwnBackup &backup : InRunOrder(OwnBackups(entries, database), newestFirst)) {
        const QString &name = backup.entry.name;
        const bool regular = backup.entry.isFile && !backup.entry.isSymLink;
        const bool amongNewest = regular && newer++ < kept;
        QString reason;
        if (backup.stamp > now)
            reason = u"%1 silinmedi: adındaki tarih ileride, bilgisayarın saati geri alınmış olabilir."_s.arg(
                name);
        else if (backup.stamp >= oldest)
            continue;
        else if (name == newest)
            reason = u"%1 silinmedi: en son başarılı yedek bu."_s.arg(name);
        else if (amongNewest)
            reason = u"%1 silinmedi: en yeni %2 yedekten biri."_s.arg(name, QString::number(kept));
        else if (backup.entry.isSymLink)
            reason = u"%1 silinmedi: dosya değil, bir bağlantı (kısayol)."_s.arg(name);
        else if (!backup.entry.isFile)
            reason = u"%1 silinmedi: dosya değil, bir klasör."_s.arg(name);
        if (reason.isEmpty())
            plan.remove.append(name);
        else
            plan.refusals.append({name, reason});
    }
    return plan;
}
