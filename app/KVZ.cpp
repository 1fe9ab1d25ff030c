#include "app/KVZ.h"

#include "app/RunRecorder.h"
#include "app/TrayIcon.h"
#include "backup/RunCancel.h"
#include "schedule/RunRecordOf.h"
#include "schedule/TimeText.h"
#include "settings/BackupSettings.h"
#include "settings/SettingsFiles.h"
#include "ui/browse/frmBF.h"
#include "ui/history/LoadHistoryWindow.h"
#include "ui/history/frmGecmis.h"
#include "ui/settings/ayarlar.h"
#include "ui/styled/Placement.h"
#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkFrame.h"
#include "ui/styled/vkLabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcRun, "kvz.run")

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kLightBlue(128, 128, 255);
// The notice line under the buttons adds this much to the window and its frame.
constexpr int kNoticeLineTwips = 300;

vkLabel *Title(QWidget *parent, const QString &name, const QString &caption, QRect geometry)
{
    auto *label = Place(new vkLabel(parent), name, geometry);
    label->setCaption(caption);
    label->setFont(WindowFont(u"Times New Roman"_s, 9.75, true));
    label->setBackStyle(vkLabel::Transparent);
    label->setAlignment(vkLabel::Center);
    return label;
}

vkLabel *TimeLabel(QWidget *parent, const QString &name, QRect geometry)
{
    auto *label = Place(new vkLabel(parent), name, geometry);
    label->setCaption(u"00:00:00"_s);
    label->setFont(WindowFont(u"MS Sans Serif"_s, 18, true));
    label->setBackStyle(vkLabel::Transparent);
    return label;
}

} // namespace

KVZ::KVZ(const QString &programFolder, const Clock &clock, const ElapsedClock &elapsed,
         BackupJob::Runner runner, std::shared_ptr<RunCancel> cancel, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      programFolder_(programFolder), clock_(clock), job_(std::move(runner)), scheduler_(clock, elapsed),
      elapsed_(elapsed), cancel_(cancel ? std::move(cancel) : std::make_shared<RunCancel>())
{
    Q_INIT_RESOURCE(kvz);
    setObjectName(u"KVZ"_s);
    setWindowIcon(QIcon(u":/icons/kvz.png"_s));
    setWindowTitle(u"ZANTO POS SQL YEDEKLEME MODÜLÜ"_s);
    setFixedSize(TwipsToPixels(5625), TwipsToPixels(2880 + kNoticeLineTwips));
    question_ = [](const QString &text) {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text);
        QPushButton *yes = box.addButton(u"Evet"_s, QMessageBox::YesRole);
        box.setDefaultButton(box.addButton(u"Hayır"_s, QMessageBox::NoRole));
        box.exec();
        return box.clickedButton() == yes;
    };
    createControls();
    connect(&job_, &BackupJob::finished, this, &KVZ::onRunFinished);

    tray_ = new TrayIcon(windowIcon(), this);
    connect(tray_, &TrayIcon::showRequested, this, &KVZ::showWindow);
    connect(tray_, &TrayIcon::hideRequested, this, &KVZ::hideWindow);
    connect(tray_, &TrayIcon::settingsRequested, this, &KVZ::showSettings);
    connect(tray_, &TrayIcon::backupRequested, this, [this] { runNow(RunCause::Tray); });
    connect(tray_, &TrayIcon::stopRequested, this, &KVZ::stopRun);
    connect(tray_, &TrayIcon::quitRequested, this, &KVZ::closeProgram);
    connect(tray_, &TrayIcon::availabilityChanged, this,
            [this](bool available) { useTaskbarEntry(!available); });
    connect(tray_, &TrayIcon::historyRequested, this, &KVZ::showHistory);
    useTaskbarEntry(!tray_->isAvailable());
    loadSchedule();

    recorder_ = new RunRecorder(programFolder_, this);
    connect(recorder_, &RunRecorder::problem, this, [this](const Failure &failure) {
        tell({u"YEDEKLEME GEÇMİŞİ YAZILAMADI"_s, failure.reason, true});
    });
    // Until the start-up run returns, the last-backup time is the last one the history remembers.
    connect(recorder_, &RunRecorder::lastLoaded, this, [this](const RunRecord &last) {
        if (scheduler_.lastBackup().isValid())
            return;
        sonyedekleme->setCaption(TimeText(last.ended.toLocalTime()));
        sonyedekleme->setToolTip(
            u"Son kayıtlı yedekleme: %1"_s.arg(last.ended.toLocalTime().toString(u"dd.MM.yyyy HH:mm:ss"_s)));
    });
    connect(recorder_, &RunRecorder::longestSuccessLoaded, this,
            [this](qint64 ms) { stall_.setLongestSuccess(std::chrono::milliseconds(ms)); });
    // Queued before the first run begins: only the runs of an earlier start are left unfinished.
    recorder_->closeInterrupted();
    recorder_->loadLast();
    recorder_->loadLongestSuccess();
    sonyedekleme->installEventFilter(this);
    sonyedekleme->setCursor(Qt::PointingHandCursor);
}

KVZ::~KVZ()
{
    delete history_;
    delete browser_;
    delete ayarlar_;
}

void KVZ::createControls()
{
    vkFrame1 = Place(new vkFrame(this), u"vkFrame1"_s, TwipsRect(0, 0, 5655, 2895 + kNoticeLineTwips));
    vkFrame1->setCaption(u"YEDEKLEME BİLGİLERİ"_s);
    vkFrame1->setFont(WindowFont(u"MS Sans Serif"_s, 13.5, true));
    vkFrame1->setTitleColor1(kLightBlue);
    vkFrame1->setBorderColor(kRed);

    Label3 = Title(vkFrame1, u"Label3"_s, u"SON YEDEKLEME"_s, TwipsRect(240, 480, 1695, 255));
    sonyedekleme = TimeLabel(vkFrame1, u"sonyedekleme"_s, TwipsRect(3120, 360, 1695, 375));
    Label1 = Title(vkFrame1, u"Label1"_s, u"ŞİMDİKİ ZAMAN"_s, TwipsRect(120, 840, 1815, 255));
    simdi = TimeLabel(vkFrame1, u"simdi"_s, TwipsRect(3120, 720, 1575, 495));
    // The clock's label changes every second: painted opaque, on the window's own colour, so that the frame
    // and the labels beneath it are not painted again with it.
    simdi->setBackColor(palette().color(QPalette::Window));
    simdi->setBackStyle(vkLabel::Opaque);
    Label2 = Title(vkFrame1, u"Label2"_s, u"SIRADAKİ YEDEKLEME"_s, TwipsRect(120, 1200, 2535, 255));
    yedeklemesaati = TimeLabel(vkFrame1, u"yedeklemesaati"_s, TwipsRect(3120, 1080, 1935, 495));

    const QFont buttonFont = WindowFont(u"MS Sans Serif"_s, 12, true);
    yedekle = PlaceCommand(vkFrame1, u"yedekle"_s, u"YEDEKLE"_s, kGreen, buttonFont,
                           TwipsRect(120, 1560, 5415, 615));
    // "KAPAT" lies under "GİZLE" and stays hidden: the tray menu is the way to end the program.
    cmdCancel =
        PlaceCommand(vkFrame1, u"cmdCancel"_s, u"KAPAT"_s, kRed, buttonFont, TwipsRect(120, 2280, 1815, 495));
    cmdCancel->hide();
    vkCommand1 = PlaceCommand(vkFrame1, u"vkCommand1"_s, u"GİZLE"_s, kLightBlue, buttonFont,
                              TwipsRect(120, 2280, 3615, 495));
    cmdOk = PlaceCommand(vkFrame1, u"cmdOk"_s, u"AYARLAR"_s, kYellow, buttonFont,
                         TwipsRect(3840, 2280, 1695, 495));
    bildirim = Place(new vkLabel(vkFrame1), u"bildirim"_s, TwipsRect(120, 2820, 5415, 255));
    bildirim->setFont(WindowFont(u"MS Sans Serif"_s, 8.25, false));
    bildirim->setBackStyle(vkLabel::Transparent);

    connect(yedekle, &vkCommand::clicked, this, [this] { runNow(RunCause::Button); });
    connect(vkCommand1, &vkCommand::clicked, this, &KVZ::hideWindow);
    connect(cmdCancel, &vkCommand::clicked, this, &KVZ::closeProgram);
    connect(cmdOk, &vkCommand::clicked, this, &KVZ::showSettings);

    zaman = new QTimer(this);
    zaman->setObjectName(u"zaman"_s);
    zaman->setSingleShot(true);
    zaman->setTimerType(Qt::PreciseTimer);
    connect(zaman, &QTimer::timeout, this, [this] {
        tick();
        armClock();
    });
}

// Woken just past each whole second of the wall clock while the window shows it, so a trigger fires within
// milliseconds of its second and a step of the wall clock is seen at the next wake; hidden, only when the
// schedule needs it.
void KVZ::armClock()
{
    zaman->start(scheduler_.nextWake(isVisible()));
}

void KVZ::startUp()
{
    runNow(RunCause::Start);
    armClock();
    showWindow();
}

// The stored hour and interval; the settings window pushes its edits on top of them.
void KVZ::loadSchedule()
{
    const QString file = SettingsFiles::BackupFile(programFolder_);
    const Result<BackupSettings> settings = LoadBackupSettings(file);
    if (!settings)
        qCWarning(lcRun).noquote() << settings.failure().reason << settings.failure().detail;
    scheduler_.setDailyHour(settings ? settings->dailyHour : QString());
    scheduler_.setInterval(settings ? settings->interval : QString());
    scheduler_.setOptions(settings ? settings->verify : QString(), settings ? settings->keepDays : QString());
    ComputeSchedule();
}

void KVZ::showWindow()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    // The second is on screen again: shown at once, then at each second.
    simdi->setCaption(TimeText(clock_.now()));
    if (zaman->isActive())
        armClock();
}

void KVZ::hideWindow()
{
    if (tray_->isAvailable())
        hide();
    else
        showMinimized();
}

// Without a tray the window keeps a task-bar button, the only way back to it; with one it has none.
void KVZ::useTaskbarEntry(bool needed)
{
    const bool shown = isVisible();
    setWindowFlag(Qt::Tool, !needed);
    if (shown)
        show();
}

ayarlar &KVZ::Ayarlar()
{
    if (!ayarlar_) {
        ayarlar_ = new ayarlar(programFolder_);
        connect(ayarlar_, &ayarlar::saved, this, [this] {
            // Hidden, not closed: the next opening finds the drive and folder as the user left them.
            if (browser_)
                browser_->hide();
            // The options just stored replace any the file held that could not be used.
            loadSchedule();
            showWindow();
        });
        connect(ayarlar_, &ayarlar::folderBrowserRequested, this, &KVZ::openFolderBrowser);
        connect(ayarlar_, &ayarlar::dailyHourEdited, this, [this](const QString &hour) {
            scheduler_.setDailyHour(hour);
            ComputeSchedule();
        });
        connect(ayarlar_, &ayarlar::intervalEdited, this, [this](const QString &interval) {
            scheduler_.setInterval(interval);
            ComputeSchedule();
        });
        // Closed from its title bar the window forgets its unsaved edits: so does the schedule.
        connect(ayarlar_, &QObject::destroyed, this, &KVZ::loadSchedule);
    }
    return *ayarlar_;
}

frmBF *KVZ::folderBrowser() const
{
    return browser_;
}

void KVZ::openFolderBrowser()
{
    if (!browser_) {
        browser_ = new frmBF(programFolder_);
        connect(browser_, &frmBF::folderChosen, this, [this](const QString &folder) {
            Ayarlar().setFolder(folder);
            showSettings();
        });
    }
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
    browser_->setFileListVisible(false);
}

void KVZ::showSettings()
{
    ayarlar &window = Ayarlar();
    window.show();
    window.raise();
    window.activateWindow();
}

void KVZ::runNow(RunCause cause)
{
    if (!closing_ && scheduler_.startRun())
        startJob(cause);
}

void KVZ::startJob(RunCause cause)
{
    qCInfo(lcRun).noquote() << u"backup started:"_s << RunCauseName(cause);
    runCause_ = cause;
    runStarted_ = clock_.now();
    runStartedElapsed_ = elapsed_.elapsed();
    recorder_->begin(runRecord({}, runStarted_, -1));
    stall_.start(runStartedElapsed_);
    cancel_->reset();
    stopAsked_ = false;
    job_.start();
    showRunState(std::nullopt);
    // Before the first run has returned there is nothing to count the next copy from.
    if (!scheduler_.lastBackup().isValid() && !scheduler_.nextCopyText())
        yedeklemesaati->setCaption(u"--:--:--"_s);
}

void KVZ::showProgress(int percent)
{
    if (!job_.isRunning())
        return;
    stall_.progress(elapsed_.elapsed());
    showRunState(percent);
}

void KVZ::stopRun()
{
    if (!job_.isRunning())
        return;
    qCWarning(lcRun) << "backup stopped by the user";
    stopAsked_ = true;
    if (!cancel_->cancel())
        qCWarning(lcRun) << "the driver refused to cancel the backup: it ends when the server answers";
}

// The server may have stopped answering: said once per stall, with the way to stop the run.
void KVZ::watchStall()
{
    const std::optional<int> minutes = stall_.warning(elapsed_.elapsed());
    if (!minutes)
        return;
    const QString text = u"YEDEKLEME %1 DAKİKADIR İLERLEMİYOR"_s.arg(*minutes);
    showRunState(text);
    tell({text,
          u"Sunucu yanıt vermiyor olabilir. Beklemek istemezseniz simgenin menüsünden "
          u"\"Yedeklemeyi durdur\"u seçin."_s,
          true});
}

// The history's row for the run in flight, as begun (no end known), ended or cut off.
RunRecord KVZ::runRecord(const BackupResult &result, const QDateTime &ended, qint64 endedElapsedMs) const
{
    RunRecord record = RunRecordOf(result, runCause_, runStarted_, ended);
    record.startedElapsedMs = runStartedElapsed_.count();
    record.endedElapsedMs = endedElapsedMs;
    record.bootId = elapsed_.bootId();
    return record;
}

// The button says the run is under way, and how far; it starts no second run meanwhile.
void KVZ::showRunState(std::optional<int> percent)
{
    showRunState(percent ? u"YEDEKLENİYOR… %%1"_s.arg(*percent) : u"YEDEKLENİYOR…"_s);
}

void KVZ::showRunState(const QString &state)
{
    yedekle->setCaption(state);
    tray_->showRunState(state);
}

void KVZ::ComputeSchedule()
{
    if (const std::optional<QString> next = scheduler_.nextCopyText())
        yedeklemesaati->setCaption(*next);
    showProblems();
    // A run's end or an edit moves the next run: a hidden window's clock waits for the new one.
    if (zaman->isActive())
        armClock();
}

// A stored value the schedule cannot use shows on the next-copy label, and the tray says it once.
void KVZ::showProblems()
{
    const QList<ScheduleProblem> problems = scheduler_.problems();
    QStringList texts;
    for (const ScheduleProblem &problem : problems)
        texts << problem.text;
    QPalette palette = yedeklemesaati->palette();
    palette.setColor(QPalette::WindowText, problems.isEmpty() ? QColor(Qt::black) : kRed);
    yedeklemesaati->setPalette(palette);
    yedeklemesaati->setToolTip(texts.join(u'\n'));
    for (const ScheduleProblem &problem : problems) {
        if (!problemsTold_.contains(problem))
            tell({u"YEDEKLEME AYARI HATALI"_s, problem.text, true});
    }
    problemsTold_ = problems;
}

// Every notice reaches the window's own line and the log, not only the tray: a desktop without a tray, or
// one whose tray has not started yet, shows no balloon.
void KVZ::tell(const RunNotice &notice)
{
    if (notice.failure)
        qCWarning(lcRun).noquote() << notice.title + u": "_s + notice.text;
    else
        qCInfo(lcRun).noquote() << notice.title + u": "_s + notice.text;
    notice_ = notice;
    noticeAt_ = clock_.now();
    showNotice();
    tray_->notify(notice);
}

// The date joins the time once the notice is from an earlier day.
void KVZ::showNotice()
{
    noticeShownOn_ = clock_.now().date();
    const QString format = noticeAt_.date() == noticeShownOn_ ? u"HH:mm:ss"_s : u"dd.MM.yyyy HH:mm:ss"_s;
    bildirim->setCaption(
        u"%1  %2: %3"_s.arg(noticeAt_.toString(format), notice_.title, notice_.text.simplified()));
    bildirim->setToolTip(notice_.title + u'\n' + notice_.text);
    QPalette palette = bildirim->palette();
    palette.setColor(QPalette::WindowText, notice_.failure ? kRed : QColor(Qt::black));
    bildirim->setPalette(palette);
}

void KVZ::closeProgram()
{
    closing_ = true;
    hide();
    if (!job_.isRunning() || question_(u"Bir yedekleme sürüyor; program o bitince kapanacak.\n"
                                       u"Beklemeden şimdi kapatılsın mı? Yedekleme yarım kalır."_s))
        requestExit();
}

void KVZ::endOnSignal(const QString &signalName)
{
    closing_ = true;
    hide();
    if (!job_.isRunning()) {
        qCInfo(lcRun).noquote() << signalName << u"received: ending, no backup in flight"_s;
        requestExit();
        return;
    }
    qCWarning(lcRun).noquote()
        << signalName
        << u"received: ending when the backup in flight finishes, at most %1 s from now"_s.arg(
               kSignalGraceMs / 1000);
    QTimer::singleShot(kSignalGraceMs, this, [this, signalName] {
        if (!job_.isRunning())
            return;
        qCWarning(lcRun).noquote()
            << u"backup cut off: still running %1 s after %2"_s.arg(kSignalGraceMs / 1000).arg(signalName);
        requestExit();
    });
}

void KVZ::requestExit()
{
    if (exitRequested_)
        return;
    exitRequested_ = true;
    if (job_.isRunning()) {
        BackupResult cutOff;
        cutOff.reason = RunHistory::kInterruptedReason;
        recorder_->finish(runRecord(cutOff, clock_.now(), elapsed_.elapsed().count()));
    }
    emit exitRequested();
}

void KVZ::waitForHistory()
{
    recorder_->waitForDone();
}

void KVZ::tick()
{
    simdi->setCaption(TimeText(clock_.now()));
    if (noticeAt_.isValid() && clock_.now().date() != noticeShownOn_)
        showNotice();
    watchStall();
    if (closing_)
        return;
    if (const std::optional<RunCause> cause = scheduler_.tick())
        startJob(*cause);
}

void KVZ::onRunFinished(const BackupResult &returned)
{
    BackupResult result = returned;
    if (std::exchange(stopAsked_, false) && !result.ok)
        result.reason = u"YEDEKLEME DURDURULDU: kullanıcı durdurdu."_s;
    const std::chrono::milliseconds endedElapsed = elapsed_.elapsed();
    stall_.stop();
    if (result.ok)
        stall_.succeededIn(endedElapsed - runStartedElapsed_);
    // The schedule counts from the end of the run, whatever its outcome; the outcome is shown beside it.
    if (result.ok)
        qCInfo(lcRun) << "backup written:" << result.filePath;
    else
        qCWarning(lcRun) << "backup failed:" << result.reason;
    scheduler_.runFinished(result.ok);
    recorder_->finish(runRecord(result, scheduler_.lastBackup(), endedElapsed.count()));
    spaceText_ = result.spaceText;
    if (history_)
        history_->setSpaceText(spaceText_);
    // A disk running out of room stops the shop's point of sale too when it holds the live database.
    if (result.spaceLow && spaceWarnedOn_ != scheduler_.lastBackup().date()) {
        spaceWarnedOn_ = scheduler_.lastBackup().date();
        tell({u"YEDEK KLASÖRÜNDE YER AZALDI"_s, result.spaceText, true});
    }
    for (const RunNotice &notice : noticeGate_.afterRun(result, scheduler_.lastBackup().date()))
        tell(notice);
    yedekle->setCaption(u"YEDEKLE"_s);
    tray_->showIdle();
    sonyedekleme->setCaption(TimeText(scheduler_.lastBackup()));
    showOutcome(result);
    if (const std::optional<RunNotice> notice = NoticeAfterRun(lastRunFailed_, result))
        tell(*notice);
    lastRunFailed_ = !result.ok;
    ComputeSchedule();
    emit runFinished(result);
    if (closing_) {
        qCInfo(lcRun) << "the backup in flight has finished: ending";
        requestExit();
    }
}

void KVZ::showOutcome(const BackupResult &result)
{
    QPalette palette = sonyedekleme->palette();
    palette.setColor(QPalette::WindowText, result.ok ? QColor(Qt::black) : kRed);
    sonyedekleme->setPalette(palette);
    sonyedekleme->setToolTip(result.ok ? u"Yedek dosyası: %1"_s.arg(result.filePath)
                                       : u"YEDEKLEME BAŞARISIZ: %1"_s.arg(result.reason));
}

void KVZ::showHistory()
{
    if (!history_)
        history_ = new frmGecmis;
    history_->setSpaceText(spaceText_);
    LoadHistoryWindow(*history_, recorder_->history(), clock_.now());
    history_->show();
    history_->raise();
    history_->activateWindow();
}

bool KVZ::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the last-backup time opens the history behind it.
    if (watched == sonyedekleme && event->type() == QEvent::MouseButtonRelease)
        showHistory();
    return QWidget::eventFilter(watched, event);
}

void KVZ::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        ComputeSchedule();
    QWidget::changeEvent(event);
}

void KVZ::closeEvent(QCloseEvent *event)
{
    // The title bar's close only hides: the clock and its backups go on behind the tray icon.
    event->ignore();
    hideWindow();
}
