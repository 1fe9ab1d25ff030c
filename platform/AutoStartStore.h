#pragma once

#include <QString>
#include <memory>

// Run: entries started at login (the Run key of the registry on Windows, the XDG autostart folder here).
// RunDisabled: where a switched-off entry waits; it is only ever opened, never created, so a machine without
// it simply loses the entry on switch-off.
enum class AutoStartPlace { Run, RunDisabled };

// The start-up entries of one user, one place open at a time. An entry is a name and the command it starts.
class AutoStartStore {
public:
    virtual ~AutoStartStore() = default;

    // False when the place cannot be opened for writing; remove and set then do nothing.
    virtual bool open(AutoStartPlace place) = 0;
    // True when no entry of that name is left in the open place, also when there was none.
    virtual bool remove(const QString &name) = 0;
    // Creates or replaces the entry in the open place.
    virtual bool set(const QString &name, const QString &command) = 0;
    virtual void close() = 0;
    // Whom the entry last set starts for, in the user's words ("yalnız bu kullanıcı"); empty when the
    // system has one place only, so there is nothing to tell.
    virtual QString writtenFor() const { return {}; }
};

// The store of the user this program runs as, in the system's own place for start-up entries.
std::unique_ptr<AutoStartStore> UserAutoStartStore();
