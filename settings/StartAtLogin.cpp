#include "settings/StartAtLogin.h"

namespace {

// Results are ignored: the buttons give no feedback, and a place that cannot be opened (RunDisabled
// missing, no right to write) is the ordinary way for the entry to end up nowhere.
void MoveEntry(AutoStartStore &store, AutoStartPlace from, AutoStartPlace to, const QString &command,
               const QString &name)
{
    if (store.open(from)) {
        store.remove(name);
        store.close();
    }
    if (store.open(to)) {
        store.set(name, command);
        store.close();
    }
}

} // namespace

void EnableAutoStart(AutoStartStore &store, const QString &command, const QString &name)
{
    MoveEntry(store, AutoStartPlace::RunDisabled, AutoStartPlace::Run, command, name);
}

void DisableAutoStart(AutoStartStore &store, const QString &command, const QString &name)
{
    MoveEntry(store, AutoStartPlace::Run, AutoStartPlace::RunDisabled, command, name);
}
