#include "backup/SecondCopies.h"

#include "backup/ApplyRetention.h"
#include "backup/OwnBackups.h"
#include "backup/Retention.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QString CopyOf(const FolderEntry &backup, const QList<FolderEntry> &copies)
{
    for (const FolderEntry &copy : copies) {
        if (!copy.isFile || copy.isSymLink || copy.sizeBytes != backup.sizeBytes)
            continue;
        if (copy.name == backup.name)
            return copy.name;
        // The names CopyAndCheck gives when the backup's own is taken: -2, -3 ...
        const QString stem = backup.name.chopped(4) + u'-';
        if (copy.name.startsWith(stem) && copy.name.endsWith(u".bak"_s)) {
            const QString number = copy.name.mid(stem.size()).chopped(4);
            if (number.toInt() >= 2 && QString::number(number.toInt()) == number)
                return copy.name;
        }
    }
    return {};
}

QString Problem(const Failure &failure)
{
    return u"İKİNCİ KOPYA YAPILAMADI: %1 Kopya bir sonraki yedeklemede yeniden denenir."_s.arg(
        failure.reason);
}

// The copies in the order their backups were made: a copy's own file time is only when it was copied, and
// a catch-up copies older backups after newer ones.
QStringList CopiesInRunOrder(const SecondCopyRequest &request, const QList<FolderEntry> &backups,
                             const QList<FolderEntry> &copies, const QList<CopyPlanEntry> &plan)
{
    QHash<QString, QString> made;
    for (const CopyPlanEntry &entry : plan)
        made.insert(entry.name, entry.copyName);
    QStringList newestFirst;
    for (const OwnBackup &backup : InRunOrder(OwnBackups(backups, request.database), request.newestFirst)) {
        const QString copy = made.value(backup.entry.name, CopyOf(backup.entry, copies));
        if (!copy.isEmpty())
            newestFirst << copy;
    }
    // Copies whose backups have left the first folder keep the runs' order as the history knows it.
    return newestFirst + request.newestFirst;
}

void ClearOldCopies(const SecondCopyRequest &request, const QStringList &newestFirst,
                    SecondCopyReport &report)
{
    if (request.keepDays <= 0)
        return;
    if (request.clockDoubted) {
        report.lines
            << u"İkinci kopya yerinde eski kopyalar silinmedi: bilgisayarın saati yanlış olabilir."_s;
        return;
    }
    const Result<RetentionReport> retention =
        ApplyRetention(request.copyFolder, request.database, request.now, request.keepDays, newestFirst);
    if (!retention) {
        report.lines << u"ikinci kopya yerinde eski kopyalar silinemedi: %1"_s.arg(
            retention.failure().reason);
        return;
    }
    for (const QString &name : retention->removed)
        report.lines << u"ikinci kopya silindi: %1"_s.arg(name);
    for (const RetentionRefusal &refusal : retention->refusals)
        report.lines << u"ikinci kopya yerinde: %1"_s.arg(refusal.reason);
    for (const RemovalFailure &failure : retention->failures)
        report.lines << u"ikinci kopya silinemedi: %1 (%2)"_s.arg(failure.name, failure.failure.detail);
}

} // namespace

QList<CopyPlanEntry> PlanSecondCopies(const QList<FolderEntry> &backups, const QList<FolderEntry> &copies,
                                      const QString &database, const QDateTime &now, int keepDays,
                                      const QStringList &newestFirst)
{
    QList<CopyPlanEntry> plan;
    const QDateTime oldest = now.addDays(-keepDays);
    bool first = true;
    for (const OwnBackup &backup : InRunOrder(OwnBackups(backups, database), newestFirst)) {
        const bool regular = backup.entry.isFile && !backup.entry.isSymLink;
        const bool inWindow = keepDays <= 0 || backup.stamp >= oldest;
        if (regular && (std::exchange(first, false) || inWindow))
            plan.append({backup.entry.name, CopyOf(backup.entry, copies)});
    }
    return plan;
}

SecondCopyReport MakeSecondCopies(const SecondCopyRequest &request, const CopyHooks &hooks)
{
    SecondCopyReport report;
    QElapsedTimer timer;
    timer.start();
    if (!IsVisibleFolder(request.copyFolder)) {
        report.problem = Problem(
            {u"İKİNCİ KOPYA YERİ (%1) bu bilgisayardan görülmüyor: USB disk takılı değil "
             "ya da ağ paylaşımına ulaşılamıyor. Diski takın ya da paylaşımı açın."_s.arg(request.copyFolder),
             {}});
        return report;
    }
    // The same folder under another name (a link, a mount seen twice) would have its backups cleared by the
    // second folder's days, and a copy of each would count as made.
    if (QFileInfo(request.copyFolder.trimmed()).canonicalFilePath() ==
        QFileInfo(request.backupFolder.trimmed()).canonicalFilePath()) {
        report.problem =
            Problem({u"İKİNCİ KOPYA YERİ, YEDEK ALINACAK KONUM ile aynı klasör. Başka bir disk ya "
                     "da klasör seçin."_s,
                     {}});
        return report;
    }
    const Result<QList<FolderEntry>> backups = ListFolder(request.backupFolder);
    const Result<QList<FolderEntry>> copies = ListFolder(request.copyFolder);
    if (!backups || !copies) {
        report.problem = Problem(backups ? copies.failure() : backups.failure());
        return report;
    }
    QList<CopyPlanEntry> plan = PlanSecondCopies(backups.value(), copies.value(), request.database,
                                                 request.now, request.keepDays, request.newestFirst);
    // One percent for all the copies this run makes, by their sizes.
    QHash<QString, qint64> sizes;
    qint64 total = 0;
    for (const FolderEntry &entry : backups.value())
        sizes.insert(entry.name, entry.sizeBytes);
    for (const CopyPlanEntry &entry : plan)
        total += entry.copyName.isEmpty() ? sizes.value(entry.name) : 0;

    const QDir from(request.backupFolder.trimmed());
    for (CopyPlanEntry &entry : plan) {
        if (!entry.copyName.isEmpty())
            continue;
        CopyHooks each = hooks;
        if (hooks.progress && total > 0)
            each.progress = [&, before = report.bytes, size = sizes.value(entry.name)](int percent) {
                hooks.progress(int((before + size * percent / 100) * 100 / total));
            };
        const Result<CheckedCopy> copy = CopyAndCheck(from.filePath(entry.name), request.copyFolder, each);
        if (!copy) {
            report.problem = Problem(copy.failure());
            report.lines << u"ikinci kopya yapılamadı: %1 (%2)"_s.arg(entry.name, copy.failure().detail);
            break;
        }
        entry.copyName = QFileInfo(copy->path).fileName();
        report.copied << copy->path;
        report.bytes += copy->bytes;
        report.lines << u"ikinci kopya: %1"_s.arg(copy->path);
    }
    if (report.problem.isEmpty())
        ClearOldCopies(request, CopiesInRunOrder(request, backups.value(), copies.value(), plan), report);
    report.elapsedMs = timer.elapsed();
    return report;
}
