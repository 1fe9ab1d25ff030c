#pragma once

#include <QStringList>

// The drives the browser offers. Tests list drives that cannot be read, as a removable drive without
// a medium would be listed by the system.
class Volumes {
public:
    virtual ~Volumes() = default;
    virtual QStringList roots() const = 0;
};
