#include "restorework.h"

#include "backupfile.h"
#include "restorestatement.h"
#include "serverstate.h"
#include "verifybackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <variant>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr qint64 kBytesPerPage = 8192;
constexpr qint64 kDataFileBytes = 8 * 1024 * 1024;
constexpr qint64 kLogFileBytes = 2 * 1024 * 1024;

struct BackedUpFile {
    QString logical;
    QString physical;
    QString type; // D data, L log
    qint64 bytes = 0;
};

ServerMessage Error(qint32 number, quint8 state, const QString &text)
{
    return {number, state, kErrorSeverity, text};
}

ServerMessage Info(qint32 number, const QString &text)
{
    return {number, 1, 0, text};
}

WorkReply Failed(QList<ServerMessage> messages)
{
    return {{}, {}, {}, std::move(messages), true};
}

ServerMessage Terminated(QStringView statement)
{
    return Error(3013, 1, u"%1 is terminating abnormally."_s.arg(statement));
}

ServerMessage PlanningFailed()
{
    return Error(3119, 1,
                 u"Problems were identified while planning for the RESTORE statement. Previous messages "
                 "provide details."_s);
}

// The database a whole backup file holds, from its header line; the file's errors, RESTORE's way, if it
// cannot be read.
std::variant<QString, QList<ServerMessage>> ReadBackup(const QString &path, QStringView statement)
{
    QList<ServerMessage> errors = VerifyBackup(path);
    if (errors.constLast().severity > kHighestInfoSeverity) {
        errors.last() = Terminated(statement);
        return errors;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QList<ServerMessage>{CannotOpenDevice(path, kAccessDenied, 2), Terminated(statement)};
    // The header's second line: "database: <name>".
    const QByteArray line = file.read(4096).split('\n').value(1);
    return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
}

QList<BackedUpFile> FilesOf(const QString &database)
{
    const QString folder = u"C:\\Program Files\\Microsoft SQL Server\\MSSQL16.SQLEXPRESS\\MSSQL\\DATA\\"_s;
    return {{database, folder + database + u".mdf"_s, u"D"_s, kDataFileBytes},
            {database + u"_log"_s, folder + database + u"_log.ldf"_s, u"L"_s, kLogFileBytes}};
}

WorkReply FileList(const QString &batch)
{
    const OperandParse parse = ParseFileList(batch);
    if (!parse.operand)
        return Failed(parse.errors);
    const auto read = ReadBackup(*parse.operand, u"RESTORE FILELIST");
    if (const auto *errors = std::get_if<QList<ServerMessage>>(&read))
        return Failed(*errors);
    WorkReply reply;
    using Type = Column::Type;
    reply.columns = {{u"LogicalName"_s, Type::Text}, {u"PhysicalName"_s, Type::Text},
                     {u"Type"_s, Type::Text},        {u"FileGroupName"_s, Type::Text},
                     {u"Size"_s, Type::BigInt},      {u"MaxSize"_s, Type::BigInt},
                     {u"FileId"_s, Type::BigInt}};
    qint64 fileId = 0;
    for (const BackedUpFile &file : FilesOf(std::get<QString>(read))) {
        const Cell group = file.type == u"D"_s ? Cell(u"PRIMARY"_s) : Cell();
        reply.rows.append({file.logical, file.physical, file.type, group, file.bytes,
                           qint64(2147483648) * kBytesPerPage, ++fileId});
    }
    return reply;
}

QString FindMove(const RestoreDatabaseStatement &statement, const QString &logical)
{
    for (const auto &[from, to] : statement.moves) {
        if (from.compare(logical, Qt::CaseInsensitive) == 0)
            return to;
    }
    return {};
}

// The errors SQL Server finds before it writes anything: files it has no place for, folders it cannot
// reach, a volume too small.
QList<ServerMessage> PlanningErrors(const RestoreDatabaseStatement &statement,
                                    const QList<BackedUpFile> &files, const QString &source,
                                    const Behaviour &behaviour)
{
    QList<ServerMessage> errors;
    for (const auto &move : statement.moves) {
        const QString &logical = move.first;
        const bool known = std::any_of(files.cbegin(), files.cend(), [&](const BackedUpFile &file) {
            return file.logical.compare(logical, Qt::CaseInsensitive) == 0;
        });
        if (!known)
            errors.append(
                Error(3234, 2,
                      u"Logical file '%1' is not part of database '%2'. Use RESTORE FILELISTONLY to "
                      "list the logical file names."_s.arg(logical, source)));
    }
    qint64 total = 0;
    for (const BackedUpFile &file : files) {
        total += file.bytes;
        const QString target = FindMove(statement, file.logical);
        if (target.isEmpty()) {
            errors.append(
                Error(1834, 1,
                      u"The file '%1' cannot be overwritten.  It is being used by database '%2'."_s.arg(
                          file.physical, source)));
            errors.append(Error(3156, 4,
                                u"File '%1' cannot be restored to '%2'. Use WITH MOVE to identify a valid "
                                "location for the file."_s.arg(file.logical, file.physical)));
            continue;
        }
        if (!QFileInfo(target).absoluteDir().exists())
            errors.append(
                Error(5133, 1,
                      u"Directory lookup for the file \"%1\" failed with the operating system error "
                      "%2."_s.arg(target, kPathNotFound)));
    }
    if (errors.isEmpty() && total > behaviour.volumeFreeBytes)
        errors.append(Error(3257, 1,
                            u"There is insufficient free space on disk volume 'C:\\' to create the database. "
                            "The database requires %1 additional free bytes, while only %2 bytes are "
                            "available."_s.arg(total)
                                .arg(behaviour.volumeFreeBytes)));
    return errors;
}

QList<ServerMessage> Progress(int stats, int upTo)
{
    QList<ServerMessage> progress;
    for (int percent = stats; stats > 0 && percent <= upTo; percent += stats)
        progress.append(Info(kPercentProcessed, u"%1 percent processed."_s.arg(percent)));
    return progress;
}

WorkReply RestoreDatabase(const QString &batch, ServerState &state)
{
    const RestoreParse parse = ParseRestoreDatabase(batch);
    if (!parse.statement)
        return Failed(parse.errors);
    const RestoreDatabaseStatement &statement = *parse.statement;
    const Behaviour behaviour = state.behaviour();
    const QString terminated = u"RESTORE DATABASE"_s;
    if (behaviour.createDatabaseDenied)
        return Failed({{262, 1, 14, u"CREATE DATABASE permission denied in database 'master'."_s},
                       Terminated(terminated)});
    if (state.findDatabase(statement.database))
        return Failed({Error(1801, 3,
                             u"Database '%1' already exists. Choose a different database name."_s.arg(
                                 statement.database)),
                       Terminated(terminated)});
    const auto read = ReadBackup(statement.path, terminated);
    if (const auto *errors = std::get_if<QList<ServerMessage>>(&read))
        return Failed(*errors);
    const QList<BackedUpFile> files = FilesOf(std::get<QString>(read));
    if (QList<ServerMessage> errors = PlanningErrors(statement, files, std::get<QString>(read), behaviour);
        !errors.isEmpty())
        return Failed(errors << PlanningFailed() << Terminated(terminated));
    WorkReply reply;
    if (behaviour.restoreReadFails) {
        reply.progress = Progress(statement.stats, 50);
        reply.messages = {
            Error(3203, 1,
                  u"Read on \"%1\" failed: 23(Data error (cyclic redundancy check).)"_s.arg(statement.path)),
            Terminated(terminated)};
        reply.failed = true;
        return reply;
    }
    QStringList written;
    qint64 pages = 0;
    for (const BackedUpFile &file : files) {
        const QString target = FindMove(statement, file.logical);
        QFile out(target);
        if (!out.open(QIODevice::NewOnly) || out.write("TDSTEST RESTORED FILE\n") < 0) {
            for (const QString &path : std::as_const(written))
                QFile::remove(path);
            return Failed(
                {Error(5123, 1,
                       u"CREATE FILE encountered operating system error %1 while attempting to open "
                       "or create the physical file '%2'."_s.arg(kAccessDenied, target)),
                 Terminated(terminated)});
        }
        written.append(target);
        pages += file.bytes / kBytesPerPage;
        reply.messages.append(Info(4035, u"Processed %1 pages for database '%2', file '%3' on file 1."_s
                                             .arg(file.bytes / kBytesPerPage)
                                             .arg(statement.database, file.logical)));
    }
    state.addRestoredDatabase(statement.database, written);
    reply.progress = Progress(statement.stats, 100);
    reply.messages.append(Info(3014, u"RESTORE DATABASE successfully processed %1 pages in 0.052 seconds "
                                     "(157.543 MB/sec)."_s.arg(pages)));
    return reply;
}

QList<ServerMessage> DamageFound(Damage damage, const QString &database)
{
    const QString unit = u"object ID 901578250, index ID 1, partition ID 72057594043301888, alloc unit ID "
                         "72057594044416000 (type In-row data)"_s;
    const ServerMessage repair =
        Info(8958, u"repair_allow_data_loss is the minimum repair level for the errors found by DBCC CHECKDB "
                   "(%1)."_s.arg(database));
    if (damage == Damage::Allocation)
        return {Error(8905, 1,
                      u"Extent (1:1272) in database ID 7 is marked allocated in the GAM, but no SGAM or IAM "
                      "has allocated it."_s),
                Error(8989, 1,
                      u"CHECKDB found 1 allocation errors and 0 consistency errors in database '%1'."_s.arg(
                          database)),
                repair};
    return {
        Error(8928, 1,
              u"O%1: Page (1:321) could not be processed.  See other errors for details."_s.arg(unit.mid(1))),
        Error(8939, 98,
              u"Table error: %1, page (1:321). Test (IS_OFF (BUF_IOERR, pBUF->bstat)) failed. Values are "
              "2057 and -4."_s.arg(unit)),
        Error(2533, 1,
              u"Table error: page (1:322) allocated to %1 was not seen. The page may be invalid or may "
              "have an incorrect alloc unit ID in its header."_s.arg(unit)),
        Info(8990, u"CHECKDB found 0 allocation errors and 3 consistency errors in table 'STOKHAR' (object "
                   "ID 901578250)."_s),
        Error(
            8989, 1,
            u"CHECKDB found 0 allocation errors and 3 consistency errors in database '%1'."_s.arg(database)),
        repair};
}

WorkReply CheckDatabase(const QString &batch, const ServerState &state)
{
    const OperandParse parse = ParseCheckDatabase(batch);
    if (!parse.operand)
        return Failed(parse.errors);
    const auto database = state.findDatabase(*parse.operand);
    if (!database)
        return Failed({Error(2520, 11,
                             u"Could not find database '%1'. The database either does not exist, or was "
                             "dropped before a statement tried to use it. Verify if the database exists by "
                             "querying the sys.databases view."_s.arg(*parse.operand))});
    const Damage damage = state.behaviour().damage;
    if (damage == Damage::None)
        return {};
    return Failed(DamageFound(damage, *database));
}

WorkReply DropDatabase(const QString &batch, ServerState &state)
{
    const OperandParse parse = ParseDropDatabase(batch);
    if (!parse.operand)
        return Failed(parse.errors);
    const auto database = state.findDatabase(*parse.operand);
    if (!database)
        return Failed({{3701, 1, 11,
                        u"Cannot drop the database '%1', because it does not exist or you do not have "
                        "permission."_s.arg(*parse.operand)}});
    if (state.behaviour().dropFails)
        return Failed({Error(
            3702, 4, u"Cannot drop database \"%1\" because it is currently in use."_s.arg(*database))});
    for (const QString &file : state.takeRestoredFiles(*database))
        QFile::remove(file);
    state.removeDatabase(*database);
    return {};
}

} // namespace

std::optional<WorkReply> AnswerRestoreWork(const QString &batch, ServerState &state)
{
    switch (WorkKindOf(batch)) {
    case WorkKind::FileList:
        return FileList(batch);
    case WorkKind::RestoreDatabase:
        return RestoreDatabase(batch, state);
    case WorkKind::CheckDatabase:
        return CheckDatabase(batch, state);
    case WorkKind::DropDatabase:
        return DropDatabase(batch, state);
    case WorkKind::None:
    case WorkKind::Verify:
        break;
    }
    return std::nullopt;
}

} // namespace tdstest
