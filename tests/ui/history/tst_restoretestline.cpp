#include "ui/history/RestoreTestLine.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The history window's line about the last restore test: red for every ending but a clean one that left
// nothing behind, the reason and the first errors in its tooltip.
class tst_restoretestline : public QObject {
    Q_OBJECT

private slots:
    void line_data();
    void line();
};

void tst_restoretestline::line_data()
{
    QTest::addColumn<RestoreVerdict>("verdict");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("left");
    QTest::addColumn<QString>("ending"); // how the line ends
    QTest::addColumn<bool>("failure");

    QTest::newRow("clean") << RestoreVerdict::Clean << true << false << u"10:30 TEMİZ"_s << false;
    QTest::newRow("damaged") << RestoreVerdict::Damaged << true << false
                             << u"BOZUKLUK: 1 AYIRMA, 3 TUTARLILIK HATASI"_s << true;
    QTest::newRow("not restored") << RestoreVerdict::NotRestored << true << false << u"GERİ YÜKLENEMEDİ"_s
                                  << true;
    QTest::newRow("refused") << RestoreVerdict::Refused << true << false << u"YAPILAMADI"_s << true;
    QTest::newRow("clean, drop failed")
        << RestoreVerdict::Clean << true << true << u"TEMİZ (DENEME VERİTABANI SİLİNEMEDİ)"_s << true;
    QTest::newRow("cut off while restoring") << RestoreVerdict::Skipped << false << true
                                             << u"YARIDA KESİLDİ (DENEME VERİTABANI SİLİNEMEDİ)"_s << true;
}

void tst_restoretestline::line()
{
    QFETCH(RestoreVerdict, verdict);
    QFETCH(bool, finished);
    QFETCH(bool, left);
    QFETCH(QString, ending);
    QFETCH(bool, failure);

    QVERIFY(RestoreTestLineOf(std::nullopt).text.isEmpty());
    RestoreTestRecord record;
    record.started = QDateTime(QDate(2026, 12, 7), QTime(10, 30));
    record.verdict = verdict;
    record.finished = finished;
    record.left = left;
    record.allocationErrors = 1;
    record.consistencyErrors = 3;
    record.reason = u"Veritabanında bozukluk bulundu."_s;
    record.firstErrors = {u"8905: Extent (1:1272)"_s};
    const RestoreTestLine line = RestoreTestLineOf(record);
    QVERIFY2(line.text.startsWith(u"SON GERİ YÜKLEME DENEMESİ: 07.12.2026 "_s), qPrintable(line.text));
    QVERIFY2(line.text.endsWith(ending), qPrintable(line.text));
    QCOMPARE(line.failure, failure);
    QCOMPARE(line.detail, u"Veritabanında bozukluk bulundu.\n8905: Extent (1:1272)"_s);
}

QTEST_GUILESS_MAIN(tst_restoretestline)
#include "tst_restoretestline.moc"
