#include "backup/WrittenFileCheck.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_writtenfile : public QObject {
    Q_OBJECT

private slots:
    void checkWrittenSize_data()
    {
        QTest::addColumn<qint64>("size"); // -1: the file is not there
        QTest::addColumn<QList<qint64>>("recent");
        QTest::addColumn<QString>("found"); // what the reason says of the sizes; empty: the file passes
        const QList<qint64> usual{20'000'000, 13'002'342, 15'000'000};
        const QString smallest = u", son yedeklerin en küçüğü 12,4 MB"_s;
        QTest::newRow("empty") << qint64(0) << usual << u"yeni dosya 0 bayt"_s + smallest;
        QTest::newRow("missing, the first") << qint64(-1) << QList<qint64>{} << u"yeni dosya klasörde yok"_s;
        QTest::newRow("under a tenth") << qint64(1'300'234) << usual << u"yeni dosya 1,2 MB"_s + smallest;
        QTest::newRow("a tenth of the smallest, not the newest") << qint64(1'300'235) << usual << QString();
        QTest::newRow("a small first") << qint64(1) << QList<qint64>{} << QString();
    }
    void checkWrittenSize()
    {
        QFETCH(qint64, size);
        QFETCH(QList<qint64>, recent);
        QFETCH(QString, found);
        const Outcome checked = CheckWrittenSize(size < 0 ? std::nullopt : std::optional(size), recent);
        QCOMPARE(checked ? QString() : checked.failure().reason,
                 found.isEmpty()
                     ? QString()
                     : u"YEDEK DOSYASI BOŞ YA DA EKSİK: %1. Yedek diskinde yer olduğunu kontrol edip "
                       "YEDEKLE düğmesine basın."_s.arg(found));
    }
};

QTEST_GUILESS_MAIN(tst_writtenfile)
#include "tst_writtenfile.moc"
