#include "platform/QuitSignals.h"
#include "tdstestserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void PrintLine(FILE *stream, const QString &line)
{
    std::fprintf(stream, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stream);
}

// The choice an option names; false, with a line on stderr, when it names none of them.
template <typename Choice>
bool ReadChoice(const QCommandLineParser &parser, const QCommandLineOption &option,
                const QHash<QString, Choice> &choices, Choice *choice)
{
    if (!parser.isSet(option))
        return true;
    const QString value = parser.value(option);
    if (!choices.contains(value)) {
        QStringList names = choices.keys();
        names.sort();
        PrintLine(stderr, u"--%1 wants one of %2, got '%3'"_s.arg(option.names().constFirst(),
                                                                  names.join(u", "_s), value));
        return false;
    }
    *choice = choices.value(value);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tdstestserver"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Loopback TDS server for trying out and testing backups and their verification."_s);
    parser.addHelpOption();
    const QCommandLineOption port(u"port"_s, u"Port on 127.0.0.1 (0 picks a free one)."_s, u"N"_s, u"0"_s);
    const QCommandLineOption login(u"login"_s, u"A login the server accepts (repeatable)."_s,
                                   u"USER:PASSWORD"_s);
    const QCommandLineOption database(u"database"_s, u"A database that exists (repeatable)."_s, u"NAME"_s);
    const QCommandLineOption backupSeconds(u"backup-seconds"_s, u"How long a backup takes."_s, u"S"_s);
    const QCommandLineOption loginDelay(u"login-delay-ms"_s, u"Delay before answering a login."_s, u"N"_s);
    const QCommandLineOption silent(u"silent"_s, u"Accept connections but never answer."_s);
    const QCommandLineOption drop(u"drop-during-backup"_s,
                                  u"Close the connection after the first progress message."_s);
    const QCommandLineOption fail(QStringList{u"disk-full"_s, u"error-after-progress"_s},
                                  u"The disk fills during every backup, after some progress (3202)."_s);
    const QCommandLineOption damaged(u"damaged-backups"_s,
                                     u"Backups report success but leave a damaged file (verify: 3241)."_s);
    const QCommandLineOption denied(u"backup-access-denied"_s,
                                    u"The backup device cannot be created: access is denied (3201)."_s);
    const QCommandLineOption empty(u"empty-backups"_s,
                                   u"Backups report success but leave a file of 0 bytes."_s);
    const QCommandLineOption verifyDenied(
        u"verify-access-denied"_s, u"RESTORE VERIFYONLY cannot open the file: access is denied (3201)."_s);
    const QCommandLineOption more(u"more-results"_s,
                                  u"Set the more-results flag on every DONE where legal."_s);
    const QCommandLineOption loginDrop(
        u"drop-during-login"_s, u"Close the connection after PRELOGIN or on LOGIN7."_s, u"prelogin|login7"_s);
    const QCommandLineOption garbage(u"garbage-instead"_s,
                                     u"Send bytes that are not TDS in place of an answer, then hold."_s,
                                     u"login|backup"_s);
    const QCommandLineOption lie(u"length-lie"_s, u"The last packet's header claims more or fewer bytes."_s,
                                 u"longer|shorter"_s);
    const QCommandLineOption lieIn(u"length-lie-in"_s, u"The answer whose length lies (backup unless set)."_s,
                                   u"login|backup"_s, u"backup"_s);
    const QCommandLineOption longText(
        u"long-message"_s, u"The longest message a token holds in the backup's answer."_s, u"info|error"_s);
    const QCommandLineOption stall(
        u"stall-during-backup"_s,
        u"Stop answering after the first progress message, socket open, until the server ends."_s);
    const QCommandLineOption dataFolder(
        u"data-folder"_s, u"The default data and log folder (SERVERPROPERTY); NULL unless set."_s, u"PATH"_s);
    const QCommandLineOption volumeFree(
        u"volume-free-bytes"_s, u"Free space on the data volume (sys.dm_os_volume_stats; 3257)."_s, u"N"_s);
    const QCommandLineOption volumeDenied(u"volume-stats-denied"_s,
                                          u"sys.dm_os_volume_stats needs VIEW SERVER STATE (297)."_s);
    const QCommandLineOption createDenied(u"create-database-denied"_s,
                                          u"RESTORE DATABASE of a new database is not allowed (262)."_s);
    const QCommandLineOption restoreFails(u"restore-read-fails"_s,
                                          u"RESTORE DATABASE stops half way on a bad read (3203)."_s);
    const QCommandLineOption damage(u"checkdb-damage"_s,
                                    u"DBCC CHECKDB reports damage (8928/8939/2533/8989)."_s,
                                    u"consistency|allocation"_s);
    const QCommandLineOption dropFails(u"drop-fails"_s,
                                       u"DROP DATABASE fails: the database is in use (3702)."_s);
    parser.addOptions({dataFolder, volumeFree, volumeDenied, createDenied, restoreFails, damage, dropFails});
    parser.addOptions({port, login, database, backupSeconds, loginDelay, silent, drop, fail, more, loginDrop,
                       garbage, lie, lieIn, longText, stall, damaged, denied, empty, verifyDenied});
    parser.process(app);

    using namespace tdstest;
    const QHash<QString, Answer> answers = {{u"login"_s, Answer::Login}, {u"backup"_s, Answer::Backup}};
    LoginDrop loginDropAt = LoginDrop::None;
    Answer garbageAt = Answer::None;
    LengthLie lieKind = LengthLie::None;
    Answer lieAt = Answer::Backup;
    LongMessage longKind = LongMessage::None;
    Damage damageKind = Damage::None;
    const bool choicesRead =
        ReadChoice(parser, loginDrop,
                   {{u"prelogin"_s, LoginDrop::AfterPrelogin}, {u"login7"_s, LoginDrop::OnLogin7}},
                   &loginDropAt) &&
        ReadChoice(parser, garbage, answers, &garbageAt) &&
        ReadChoice(parser, lie, {{u"longer"_s, LengthLie::Longer}, {u"shorter"_s, LengthLie::Shorter}},
                   &lieKind) &&
        ReadChoice(parser, lieIn, answers, &lieAt) &&
        ReadChoice(parser, longText, {{u"info"_s, LongMessage::Info}, {u"error"_s, LongMessage::Error}},
                   &longKind) &&
        ReadChoice(parser, damage,
                   {{u"consistency"_s, Damage::Consistency}, {u"allocation"_s, Damage::Allocation}},
                   &damageKind);
    if (!choicesRead)
        return 2;

    tdstest::TdsTestServer server;
    for (const QString &entry : parser.values(login)) {
        const qsizetype colon = entry.indexOf(u':');
        if (colon <= 0) {
            PrintLine(stderr, u"--login wants USER:PASSWORD, got '%1'"_s.arg(entry));
            return 2;
        }
        server.addLogin(entry.left(colon), entry.mid(colon + 1));
    }
    for (const QString &name : parser.values(database))
        server.addDatabase(name);
    if (parser.isSet(backupSeconds))
        server.setBackupDuration(int(parser.value(backupSeconds).toDouble() * 1000));
    if (parser.isSet(loginDelay))
        server.setLoginDelay(parser.value(loginDelay).toInt());
    server.setSilent(parser.isSet(silent));
    server.setDropDuringBackup(parser.isSet(drop));
    server.setErrorAfterProgress(parser.isSet(fail));
    server.setMoreResultsOnDone(parser.isSet(more));
    server.setDropDuringLogin(loginDropAt);
    server.setGarbageInstead(garbageAt);
    server.setLengthLie(lieKind, lieAt);
    server.setLongMessage(longKind);
    server.setStallDuringBackup(parser.isSet(stall));
    server.setDamagedBackups(parser.isSet(damaged));
    server.setBackupAccessDenied(parser.isSet(denied));
    server.setEmptyBackups(parser.isSet(empty));
    server.setVerifyAccessDenied(parser.isSet(verifyDenied));
    server.setDataFolder(parser.value(dataFolder));
    if (parser.isSet(volumeFree))
        server.setVolumeFreeBytes(parser.value(volumeFree).toLongLong());
    server.setVolumeStatsDenied(parser.isSet(volumeDenied));
    server.setCreateDatabaseDenied(parser.isSet(createDenied));
    server.setRestoreReadFails(parser.isSet(restoreFails));
    server.setDamage(damageKind);
    server.setDropFails(parser.isSet(dropFails));
    server.setEventLog([](const QString &line) { PrintLine(stderr, line); });

    bool portIsNumber = false;
    const uint requestedPort = parser.value(port).toUInt(&portIsNumber);
    if (!portIsNumber || requestedPort > 65535 || !server.listen(quint16(requestedPort))) {
        PrintLine(stderr, u"cannot listen on 127.0.0.1:%1"_s.arg(parser.value(port)));
        return 1;
    }
    PrintLine(stdout, u"listening on 127.0.0.1:%1"_s.arg(server.port()));

    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, &QCoreApplication::quit);
    return app.exec();
}
