#include "backup/Retention.h"

#include "backup/OwnBackups.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The server's path may be in Windows form while this machine reads "/" only.
QString FileNameOf(const QString &path)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(separator + 1);
}

} // namespace

RetentionPlan PlanRetention(const QList<FolderEntry> &entries, const QString &database, const QDateTime &now,
                            int keepDays, const QString &newestSuccessfulFile)
{
    RetentionPlan plan;
    if (keepDays <= 0)
        return plan;
    const QString newest = FileNameOf(newestSuccessfulFile);
    // A folder of the same path on this machine as on the server's would otherwise lose files that are
    // no copies of what the server just wrote.
    const bool newestHere = std::any_of(entries.begin(), entries.end(), [&](const FolderEntry &entry) {
        return entry.name == newest && entry.isFile && !entry.isSymLink;
    });
    if (!newestHere) {
        plan.refusals.append(
            {QString(),
             u"Son yedek (%1) bu bilgisayardan görülen yedek klasöründe yok; "
             "klasör SQL Server'ın yazdığı klasör olmayabilir. Eski yedekler "
             "silinmedi, gerekirse SQL Server'ın bilgisayarında elle silin."_s.arg(newestSuccessfulFile)});
        return plan;
    }
    const QDateTime oldest = now.addDays(-keepDays);
    for (const OwnBackup &backup : OwnBackups(entries, database)) {
        const QString &name = backup.entry.name;
        QString reason;
        if (backup.stamp > now)
            reason = u"%1 silinmedi: adındaki tarih ileride, bilgisayarın saati geri alınmış olabilir."_s;
        else if (backup.stamp >= oldest)
            continue;
        else if (name == newest)
            reason = u"%1 silinmedi: en son başarılı yedek bu."_s;
        else if (backup.entry.isSymLink)
            reason = u"%1 silinmedi: dosya değil, bir bağlantı (kısayol)."_s;
        else if (!backup.entry.isFile)
            reason = u"%1 silinmedi: dosya değil, bir klasör."_s;
        if (reason.isEmpty())
            plan.remove.append(name);
        else
            plan.refusals.append({name, reason.arg(name)});
    }
    return plan;
}
