#pragma once

#include "platform/AutoStartStore.h"

#include <optional>

// Start-up entries as XDG autostart files: <config home>/autostart/<name>.desktop is started at login,
// <config home>/autostart-/<name>.desktop is kept but not started.
class XdgAutoStartStore final : public AutoStartStore {
public:
    explicit XdgAutoStartStore(QString configHome = defaultConfigHome());

    // $XDG_CONFIG_HOME, or ~/.config when it is unset.
    static QString defaultConfigHome();
    QString folder(AutoStartPlace place) const;

    bool open(AutoStartPlace place) override;
    bool remove(const QString &name) override;
    bool set(const QString &name, const QString &command) override;
    void close() override;

private:
    std::optional<QString> entryPath(const QString &name) const;

    QString configHome_;
    std::optional<AutoStartPlace> open_;
};
