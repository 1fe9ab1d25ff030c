#pragma once

#include "history/RunHistory.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

// Writes the run history and reads its last entry off the user-interface thread, one at a time in order.
// A history that cannot be written never holds a backup up: the problem is reported once.
class RunRecorder : public QObject {
    Q_OBJECT
public:
    explicit RunRecorder(const QString &programFolder, QObject *parent = nullptr);
    ~RunRecorder() override;

    const RunHistory &history() const { return history_; }
    void record(const RunRecord &record);
    // lastLoaded follows, when the history holds a run.
    void loadLast();

signals:
    void lastLoaded(const RunRecord &record);
    void problem(const Failure &failure);

private:
    RunHistory history_;
    QThreadPool pool_;
    QString toldReason_;
};
