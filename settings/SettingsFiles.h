#pragma once

#include <QString>

// Where the two settings files lie and what they hold: both in the program folder, section "ayar".
namespace SettingsFiles {

// Sources write literals as u"…"_s; a header keeps QStringLiteral, so that it pulls Qt's literal operators
// into no file that includes it.

inline const QString kSection = QStringLiteral("ayar");

inline const QString kServer = QStringLiteral("sqladi");
inline const QString kDatabase = QStringLiteral("sqldata");
inline const QString kLogin = QStringLiteral("sqlkullanici");
inline const QString kPassword = QStringLiteral("sqlsifre");
inline const QString kPort = QStringLiteral("port");
inline const QString kDriver = QStringLiteral("surucu");

inline const QString kFolder = QStringLiteral("saklanacak-yer");
inline const QString kDailyHour = QStringLiteral("kopyalama-zamani");
inline const QString kInterval = QStringLiteral("kopyalama-araligi");
inline const QString kStartAtLogin = QStringLiteral("acilista-calisin");
inline const QString kVerify = QStringLiteral("dogrulama");
inline const QString kKeepDays = QStringLiteral("saklama-gunu");
inline const QString kSecondFolder = QStringLiteral("ikinci-kopya-yeri");
inline const QString kSecondKeepDays = QStringLiteral("ikinci-kopya-saklama-gunu");
inline const QString kRestoreTestDays = QStringLiteral("geri-yukleme-denemesi");

QString ConnectionFile(const QString &programFolder);
QString BackupFile(const QString &programFolder);

} // namespace SettingsFiles
