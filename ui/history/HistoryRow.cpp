#include "ui/history/HistoryRow.h"

#include "backup/SizeText.h"
#include "schedule/RunCauses.h"

using namespace Qt::StringLiterals;

namespace HistoryRow {

const QStringList &Columns()
{
    static const QStringList kColumns{u"TARİH"_s, u"SAAT"_s,  u"NEDEN"_s, u"SONUÇ"_s,
                                      u"SÜRE"_s,  u"BOYUT"_s, u"DOSYA"_s, u"AÇIKLAMA"_s};
    return kColumns;
}

QStringList Cells(const RunRecord &record)
{
    QStringList notes;
    for (const QString &note : QStringList{record.reason, record.verification} + record.removed) {
        if (!note.trimmed().isEmpty())
            notes.append(note.simplified());
    }
    const QDateTime shown = record.started.isValid() ? record.started : record.ended;
    return {shown.toString(u"dd.MM.yyyy"_s),
            shown.toString(u"HH:mm:ss"_s),
            CauseCaption(record.cause),
            ResultText(record),
            DurationText(record),
            SizeText(record.sizeBytes),
            record.file.simplified(),
            notes.join(u"; "_s)};
}

QString CauseCaption(const QString &cause)
{
    const std::optional<RunCause> known = RunCauseNamed(cause);
    return known ? RunCauseCaption(*known) : cause.simplified();
}

QString ResultText(const RunRecord &record)
{
    if (!record.finished)
        return u"SÜRÜYOR"_s;
    return record.ok ? u"BAŞARILI"_s : u"BAŞARISIZ"_s;
}

QString DurationText(const RunRecord &record)
{
    qint64 milliseconds = 0;
    if (!record.finished)
        return {};
    if (record.startedElapsedMs >= 0) {
        if (record.endedElapsedMs < record.startedElapsedMs)
            return {};
        milliseconds = record.endedElapsedMs - record.startedElapsedMs;
    } else {
        if (!record.started.isValid() || !record.ended.isValid())
            return {};
        milliseconds = std::max<qint64>(0, record.started.msecsTo(record.ended));
    }
    const qint64 seconds = milliseconds / 1000;
    return u"%1:%2:%3"_s.arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}

QString SummaryText(const RunSummary &summary)
{
    const QString last =
        summary.lastSuccess.isValid() ? summary.lastSuccess.toString(u"dd.MM.yyyy HH:mm:ss"_s) : u"YOK"_s;
    return u"SON BAŞARILI YEDEK: %1    SON 7 GÜN: %2 BAŞARILI, %3 BAŞARISIZ"_s.arg(last)
        .arg(summary.successes)
        .arg(summary.failures);
}

} // namespace HistoryRow
