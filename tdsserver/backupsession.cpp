#include "backupsession.h"

#include "backupfile.h"
#include "faultbytes.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr int kPageBytes = 8192;
constexpr int kLogPages = 2;

ServerMessage Processed(int pages, const QString &database, const QString &file)
{
    return {4035, 1, 0,
            u"Processed %1 pages for database '%2', file '%3' on file 1."_s.arg(pages).arg(database, file)};
}

} // namespace

BackupSession::BackupSession(const BackupStatement &statement, const Behaviour &behaviour, QObject *parent)
    : QObject(parent), statement_(statement), behaviour_(behaviour), file_(statement.path)
{
    const int dataPages = 320 + 8 * int(statement.database.size());
    pages_ = dataPages + kLogPages;
    if (statement.statsPercent > 0) {
        for (int percent = statement.statsPercent; percent <= 100; percent += statement.statsPercent)
            plan_.append({kPercentProcessed, 1, 0, u"%1 percent processed."_s.arg(percent)});
    }
    plan_.append(Processed(dataPages, statement.database, statement.database));
    plan_.append(Processed(kLogPages, statement.database, statement.database + u"_log"_s));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &BackupSession::step);
}

BackupSession::~BackupSession()
{
    abort();
}

QList<ServerMessage> BackupSession::open()
{
    constexpr quint8 kCreate = 1;
    const QString device = statement_.path;
    if (device.isEmpty() || !QFileInfo(device).absoluteDir().exists())
        return {CannotOpenDevice(device, kPathNotFound, kCreate), BackupTerminated()};
    if (behaviour_.backupAccessDenied || !file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {CannotOpenDevice(device, kAccessDenied, kCreate), BackupTerminated()};
    write(BackupHeader(statement_.database));
    return {};
}

void BackupSession::start()
{
    clock_.start();
    scheduleNext();
}

void BackupSession::abort()
{
    timer_.stop();
    if (file_.isOpen()) {
        file_.close();
        file_.remove();
    }
}

void BackupSession::pause()
{
    timer_.stop();
}

void BackupSession::resume()
{
    scheduleNext();
}

void BackupSession::step()
{
    if (sent_ < plan_.size()) {
        // The partial file goes with the failure: a client finds no file where a backup failed.
        if (behaviour_.errorAfterProgress && sent_ > 0) {
            fail({{3202, 1, kErrorSeverity,
                   u"Write on \"%1\" failed: 112(There is not enough space on the disk.)"_s.arg(
                       statement_.path)},
                  BackupTerminated()});
            return;
        }
        write(plan_.at(sent_).text.toUtf8() + '\n');
        const ServerMessage message = plan_.at(sent_++);
        scheduleNext();
        emit progress(message);
        return;
    }
    if (behaviour_.longMessage == LongMessage::Error)
        return fail({LongestMessage(LongMessage::Error), BackupTerminated()});
    file_.write(BackupTrailer(body_));
    // As a copy cut short by a failing disk or share leaves it, while the server believed every write.
    if (behaviour_.damagedBackups)
        file_.resize(file_.size() / 2);
    if (behaviour_.emptyBackups)
        file_.resize(0);
    file_.close();
    if (behaviour_.longMessage == LongMessage::Info)
        emit completed({LongestMessage(LongMessage::Info), summary()});
    else
        emit completed({summary()});
}

void BackupSession::write(const QByteArray &bytes)
{
    body_ += bytes;
    file_.write(bytes);
    file_.flush();
}

void BackupSession::scheduleNext()
{
    // The last tick completes the backup, so the messages spread over the whole duration.
    const qint64 ticks = plan_.size() + 1;
    const qint64 due = behaviour_.backupDurationMs * (sent_ + 1) / ticks;
    timer_.start(int(qMax<qint64>(0, due - clock_.elapsed())));
}

void BackupSession::fail(const QList<ServerMessage> &errors)
{
    abort();
    emit failed(errors);
}

ServerMessage BackupSession::summary() const
{
    const double seconds = qMax<qint64>(1, clock_.elapsed()) / 1000.0;
    const double megabytesPerSecond = double(pages_) * kPageBytes / (1024.0 * 1024.0) / seconds;
    return {3014, 1, 0,
            u"BACKUP DATABASE successfully processed %1 pages in %2 seconds (%3 MB/sec)."_s.arg(pages_)
                .arg(seconds, 0, 'f', 3)
                .arg(megabytesPerSecond, 0, 'f', 3)};
}

} // namespace tdstest
