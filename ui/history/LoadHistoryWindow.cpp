#include "ui/history/LoadHistoryWindow.h"

#include "history/RecentRuns.h"
#include "ui/history/frmGecmis.h"

void LoadHistoryWindow(frmGecmis &window, const RunHistory &history, const QDateTime &now)
{
    LoadRecentRuns(history, now, &window, [&window](const Result<RecentRuns> &runs) {
        if (runs)
            window.showRecords(runs->records, runs->summary);
        else
            window.showFailure(runs.failure());
    });
}
