#include "schedule/RestoreTestNotice.h"

using namespace Qt::StringLiterals;

std::optional<RunNotice> NoticeAfterRestoreTest(const RestoreTestResult &result, bool cleanSaidThisWeek)
{
    switch (result.verdict) {
    case RestoreVerdict::Clean:
        if (result.left)
            return RunNotice{u"DENEME VERİTABANI SİLİNEMEDİ"_s, result.reason, true};
        if (cleanSaidThisWeek)
            return std::nullopt;
        return RunNotice{u"GERİ YÜKLEME DENEMESİ BAŞARILI"_s,
                         u"Son yedek sunucuda ayrı bir adla geri yüklendi, denetlendi ve silindi: "
                         "veritabanında bozukluk yok."_s,
                         false};
    case RestoreVerdict::Damaged: {
        QString text = result.reason;
        if (!result.firstErrors.isEmpty())
            text += u"\nİlk hata: "_s + result.firstErrors.constFirst();
        return RunNotice{u"VERİTABANINDA BOZUKLUK BULUNDU"_s, text, true};
    }
    case RestoreVerdict::NotRestored:
        return RunNotice{
            u"YEDEK GERİ YÜKLENEMEDİ"_s,
            result.reason + u"\nHiçbir yedeği silmeyin; sorun sürerse teknik desteğinizi arayın."_s, true};
    case RestoreVerdict::Skipped:
    case RestoreVerdict::Refused:
        break;
    }
    return RunNotice{u"GERİ YÜKLEME DENEMESİ YAPILAMADI"_s, result.reason, true};
}
