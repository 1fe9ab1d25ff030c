#include "ui/settings/SettingsMessages.h"

#include "backup/OdbcDriver.h"

#include <QDir>

using namespace Qt::StringLiterals;

QString SavedMessage(bool connectionFieldsUnsaved)
{
    QString text = u"AYARLAR KAYIT EDİLDİ"_s;
    // "KAYDET" never stores the connection values; an edit of them must not read as saved.
    if (connectionFieldsUnsaved)
        text += u"\nSQL BAĞLANTI AYARLARI YALNIZCA BAĞLANMA TESTİ BAŞARILI OLUNCA KAYDEDİLİR."_s;
    return text;
}

QString SaveFailedMessage(const QString &file)
{
    return u"AYARLAR KAYIT EDİLEMEDİ\n"_s + QDir::toNativeSeparators(file);
}

QString ConnectionSavedMessage()
{
    return u"SQL BAĞLANTISI SAĞLANDI  "_s;
}

QString ConnectionNotSavedMessage(const QString &file)
{
    return u"SQL BAĞLANTISI SAĞLANDI, AYARLAR KAYDEDİLEMEDİ\n"_s + QDir::toNativeSeparators(file);
}

QString ConnectionFailedMessage(const QString &reason)
{
    return u"Bağlantı Sağlanamadı Kontrolerinizi yapınız\n"_s + reason;
}

QString ConnectionMadeMessage(const QString &result, const QString &driver)
{
    if (!SkipsCertificateCheck(driver))
        return result;
    return result + u"\nBağlantı şifreli, ancak sunucunun sertifikası denetlenmiyor (dükkandaki sunucuların "
                    u"çoğunda olduğu gibi kendinden imzalı sertifika)."_s;
}

QString FolderTooLongMessage(qsizetype length)
{
    return u"AYARLAR KAYIT EDİLMEDİ\nYEDEK ALINACAK KONUM çok uzun (%1 karakter): en çok 254 karakter "
           u"kaydedilebilir. Daha kısa yollu bir klasör seçin."_s.arg(length);
}

QString RestoreTestDaysRefusedMessage(const QString &text)
{
    return u"AYARLAR KAYIT EDİLMEDİ\nGERİ YÜKLEME DENEMESİ değeri \"%1\" olamaz: 0 ile 365 arasında bir tam "
           u"sayı yazın (0: deneme yapılmaz)."_s.arg(text);
}

QString KeepDaysRefusedMessage(const QString &text)
{
    return u"AYARLAR KAYIT EDİLMEDİ\nESKİ YEDEKLERİ SAKLA değeri \"%1\" olamaz: 0 ile 3650 arasında bir tam "
           u"sayı "
           u"yazın (0: bütün yedekler saklanır)."_s.arg(text);
}

QString SecondKeepDaysRefusedMessage(const QString &text)
{
    return u"AYARLAR KAYIT EDİLMEDİ\nİKİNCİ KOPYA SAKLA değeri \"%1\" olamaz: 0 ile 3650 arasında bir tam "
           u"sayı "
           u"yazın (0: bütün kopyalar saklanır)."_s.arg(text);
}

QString SecondFolderNotSeenText(const QString &folder)
{
    return u"İKİNCİ KOPYA YERİ (%1) bu bilgisayardan şu an görülmüyor: USB diski takın ya da ağ paylaşımını "
           u"açın. Yapılamayan kopyalar, yer görüldükten sonraki ilk yedeklemede yapılır."_s.arg(folder);
}
