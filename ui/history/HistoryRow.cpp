#include "ui/history/HistoryRow.h"

#include "backup/SizeText.h"
#include "schedule/RunCauses.h"

#include <QLocale>

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
    for (const QString &note :
         QStringList{record.reason, record.verification, SecondCopyText(record)} + record.removed) {
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

QString SecondCopyText(const RunRecord &record)
{
    if (record.secondCopy != kSecondCopyDone)
        return record.secondCopy;
    // A run that found every copy in place copied nothing.
    if (record.secondCopyBytes <= 0 || record.secondCopyMs < 0)
        return u"İKİNCİ KOPYA: tamam"_s;
    const qint64 perSecond = record.secondCopyBytes * 1000 / std::max<qint64>(record.secondCopyMs, 1);
    return u"İKİNCİ KOPYA: %1, %2 sn, %3/sn"_s.arg(SizeText(record.secondCopyBytes))
        .arg(QLocale(QLocale::Turkish).toString(double(record.secondCopyMs) / 1000, 'f', 1))
        .arg(SizeText(perSecond));
}

QString SummaryText(const RunSummary &summary)
{
    const auto shown = [](const QDateTime &time) {
        return time.isValid() ? time.toString(u"dd.MM.yyyy HH:mm:ss"_s) : u"YOK"_s;
    };
    QString text =
        u"SON BAŞARILI YEDEK: %1    SON 7 GÜN: %2 BAŞARILI, %3 BAŞARISIZ"_s.arg(shown(summary.lastSuccess))
            .arg(summary.successes)
            .arg(summary.failures);
    if (summary.secondCopyAsked)
        text += u"    SON İKİNCİ KOPYA: %1"_s.arg(shown(summary.lastSecondCopy));
    return text;
}

} // namespace HistoryRow
