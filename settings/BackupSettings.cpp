#include "settings/BackupSettings.h"

#include "settings/ProfileFormat.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

#include <QLocale>

using namespace Qt::StringLiterals;

Result<BackupSettings> LoadBackupSettings(const QString &file)
{
    const Result<QByteArray> content = ReadSettingsFile(file);
    if (!content)
        return content.failure();
    using namespace SettingsFiles;
    auto read = [&](const QString &key) { return ProfileFormat::Read(content.value(), kSection, key); };
    BackupSettings settings;
    const ProfileFormat::Value folder = read(kFolder);
    settings.folder = folder.text;
    settings.folderCut = folder.cut;
    settings.dailyHour = read(kDailyHour).text;
    settings.interval = read(kInterval).text;
    settings.startAtLogin = read(kStartAtLogin).text;
    settings.verify = read(kVerify).text;
    settings.keepDays = read(kKeepDays).text;
    settings.secondFolder = read(kSecondFolder).text;
    settings.secondKeepDays = read(kSecondKeepDays).text;
    settings.restoreTestDays = read(kRestoreTestDays).text;
    return settings;
}

Outcome SaveSchedule(const BackupSettings &settings, const QString &file)
{
    using namespace SettingsFiles;
    return WriteSettings(kSection,
                         {{kFolder, settings.folder},
                          {kDailyHour, settings.dailyHour},
                          {kInterval, settings.interval},
                          {kVerify, settings.verify},
                          {kKeepDays, settings.keepDays},
                          {kSecondFolder, settings.secondFolder},
                          {kSecondKeepDays, settings.secondKeepDays},
                          {kRestoreTestDays, settings.restoreTestDays}},
                         file);
}

Outcome SaveStartAtLogin(bool on, const QString &file)
{
    return WriteSettings(SettingsFiles::kSection, {{SettingsFiles::kStartAtLogin, on ? u"1"_s : u"0"_s}},
                         file);
}

std::optional<int> KeepDaysOf(const QString &text)
{
    const QString days = text.trimmed();
    if (days.isEmpty())
        return 0;
    bool number = false;
    const int value = days.toInt(&number);
    if (!number || value < 0 || value > kMaxKeepDays || days.startsWith(u'+'))
        return std::nullopt;
    return value;
}

std::optional<int> RestoreTestDaysOf(const QString &text)
{
    const std::optional<int> days = KeepDaysOf(text);
    if (!days || *days > kMaxRestoreTestDays)
        return std::nullopt;
    return days;
}

std::optional<bool> VerifyOf(const QString &text)
{
    // A hand-written "AÇIK" or "HAYIR" lowers to "açık", "hayır" only by Turkish rules; one typed without
    // the Turkish letters ("acik", "hayir") means the same.
    QString word = QLocale(QLocale::Turkish).toLower(text.trimmed());
    word.replace(u'ı', u'i').replace(u'ç', u'c');
    static const QStringList kOn{u"1"_s, u"evet"_s, u"acik"_s, u"true"_s, u"on"_s, u"yes"_s};
    static const QStringList kOff{QString(), u"0"_s, u"hayir"_s, u"kapali"_s, u"false"_s, u"off"_s, u"no"_s};
    if (kOn.contains(word))
        return true;
    if (kOff.contains(word))
        return false;
    return std::nullopt;
}
