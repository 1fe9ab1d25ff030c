#pragma once

#include "platform/AutoStartStore.h"

#include <QList>

// The same handle type as <windows.h> declares, without its macros in every includer.
struct HKEY__;
using HKEY = HKEY__ *;

// Start-up entries as values of the registry's Run key, "<key>\Run" started at login and "<key>\Run-" kept
// but not started, in the first hive of a list that lets this user write there: the machine's first, so the
// program starts for whoever logs in, and the user's own when that is refused.
class RegistryAutoStartStore final : public AutoStartStore {
public:
    struct Hive {
        HKEY root;
        QString whom; // who logs in to find the entry started, for the settings window
    };

    // HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER.
    static QList<Hive> defaultHives();
    static QString defaultKey();

    explicit RegistryAutoStartStore(QList<Hive> hives = defaultHives(), QString key = defaultKey());
    ~RegistryAutoStartStore() override;
    RegistryAutoStartStore(const RegistryAutoStartStore &) = delete;
    RegistryAutoStartStore &operator=(const RegistryAutoStartStore &) = delete;

    bool open(AutoStartPlace place) override;
    bool remove(const QString &name) override;
    bool set(const QString &name, const QString &command) override;
    void close() override;
    QString writtenFor() const override;

    // The path below a hive's root of a place.
    QString path(AutoStartPlace place) const;

private:
    QList<Hive> hives_;
    QString key_;
    HKEY open_ = nullptr;
    qsizetype openHive_ = -1;
    QString writtenFor_;
};
