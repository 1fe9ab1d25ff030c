#include "ui/history/RestoreTestLine.h"

using namespace Qt::StringLiterals;

RestoreTestLine RestoreTestLineOf(const std::optional<RestoreTestRecord> &last)
{
    if (!last)
        return {};
    QString outcome;
    switch (last->verdict) {
    case RestoreVerdict::Clean:
        outcome = u"TEMİZ"_s;
        break;
    case RestoreVerdict::Damaged:
        outcome = u"BOZUKLUK: %1 AYIRMA, %2 TUTARLILIK HATASI"_s.arg(last->allocationErrors)
                      .arg(last->consistencyErrors);
        break;
    case RestoreVerdict::NotRestored:
        outcome = u"GERİ YÜKLENEMEDİ"_s;
        break;
    case RestoreVerdict::Skipped:
    case RestoreVerdict::Refused:
        outcome = u"YAPILAMADI"_s;
        break;
    }
    if (!last->finished)
        outcome = u"YARIDA KESİLDİ"_s;
    if (last->left)
        outcome += u" (DENEME VERİTABANI SİLİNEMEDİ)"_s;
    const QString when = last->started.toLocalTime().toString(u"dd.MM.yyyy HH:mm"_s);
    QStringList detail{last->reason};
    detail << last->firstErrors;
    detail.removeAll(QString());
    return {u"SON GERİ YÜKLEME DENEMESİ: %1 %2"_s.arg(when, outcome), detail.join(u'\n'),
            last->verdict != RestoreVerdict::Clean || last->left || !last->finished};
}
