#include "backupsession.h"

#include "backupfile.h"
#include "faultbytes.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr int PageBytes = 8192;
constexpr int LogPages = 2;

ServerMessage processed(int pages, const QString &database, const QString &file)
{
    return {4035, 1, 0,
            u"Processed %1 pages for database '%2', file '%3' on file 1."_s.arg(pages).arg(database, file)};
}

} // namespace

BackupSession::BackupSession(const BackupStatement &statement, const Behaviour &behaviour, QObject *parent)
    : QObject(parent), m_statement(statement), m_behaviour(behaviour), m_file(statement.path)
{
    const int dataPages = 320 + 8 * int(statement.database.size());
    m_pages = dataPages + LogPages;
    if (statement.statsPercent > 0) {
        for (int percent = statement.statsPercent; percent <= 100; percent += statement.statsPercent)
            m_plan.append({PercentProcessed, 1, 0, u"%1 percent processed."_s.arg(percent)});
    }
    m_plan.append(processed(dataPages, statement.database, statement.database));
    m_plan.append(processed(LogPages, statement.database, statement.database + u"_log"_s));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &BackupSession::step);
}

BackupSession::~BackupSession()
{
    abort();
}

QList<ServerMessage> BackupSession::open()
{
    constexpr quint8 Create = 1;
    const QString device = m_statement.path;
    if (device.isEmpty() || !QFileInfo(device).absoluteDir().exists())
        return {cannotOpenDevice(device, PathNotFound, Create), backupTerminated()};
    if (m_behaviour.backupAccessDenied || !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {cannotOpenDevice(device, AccessDenied, Create), backupTerminated()};
    write(backupHeader(m_statement.database));
    return {};
}

void BackupSession::start()
{
    m_clock.start();
    scheduleNext();
}

void BackupSession::abort()
{
    m_timer.stop();
    if (m_file.isOpen()) {
        m_file.close();
        m_file.remove();
    }
}

void BackupSession::pause()
{
    m_timer.stop();
}

void BackupSession::resume()
{
    scheduleNext();
}

void BackupSession::step()
{
    if (m_sent < m_plan.size()) {
        // The partial file goes with the failure: a client finds no file where a backup failed.
        if (m_behaviour.errorAfterProgress && m_sent > 0) {
            fail({{3202, 1, ErrorSeverity,
                   u"Write on \"%1\" failed: 112(There is not enough space on the disk.)"_s.arg(
                       m_statement.path)},
                  backupTerminated()});
            return;
        }
        write(m_plan.at(m_sent).text.toUtf8() + '\n');
        const ServerMessage message = m_plan.at(m_sent++);
        scheduleNext();
        emit progress(message);
        return;
    }
    if (m_behaviour.longMessage == LongMessage::Error)
        return fail({longMessage(LongMessage::Error), backupTerminated()});
    m_file.write(backupTrailer(m_body));
    // As a copy cut short by a failing disk or share leaves it, while the server believed every write.
    if (m_behaviour.damagedBackups)
        m_file.resize(m_file.size() / 2);
    m_file.close();
    if (m_behaviour.longMessage == LongMessage::Info)
        emit completed({longMessage(LongMessage::Info), summary()});
    else
        emit completed({summary()});
}

void BackupSession::write(const QByteArray &bytes)
{
    m_body += bytes;
    m_file.write(bytes);
    m_file.flush();
}

void BackupSession::scheduleNext()
{
    // The last tick completes the backup, so the messages spread over the whole duration.
    const qint64 ticks = m_plan.size() + 1;
    const qint64 due = m_behaviour.backupDurationMs * (m_sent + 1) / ticks;
    m_timer.start(int(qMax<qint64>(0, due - m_clock.elapsed())));
}

void BackupSession::fail(const QList<ServerMessage> &errors)
{
    abort();
    emit failed(errors);
}

ServerMessage BackupSession::summary() const
{
    const double seconds = qMax<qint64>(1, m_clock.elapsed()) / 1000.0;
    const double megabytesPerSecond = double(m_pages) * PageBytes / (1024.0 * 1024.0) / seconds;
    return {3014, 1, 0,
            u"BACKUP DATABASE successfully processed %1 pages in %2 seconds (%3 MB/sec)."_s.arg(m_pages)
                .arg(seconds, 0, 'f', 3)
                .arg(megabytesPerSecond, 0, 'f', 3)};
}

} // namespace tdstest
