#pragma once

#include <QStringList>

// The root folders of the volumes the system offers as drives, sorted, each once.
QStringList MountedVolumeRoots();
