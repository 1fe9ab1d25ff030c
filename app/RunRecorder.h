#pragma once

#include "history/RunHistory.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <memory>

// Writes the run history and reads from it off the user-interface thread, one at a time in order.
// A history that cannot be written never holds a backup up: the problem is reported once.
class RunRecorder : public QObject {
    Q_OBJECT
public:
    explicit RunRecorder(const QString &programFolder, QObject *parent = nullptr);
    ~RunRecorder() override;

    const RunHistory &history() const { return history_; }
    // The runs an earlier start of the program left unfinished were cut short: called before the first
    // run begins.
    void closeInterrupted();
    // A run from its start; finish completes its row (and records it whole when the start could not be).
    void begin(const RunRecord &record);
    void finish(const RunRecord &record);
    // lastLoaded follows, when the history holds a run.
    void loadLast();
    // longestSuccessLoaded follows, when the history can be read.
    void loadLongestSuccess();
    // Returns once everything asked for is written: for an end that skips the destructors.
    void waitForDone();

signals:
    void lastLoaded(const RunRecord &record);
    void longestSuccessLoaded(qint64 milliseconds);
    void problem(const Failure &failure);

private:
    void write(std::function<Outcome()> work);
    void report(const Outcome &written);

    RunHistory history_;
    QThreadPool pool_;
    QString toldReason_;
    // The row of the run begun last; only the worker touches it, one task at a time.
    std::shared_ptr<std::optional<qint64>> runId_ = std::make_shared<std::optional<qint64>>();
};
