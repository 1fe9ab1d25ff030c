#include "backup/RestoreTest.h"

#include "backup/BackupPlan.h"
#include "backup/OpenConnection.h"
#include "backup/RestoreFailure.h"
#include "backup/RestoreSql.h"
#include "backup/RunBackup.h"
#include "backup/RunCancel.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDatabaseExists = 1801;

// The steps of one test on one open connection; each step that fails sets the verdict and its reason.
class RestoreSteps {
public:
    RestoreSteps(OdbcConnection &odbc, RestoreTestResult &result, const RestoreTestOptions &options)
        : odbc_(odbc), result_(result), options_(options)
    {}

    void run(const QString &database, const QString &backupPath);
    // Drops the scratch database if it is there; false, with the reason said, when it stays.
    bool dropScratch();

private:
    std::optional<QList<BackupFileEntry>> listFiles(const QString &backupPath);
    bool findFolders(QString *dataFolder, QString *logFolder);
    bool checkRoom(const QString &database, const QList<BackupFileEntry> &files);
    std::optional<bool> scratchExists();
    void check();
    // The test was cancelled (for a backup kept waiting, or by the user): no verdict on the backup.
    bool stopped();
    void stop(RestoreVerdict verdict, const QString &reason, qsizetype since);

    OdbcConnection &odbc_;
    RestoreTestResult &result_;
    const RestoreTestOptions &options_;
};

void RestoreSteps::stop(RestoreVerdict verdict, const QString &reason, qsizetype since)
{
    result_.verdict = verdict;
    const QString explained = ExplainRestoreFailure(odbc_.messages().mid(since));
    result_.reason = explained.isEmpty() ? reason : explained;
}

bool RestoreSteps::stopped()
{
    if (!options_.cancel || !options_.cancel->isCancelled())
        return false;
    result_.verdict = RestoreVerdict::Skipped;
    result_.reason = u"Geri yükleme denemesi yarıda durduruldu; yedek hakkında bir sonuç yok. Menüden \"Geri "
                     "yükleme denemesi yap\" ile yeniden deneyebilirsiniz."_s;
    return true;
}

std::optional<QList<BackupFileEntry>> RestoreSteps::listFiles(const QString &backupPath)
{
    const qsizetype before = odbc_.messages().size();
    const auto rows = odbc_.queryRows(FileListStatement(backupPath));
    if (!rows || rows->isEmpty()) {
        stop(RestoreVerdict::NotRestored, u"Yedek dosyasının içindeki veritabanı dosyaları okunamadı."_s,
             before);
        return std::nullopt;
    }
    // LogicalName, PhysicalName, Type, FileGroupName, Size, ...
    QList<BackupFileEntry> files;
    for (const QStringList &row : *rows)
        files.append({row.value(0), row.value(2) == u"L"_s, row.value(4).toLongLong()});
    return files;
}

bool RestoreSteps::findFolders(QString *dataFolder, QString *logFolder)
{
    const qsizetype before = odbc_.messages().size();
    const auto rows = odbc_.queryRows(
        u"SELECT SERVERPROPERTY('InstanceDefaultDataPath'), SERVERPROPERTY('InstanceDefaultLogPath')"_s);
    if (!rows || rows->size() != 1 || rows->constFirst().value(0).isEmpty()) {
        stop(
            RestoreVerdict::Skipped,
            u"Sunucunun varsayılan veri klasörü öğrenilemedi; geri yükleme denemesi yapılmadı. SQL Server'da "
            "varsayılan veri ve günlük klasörlerinin ayarlı olduğunu teknik desteğinize denetletin."_s,
            before);
        return false;
    }
    *dataFolder = rows->constFirst().value(0);
    *logFolder = rows->constFirst().value(1).isEmpty() ? *dataFolder : rows->constFirst().value(1);
    return true;
}

bool RestoreSteps::checkRoom(const QString &database, const QList<BackupFileEntry> &files)
{
    const qsizetype before = odbc_.messages().size();
    const auto rows = odbc_.queryRows(
        u"SELECT volume_mount_point, available_bytes, total_bytes FROM sys.dm_os_volume_stats(DB_ID(%1), 1)"_s
            .arg(QuoteUnicodeLiteral(database)));
    if (!rows || rows->size() != 1) {
        stop(RestoreVerdict::Skipped,
             u"Sunucunun diskindeki boş yer öğrenilemedi; geri yükleme denemesi yapılmadı. Sql kullanıcısına "
             "sunucuda VIEW SERVER STATE izni verilmelidir."_s,
             before);
        return false;
    }
    const qint64 free = rows->constFirst().value(1).toLongLong();
    const qint64 needed = NeededBytes(files);
    if (free < needed) {
        stop(RestoreVerdict::Skipped,
             u"Sunucunun diskinde (%1) deneme için yeterli boş yer yok: %2 MB gerekiyor, %3 MB boş. Geri "
             "yükleme denemesi yapılmadı; sunucunun diskinde yer açın."_s.arg(rows->constFirst().value(0))
                 .arg(needed / (1024 * 1024))
                 .arg(free / (1024 * 1024)),
             before);
        return false;
    }
    return true;
}

std::optional<bool> RestoreSteps::scratchExists()
{
    const auto rows = odbc_.queryRows(u"SELECT DB_ID(%1)"_s.arg(QuoteUnicodeLiteral(result_.scratchName)));
    if (!rows || rows->size() != 1)
        return std::nullopt;
    return !rows->constFirst().value(0).isNull();
}

bool RestoreSteps::dropScratch()
{
    const qsizetype before = odbc_.messages().size();
    const std::optional<bool> exists = scratchExists();
    if (exists == false) {
        result_.left = false;
        return true;
    }
    if (exists && odbc_.executeBatch(DropStatement(result_.scratchName))) {
        result_.left = false;
        return true;
    }
    result_.left = true;
    const QString failed = u"Deneme veritabanı %1 silinemedi; sunucuda yer kaplıyor. Program bir sonraki "
                           "açılışında yeniden silmeyi deneyecek."_s.arg(result_.scratchName);
    const QString detail = MessagesDetail(odbc_.messages().mid(before));
    result_.reason = result_.reason.isEmpty() ? failed : result_.reason + u'\n' + failed;
    if (!detail.isEmpty())
        result_.reason += u'\n' + detail;
    return false;
}

void RestoreSteps::check()
{
    const qsizetype before = odbc_.messages().size();
    const bool clean = odbc_.executeBatch(CheckStatement(result_.scratchName), {}, options_.cancel);
    const CheckFindings findings = ReadCheckFindings(odbc_.messages().mid(before));
    result_.allocationErrors = findings.allocationErrors;
    result_.consistencyErrors = findings.consistencyErrors;
    result_.firstErrors = findings.firstErrors;
    if (clean) {
        result_.verdict = RestoreVerdict::Clean;
        return;
    }
    if (stopped())
        return;
    if (!findings.summarised && !findings.damageSeen) {
        result_.verdict = RestoreVerdict::Skipped;
        result_.reason = u"Geri yüklenen veritabanının denetimi tamamlanamadı."_s;
        return;
    }
    result_.verdict = RestoreVerdict::Damaged;
    result_.reason =
        u"Veritabanında bozukluk bulundu: %1 ayırma (allocation), %2 tutarlılık (consistency) hatası. Hiçbir "
        "yedeği silmeyin ve hemen teknik desteğinizi arayın."_s.arg(findings.allocationErrors)
            .arg(findings.consistencyErrors);
    if (findings.allocationErrors > 0)
        result_.reason +=
            u" Ayırma hataları olduğu için destek gelene kadar satış programıyla veri girmeyin."_s;
}

void RestoreSteps::run(const QString &database, const QString &backupPath)
{
    const std::optional<QList<BackupFileEntry>> files = listFiles(backupPath);
    QString dataFolder;
    QString logFolder;
    if (!files || !findFolders(&dataFolder, &logFolder) || !checkRoom(database, *files))
        return;
    const std::optional<bool> exists = scratchExists();
    if (!exists) {
        stop(RestoreVerdict::Skipped, u"Sunucudaki veritabanları denetlenemedi."_s, odbc_.messages().size());
        return;
    }
    if (*exists && !options_.scratchIsOurs) {
        stop(RestoreVerdict::Refused,
             u"Sunucuda %1 adlı bir veritabanı var ve bu program oluşturmadı; program ona dokunmadı ve geri "
             "yükleme denemesi yapılmadı. Kimin oluşturduğunu öğrenin."_s.arg(result_.scratchName),
             odbc_.messages().size());
        return;
    }
    if (options_.beforeCreate)
        options_.beforeCreate();
    result_.created = true;
    if (*exists && !dropScratch())
        return;
    const qsizetype before = odbc_.messages().size();
    const bool restored = odbc_.executeBatch(
        RestoreStatement(result_.scratchName, backupPath, *files, dataFolder, logFolder),
        [this](const ServerMessage &message) {
            if (const std::optional<int> percent = ProgressPercent(message); percent && options_.progress)
                options_.progress(*percent);
        },
        options_.cancel);
    if (!restored && stopped())
        return;
    if (!restored) {
        const ServerMessages said = odbc_.messages().mid(before);
        // A database that appeared since the check is someone else's: only a restore refused for another
        // reason may have left one of ours behind.
        result_.created = std::none_of(said.cbegin(), said.cend(),
                                       [](const ServerMessage &m) { return m.number == kDatabaseExists; });
        stop(RestoreVerdict::NotRestored, u"Yedek geri yüklenemedi."_s, before);
        return;
    }
    check();
}

RestoreTestResult Open(OdbcConnection &odbc, const ConnectionValues &values, int loginTimeoutSeconds)
{
    RestoreTestResult result;
    result.scratchName = ScratchDatabaseName(values.database);
    if (const Result<QString> opened = OpenConnection(odbc, values, loginTimeoutSeconds); !opened)
        result.reason = opened.failure().reason;
    return result;
}

} // namespace

RestoreTestResult RunRestoreTest(const ConnectionValues &values, const QString &backupPath,
                                 const RestoreTestOptions &options)
{
    OdbcConnection odbc;
    RestoreTestResult result = Open(odbc, values, options.loginTimeoutSeconds);
    if (!result.reason.isEmpty()) {
        result.messages = odbc.messages();
        return result;
    }
    RestoreSteps steps(odbc, result, options);
    steps.run(values.database, backupPath);
    if (result.created)
        steps.dropScratch();
    result.messages = odbc.messages();
    return result;
}

RestoreTestResult DropLeftoverScratch(const ConnectionValues &values, int loginTimeoutSeconds)
{
    OdbcConnection odbc;
    RestoreTestResult result = Open(odbc, values, loginTimeoutSeconds);
    result.created = true;
    result.left = true;
    if (result.reason.isEmpty()) {
        const RestoreTestOptions options;
        RestoreSteps(odbc, result, options).dropScratch();
    }
    result.messages = odbc.messages();
    return result;
}
