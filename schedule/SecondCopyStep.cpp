#include "schedule/SecondCopyStep.h"

#include "backup/BackupFolderListing.h"
#include "backup/SecondCopies.h"
#include "history/RunHistory.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSecondCopy, "kvz.secondcopy")

using namespace Qt::StringLiterals;

namespace {

// Enough of the history's order for the catch-up's days; older backups go by their files' times.
constexpr int kRunsOrdered = 500;

} // namespace

void CopyToSecondFolder(BackupResult &result, const BackupSettings &settings, const QString &database,
                        const QDateTime &now, bool clockDoubted, const RunHistory &history,
                        const CopyHooks &hooks)
{
    const QString copyFolder = settings.secondFolder.trimmed();
    if (copyFolder.isEmpty())
        return;
    result.secondCopy.asked = true;
    if (!IsVisibleFolder(settings.folder) || !QFileInfo(result.filePath).isFile()) {
        result.secondCopy.problem =
            u"İKİNCİ KOPYA YAPILAMADI: yedek dosyası (%1) bu bilgisayardan okunamıyor. İkinci kopya ancak "
            "SQL Server'ın yazdığı klasör bu bilgisayardan görülünce yapılabilir; YEDEK ALINACAK KONUM'u "
            "bu bilgisayarın gördüğü bir klasör yapın."_s.arg(result.filePath);
        qCWarning(lcSecondCopy).noquote() << result.secondCopy.problem;
        return;
    }
    const Result<QStringList> earlier = history.successfulNames(kRunsOrdered);
    if (!earlier)
        qCWarning(lcSecondCopy).noquote() << earlier.failure().reason << earlier.failure().detail;
    const int keepDays = KeepDaysOf(settings.secondKeepDays).value_or(0);
    // A value that is no number keeps every copy, as the first folder's does.
    const SecondCopyRequest request{
        settings.folder, copyFolder,
        database,        now,
        keepDays,        QStringList{result.filePath} + (earlier ? earlier.value() : QStringList()),
        clockDoubted};
    const SecondCopyReport report = MakeSecondCopies(request, hooks);
    result.secondCopy.problem = report.problem;
    result.secondCopy.bytes = report.bytes;
    result.secondCopy.elapsedMs = report.elapsedMs;
    result.removed << report.lines;
    for (const QString &line : report.lines)
        qCInfo(lcSecondCopy).noquote() << line;
    if (!report.problem.isEmpty())
        qCWarning(lcSecondCopy).noquote() << report.problem;
}
