#pragma once

#include "history/RunRecord.h"
#include "history/RunSummary.h"

#include <QStringList>

// The history window's texts: what its table shows of a run, and its summary line. Copying takes the same
// texts, so what is pasted is what was seen.
namespace HistoryRow {

// TARİH, SAAT, NEDEN, SONUÇ, SÜRE, BOYUT, DOSYA, AÇIKLAMA.
const QStringList &Columns();

// One line of text per column, each on a single line: a server's message may hold line breaks and tabs.
QStringList Cells(const RunRecord &record);

// The scheduler's name of a cause in the window's words; a name this version does not know, as stored.
QString CauseCaption(const QString &cause);
// "SÜRÜYOR" until the run's end is written, then whether it succeeded.
QString ResultText(const RunRecord &record);
// Hours, minutes and seconds ("1:02:05"): by the elapsed clock when both its readings are known, so a wall
// clock set back during the run never shows an end before the start. Empty while the run goes on, when
// its start is unknown, and when its end was never read (a run cut short).
QString DurationText(const RunRecord &record);

// The second copy's note: its failure, or how much it copied, how long it took and how fast.
QString SecondCopyText(const RunRecord &record);

// "SON İKİNCİ KOPYA" only once some run was to make one.
QString SummaryText(const RunSummary &summary);

} // namespace HistoryRow
