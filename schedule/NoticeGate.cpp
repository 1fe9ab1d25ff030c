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
    const SecondCopyResult &copy = result.secondCopy;
    if (copy.asked && !copy.problem.isEmpty() && !std::exchange(secondCopyFailureTold_, true)) {
        const QString title = u"İKİNCİ KOPYA YAPILAMADI"_s;
        QString text = copy.problem;
        if (text.startsWith(title + u": "_s))
            text.remove(0, title.size() + 2);
        notices.append({title, text, true});
    } else if (copy.asked && copy.problem.isEmpty() && std::exchange(secondCopyFailureTold_, false)) {
        notices.append({u"İKİNCİ KOPYA YAPILDI"_s, u"İkinci kopya yeniden yapılabildi."_s, false});
    }
    return notices;
}
