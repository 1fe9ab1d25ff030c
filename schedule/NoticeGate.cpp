#include "schedule/NoticeGate.h"

#include <utility>

using namespace Qt::StringLiterals;

QList<RunNotice> NoticeGate::afterRun(const BackupResult &result, const QDate &day)
{
    QList<RunNotice> notices;
    const bool clockDoubted = !result.clockWarning.isEmpty();
    if (clockDoubted && !std::exchange(clockTold_, true))
        notices.append({u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR"_s, result.clockWarning, true});
    clockTold_ = clockDoubted;
    if (!result.retentionProblem.isEmpty() && retentionToldOn_ != day) {
        retentionToldOn_ = day;
        notices.append({u"ESKİ YEDEKLER SİLİNEMEDİ"_s, result.retentionProblem, true});
    }
    return notices;
}
