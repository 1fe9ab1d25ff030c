#include "schedule/NoticeGate.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_noticegate : public QObject {
    Q_OBJECT

private slots:
    void toldSparingly_data();
    void toldSparingly();
};

// One run per element: its clock warning, its retention problem (each empty for none), the day it ended on
// (days after the first), and what is told after it: C the clock, R the retention problem, - nothing.
void tst_noticegate::toldSparingly_data()
{
    QTest::addColumn<QStringList>("clock");
    QTest::addColumn<QStringList>("retention");
    QTest::addColumn<QList<int>>("day");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("same clock warning, once, whatever the day")
        << QStringList{u"a"_s, u"a"_s, u"a"_s} << QStringList{{}, {}, {}} << QList<int>{0, 0, 1}
        << QStringList{u"C"_s, u"-"_s, u"-"_s};
    QTest::newRow("a changed clock warning is told") << QStringList{u"a"_s, u"b"_s} << QStringList{{}, {}}
                                                     << QList<int>{0, 0} << QStringList{u"C"_s, u"C"_s};
    QTest::newRow("told again after a run without it")
        << QStringList{u"a"_s, {}, u"a"_s} << QStringList{{}, {}, {}} << QList<int>{0, 0, 0}
        << QStringList{u"C"_s, u"-"_s, u"C"_s};
    QTest::newRow("retention problem once a day")
        << QStringList{{}, {}, {}, {}} << QStringList{u"x"_s, u"x"_s, u"x"_s, u"y"_s}
        << QList<int>{0, 0, 1, 1} << QStringList{u"R"_s, u"-"_s, u"R"_s, u"-"_s};
    QTest::newRow("a clean run between does not reopen the day")
        << QStringList{{}, {}, {}} << QStringList{u"x"_s, {}, u"x"_s} << QList<int>{0, 0, 0}
        << QStringList{u"R"_s, u"-"_s, u"-"_s};
    QTest::newRow("both at once") << QStringList{u"a"_s} << QStringList{u"x"_s} << QList<int>{0}
                                  << QStringList{u"CR"_s};
}

void tst_noticegate::toldSparingly()
{
    QFETCH(QStringList, clock);
    QFETCH(QStringList, retention);
    QFETCH(QList<int>, day);
    QFETCH(QStringList, told);
    const QMap<QString, QChar> letters{{u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR"_s, u'C'},
                                       {u"ESKİ YEDEKLER SİLİNEMEDİ"_s, u'R'}};
    NoticeGate gate;
    QStringList seen;
    for (qsizetype run = 0; run < clock.size(); ++run) {
        BackupResult result;
        result.ok = true;
        result.clockWarning = clock[run];
        result.retentionProblem = retention[run];
        QString letter;
        for (const RunNotice &notice : gate.afterRun(result, QDate(2026, 12, 31).addDays(day[run]))) {
            QVERIFY(notice.failure);
            QVERIFY(notice.text == result.clockWarning || notice.text == result.retentionProblem);
            letter += letters.value(notice.title, u'?');
        }
        seen << (letter.isEmpty() ? u"-"_s : letter);
    }
    QCOMPARE(seen, told);
}

QTEST_APPLESS_MAIN(tst_noticegate)
#include "tst_noticegate.moc"
