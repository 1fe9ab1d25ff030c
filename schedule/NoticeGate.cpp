#include "schedule/NoticeGate.h"

QList<RunNotice> NoticeGate::afterRun(const BackupResult &result, const QDate &day)
{
    QList<RunNotice> notices;
    if (!result.clockWarning.isEmpty() && result.clockWarning != clockTold_)
        notices.append({QStringLiteral("BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR"), result.clockWarning, true});
    clockTold_ = result.clockWarning;
    if (!result.retentionProblem.isEmpty() && retentionToldOn_ != day) {
        retentionToldOn_ = day;
        notices.append({QStringLiteral("ESKİ YEDEKLER SİLİNEMEDİ"), result.retentionProblem, true});
    }
    return notices;
}
