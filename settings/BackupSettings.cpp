#include "settings/BackupSettings.h"

#include "settings/ProfileFormat.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

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
    return settings;
}

Outcome SaveSchedule(const BackupSettings &settings, const QString &file)
{
    using namespace SettingsFiles;
    return WriteSettings(
        kSection,
        {{kFolder, settings.folder}, {kDailyHour, settings.dailyHour}, {kInterval, settings.interval}}, file);
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
