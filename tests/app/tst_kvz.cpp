#include "app/BackupController.h"
#include "app/KVZ.h"
#include "backup/RunCancel.h"
#include "history/RunHistory.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"
#include "support/FakeBackup.h"
#include "support/ManualClock.h"
#include "support/ProgramFolder.h"
#include "ui/browse/frmBF.h"
#include "ui/settings/ayarlar.h"
#include "ui/styled/Twips.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkFrame.h"
#include "ui/styled/vkLabel.h"
#include "ui/styled/vkTextBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class tst_kvz : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void windowFrame();

    void startUpMakesExactlyOneRun();
    void clockTicksAndLabelWaitsWhileRunIsInFlight();
    void outcomeShownOnLastBackupLabel_data();
    void outcomeShownOnLastBackupLabel();
    void noticeOnItsLineAndInTheLog_data();
    void noticeOnItsLineAndInTheLog();
    void hideAndCloseKeepWindowReachable();
    void hiddenClockWakesOnlyForTheSchedule();
    void closeProgramWaitsForRunInFlight();
    void stalledRunIsToldAndCanBeStopped();
    void nextCopyTimeFollowsEachRun_data();
    void nextCopyTimeFollowsEachRun();
    void clockStartsRunAtNextCopyTime();
    void unusableStoredHourShownWhileIntervalGoesOn();
    void unusableStoredOptionsShownUntilSaved();
    void settingsButtonShowsLoadedSettingsWindow();
    void savedSettingsBringMainWindowBack();
    void closedSettingsWindowLoadsAgainFromFiles();
    void folderBrowserHandsItsChoiceToSettings();
    void savingHidesFolderBrowserWithoutClosingIt();

private:
    vkLabel *label(const char *name) const { return window_->findChild<vkLabel *>(QLatin1String(name)); }
    void releaseRun() { fake_->release.release(); }

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<ManualClock> clock_;
    std::unique_ptr<FakeBackup> fake_;
    // Builds the controller and its window afresh, on the program folder as it is now.
    void start(std::shared_ptr<RunCancel> cancel);

    std::unique_ptr<BackupController> controller_;
    std::unique_ptr<KVZ> window_;
    int questions_ = 0;
    bool endAtOnce_ = false;
};

void tst_kvz::init()
{
    clock_ = std::make_unique<ManualClock>();
    fake_ = std::make_unique<FakeBackup>();
    program_ = std::make_unique<ProgramFolder>();
    start(fake_->cancel);
    questions_ = 0;
    controller_->setQuestion([this](const QString &) {
        ++questions_;
        return endAtOnce_;
    });
    endAtOnce_ = false;
}

void tst_kvz::cleanup()
{
    fake_->hold = false;
    fake_->release.release(100);
    window_.reset();
    controller_.reset();
}

void tst_kvz::start(std::shared_ptr<RunCancel> cancel)
{
    window_.reset();
    controller_ = std::make_unique<BackupController>(program_->path(), *clock_, *clock_, fake_->runner(),
                                                     std::move(cancel));
    window_ = std::make_unique<KVZ>(*controller_);
}

void tst_kvz::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("shown");

    QTest::newRow("frame") << "vkFrame1"
                           << "YEDEKLEME BİLGİLERİ" << QRect(0, 0, 5655, 3195) << true;
    QTest::newRow("last title") << "Label3"
                                << "SON YEDEKLEME" << QRect(240, 480, 1695, 255) << true;
    QTest::newRow("last") << "sonyedekleme"
                          << "00:00:00" << QRect(3120, 360, 1695, 375) << true;
    QTest::newRow("now title") << "Label1"
                               << "ŞİMDİKİ ZAMAN" << QRect(120, 840, 1815, 255) << true;
    QTest::newRow("now") << "simdi"
                         << "00:00:00" << QRect(3120, 720, 1575, 495) << true;
    QTest::newRow("next title") << "Label2"
                                << "SIRADAKİ YEDEKLEME" << QRect(120, 1200, 2535, 255) << true;
    QTest::newRow("next") << "yedeklemesaati"
                          << "00:00:00" << QRect(3120, 1080, 1935, 495) << true;
    QTest::newRow("back up") << "yedekle"
                             << "YEDEKLE" << QRect(120, 1560, 5415, 615) << true;
    QTest::newRow("hide") << "vkCommand1"
                          << "GİZLE" << QRect(120, 2280, 3615, 495) << true;
    QTest::newRow("settings") << "cmdOk"
                              << "AYARLAR" << QRect(3840, 2280, 1695, 495) << true;
    QTest::newRow("close, hidden") << "cmdCancel"
                                   << "KAPAT" << QRect(120, 2280, 1815, 495) << false;
}

void tst_kvz::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(bool, shown);
    window_->show();
    QWidget *control = window_->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->property("caption").toString(), caption);
    QCOMPARE(control->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(control->isVisible(), shown);
    if (name != u"vkFrame1"_s)
        QCOMPARE(control->parentWidget()->objectName(), u"vkFrame1"_s);
}

void tst_kvz::windowFrame()
{
    QCOMPARE(window_->windowTitle(), u"ZANTO POS SQL YEDEKLEME MODÜLÜ"_s);
    QCOMPARE(window_->size(), QSize(375, 212));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!(window_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(window_->windowIcon().availableSizes().value(0), QSize(36, 36));
    auto *zaman = window_->findChild<QTimer *>(u"zaman"_s);
    QVERIFY(zaman);
    QVERIFY(zaman->isSingleShot());
}

void tst_kvz::startUpMakesExactlyOneRun()
{
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    clock_->setTime(QTime(6, 47, 2));
    window_->startUp();
    QVERIFY(window_->isVisible());
    QVERIFY(finished.wait());
    QCOMPARE(fake_->runs.load(), 1);
    QCOMPARE(label("sonyedekleme")->caption(), u"06:47:02"_s);
    QTest::qWait(300);
    QCOMPARE(fake_->runs.load(), 1);
}

void tst_kvz::clockTicksAndLabelWaitsWhileRunIsInFlight()
{
    fake_->hold = true;
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    window_->startUp();
    QVERIFY(fake_->entered.tryAcquire(1, 5000));

    clock_->setTime(QTime(10, 0, 5));
    QTRY_COMPARE(label("simdi")->caption(), u"10:00:05"_s);
    clock_->setTime(QTime(10, 0, 6));
    QTRY_COMPARE(label("simdi")->caption(), u"10:00:06"_s);
    QCOMPARE(label("sonyedekleme")->caption(), u"00:00:00"_s);

    QTest::mouseClick(window_->findChild<vkCommand *>(u"yedekle"_s), Qt::LeftButton);
    controller_->runNow();
    clock_->setTime(QTime(10, 2, 9));
    releaseRun();
    QVERIFY(finished.wait());
    QCOMPARE(label("sonyedekleme")->caption(), u"10:02:09"_s);
    QTest::qWait(200);
    QCOMPARE(fake_->runs.load(), 1);
    QCOMPARE(finished.count(), 1);

    fake_->hold = false;
    QTest::mouseClick(window_->findChild<vkCommand *>(u"yedekle"_s), Qt::LeftButton);
    QVERIFY(finished.wait());
    QCOMPARE(fake_->runs.load(), 2);
}

void tst_kvz::outcomeShownOnLastBackupLabel_data()
{
    QTest::addColumn<BackupResult>("result");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("success") << BackupResult{true, u"/y/a.bak"_s, {}, {}} << u"Yedek dosyası: /y/a.bak"_s
                             << QColor(Qt::black);
    QTest::newRow("failure") << BackupResult{false, {}, u"Login failed for user 'sa'."_s, {}}
                             << u"YEDEKLEME BAŞARISIZ: Login failed for user 'sa'."_s << QColor(255, 0, 0);
}

void tst_kvz::outcomeShownOnLastBackupLabel()
{
    QFETCH(BackupResult, result);
    QFETCH(QString, tip);
    QFETCH(QColor, colour);
    fake_->result = result;
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    window_->startUp();
    QVERIFY(finished.wait());
    QCOMPARE(label("sonyedekleme")->toolTip(), tip);
    QCOMPARE(label("sonyedekleme")->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label("sonyedekleme")->caption(), u"10:00:00"_s);
}

void tst_kvz::noticeOnItsLineAndInTheLog_data()
{
    QTest::addColumn<BackupResult>("result");
    QTest::addColumn<QString>("told");

    QTest::newRow("failed run") << BackupResult{false, {}, u"Login failed for user 'sa'."_s, {}}
                                << u"YEDEKLEME BAŞARISIZ: Login failed for user 'sa'."_s;
    BackupResult clock{true, u"/y/a.bak"_s, {}, {}};
    clock.clockWarning = u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: son yedekleme 12:00:00"_s;
    QTest::newRow("clock looks wrong")
        << clock << u"BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: "_s + clock.clockWarning;
    BackupResult kept{true, u"/y/a.bak"_s, {}, {}};
    kept.retentionProblem = u"/y/eski.bak silinemedi: klasörün izinlerini denetleyin."_s;
    QTest::newRow("old backups stay") << kept << u"ESKİ YEDEKLER SİLİNEMEDİ: "_s + kept.retentionProblem;
}

// Offscreen has no tray, as a desktop without one: the notice must still be seen, and be in the log.
void tst_kvz::noticeOnItsLineAndInTheLog()
{
    QFETCH(BackupResult, result);
    QFETCH(QString, told);
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    fake_->result = result;
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    QTest::ignoreMessage(QtWarningMsg, told.toUtf8().constData());
    clock_->setTime(QTime(10, 4, 9));
    window_->startUp();
    QVERIFY(finished.wait());
    QCOMPARE(label("bildirim")->caption(), u"10:04:09  "_s + told);
    QCOMPARE(label("bildirim")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    clock_->advance(24 * 3600 * 1000);
    window_->tick();
    QCOMPARE(label("bildirim")->caption(), u"07.12.2026 10:04:09  "_s + told);
}

// The offscreen platform has no tray: hiding must leave a way back, so the window is only minimised.
void tst_kvz::hideAndCloseKeepWindowReachable()
{
    QSignalSpy exit(controller_.get(), &BackupController::exitRequested);
    window_->show();
    QTest::mouseClick(window_->findChild<vkCommand *>(u"vkCommand1"_s), Qt::LeftButton);
    QVERIFY(window_->isMinimized());
    window_->showWindow();
    QVERIFY(!window_->isMinimized());
    QVERIFY(!window_->close());
    QVERIFY(window_->isMinimized());
    QCOMPARE(exit.count(), 0);
}

void tst_kvz::hiddenClockWakesOnlyForTheSchedule()
{
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    window_->startUp();
    QVERIFY(finished.wait());
    const auto *zaman = window_->findChild<QTimer *>(u"zaman"_s);
    QVERIFY(zaman->remainingTime() <= 1002);
    // Nothing is chosen, so the next copy is at midnight, fourteen hours away.
    window_->hide();
    QTRY_VERIFY_WITH_TIMEOUT(zaman->remainingTime() > 50'000, 3000);
    window_->showWindow();
    QVERIFY(zaman->remainingTime() <= 1002);
    QCOMPARE(fake_->runs.load(), 1);
}

void tst_kvz::closeProgramWaitsForRunInFlight()
{
    fake_->hold = true;
    QSignalSpy exit(controller_.get(), &BackupController::exitRequested);
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    window_->startUp();
    QVERIFY(fake_->entered.tryAcquire(1, 5000));

    controller_->closeProgram();
    QVERIFY(!window_->isVisible());
    QTest::qWait(200);
    QCOMPARE(exit.count(), 0);
    QCOMPARE(questions_, 1);
    controller_->runNow();

    releaseRun();
    QVERIFY(finished.wait());
    QTRY_COMPARE(exit.count(), 1);
    QCOMPARE(fake_->runs.load(), 1);
}

void tst_kvz::stalledRunIsToldAndCanBeStopped()
{
    constexpr qint64 kMinute = 60'000;
    RunRecord longest{
        .cause = u"start"_s, .started = clock_->now().addDays(-1), .ended = clock_->now(), .ok = true};
    longest.startedElapsedMs = 0;
    longest.endedElapsedMs = 40 * kMinute;
    const RunHistory history(program_->path());
    QVERIFY(history.append(longest));
    // An earlier start's run, never ended.
    QVERIFY(history.begin(longest));
    start(fake_->cancel);
    fake_->hold = true;
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    window_->startUp();
    QVERIFY(fake_->entered.tryAcquire(1, 5000));
    controller_->waitForHistory();
    QCoreApplication::processEvents();
    QCOMPARE(history.last().value()->finished, false);

    // Twice the longest success, 80 minutes, is longer than half an hour.
    auto *yedekle = window_->findChild<vkCommand *>(u"yedekle"_s);
    clock_->advance(79 * kMinute);
    window_->tick();
    QCOMPARE(yedekle->caption(), u"YEDEKLENİYOR…"_s);
    clock_->advance(kMinute);
    window_->tick();
    QCOMPARE(yedekle->caption(), u"YEDEKLEME 80 DAKİKADIR İLERLEMİYOR"_s);

    auto *stop = window_->findChild<QAction *>(u"durdurmenu"_s);
    QVERIFY(stop->isVisible());
    clock_->advance(kMinute);
    stop->trigger();
    QVERIFY(finished.wait());
    QVERIFY(!stop->isVisible());
    controller_->waitForHistory();
    const Result<QList<RunRecord>> rows = history.recent(3);
    QCOMPARE(rows.value().at(1).reason, RunHistory::kInterruptedReason);
    const RunRecord &stopped = rows.value().first();
    QVERIFY(stopped.finished && !stopped.ok);
    QCOMPARE(stopped.reason, u"YEDEKLEME DURDURULDU: kullanıcı durdurdu."_s);
    QCOMPARE(stopped.endedElapsedMs - stopped.startedElapsedMs, 81 * kMinute);
}

void tst_kvz::nextCopyTimeFollowsEachRun_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("next");

    QTest::newRow("every minute") << 0 << u"03"_s << u"08:16:30"_s;
    QTest::newRow("six hours") << 5 << u"03"_s << u"14:15:30"_s;
    QTest::newRow("daily") << 7 << u"03"_s << u"03:00:00"_s;
    QTest::newRow("nothing selected") << -1 << u"03"_s << u"00:00:00"_s;
}

void tst_kvz::nextCopyTimeFollowsEachRun()
{
    QFETCH(int, interval);
    QFETCH(QString, hour);
    QFETCH(QString, next);
    ayarlar &settings = window_->Ayarlar();
    settings.findChild<QComboBox *>(u"kopyalamazamanmesafesi"_s)->setCurrentIndex(interval);
    settings.setDailyHour(hour);
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    clock_->setTime(QTime(8, 15, 30));
    controller_->runNow();
    QVERIFY(finished.wait());
    QCOMPARE(label("sonyedekleme")->caption(), u"08:15:30"_s);
    QCOMPARE(label("yedeklemesaati")->caption(), next);
}

void tst_kvz::clockStartsRunAtNextCopyTime()
{
    window_->Ayarlar().findChild<QComboBox *>(u"kopyalamazamanmesafesi"_s)->setCurrentIndex(0);
    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    clock_->setTime(QTime(10, 15, 30));
    window_->startUp();
    QVERIFY(finished.wait());
    QCOMPARE(label("yedeklemesaati")->caption(), u"10:16:30"_s);

    clock_->setTime(QTime(10, 16, 29));
    QTest::qWait(300);
    QCOMPARE(fake_->runs.load(), 1);
    clock_->setTime(QTime(10, 16, 30));
    QVERIFY(finished.wait());
    QCOMPARE(fake_->runs.load(), 2);
    QCOMPARE(label("yedeklemesaati")->caption(), u"10:17:30"_s);
}

void tst_kvz::unusableStoredHourShownWhileIntervalGoesOn()
{
    QVERIFY(program_->write(1433, {.dailyHour = u"25"_s, .interval = u" dakikada bir yedekle"_s}));
    start({});
    const vkLabel *next = label("yedeklemesaati");
    QCOMPARE(next->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(next->toolTip().contains(u"kopyalama-zamani değeri \"25\""_s));

    QSignalSpy finished(controller_.get(), &BackupController::runFinished);
    clock_->setTime(QTime(8, 15, 30));
    controller_->runNow();
    QVERIFY(finished.wait());
    QCOMPARE(next->caption(), u"08:16:30"_s);

    window_->Ayarlar().setDailyHour(u"03"_s);
    QCOMPARE(next->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(next->toolTip().isEmpty());
}

// The verification is done and nothing is removed meanwhile (the backup runner's part); the window says
// which value is unusable until the settings window stores a good one.
void tst_kvz::unusableStoredOptionsShownUntilSaved()
{
    const QString file = SettingsFiles::BackupFile(program_->path());
    QVERIFY(program_->write(1433, {.dailyHour = u"03"_s}));
    QVERIFY(WriteSetting(u"ayar"_s, u"dogrulama"_s, u"evt"_s, file));
    QVERIFY(WriteSetting(u"ayar"_s, u"saklama-gunu"_s, u"3 gün"_s, file));
    start({});
    const vkLabel *next = label("yedeklemesaati");
    QCOMPARE(next->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(next->toolTip().contains(u"dogrulama değeri \"evt\""_s));
    QVERIFY(next->toolTip().contains(u"saklama-gunu değeri \"3 gün\""_s));

    ayarlar &settings = window_->Ayarlar();
    settings.setMessageBox([](const QString &) {});
    window_->showSettings();
    QVERIFY(settings.findChild<QCheckBox *>(u"dogrula"_s)->isChecked());
    settings.findChild<vkTextBox *>(u"saklamagunu"_s)->setText(u"3"_s);
    QTest::mouseClick(settings.findChild<vkCommand *>(u"kaydet"_s), Qt::LeftButton);
    QVERIFY(next->toolTip().isEmpty());
    QCOMPARE(next->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void tst_kvz::settingsButtonShowsLoadedSettingsWindow()
{
    QVERIFY(program_->write(1433, {.dailyHour = u"05"_s}));
    window_->show();
    QTest::mouseClick(window_->findChild<vkCommand *>(u"cmdOk"_s), Qt::LeftButton);
    QVERIFY(window_->Ayarlar().isVisible());
    QCOMPARE(window_->Ayarlar().dailyHour(), u"05"_s);
}

void tst_kvz::savedSettingsBringMainWindowBack()
{
    ayarlar &settings = window_->Ayarlar();
    settings.setMessageBox([](const QString &) {});
    window_->hide();
    window_->showSettings();
    settings.findChild<QComboBox *>(u"kopyalamazamanmesafesi"_s)->setCurrentIndex(2);
    QTest::mouseClick(settings.findChild<vkCommand *>(u"kaydet"_s), Qt::LeftButton);
    QVERIFY(!settings.isVisible());
    QVERIFY(window_->isVisible());
}

void tst_kvz::closedSettingsWindowLoadsAgainFromFiles()
{
    QPointer<ayarlar> first = &window_->Ayarlar();
    first->setDailyHour(u"09"_s);
    first->show();
    QVERIFY(first->close());
    QTRY_VERIFY(first.isNull());
    QCOMPARE(window_->Ayarlar().dailyHour(), QString());
}

void tst_kvz::folderBrowserHandsItsChoiceToSettings()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir(u"Yedek"_s));
    const QString before = QDir::currentPath();
    QDir::setCurrent(root.filePath(u"Yedek"_s));
    window_->showSettings();
    QTest::mouseClick(window_->Ayarlar().findChild<vkCommand *>(u"sec2"_s), Qt::LeftButton);
    QDir::setCurrent(before);
    frmBF *browser = window_->folderBrowser();
    QVERIFY(browser && browser->isVisible());
    QVERIFY(!browser->findChild<QWidget *>(u"File1"_s)->isVisible());
    QTest::mouseClick(browser->findChild<vkCommand *>(u"cmdOk"_s), Qt::LeftButton);
    QCOMPARE(window_->Ayarlar().findChild<QLineEdit *>(u"yedekyeri"_s)->text(),
             QDir(root.filePath(u"Yedek"_s)).canonicalPath() + u'/');
    QVERIFY(window_->Ayarlar().isVisible());
    QTRY_VERIFY(!window_->folderBrowser());
}

void tst_kvz::savingHidesFolderBrowserWithoutClosingIt()
{
    window_->Ayarlar().setMessageBox([](const QString &) {});
    window_->showSettings();
    window_->openFolderBrowser();
    QPointer<frmBF> browser = window_->folderBrowser();
    QTest::mouseClick(window_->Ayarlar().findChild<vkCommand *>(u"kaydet"_s), Qt::LeftButton);
    QVERIFY(browser);
    QVERIFY(!browser->isVisible());
    window_->openFolderBrowser();
    QCOMPARE(window_->folderBrowser(), browser.data());
    QVERIFY(browser->isVisible());
}

QTEST_MAIN(tst_kvz)
#include "tst_kvz.moc"
