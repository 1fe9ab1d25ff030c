#include "backup/WrittenFileCheck.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_writtenfile : public QObject {
    Q_OBJECT

private slots:
    void checkWrittenSize_data();
    void checkWrittenSize();
};

void tst_writtenfile::checkWrittenSize_data()
{
    QTest::addColumn<qint64>("size"); // -1: the file is not there
    QTest::addColumn<QList<qint64>>("recent");
    QTest::addColumn<QString>("found"); // what the reason says of the sizes; empty: the file passes

    const QList<qint64> usual{20'000'000, 13'002'342, 15'000'000};
    QTest::newRow("empty") << qint64(0) << usual << u"yeni dosya 0 bayt, son yedeklerin en küçüğü 12,4 MB"_s;
    QTest::newRow("missing") << qint64(-1) << usual
                             << u"yeni dosya klasörde yok, son yedeklerin en küçüğü 12,4 MB"_s;
    QTest::newRow("empty, the first backup") << qint64(0) << QList<qint64>{} << u"yeni dosya 0 bayt"_s;
    QTest::newRow("missing, the first backup")
        << qint64(-1) << QList<qint64>{} << u"yeni dosya klasörde yok"_s;
    QTest::newRow("under a tenth of the smallest")
        << qint64(1'300'000) << usual << u"yeni dosya 1,2 MB, son yedeklerin en küçüğü 12,4 MB"_s;
    QTest::newRow("a tenth of the smallest") << qint64(1'300'235) << usual << QString();
    QTest::newRow("the smallest counts, not the newest") << qint64(1'400'000) << usual << QString();
    QTest::newRow("shrunk by half") << qint64(6'500'000) << usual << QString();
    QTest::newRow("a small first backup") << qint64(1) << QList<qint64>{} << QString();
}

void tst_writtenfile::checkWrittenSize()
{
    QFETCH(qint64, size);
    QFETCH(QList<qint64>, recent);
    QFETCH(QString, found);
    const Outcome checked = CheckWrittenSize(size < 0 ? std::nullopt : std::optional(size), recent);
    QCOMPARE(checked.ok(), found.isEmpty());
    if (!checked)
        QCOMPARE(checked.failure().reason,
                 u"YEDEK DOSYASI BOŞ YA DA EKSİK: "_s + found +
                     u". Yedek diskinde yer olduğunu kontrol edip YEDEKLE düğmesine "
                     "basın."_s);
}

QTEST_GUILESS_MAIN(tst_writtenfile)
#include "tst_writtenfile.moc"
