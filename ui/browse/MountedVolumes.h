#pragma once

#include "ui/browse/Volumes.h"

// The root folders of the volumes the system has mounted.
class MountedVolumes : public Volumes {
public:
    QStringList roots() const override;
};
