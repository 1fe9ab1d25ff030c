#include "backup/RestoreFailure.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

const QHash<int, QString> &Sentences()
{
    static const QHash<int, QString> kSentences = {
        {262, u"Sql kullanıcısının sunucuda veritabanı oluşturma yetkisi yok. Sunucunun yöneticisinden bu "
              "kullanıcıya dbcreator sunucu rolünü vermesini isteyin."_s},
        {3257, u"Sunucunun diskinde deneme veritabanı için yeterli boş yer yok. Sunucunun diskinde yer açın "
               "ya da geri yükleme denemesini kapatın."_s},
        {3234,
         u"Yedekteki dosya adları beklenenlerden farklı; yedek dosyası bu veritabanına ait olmayabilir. "
         "Teknik desteğinize haber verin."_s},
        {5133,
         u"Sunucu, deneme veritabanının dosyaları için varsayılan veri klasörünü bulamadı. SQL Server'ın "
         "varsayılan veri ve günlük klasörlerinin var olduğunu teknik desteğinize denetletin."_s},
        {5123, u"Sunucu, deneme veritabanının dosyalarını varsayılan veri klasöründe oluşturamadı: erişim "
               "reddedildi. SQL Server hizmet hesabına bu klasöre yazma izni verilmelidir."_s},
        {1801, u"Sunucuda deneme veritabanının adını taşıyan bir veritabanı zaten var; program ona "
               "dokunmadı. Kimin oluşturduğunu öğrenin, programa ait değilse silmeyin."_s},
        {3203, u"Yedek dosyası okunurken hata oluştu; bu yedekten geri yükleme yapılamaz. YEDEKLE düğmesiyle "
               "yeni bir yedek alın ve teknik desteğinize haber verin."_s},
        {3241,
         u"Yedek dosyası bozuk ya da eksik; bu yedekten geri yükleme yapılamaz. YEDEKLE düğmesiyle yeni "
         "bir yedek alın."_s},
        {3201, u"Sunucu yedek dosyasını açamadı; dosya taşınmış, silinmiş ya da okunamıyor olabilir. YEDEKLE "
               "düğmesiyle yeni bir yedek alın."_s},
    };
    return kSentences;
}

} // namespace

QString ExplainRestoreFailure(const ServerMessages &messages)
{
    for (const ServerMessage &message : messages) {
        const auto sentence = Sentences().constFind(message.number);
        if (message.isError() && sentence != Sentences().constEnd())
            return u"%1\n%2 (%3)"_s.arg(*sentence, message.text.section(u']', -1).trimmed())
                .arg(message.number);
    }
    return {};
}
