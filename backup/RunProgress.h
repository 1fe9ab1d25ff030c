#pragma once

#include <QObject>

// Carries a run's progress from the worker to the windows: a signal emitted on the worker thread reaches
// receivers on the user-interface thread queued, as the server reports it, not at the end of the run.
class RunProgress : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void report(int percent) { emit changed(percent); }
    void reportCopy(int percent) { emit copying(percent); }

signals:
    void changed(int percent);
    // The second copy's percent, after the backup's own.
    void copying(int percent);
};
