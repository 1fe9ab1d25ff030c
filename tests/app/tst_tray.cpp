#include "app/BackupController.h"
#include "app/DatabaseClaim.h"
#include "app/KVZ.h"
#include "app/SingleInstance.h"
#include "app/TrayIcon.h"
#include "schedule/RunNotice.h"
#include "support/ManualClock.h"
#include "support/SystemQuestions.h"
#include "ui/settings/ayarlar.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class tst_tray : public QObject {
    Q_OBJECT

private slots:
    void menuEntries();
    void menuEntriesReachTheWindow();
    void noticeAfterRun_data();
    void noticeAfterRun();
    void withoutTrayHideMinimises();
    void secondCopyAsksFirstToShow();
    void locksIgnoreTheEnvironment_data();
    void locksIgnoreTheEnvironment();
};

void tst_tray::menuEntries()
{
    QWidget parent;
    TrayIcon tray(QIcon(), &parent);
    auto *menu = parent.findChild<QMenu *>(u"yedeklemeprogram"_s);
    QVERIFY(menu);
    QCOMPARE(menu->title(), u"Yedekleme Programı"_s);
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << action->objectName() + u'=' + action->text();
    QCOMPARE(entries, (QStringList{u"acmenu=GÖSTER"_s, u"gizlemenu=GİZLE"_s, u"ayarlarmenu=Ayarlar"_s,
                                   u"yedeklemenu=Yedekle"_s, u"durdurmenu=Yedeklemeyi durdur"_s,
                                   u"gecmismenu=Geçmiş"_s, u"denememenu=Geri yükleme denemesi yap"_s,
                                   u"kapatmenu=Kapat"_s}));
    // Offered only while a run is in flight.
    QAction *stop = parent.findChild<QAction *>(u"durdurmenu"_s);
    QVERIFY(!stop->isVisible());
    tray.showRunState(u"YEDEKLENİYOR…"_s);
    QVERIFY(stop->isVisible());
    tray.showIdle();
    QVERIFY(!stop->isVisible());
}

void tst_tray::menuEntriesReachTheWindow()
{
    QTemporaryDir program;
    ManualClock clock;
    std::atomic<int> runs{0};
    BackupController controller(program.path(), clock, clock, [&runs] {
        ++runs;
        return BackupResult{true, u"/y/f.bak"_s, {}, {}};
    });
    KVZ window(controller);
    QSignalSpy finished(&controller, &BackupController::runFinished);
    QSignalSpy exit(&controller, &BackupController::exitRequested);
    auto action = [&window](const char *name) { return window.findChild<QAction *>(QLatin1String(name)); };

    action("acmenu")->trigger();
    QVERIFY(window.isVisible());
    action("yedeklemenu")->trigger();
    QVERIFY(finished.wait());
    QCOMPARE(runs.load(), 1);
    action("ayarlarmenu")->trigger();
    QVERIFY(window.Ayarlar().isVisible());
    action("kapatmenu")->trigger();
    QCOMPARE(exit.count(), 1);
}

void tst_tray::noticeAfterRun_data()
{
    QTest::addColumn<bool>("previousFailed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("title");

    QTest::newRow("ordinary success says nothing") << false << true << QString();
    QTest::newRow("failure") << false << false << u"YEDEKLEME BAŞARISIZ"_s;
    QTest::newRow("failure again is not told again") << true << false << QString();
    QTest::newRow("first success after failure") << true << true << u"YEDEKLEME BAŞARILI"_s;
}

void tst_tray::noticeAfterRun()
{
    QFETCH(bool, previousFailed);
    QFETCH(bool, ok);
    QFETCH(QString, title);
    const BackupResult result{ok, ok ? u"/y/f.bak"_s : QString(), ok ? QString() : u"Login failed."_s, {}};
    const std::optional<RunNotice> notice = NoticeAfterRun(previousFailed, result);
    QCOMPARE(notice.has_value(), !title.isEmpty());
    if (notice) {
        QCOMPARE(notice->title, title);
        QCOMPARE(notice->failure, !ok);
        QCOMPARE(notice->text, ok ? u"/y/f.bak"_s : u"Login failed."_s);
    }
}

void tst_tray::withoutTrayHideMinimises()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QTemporaryDir program;
    ManualClock clock;
    BackupController controller(program.path(), clock, clock, [] { return BackupResult{}; });
    KVZ window(controller);
    QCOMPARE(window.windowType(), Qt::Window);
    window.show();
    window.hideWindow();
    QVERIFY(window.isMinimized());
    QVERIFY(!window.close());
    window.showWindow();
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
}

void tst_tray::secondCopyAsksFirstToShow()
{
    if (const QString why = WithoutBufferedLocalSockets(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QTemporaryDir program;
    const QString key = SingleInstance::keyFor(program.path());
    SingleInstance first(key);
    QVERIFY(first.claim());
    QSignalSpy show(&first, &SingleInstance::showRequested);
    {
        SingleInstance second(key);
        QVERIFY(!second.claim());
    }
    QVERIFY(show.wait());
    QTemporaryDir otherProgram;
    SingleInstance elsewhere(SingleInstance::keyFor(otherProgram.path()));
    QVERIFY(elsewhere.claim());
}

void tst_tray::locksIgnoreTheEnvironment_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("another user") << "USER"_ba
                                  << "kasa"_ba
                                  << "root"_ba;
    QTest::newRow("no user") << "USER"_ba
                             << "kasa"_ba
                             << ""_ba;
    // Two folders of that name are made for the temporary folder.
    QTest::newRow("another temporary folder") << "TMPDIR"_ba
                                              << "a"_ba
                                              << "b"_ba;
}

// A copy started with another environment still finds the locks the first copy holds.
void tst_tray::locksIgnoreTheEnvironment()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QTemporaryDir program;
    QTemporaryDir temps;
    const QByteArray saved = qgetenv(variable.constData());
    const auto restore = qScopeGuard([&] { qputenv(variable.constData(), saved); });
    const auto set = [&](const QByteArray &value) {
        const bool folder = variable == "TMPDIR" && QDir(temps.path()).mkdir(QString::fromUtf8(value));
        qputenv(variable.constData(),
                folder ? QFile::encodeName(temps.filePath(QString::fromUtf8(value))) : value);
    };
    const ConnectionValues database{u"127.0.0.1"_s, u"1433"_s, u"STOK"_s, u"sa"_s, {}};

    set(first);
    SingleInstance firstCopy(SingleInstance::keyFor(program.path()));
    DatabaseClaim firstDatabase(database);
    QVERIFY(firstCopy.claim() && firstDatabase.claim());
    set(second);
    SingleInstance secondCopy(SingleInstance::keyFor(program.path() + u"/."_s));
    QVERIFY(!secondCopy.claim());
    QVERIFY(!DatabaseClaim(database).claim());
    QVERIFY(DatabaseClaim({u"127.0.0.1"_s, u"1433"_s, u"STOK2"_s, u"sa"_s, {}}).claim());
}

QTEST_MAIN(tst_tray)
#include "tst_tray.moc"
