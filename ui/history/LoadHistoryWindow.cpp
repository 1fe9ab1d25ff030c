#include "ui/history/LoadHistoryWindow.h"

#include "history/RecentRuns.h"
#include "ui/history/frmGecmis.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

void LoadHistoryWindow(frmGecmis &window, const RunHistory &history, const QDateTime &now)
{
    LoadRecentRuns(history, now, &window, [&window](const Result<RecentRuns> &runs) {
        if (runs)
            window.showRecords(runs->records, runs->summary);
        else
            window.showFailure(runs.failure());
    });
    // The restore tests lie in the same file; a failure to read them is said by the runs' own line.
    auto *watcher = new QFutureWatcher<RestoreTestLine>(&window);
    QObject::connect(watcher, &QFutureWatcherBase::finished, &window, [watcher, &window] {
        window.showRestoreTest(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([folder = QFileInfo(history.filePath()).absolutePath()] {
        const Result<std::optional<RestoreTestRecord>> last = RestoreTestLog(folder).last();
        return last ? RestoreTestLineOf(last.value()) : RestoreTestLine{};
    }));
}
