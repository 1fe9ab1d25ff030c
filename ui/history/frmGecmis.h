#pragma once

#include "history/RunRecord.h"
#include "history/RunSummary.h"
#include "settings/Result.h"
#include "ui/history/RestoreTestLine.h"

#include <QWidget>

class QTableWidget;
class vkCommand;
class vkFrame;
class vkLabel;

// The run history: the latest runs newest first, failures in red, and how backups have gone lately. It
// reads nothing itself; whoever opens it loads the runs on a worker and hands them over.
class frmGecmis : public QWidget {
    Q_OBJECT
public:
    explicit frmGecmis(QWidget *parent = nullptr);

    // The line about the backup disk's room, as the caller words it ("YER: 12 GÜN YETER").
    void setSpaceText(const QString &text);
    // The last restore test, beside the room line; red when it did not end clean.
    void showRestoreTest(const RestoreTestLine &line);

public slots:
    void showRecords(const QList<RunRecord> &records, const RunSummary &summary);
    // The history could not be read: the table empties and the summary line says why.
    void showFailure(const Failure &failure);

private:
    void createControls();
    void copyRows();

    vkFrame *vkFrame1 = nullptr;           // the window's titled panel
    QTableWidget *gecmisListesi = nullptr; // one run a row, newest first
    vkLabel *ozet = nullptr;               // last success, successes and failures in 7 days
    vkLabel *yer = nullptr;                // the caller's line about the disk's room
    vkLabel *restoreTest_ = nullptr;       // the last restore test and how it ended
    vkCommand *kopyala = nullptr;          // KOPYALA: the shown rows to the clipboard
    vkCommand *kapat = nullptr;            // KAPAT: hides the window
};
