#include "backup/ApplyRetention.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

Result<RetentionReport> ApplyRetention(const QString &folder, const QString &database, const QDateTime &now,
                                       int keepDays, const QStringList &newestFirst)
{
    RetentionReport report;
    if (keepDays <= 0)
        return report;
    if (!IsVisibleFolder(folder)) {
        report.refusals.append({QString(),
                                u"YEDEK ALINACAK KONUM bu bilgisayardan görülmüyor; eski yedekler "
                                "silinmedi. Gerekirse SQL Server'ın bilgisayarında elle silin."_s});
        return report;
    }
    const Result<QList<FolderEntry>> entries = ListFolder(folder);
    if (!entries)
        return entries.failure();
    const RetentionPlan plan = PlanRetention(entries.value(), database, now, keepDays, newestFirst);
    report.refusals = plan.refusals;

    const QDir dir(folder.trimmed());
    const QString home = QFileInfo(dir.path()).canonicalFilePath();
    for (const QString &name : plan.remove) {
        const QString path = dir.filePath(name);
        const QFileInfo info(path);
        // The folder may have changed since it was listed: a name that has become a link, or that now
        // leads out of the folder, stays where it is.
        if (info.isSymLink() || !info.isFile() || info.canonicalPath() != home) {
            report.refusals.append({name, u"%1 silinmedi: klasör okunduktan sonra değişti."_s.arg(name)});
            continue;
        }
        QFile file(path);
        if (file.remove())
            report.removed.append(name);
        else
            report.failures.append(
                {name, Failure{u"Eski yedek %1 silinemedi. Dosyayı başka bir programın kullanmadığını ve "
                               "klasöre yazma izniniz olduğunu kontrol edin."_s.arg(name),
                               file.errorString()}});
    }
    return report;
}
