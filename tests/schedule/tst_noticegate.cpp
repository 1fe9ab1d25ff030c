#include "schedule/NoticeGate.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class tst_noticegate : public QObject {
    Q_OBJECT

private slots:
    void toldSparingly_data();
    void toldSparingly();
};

// One word per run: its clock warning, its retention problem ("-" for none), the day it ended on (days after
// the first), its second copy (ok, x failed, - not asked), and what is told after it: C the clock, R the
// retention problem, K the second copy failed, Y the second copy works again, - nothing.
void tst_noticegate::toldSparingly_data()
{
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("retention");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("told");
    QTest::newRow("same clock warning, once, whatever the day") << "a a a"
                                                                << "- - -"
                                                                << "0 0 1"
                                                                << "- - -"
                                                                << "C - -";
    QTest::newRow("a warning whose times move on is not told again") << "a b"
                                                                     << "- -"
                                                                     << "0 0"
                                                                     << "- -"
                                                                     << "C -";
    QTest::newRow("told again after a run without it") << "a - a"
                                                       << "- - -"
                                                       << "0 0 0"
                                                       << "- - -"
                                                       << "C - C";
    QTest::newRow("retention problem once a day") << "- - - -"
                                                  << "x x x y"
                                                  << "0 0 1 1"
                                                  << "- - - -"
                                                  << "R - R -";
    QTest::newRow("a clean run does not reopen the day") << "- - -"
                                                         << "x - x"
                                                         << "0 0 0"
                                                         << "- - -"
                                                         << "R - -";
    QTest::newRow("second copy failure once, until a copy works") << "- - - - -"
                                                                  << "- - - - -"
                                                                  << "0 1 1 2 2"
                                                                  << "x x ok ok x"
                                                                  << "K - Y - K";
    QTest::newRow("a run without the option leaves it told") << "- - -"
                                                             << "- - -"
                                                             << "0 0 0"
                                                             << "x - x"
                                                             << "K - -";
    QTest::newRow("both at once") << "a"
                                  << "x"
                                  << "0"
                                  << "-"
                                  << "CR";
}

void tst_noticegate::toldSparingly()
{
    QFETCH(QString, clock);
    QFETCH(QString, retention);
    QFETCH(QString, day);
    QFETCH(QString, copy);
    QFETCH(QString, told);
    const auto given = [](const QString &word) { return word == u"-"_s ? QString() : word; };
    const QStringList clocks = clock.split(u' '), retentions = retention.split(u' '), days = day.split(u' '),
                      copies = copy.split(u' ');
    NoticeGate gate;
    QStringList seen;
    for (qsizetype run = 0; run < clocks.size(); ++run) {
        BackupResult result{true, u"/y/a.bak"_s, {}, {}};
        result.clockWarning = given(clocks[run]);
        result.retentionProblem = given(retentions[run]);
        result.secondCopy.asked = copies[run] != u"-"_s;
        result.secondCopy.problem =
            copies[run] == u"x"_s ? u"İKİNCİ KOPYA YAPILAMADI: disk yok."_s : QString();
        QString letters;
        for (const RunNotice &notice :
             gate.afterRun(result, QDate(2026, 12, 31).addDays(days[run].toInt()))) {
            if (notice.title == u"İKİNCİ KOPYA YAPILAMADI"_s && notice.text == u"disk yok."_s &&
                notice.failure)
                letters += u'K';
            else if (notice.title == u"İKİNCİ KOPYA YAPILDI"_s && !notice.failure)
                letters += u'Y';
            else if (!notice.failure)
                letters += u'?';
            else if (notice.title == u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR"_s &&
                     notice.text == result.clockWarning)
                letters += u'C';
            else if (notice.title == u"ESKİ YEDEKLER SİLİNEMEDİ"_s && notice.text == result.retentionProblem)
                letters += u'R';
            else
                letters += u'?';
        }
        seen << (letters.isEmpty() ? u"-"_s : letters);
    }
    QCOMPARE(seen.join(u' '), told);
}

QTEST_APPLESS_MAIN(tst_noticegate)
#include "tst_noticegate.moc"
