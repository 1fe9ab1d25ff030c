#include "backup/FailureExplanation.h"

#include "backup/BackupResult.h"

#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The operating system's error stands just before its description, "error 5(Access is denied.)" or
// "failed: 112(There is not enough space on the disk.)", in every language the server speaks. The path
// comes first and may hold such a pattern itself: the last one is the error.
int OsErrorOf(const QString &text)
{
    static const QRegularExpression kCode(u"(\\d+)\\("_s);
    int last = 0;
    for (const QRegularExpressionMatch &match : kCode.globalMatch(text))
        last = match.captured(1).toInt();
    return last;
}

bool Recognises(const FailureExplanation &known, const ServerMessage &message, FailureStep step)
{
    return (!known.step || *known.step == step) && (known.number == 0 || known.number == message.number) &&
           (known.state.isEmpty() || known.state == message.state) &&
           (known.osError == 0 || known.osError == OsErrorOf(message.text)) &&
           message.text.contains(known.fragment, Qt::CaseInsensitive);
}

// FailureReason names the message that tells most only by its text; with any error among the messages
// that is an error, never an information message that happens to read the same.
const ServerMessage *ChosenMessage(const ServerMessages &messages, const QString &reason)
{
    const bool anyError = std::any_of(messages.begin(), messages.end(),
                                      [](const ServerMessage &message) { return message.isError(); });
    const auto chosen = std::find_if(messages.begin(), messages.end(), [&](const ServerMessage &message) {
        return (message.isError() || !anyError) && FailureReason({message}) == reason;
    });
    return chosen == messages.end() ? nullptr : &*chosen;
}

// The same cause in other words: another message of the server's, or another driver's.
FailureExplanation Reworded(FailureExplanation known, int number, int osError, QString fragment,
                            QString state, std::optional<FailureStep> step = {})
{
    known.number = number;
    known.osError = osError;
    known.fragment = std::move(fragment);
    known.state = std::move(state);
    known.step = step;
    return known;
}

QList<FailureExplanation> BuildTable()
{
    const QString damaged =
        u"Yedek dosyası doğrulanamadı: dosya bozuk ya da eksik, bu yedeğe güvenmeyin. YEDEKLE düğmesiyle "
        "yeni bir yedek alın; hata tekrarlanırsa yedek diskini kontrol ettirin."_s;
    const QString retakeBackup =
        u"do not rely on that file; take a new backup with \"YEDEKLE\", and have the disk checked if it "
        "happens again"_s;
    const QString checkDatabase = u"check the name in \"Veritabanı\" and press \"BAĞLANMA TESTİ YAP\""_s;
    const FailureExplanation diskFull{
        .number = 3202,
        .osError = 112,
        .turkish = u"Yedeklerin yazıldığı diskte yer kalmadı. Eski yedekleri silin ya da başka bir diske "
                   "taşıyın; ESKİ YEDEKLERİ SAKLA ile saklanacak gün sayısını sınırlayabilir ya da YEDEK "
                   "ALINACAK KONUM için daha boş bir disk seçebilirsiniz."_s,
        .meaning = u"the disk that holds the backup folder is full"_s,
        .action = u"delete or move old backups, limit them with \"ESKİ YEDEKLERİ SAKLA\", or choose a folder "
                  "on a disk with more room"_s};
    const FailureExplanation unreachable{
        .fragment = u"Unable to connect"_s,
        .turkish =
            u"Sunucuya ulaşılamadı. Sql Sunucusu ve Sql Portu alanlarını, sunucu bilgisayarının açık ve "
            "SQL Server'ın çalışır durumda olduğunu, güvenlik duvarının bağlantıya izin verdiğini "
            "kontrol edip BAĞLANMA TESTİ YAP düğmesine basın."_s,
        .meaning = u"nothing answers at that host and port, or the host name is unknown"_s,
        .action = u"check \"Sql Sunucusu\" and \"Sql Portu\", that the server runs with TCP/IP enabled, and "
                  "the firewall; then press \"BAĞLANMA TESTİ YAP\""_s};
    const FailureExplanation connectionCut{
        .fragment = u"Unexpected EOF"_s,
        .turkish = u"Yedekleme sırasında sunucuyla bağlantı koptu, yedek tamamlanmadı. Program 5 dakika "
                   "sonra kendiliğinden yeniden dener; hemen denemek için YEDEKLE düğmesine basın."_s,
        .meaning = u"the connection was cut during the run (the network, or the server restarted)"_s,
        .action = u"nothing: the program tries again 5 minutes later, \"YEDEKLE\" tries at once"_s};
    // Microsoft's drivers on Windows ask for TLS 1.2 before the login; a server too old for it, or one
    // that has no room for another connection, closes the connection there.
    const FailureExplanation handshake{
        .fragment = u"handshakes before login"_s,
        .turkish =
            u"Sunucuyla bağlantının ilk adımında anlaşılamadı: SQL Server bu bilgisayarın istediği "
            "şifrelemeyi (TLS 1.2) bilmeyecek kadar eski olabilir ya da o an çok yoğundur. Biraz sonra "
            "BAĞLANMA TESTİ YAP düğmesiyle yeniden deneyin; sorun sürerse teknik desteğinizden SQL "
            "Server'ı güncellemesini isteyin."_s,
        .meaning =
            u"the server closed the connection before the login: it does not speak TLS 1.2 (SQL Server "
            "2014 or older without its updates), or it is out of connections or memory"_s,
        .action = u"try \"BAĞLANMA TESTİ YAP\" again later; if it keeps failing, update SQL Server (TLS 1.2 "
                  "support)"_s,
        .state = u"08001"_s};
    return {
        {18456, 0, QString(),
         u"Kullanıcı adı ya da şifre yanlış. Sql Kullanıcısı ve Sql Şifresi alanlarını kontrol edip "
         "BAĞLANMA TESTİ YAP düğmesine basın. Bilgiler doğruysa sunucuda SQL Server kimlik doğrulaması "
         "kapalı olabilir; teknik desteğinizden açmasını isteyin."_s,
         u"the login or its password is wrong, or the server accepts Windows logins only"_s,
         u"check \"Sql Kullanıcısı\" and \"Sql Şifresi\" and press \"BAĞLANMA TESTİ YAP\"; if they are "
         "right, switch on SQL Server authentication (mixed mode) on the server"_s},
        {4060, 0, QString(),
         u"Veritabanı açılamadı: bu adla bir veritabanı yok ya da girilen Sql Kullanıcısı onu açamıyor. "
         "Veritabanı alanındaki adı kontrol edip BAĞLANMA TESTİ YAP düğmesine basın."_s,
         u"the database does not exist on that server, or the login may not open it"_s, checkDatabase},
        {911, 0, QString(),
         u"Yedeklenecek veritabanı sunucuda bulunamadı. Veritabanı alanındaki adı kontrol edip BAĞLANMA "
         "TESTİ YAP düğmesine basın."_s,
         u"the database to back up does not exist on the server"_s, checkDatabase},
        {262, 0, QString(),
         u"Girilen Sql Kullanıcısı bu veritabanını yedekleme iznine sahip değil. Teknik desteğinizden bu "
         "kullanıcıya db_backupoperator yetkisi vermesini isteyin ya da yetkili bir kullanıcıyı Sql "
         "Kullanıcısı ve Sql Şifresi alanlarına girip BAĞLANMA TESTİ YAP düğmesine basın."_s,
         u"the login may connect, but not back up this database"_s,
         u"give the login the db_backupoperator role in that database (or sysadmin), or enter a login "
         "that has it and press \"BAĞLANMA TESTİ YAP\""_s},
        {3201, 5, QString(),
         u"SQL Server, YEDEK ALINACAK KONUM klasörüne yazamıyor: yedek dosyasını bu program değil, SQL "
         "Server yazar. Klasörün Güvenlik ayarlarından SQL Server hizmetine yazma izni verin ya da SQL "
         "Server'ın yazabildiği bir klasör (örneğin kendi Backup klasörü) seçip KAYDET düğmesine basın."_s,
         u"the SQL Server service account (e.g. NT Service\\MSSQL$SQLEXPRESS) may not write that folder: "
         "the server writes the file, not this program"_s,
         u"give that account write permission on the folder (its Security tab), or choose a folder it "
         "can write, such as the server's own Backup folder, and press \"KAYDET\""_s,
         FailureStep::Backup},
        {3201, 3, QString(),
         u"YEDEK ALINACAK KONUM klasörü SQL Server'ın çalıştığı bilgisayarda yok. Klasörü o bilgisayarda "
         "oluşturun ya da orada var olan bir klasör seçip KAYDET düğmesine basın."_s,
         u"the folder does not exist on the server's machine, where the server looks for it"_s,
         u"create it there, or choose a folder that exists there and press \"KAYDET\""_s,
         FailureStep::Backup},
        Reworded(diskFull, 3201, 112, QString(), QString(), FailureStep::Backup),
        {3201, 0, QString(),
         u"SQL Server, YEDEK ALINACAK KONUM klasöründe yedek dosyasını açamadı. Klasöre SQL Server'ın "
         "çalıştığı bilgisayardan ulaşılabildiğini kontrol edin; sorun sürerse aşağıdaki iletiyi teknik "
         "desteğinize iletin."_s,
         u"the server could not create the file, for another reason the operating system names (a "
         "network path not found, a file in use)"_s,
         u"check that the folder can be reached from the server's machine; the operating system's error "
         "number in the message tells support more"_s,
         FailureStep::Backup},
        diskFull,
        {3241, 0, QString(), damaged, u"the backup file is damaged: the server cannot read it as a backup"_s,
         retakeBackup},
        {3203, 38, QString(), damaged, u"the backup file ends early: it was cut short"_s, retakeBackup},
        {3201, 5, QString(),
         u"SQL Server yedek dosyasını yazdı ama doğrulamak için geri okuyamadı: dosyayı okuma izni yok. "
         "YEDEK ALINACAK KONUM klasörünün Güvenlik ayarlarından SQL Server hizmetine okuma izni verin; izin "
         "varsa yedek diski bozuk olabilir, kontrol ettirin. Sonra YEDEKLE düğmesiyle yeni bir yedek alın."_s,
         u"while verifying: the server wrote the file but may not read it back (its service account lacks "
         "read permission on the folder, or the disk is damaged)"_s,
         u"give that account read permission on the folder; if it has it, have the disk checked; then "
         "take a new backup with \"YEDEKLE\""_s,
         FailureStep::Verify},
        {3201, 0, QString(),
         u"SQL Server yazdığı yedek dosyasını doğrulamak için açamadı: dosya silinmiş, taşınmış ya da "
         "klasöre ulaşılamıyor olabilir. Klasörü kontrol edip YEDEKLE düğmesiyle yeni bir yedek alın; sorun "
         "sürerse aşağıdaki iletiyi teknik desteğinize iletin."_s,
         u"while verifying: the server could not open the file it had just written (gone, moved, or the "
         "folder out of reach)"_s,
         u"check the folder and take a new backup with \"YEDEKLE\"; the operating system's error number "
         "in the message tells support more"_s,
         FailureStep::Verify},
        // The server sends 3013 after the error that says why, which explains better when there is one.
        {3013, 0, u"VERIFY"_s, damaged, u"the check of the new backup (RESTORE VERIFYONLY) failed"_s,
         retakeBackup},
        // Whatever else ends the check, the new file has not been shown whole.
        {0, 0, QString(),
         u"Yeni yedek doğrulanamadı: SQL Server denetimi tamamlayamadı, bu yedeğe güvenmeyin. YEDEKLE "
         "düğmesiyle yeni bir yedek alın; hata tekrarlanırsa aşağıdaki iletiyi teknik desteğinize iletin."_s,
         u"while verifying: any other error, the connection cut among them: the new file is not known to be "
         "whole"_s,
         u"do not rely on that file; take a new backup with \"YEDEKLE\", and send the message to support if "
         "it happens again"_s,
         FailureStep::Verify},
        unreachable,
        {.turkish =
             u"Bağlantı için gereken ODBC sürücüsü bu bilgisayarda kurulu değil. Microsoft'un ODBC "
             "Driver 18 for SQL Server sürücüsünü kurun (ODBC Driver 17, SQL Server Native Client 11.0 "
             "ve Windows'un kendi SQL Server sürücüsü de çalışır); teknik destek KVZ.dll dosyasındaki "
             "surucu anahtarıyla kurulu bir sürücüyü seçebilir."_s,
         .meaning = u"the ODBC driver the connection names is not installed, or not for 64-bit programs"_s,
         .action = u"install \"ODBC Driver 18 for SQL Server\" (\"ODBC Driver 17 for SQL Server\", \"SQL "
                   "Server Native Client 11.0\", Windows' own \"SQL Server\" and FreeTDS work too); support "
                   "staff can name an installed one with the surucu key in KVZ.dll"_s,
         .state = u"IM002"_s},
        {.number = -2146893019,
         .turkish =
             u"SQL Server'ın sertifikasına güvenilmedi: sunucu bu bilgisayarın tanımadığı bir "
             "sertifika kullanıyor (çoğu dükkandaki gibi kendinden imzalı) ve seçilen ODBC sürücüsü "
             "onu denetliyor. Teknik desteğinizden KVZ.dll dosyasındaki surucu anahtarıyla ODBC Driver "
             "18 for SQL Server'ı seçmesini ya da sunucuya bu bilgisayarın güvendiği bir sertifika "
             "kurmasını isteyin."_s,
         .meaning =
             u"the driver checks the server's certificate and does not trust it (a self-signed one, as "
             "most shops' servers have)"_s,
         .action = u"name \"ODBC Driver 18 for SQL Server\" with the surucu key in KVZ.dll (with it the "
                   "program does not check the certificate), or give the server a certificate this PC "
                   "trusts"_s,
         .state = u"08001"_s},
        handshake,
        // Microsoft's drivers put the closed connection before the reason, the failed handshake.
        Reworded(handshake, 10054, 0, QString(), u"08001"_s),
        {.fragment = u"Error Locating Server/Instance"_s,
         .turkish = u"SQL Server örneği bulunamadı: Sql Sunucusu alanındaki örnek adı (örneğin "
                    "KASA\\SQLEXPRESS) yanlış ya da sunucu bilgisayarında SQL Server Browser hizmeti "
                    "çalışmıyor. Örnek adını kontrol edin ya da örneğin portunu Sql Portu alanına yazıp "
                    "BAĞLANMA TESTİ YAP düğmesine basın."_s,
         .meaning = u"the instance named in \"Sql Sunucusu\" is unknown on that host, or the SQL Server "
                    "Browser service that tells its port does not run (or UDP 1434 is blocked)"_s,
         .action = u"check the instance name, or enter the instance's TCP port in \"Sql Portu\" (SQL Server "
                   "Configuration Manager shows it); then press \"BAĞLANMA TESTİ YAP\""_s,
         .state = u"08001"_s},
        // Whatever else keeps Microsoft's drivers from the server: refused (10061), no route or name (53, -1,
        // 2, 11001), no answer to the connection (10060, 258).
        Reworded(unreachable, 0, 0, QString(), u"08001"_s),
        {0, 0, u"Timeout expired"_s,
         u"Sunucu 15 saniye içinde yanıt vermedi. Sql Sunucusu ve Sql Portu alanlarının SQL Server'ı "
         "gösterdiğini kontrol edin; sunucu çok yoğunsa biraz sonra BAĞLANMA TESTİ YAP düğmesiyle "
         "yeniden deneyin."_s,
         u"the server accepted the connection but did not answer the login within 15 seconds"_s,
         u"check that the address really is a SQL Server; if it is busy, press \"BAĞLANMA TESTİ YAP\" "
         "again later"_s},
        connectionCut,
        {0, 0, u"Bad token"_s,
         u"Bu adreste yanıt veren program SQL Server değil. Sql Sunucusu ve Sql Portu alanlarını kontrol "
         "edip BAĞLANMA TESTİ YAP düğmesine basın."_s,
         u"something that is not a SQL Server (or a broken proxy) answered"_s,
         u"check \"Sql Sunucusu\" and \"Sql Portu\" and press \"BAĞLANMA TESTİ YAP\""_s},
        // Microsoft's drivers: "Communication link failure", after the system's reason. FreeTDS gives a
        // server that is none the same state: the row above tells that apart first.
        Reworded(connectionCut, 0, 0, QString(), u"08S01"_s),
    };
}

} // namespace

const QList<FailureExplanation> &FailureExplanations()
{
    static const QList<FailureExplanation> kTable = BuildTable();
    return kTable;
}

QString ExplainFailure(const ServerMessages &messages, FailureStep step)
{
    const QString reason = FailureReason(messages);
    const ServerMessage *chosen = ChosenMessage(messages, reason);
    if (!chosen)
        return reason;
    const QString detail =
        chosen->number == 0 ? reason : u"%1 (%2)"_s.arg(reason, QString::number(chosen->number));
    const QList<FailureExplanation> &table = FailureExplanations();
    const auto known = std::find_if(table.begin(), table.end(), [&](const FailureExplanation &explanation) {
        return Recognises(explanation, *chosen, step);
    });
    return known == table.end() ? detail : known->turkish + u'\n' + detail;
}
