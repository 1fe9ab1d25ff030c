#include "settings/ConnectionSettings.h"

#include "platform/OwnerOnly.h"
#include "settings/ProfileFormat.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>

Q_LOGGING_CATEGORY(lcSettings, "kvz.settings")

using namespace SettingsFiles;
using namespace Qt::StringLiterals;

void CloseConnectionFile(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists() || !OpenToOthers(info))
        return;
    static QSet<QString> told;
    const bool firstTime = !told.contains(file);
    told.insert(file);
    // A copy brought from another machine or unpacked by an installer keeps the mode it came with, and the
    // password in it would stay readable by every user of the machine.
    if (OwnedByThisUser(info) && MakeOwnerOnly(file)) {
        if (firstTime)
            qCWarning(lcSettings).noquote() << file << "was open to other users: now owner-only";
    } else if (firstTime) {
        qCWarning(lcSettings).noquote() << *ConnectionFileWarning(file);
    }
}

std::optional<QString> ConnectionFileWarning(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists() || !OpenToOthers(info))
        return std::nullopt;
    return u"Şifre dosyası başka kullanıcılar tarafından okunabiliyor: %1. Dosyanın sahibi bu kullanıcı "
           u"değil; sahibinden dosyanın izinlerini yalnız kendisine açık yapmasını isteyin."_s.arg(
               QDir::toNativeSeparators(file));
}

Result<ConnectionValues> LoadConnectionValues(const QString &file)
{
    CloseConnectionFile(file);
    const Result<QByteArray> content = ReadSettingsFile(file);
    if (!content)
        return content.failure();
    auto read = [&](const QString &key) { return ProfileFormat::ReadText(content.value(), kSection, key); };
    return ConnectionValues{read(kServer), read(kPort),     read(kDatabase),
                            read(kLogin),  read(kPassword), read(kDriver)};
}

ConnectionValues StoredConnectionValues(const QString &file)
{
    const Result<ConnectionValues> values = LoadConnectionValues(file);
    return values ? values.value() : ConnectionValues{};
}

Outcome StoreConnectionValues(const ConnectionValues &values, const QString &file)
{
    CloseConnectionFile(file);
    return WriteSettings(kSection,
                         {{kServer, values.server},
                          {kPort, values.port},
                          {kLogin, values.login},
                          {kPassword, values.password},
                          {kDatabase, values.database}},
                         file);
}
