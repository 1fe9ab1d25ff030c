#include "schedule/NoticeGate.h"

#include <utility>

QList<RunNotice> NoticeGate::afterRun(const BackupResult &result, const QDate &day)
{
    QList<RunNotice> notices;
    const bool clockDoubted = !result.clockWarning.isEmpty();
    if (clockDoubted && !std::exchange(clockTold_, true))
        notices.append({QStringLiteral("BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR"), result.clockWarning, true});
    clockTold_ = clockDoubted;
    if (!result.retentionProblem.isEmpty() && retentionToldOn_ != day) {
        retentionToldOn_ = day;
        notices.append({QStringLiteral("ESKİ YEDEKLER SİLİNEMEDİ"), result.retentionProblem, true});
    }
    return notices;
}
