#pragma once

#include "ui/browse/Volumes.h"

// The drives the system offers.
class MountedVolumes : public Volumes {
public:
    QStringList roots() const override;
};
