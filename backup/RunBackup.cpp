#include "backup/RunBackup.h"

#include "backup/BackupFolderListing.h"
#include "backup/FailureExplanation.h"
#include "backup/OpenConnection.h"
#include "backup/RenameUnverified.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcBackup, "kvz.backup")

namespace {

constexpr int kProgressMessage = 3211;
constexpr int kBackupDone = 3014;
constexpr int kBackupSetValid = 3262;
constexpr qint64 kPageBytes = 8192;

// "BACKUP DATABASE successfully processed 2345 pages in ...": the size the server wrote, where the file
// itself may lie on another machine.
qint64 BytesWritten(const ServerMessages &messages)
{
    static const QRegularExpression kPages(u"processed (\\d+) pages"_s);
    for (const ServerMessage &message : messages) {
        if (message.number == kBackupDone) {
            const QRegularExpressionMatch match = kPages.match(message.text);
            if (match.hasMatch())
                return match.captured(1).toLongLong() * kPageBytes;
        }
    }
    return -1;
}

QString Reason(const ServerMessages &messages, FailureStep step, const QString &fallback)
{
    const QString reason = ExplainFailure(messages, step);
    return reason.isEmpty() ? fallback : reason;
}

// Where this machine can reach the unverified file, it is renamed out of every backup's way, and the
// history names it as it now is; where it cannot, the reason at least names the file not to restore.
QString SetUnverifiedAside(const QString &folder, BackupResult &result)
{
    const QString named = u"Doğrulanamayan dosya: %1."_s.arg(result.plannedPath);
    if (!IsVisibleFolder(folder))
        return named + u" Bu dosyadan geri yükleme yapmayın."_s;
    const Result<QString> renamed = RenameUnverified(result.plannedPath);
    if (!renamed)
        return u"%1 %2 (%3) Bu dosyadan geri yükleme yapmayın."_s.arg(named, renamed.failure().reason,
                                                                      renamed.failure().detail);
    result.plannedPath = renamed.value();
    return named + u" Dosyanın adı %1 olarak değiştirildi; bu dosyadan geri yükleme yapmayın."_s.arg(
                       QFileInfo(renamed.value()).fileName());
}

} // namespace

std::optional<int> ProgressPercent(const ServerMessage &message)
{
    static const QRegularExpression kPercent(u"^(\\d{1,3}) percent processed"_s);
    if (message.number != kProgressMessage)
        return std::nullopt;
    const QRegularExpressionMatch match = kPercent.match(message.text.section(u']', -1).trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

BackupResult RunBackup(const ConnectionValues &values, const QString &folder, const QDateTime &time,
                       const IsNameTaken &isTaken, const RunOptions &options)
{
    OdbcConnection odbc;
    if (const Result<QString> opened = OpenConnection(odbc, values, options.loginTimeoutSeconds); !opened) {
        BackupResult result;
        result.reason = opened.failure().reason;
        result.messages = odbc.messages();
        return result;
    }

    const BackupPlan plan = PlanBackup(values.database, folder, time, isTaken, options.verify);
    qCInfo(lcBackup) << "backing up to" << plan.filePath;

    BackupResult result;
    result.plannedPath = plan.filePath;
    result.ok = odbc.executeBatch(
        plan.statement,
        [&](const ServerMessage &message) {
            if (const std::optional<int> percent = ProgressPercent(message); percent && options.progress)
                options.progress(*percent);
        },
        options.cancel);
    result.messages = odbc.messages();
    if (!result.ok) {
        result.reason = Reason(result.messages, FailureStep::Backup, u"Yedekleme komutu başarısız oldu."_s);
        return result;
    }
    result.sizeBytes = BytesWritten(result.messages);

    if (options.verify) {
        const qsizetype before = odbc.messages().size();
        const bool answered = odbc.executeBatch(plan.verifyStatement, {}, options.cancel);
        const ServerMessages verifyMessages = odbc.messages().mid(before);
        result.messages = odbc.messages();
        const bool valid =
            answered && std::any_of(verifyMessages.cbegin(), verifyMessages.cend(),
                                    [](const ServerMessage &m) { return m.number == kBackupSetValid; });
        result.verification = valid ? Verification::Verified : Verification::Failed;
        if (!valid) {
            // The file is there but cannot be trusted: the run is a failure, and the file is no good backup.
            result.ok = false;
            result.reason = Reason(verifyMessages, FailureStep::Verify, u"Yedek dosyası doğrulanamadı."_s) +
                            u'\n' + SetUnverifiedAside(folder, result);
            return result;
        }
    }
    result.filePath = plan.filePath;
    return result;
}
