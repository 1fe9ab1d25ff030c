#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The clock's decision, ten times a second: does this tick start a backup run? Each true answer must be
// followed by a run that the caller marks in flight before the next tick and reports to runFinished.
class BackupTrigger {
public:
    struct Tick {
        QDateTime now;     // the tick's time; its HH:MM:SS text is what the rules compare
        QString dailyHour; // as the settings window holds it now, saved or not
        int intervalIndex; // as the settings window holds it now, -1 when nothing is selected
        QString nextCopy;  // the main window's next-copy label as it stands
        bool runInFlight;  // a backup is running
    };

    // True when this tick starts a run (at most one per tick).
    bool shouldRun(const Tick &tick);
    // A run has returned at `end` (the last-backup time the label shows).
    void runFinished(const QDateTime &end);

private:
    bool dailyDue(const Tick &tick) const;
    bool copyDue(const Tick &tick) const;
    bool endedInSameSecond(const QDateTime &now) const;
    bool intervalPassed(const Tick &tick) const;

    QDate dailyRunDate_;
    int dailyRunHour_ = -1;
    QDateTime lastEnd_;
};
