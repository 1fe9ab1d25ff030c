#include "app/KVZ.h"

#include "app/BackupController.h"
#include "app/RestoreTestController.h"
#include "app/TrayIcon.h"
#include "schedule/TimeText.h"
#include "ui/browse/frmBF.h"
#include "ui/history/LoadHistoryWindow.h"
#include "ui/history/frmGecmis.h"
#include "ui/settings/ayarlar.h"
#include "ui/styled/BringToFront.h"
#include "ui/styled/Colours.h"
#include "ui/styled/Placement.h"
#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkFrame.h"
#include "ui/styled/vkLabel.h"

#include <QCloseEvent>
#include <QIcon>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace Colours;

namespace {

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

KVZ::KVZ(BackupController &controller, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      controller_(controller)
{
    Q_INIT_RESOURCE(kvz);
    setObjectName(u"KVZ"_s);
    setWindowIcon(QIcon(u":/icons/kvz.png"_s));
    setWindowTitle(u"ZANTO POS SQL YEDEKLEME MODÜLÜ"_s);
    setFixedSize(TwipsToPixels(5625), TwipsToPixels(2880 + kNoticeLineTwips));
    createControls();
    createTray();
    connectController();
    controller_.refreshSchedule();
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

    connect(yedekle, &vkCommand::clicked, this, [this] { controller_.runNow(RunCause::Button); });
    connect(vkCommand1, &vkCommand::clicked, this, &KVZ::hideWindow);
    connect(cmdCancel, &vkCommand::clicked, &controller_, &BackupController::closeProgram);
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

// The tray's run commands go to the controller, its window commands stay here.
void KVZ::createTray()
{
    tray_ = new TrayIcon(windowIcon(), this);
    connect(tray_, &TrayIcon::showRequested, this, &KVZ::showWindow);
    connect(tray_, &TrayIcon::hideRequested, this, &KVZ::hideWindow);
    connect(tray_, &TrayIcon::settingsRequested, this, &KVZ::showSettings);
    connect(tray_, &TrayIcon::historyRequested, this, &KVZ::showHistory);
    connect(tray_, &TrayIcon::backupRequested, this, [this] { controller_.runNow(RunCause::Tray); });
    connect(tray_, &TrayIcon::stopRequested, &controller_, &BackupController::stopRun);
    connect(tray_, &TrayIcon::quitRequested, &controller_, &BackupController::closeProgram);
    connect(tray_, &TrayIcon::availabilityChanged, this,
            [this](bool available) { useTaskbarEntry(!available); });
    useTaskbarEntry(!tray_->isAvailable());
}

void KVZ::connectController()
{
    connect(&controller_, &BackupController::runStateChanged, this, &KVZ::showRunState);
    connect(&controller_, &BackupController::runStarted, this, [this] {
        // Before the first run has returned there is nothing to count the next copy from.
        if (!controller_.scheduler().lastBackup().isValid() && !controller_.scheduler().nextCopyText())
            yedeklemesaati->setCaption(u"--:--:--"_s);
    });
    connect(&controller_, &BackupController::runFinished, this, &KVZ::showRunEnd);
    connect(&controller_, &BackupController::lastRecordedLoaded, this, [this](const QDateTime &ended) {
        sonyedekleme->setCaption(TimeText(ended.toLocalTime()));
        sonyedekleme->setToolTip(
            u"Son kayıtlı yedekleme: %1"_s.arg(ended.toLocalTime().toString(u"dd.MM.yyyy HH:mm:ss"_s)));
    });
    connect(&controller_, &BackupController::notice, this, &KVZ::showNoticeAt);
    connect(&controller_, &BackupController::scheduleChanged, this, &KVZ::ComputeSchedule);
    connect(&controller_, &BackupController::closing, this, &QWidget::hide);
}

// Woken just past each whole second of the wall clock while the window shows it, so a trigger fires within
// milliseconds of its second and a step of the wall clock is seen at the next wake; hidden, only when the
// schedule needs it.
void KVZ::armClock()
{
    zaman->start(controller_.scheduler().nextWake(isVisible()));
}

void KVZ::attachRestoreTests(RestoreTestController &tests)
{
    connect(tray_, &TrayIcon::restoreTestRequested, &tests, &RestoreTestController::requestTest);
    connect(tray_, &TrayIcon::stopRequested, &tests, &RestoreTestController::stop);
    connect(&tests, &RestoreTestController::notice, this, &KVZ::showNoticeAt);
    connect(&tests, &RestoreTestController::stateChanged, this, [this](const QString &state) {
        if (state.isEmpty()) {
            yedekle->setCaption(u"YEDEKLE"_s);
            tray_->showIdle();
        } else {
            showRunState(state);
        }
    });
}

void KVZ::startUp()
{
    controller_.runNow(RunCause::Start);
    armClock();
    showWindow();
}

void KVZ::showWindow()
{
    BringToFront(*this);
    // The second is on screen again: shown at once, then at each second.
    simdi->setCaption(TimeText(controller_.clock().now()));
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
        ayarlar_ = new ayarlar(controller_.programFolder());
        connect(ayarlar_, &ayarlar::saved, this, [this] {
            // Hidden, not closed: the next opening finds the drive and folder as the user left them.
            if (browser_)
                browser_->hide();
            // The options just stored replace any the file held that could not be used.
            controller_.loadSchedule();
            showWindow();
        });
        connect(ayarlar_, &ayarlar::folderBrowserRequested, this, &KVZ::openFolderBrowser);
        connect(ayarlar_, &ayarlar::dailyHourEdited, &controller_, &BackupController::setDailyHour);
        connect(ayarlar_, &ayarlar::intervalEdited, &controller_, &BackupController::setInterval);
        // Closed from its title bar the window forgets its unsaved edits: so does the schedule.
        connect(ayarlar_, &QObject::destroyed, &controller_, &BackupController::loadSchedule);
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
        browser_ = new frmBF(controller_.programFolder());
        connect(browser_, &frmBF::folderChosen, this, [this](const QString &folder) {
            Ayarlar().setFolder(folder);
            showSettings();
        });
    }
    BringToFront(*browser_);
    browser_->setFileListVisible(false);
}

void KVZ::showSettings()
{
    BringToFront(Ayarlar());
}

// The button says the run is under way, and how far; it starts no second run meanwhile.
void KVZ::showRunState(const QString &state)
{
    yedekle->setCaption(state);
    tray_->showRunState(state);
}

void KVZ::showRunEnd(const BackupResult &result)
{
    if (history_)
        history_->setSpaceText(result.spaceText);
    yedekle->setCaption(u"YEDEKLE"_s);
    tray_->showIdle();
    sonyedekleme->setCaption(TimeText(controller_.scheduler().lastBackup()));
    ShowAsFailure(*sonyedekleme, !result.ok);
    sonyedekleme->setToolTip(result.ok ? u"Yedek dosyası: %1"_s.arg(result.filePath)
                                       : u"YEDEKLEME BAŞARISIZ: %1"_s.arg(result.reason));
}

// The next copy time, and any stored value the schedule cannot use, on the next-copy label.
void KVZ::ComputeSchedule()
{
    if (const std::optional<QString> next = controller_.scheduler().nextCopyText())
        yedeklemesaati->setCaption(*next);
    const QList<ScheduleProblem> problems = controller_.scheduler().problems();
    QStringList texts;
    for (const ScheduleProblem &problem : problems)
        texts << problem.text;
    ShowAsFailure(*yedeklemesaati, !problems.isEmpty());
    yedeklemesaati->setToolTip(texts.join(u'\n'));
    // A run's end or an edit moves the next run: a hidden window's clock waits for the new one.
    if (zaman->isActive())
        armClock();
}

void KVZ::showNoticeAt(const RunNotice &notice, const QDateTime &at)
{
    notice_ = notice;
    noticeAt_ = at;
    showNotice();
    tray_->notify(notice);
}

// The date joins the time once the notice is from an earlier day.
void KVZ::showNotice()
{
    noticeShownOn_ = controller_.clock().now().date();
    const QString format = noticeAt_.date() == noticeShownOn_ ? u"HH:mm:ss"_s : u"dd.MM.yyyy HH:mm:ss"_s;
    bildirim->setCaption(
        u"%1  %2: %3"_s.arg(noticeAt_.toString(format), notice_.title, notice_.text.simplified()));
    bildirim->setToolTip(notice_.title + u'\n' + notice_.text);
    ShowAsFailure(*bildirim, notice_.failure);
}

void KVZ::tick()
{
    const QDateTime now = controller_.clock().now();
    simdi->setCaption(TimeText(now));
    if (noticeAt_.isValid() && now.date() != noticeShownOn_)
        showNotice();
    controller_.tick();
}

void KVZ::showHistory()
{
    if (!history_)
        history_ = new frmGecmis;
    history_->setSpaceText(controller_.spaceText());
    LoadHistoryWindow(*history_, controller_.history(), controller_.clock().now());
    BringToFront(*history_);
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
        controller_.refreshSchedule();
    QWidget::changeEvent(event);
}

void KVZ::closeEvent(QCloseEvent *event)
{
    // The title bar's close only hides: the clock and its backups go on behind the tray icon.
    event->ignore();
    hideWindow();
}
