#include "platform/AutoStartStore.h"
#include "platform/XdgAutoStartStore.h"

std::unique_ptr<AutoStartStore> UserAutoStartStore()
{
    return std::make_unique<XdgAutoStartStore>();
}
