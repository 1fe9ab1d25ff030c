#include "ui/history/HistoryRow.h"
#include "ui/history/LoadHistoryWindow.h"
#include "ui/history/frmGecmis.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkLabel.h"

#include <QApplication>
#include <QClipboard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A run by both clocks: `wallSeconds` from its start to its end on the wall clock.
RunRecord Timed(int wallSeconds, qint64 startedElapsedMs, qint64 endedElapsedMs, bool ok,
                bool finished = true)
{
    RunRecord record;
    record.started = QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
    record.ended = record.started.addSecs(wallSeconds);
    record.ok = ok;
    record.startedElapsedMs = startedElapsedMs;
    record.endedElapsedMs = endedElapsedMs;
    record.finished = finished;
    return record;
}

} // namespace

class tst_historywindow : public QObject {
    Q_OBJECT

private slots:
    void causeCaption_data();
    void causeCaption();
    void resultAndDuration_data();
    void resultAndDuration();
    void showsAndCopiesTheHistory();
};

void tst_historywindow::causeCaption_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("caption");
    QTest::newRow("start") << u"start"_s << u"AÇILIŞ"_s;
    QTest::newRow("button") << u"button"_s << u"YEDEKLE"_s;
    QTest::newRow("tray") << u"tray"_s << u"TEPSİ"_s;
    QTest::newRow("daily hour") << u"daily hour"_s << u"GÜNLÜK"_s;
    QTest::newRow("interval") << u"interval"_s << u"ARALIK"_s;
    QTest::newRow("catch-up") << u"catch-up"_s << u"TELAFİ"_s;
    QTest::newRow("retry") << u"retry"_s << u"TEKRAR DENEME"_s;
    QTest::newRow("a later version's") << u"network\nchange"_s << u"network change"_s;
}

void tst_historywindow::causeCaption()
{
    QFETCH(QString, cause);
    QFETCH(QString, caption);
    QCOMPARE(HistoryRow::CauseCaption(cause), caption);
}

void tst_historywindow::resultAndDuration_data()
{
    QTest::addColumn<RunRecord>("record");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("duration");
    QTest::newRow("in flight") << Timed(0, 1'000, -1, false, false) << u"SÜRÜYOR"_s << QString();
    QTest::newRow("clock set back during the run")
        << Timed(-3600, 1'000, 3'726'000, true) << u"BAŞARILI"_s << u"1:02:05"_s;
    QTest::newRow("before elapsed times were kept")
        << Timed(75, -1, -1, true) << u"BAŞARILI"_s << u"0:01:15"_s;
    QTest::newRow("cut short: its end never read")
        << Timed(0, 1'000, -1, false) << u"BAŞARISIZ"_s << QString();
}

void tst_historywindow::resultAndDuration()
{
    QFETCH(RunRecord, record);
    QFETCH(QString, result);
    QFETCH(QString, duration);
    const QStringList cells = HistoryRow::Cells(record);
    QCOMPARE(cells.at(3), result);
    QCOMPARE(cells.at(4), duration);
}

void tst_historywindow::showsAndCopiesTheHistory()
{
    QTemporaryDir dir;
    const RunHistory history(dir.path());
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);
    for (int run = 0; run < 3; ++run) {
        RunRecord record;
        record.cause = u"interval"_s;
        record.started = start.addSecs(run * 3600);
        record.ended = record.started.addSecs(75);
        record.ok = run != 1;
        record.file = u"C:\\Yedek\\%1.bak"_s.arg(run);
        record.sizeBytes = record.ok ? 2048 : -1;
        record.reason = record.ok ? QString() : u"Sunucuya ulaşılamadı.\n\tUnable to connect"_s;
        if (run == 0) {
            record.secondCopy = kSecondCopyDone;
            record.secondCopyMs = 500;
            record.secondCopyBytes = 2048;
        }
        QVERIFY(history.append(record));
    }
    frmGecmis window;
    window.setSpaceText(u"YER: 12 GÜN YETER"_s);
    window.show();
    LoadHistoryWindow(window, history, start.addDays(1));

    auto *list = window.findChild<QTableWidget *>(u"gecmisListesi"_s);
    QTRY_COMPARE(list->rowCount(), 3);
    QCOMPARE(list->item(0, 1)->text(), u"11:00:00"_s);
    QCOMPARE(list->item(1, 3)->foreground().color(), QColor(255, 0, 0));
    QCOMPARE(list->item(0, 3)->foreground().style(), Qt::NoBrush);
    QCOMPARE(window.findChild<vkLabel *>(u"ozet"_s)->caption(),
             u"SON BAŞARILI YEDEK: 07.12.2026 11:01:15    SON 7 GÜN: 2 BAŞARILI, 1 BAŞARISIZ    "
             u"SON İKİNCİ KOPYA: 07.12.2026 09:01:15"_s);

    QTest::mouseClick(window.findChild<vkCommand *>(u"kopyala"_s), Qt::LeftButton);
    QCOMPARE(
        QApplication::clipboard()->text(),
        u"TARİH\tSAAT\tNEDEN\tSONUÇ\tSÜRE\tBOYUT\tDOSYA\tAÇIKLAMA\n"
        "07.12.2026\t11:00:00\tARALIK\tBAŞARILI\t0:01:15\t2,0 KB\tC:\\Yedek\\2.bak\t\n"
        "07.12.2026\t10:00:00\tARALIK\tBAŞARISIZ\t0:01:15\t\tC:\\Yedek\\1.bak\tSunucuya ulaşılamadı. "
        "Unable to connect\n"
        "07.12.2026\t09:00:00\tARALIK\tBAŞARILI\t0:01:15\t2,0 KB\tC:\\Yedek\\0.bak\tİKİNCİ KOPYA: 2,0 KB, "
        "0,5 sn, 4,0 KB/sn\n"_s);

    QTest::mouseClick(window.findChild<vkCommand *>(u"kapat"_s), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(tst_historywindow)
#include "tst_historywindow.moc"
