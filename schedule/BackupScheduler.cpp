#include "schedule/BackupScheduler.h"

#include "schedule/Schedule.h"
#include "schedule/TimeText.h"
#include "settings/BackupSettings.h"
#include "settings/SettingsFiles.h"

#include <QTimeZone>
#include <array>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A run this much past its moment was caught up (after sleep, a clock step or a long run), not on time.
constexpr std::chrono::milliseconds kOnTime = 2s;
// Dates kept in the record of run ends: enough for a clock set back by days.
constexpr qsizetype kDatesKept = 8;
// A server down for its nightly update is back within minutes; one down for longer is tried less often.
constexpr std::array<std::chrono::minutes, 4> kRetryDelays{5min, 15min, 30min, 60min};

} // namespace

BackupScheduler::BackupScheduler(const Clock &wall, const ElapsedClock &elapsed)
    : wall_(wall), elapsed_(elapsed)
{}

void BackupScheduler::setDailyHour(const QString &text)
{
    dailyText_ = text;
    dailyHour_ = DailyHourOf(text);
}

void BackupScheduler::setInterval(const QString &text)
{
    intervalText_ = text;
    interval_ = IntervalIndexOf(text);
}

void BackupScheduler::setOptions(const QString &verifyText, const QString &keepDaysText)
{
    verifyText_ = verifyText;
    keepDaysText_ = keepDaysText;
}

std::optional<RunCause> BackupScheduler::tick()
{
    if (inFlight_)
        return std::nullopt;
    const QDateTime now = wall_.now();
    std::optional<RunCause> cause;
    if (dailyHour_ && dailyDue(now, *dailyHour_)) {
        const bool late = QDateTime(now.date(), QTime(*dailyHour_, 0)).msecsTo(now) > 60 * 1000;
        cause = late ? RunCause::CatchUp : RunCause::Daily;
    } else {
        cause = copyDue(now, elapsed_.elapsed());
    }
    if (!cause && retryDue(elapsed_.elapsed()))
        cause = RunCause::Retry;
    inFlight_ = cause.has_value();
    return cause;
}

bool BackupScheduler::startRun()
{
    if (inFlight_)
        return false;
    inFlight_ = true;
    return true;
}

void BackupScheduler::runFinished(bool succeeded)
{
    inFlight_ = false;
    lastEndWall_ = wall_.now();
    lastEndElapsed_ = elapsed_.elapsed();
    if (!succeeded) {
        ++failuresInRow_;
        return;
    }
    failuresInRow_ = 0;
    QTime &latest = latestEnds_[lastEndWall_.date()];
    latest = std::max(latest, lastEndWall_.time());
    while (latestEnds_.size() > kDatesKept)
        latestEnds_.erase(latestEnds_.begin());
}

bool BackupScheduler::dailyDue(const QDateTime &now, int hour) const
{
    const QTime from(hour, 0);
    if (now.time() < from)
        return false;
    const auto ended = latestEnds_.constFind(now.date());
    if (ended != latestEnds_.cend() && *ended >= from)
        return false;
    // This date's run was made and failed: its retries carry it, not a new run at every tick.
    const bool failedPastHour =
        failuresInRow_ > 0 && lastEndWall_.date() == now.date() && lastEndWall_.time() >= from;
    return !failedPastHour;
}

std::chrono::minutes BackupScheduler::retryDelay() const
{
    const auto step = std::clamp<std::size_t>(std::size_t(failuresInRow_), 1, kRetryDelays.size());
    return kRetryDelays[step - 1];
}

bool BackupScheduler::retryDue(std::chrono::milliseconds elapsed) const
{
    return failuresInRow_ > 0 && elapsed >= lastEndElapsed_ + retryDelay();
}

std::optional<RunCause> BackupScheduler::copyDue(const QDateTime &now,
                                                 std::chrono::milliseconds elapsed) const
{
    // With nothing chosen the next-copy label keeps "00:00:00": the copy falls due at midnight.
    if (interval_ < 0)
        return dailyDue(now, 0) ? std::optional(RunCause::Interval) : std::nullopt;
    const std::optional<std::chrono::seconds> length = IntervalLength(interval_);
    if (!length || !lastEndWall_.isValid())
        return std::nullopt;
    const std::chrono::milliseconds byElapsed = elapsed - lastEndElapsed_ - *length;
    const std::chrono::milliseconds byWall{lastEndWall_.addDuration(*length).msecsTo(now)};
    if (byElapsed < 0ms && byWall < 0ms)
        return std::nullopt;
    const std::chrono::milliseconds late = byElapsed < 0ms ? byWall
                                           : byWall < 0ms  ? byElapsed
                                                           : std::min(byElapsed, byWall);
    return late <= kOnTime ? RunCause::Interval : RunCause::CatchUp;
}

// Until the first moment at which a tick would start a run, if neither clock steps; 0 when one is due.
std::chrono::milliseconds BackupScheduler::untilDue(const QDateTime &now) const
{
    std::chrono::milliseconds until = kHiddenWakeAtMost;
    const auto before = [&](const QDate &date, const QTime &time) {
        // The distance on the clock's face, and the true one where that moment exists: around a change of
        // daylight saving they differ (an hour skipped, or one that comes twice), and the nearer is safe.
        const qint64 onFace =
            QDateTime(now.date(), now.time(), Qt::UTC).msecsTo(QDateTime(date, time, Qt::UTC));
        const QDateTime moment(date, time, now.timeZone());
        const qint64 ms = moment.isValid() ? std::min(onFace, now.msecsTo(moment)) : onFace;
        until = std::min(until, std::chrono::milliseconds(std::max<qint64>(0, ms)));
    };
    const auto daily = [&](int hour) {
        const QTime from(hour, 0);
        if (now.time() < from)
            before(now.date(), from);
        else if (dailyDue(now, hour))
            until = 0ms;
        else
            before(now.date().addDays(1), from);
    };
    if (dailyHour_)
        daily(*dailyHour_);
    if (interval_ < 0)
        daily(0);
    const std::optional<std::chrono::seconds> length = IntervalLength(interval_);
    if (length && lastEndWall_.isValid()) {
        until = std::min(until, std::chrono::milliseconds(
                                    std::max<qint64>(0, now.msecsTo(lastEndWall_.addDuration(*length)))));
        until = std::min(until, std::max(0ms, lastEndElapsed_ + *length - elapsed_.elapsed()));
    }
    if (failuresInRow_ > 0)
        until = std::min(until, std::max(0ms, lastEndElapsed_ + retryDelay() - elapsed_.elapsed()));
    return until;
}

std::chrono::milliseconds BackupScheduler::nextWake(bool secondShown) const
{
    const QDateTime now = wall_.now();
    const std::chrono::milliseconds toNextSecond{1000 - now.time().msec()};
    const std::chrono::milliseconds quiet = secondShown ? 0ms : inFlight_ ? kHiddenWakeAtMost : untilDue(now);
    // Whole seconds beyond the next one, so that the tick falls on the second of the moment it waits for.
    const std::chrono::milliseconds more = quiet <= toNextSecond ? 0ms : (quiet - toNextSecond) / 1000 * 1000;
    return toNextSecond + more + kPastTheSecond;
}

// The daily hour's next moment: today's while it is ahead or owed, else tomorrow's.
QDateTime BackupScheduler::nextDaily(const QDateTime &now, int hour) const
{
    const QTime from(hour, 0);
    if (now.time() < from)
        return QDateTime(now.date(), from, now.timeZone());
    return dailyDue(now, hour) ? now : QDateTime(now.date().addDays(1), from, now.timeZone());
}

// The next run the schedule itself starts, if it can see one.
std::optional<QDateTime> BackupScheduler::nextScheduled(const QDateTime &now) const
{
    std::optional<QDateTime> next;
    const auto sooner = [&next](const QDateTime &moment) {
        if (!next || moment < *next)
            next = moment;
    };
    if (dailyHour_)
        sooner(nextDaily(now, *dailyHour_));
    if (interval_ < 0)
        sooner(nextDaily(now, 0));
    if (const std::optional<std::chrono::seconds> length = IntervalLength(interval_);
        length && lastEndWall_.isValid())
        sooner(lastEndWall_.addDuration(*length));
    return next;
}

std::optional<QString> BackupScheduler::nextCopyText() const
{
    if (failuresInRow_ > 0) {
        const QDateTime retry = lastEndWall_.addDuration(retryDelay());
        const std::optional<QDateTime> scheduled = nextScheduled(wall_.now());
        if (!scheduled || retry < *scheduled)
            return TimeText(retry);
    }
    if (interval_ == kDailyInterval)
        return (dailyHour_ ? DailyHourText(*dailyHour_) : dailyText_) + u":00:00"_s;
    // With nothing chosen the copy falls due at midnight, as the label's first text says.
    if (interval_ < 0)
        return u"00:00:00"_s;
    const std::optional<std::chrono::seconds> length = IntervalLength(interval_);
    if (!length || !lastEndWall_.isValid())
        return std::nullopt;
    return TimeText(lastEndWall_.addDuration(*length));
}

QList<ScheduleProblem> BackupScheduler::problems() const
{
    QList<ScheduleProblem> found;
    const QString file = u"yedeklemeayar.txt"_s;
    if (!dailyText_.trimmed().isEmpty() && !dailyHour_)
        found.append(
            {SettingsFiles::kDailyHour, dailyText_,
             u"%1 içindeki %2 değeri \"%3\" bir saat değil (00-23 olmalı): günlük yedekleme "
             u"yapılmıyor. AYARLAR penceresinde GÜNLÜK YEDEKLEME SAATİ seçip KAYDET düğmesine basın."_s.arg(
                 file, SettingsFiles::kDailyHour, dailyText_)});
    if (!intervalText_.trimmed().isEmpty() && interval_ < 0)
        found.append(
            {SettingsFiles::kInterval, intervalText_,
             u"%1 içindeki %2 değeri \"%3\" listedeki aralıklardan biri değil: aralıklı yedekleme "
             u"yapılmıyor. AYARLAR penceresinde KOPYALAMA ZAMAN ARALIĞI seçip KAYDET düğmesine basın."_s.arg(
                 file, SettingsFiles::kInterval, intervalText_)});
    if (!VerifyOf(verifyText_))
        found.append({SettingsFiles::kVerify, verifyText_,
                      u"%1 içindeki %2 değeri \"%3\" evet ya da hayır olarak anlaşılamadı: yedekler yine de "
                      u"doğrulanıyor. AYARLAR penceresinde YEDEĞİ DOĞRULA seçimini yapıp KAYDET düğmesine "
                      u"basın."_s.arg(file, SettingsFiles::kVerify, verifyText_)});
    if (!KeepDaysOf(keepDaysText_))
        found.append({SettingsFiles::kKeepDays, keepDaysText_,
                      u"%1 içindeki %2 değeri \"%3\" bir gün sayısı değil (0-%4 olmalı): eski yedekler "
                      u"silinmiyor. AYARLAR penceresinde ESKİ YEDEKLERİ SAKLA alanına gün sayısını yazıp "
                      u"KAYDET düğmesine basın."_s.arg(file, SettingsFiles::kKeepDays, keepDaysText_)
                          .arg(kMaxKeepDays)});
    return found;
}
