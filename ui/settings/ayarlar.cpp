#include "ui/settings/ayarlar.h"

#include "backup/BackupFolderListing.h"
#include "backup/RunBackup.h"
#include "platform/AutoStartStore.h"
#include "schedule/Schedule.h"
#include "settings/BackupSettings.h"
#include "settings/ConnectionSettings.h"
#include "settings/ProfileFormat.h"
#include "settings/SettingsFiles.h"
#include "settings/StartAtLogin.h"
#include "ui/settings/HourPanel.h"
#include "ui/settings/SecondCopyRow.h"
#include "ui/settings/SettingsMessages.h"
#include "ui/settings/WrappedPushButton.h"
#include "ui/styled/Colours.h"
#include "ui/styled/Placement.h"
#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkFrame.h"
#include "ui/styled/vkLabel.h"
#include "ui/styled/vkTextBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The captions' font, and the plain one the fields and the smaller captions take.
QFont TitleFont()
{
    return WindowFont(u"Times New Roman"_s, 9.75, true);
}

QFont SmallFont()
{
    return WindowFont(u"MS Sans Serif"_s, 8.25, false);
}

} // namespace

ayarlar::ayarlar(const QString &programFolder, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      programFolder_(programFolder),
      messageBox_([](const QString &text) { ShowMessage(text, QMessageBox::NoIcon); }),
      autoStart_(UserAutoStartStore()),
      connectionTest_(
          new ConnectionTest(SettingsFiles::ConnectionFile(programFolder), kLoginTimeoutSeconds, this))
{
    connect(connectionTest_, &ConnectionTest::finished, this, &ayarlar::onConnectionTested);
    setObjectName(u"ayarlar"_s);
    setWindowTitle(u"YEDEKLEME PROGRAMI"_s);
    // Taller than the original by two rows: the backup options and the second copy lie below every original
    // control.
    setFixedSize(TwipsToPixels(15780), TwipsToPixels(5580));
    // Closed from its title bar the window goes away; the next reference loads it afresh from the files.
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    load();
    // Every edit counts for the schedule at once, saved or not; the load itself is no edit.
    connect(yedeklemesaati, &QLineEdit::textChanged, this, &ayarlar::dailyHourEdited);
    connect(kopyalamazamanmesafesi, &QComboBox::currentTextChanged, this, &ayarlar::intervalEdited);
}

ayarlar::~ayarlar() = default;

void ayarlar::createControls()
{
    vkFrame1 = Place(new vkFrame(this), u"vkFrame1"_s, TwipsRect(0, 0, 15855, 5535));
    vkFrame1->setCaption(u"AYARLAR"_s);
    vkFrame1->setFont(WindowFont(u"Tahoma"_s, 18, true));
    vkFrame1->setTitleHeight(400);

    // The order of creation is the order the controls are stacked in: each panel in turn, the hour panel
    // last.
    createSchedulePanel();
    createButtons();
    createConnectionPanel();
    createOptionsRow();
    secondCopy_ = Place(new SecondCopyRow(vkFrame1), u"ikincikopya"_s, TwipsRect(0, 4920, 15855, 420));
    createHourPanel();

    const QList<QWidget *> tabOrder{yedekyeri,
                                    geri,
                                    kaydet,
                                    kopyalamazamanmesafesi,
                                    sec2,
                                    yedeklemesaati,
                                    baglantibutonu,
                                    sql_data,
                                    sql_sunucusu,
                                    sql_sifresi,
                                    sql_kullanicisi,
                                    sql_portu,
                                    vkCommand1,
                                    vkCommand2,
                                    dogrula,
                                    saklamagunu,
                                    restoreTestDays_,
                                    secondCopy_};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(kaydet, &vkCommand::clicked, this, &ayarlar::save);
    connect(geri, &vkCommand::clicked, this, &QWidget::hide);
    connect(sec2, &vkCommand::clicked, this, [this] { requestBrowser(false); });
    connect(secondCopy_, &SecondCopyRow::browseRequested, this, [this] { requestBrowser(true); });
    connect(vkCommand1, &vkCommand::clicked, this, [this] { switchStartAtLogin(true); });
    connect(vkCommand2, &vkCommand::clicked, this, [this] { switchStartAtLogin(false); });
    connect(baglantibutonu, &QPushButton::clicked, this, &ayarlar::startConnectionTest);
}

void ayarlar::createSchedulePanel()
{
    const struct {
        int index;
        const char16_t *caption;
        QRect geometry;
    } titles[] = {
        {1, u"YEDEK ALINACAK KONUM", TwipsRect(240, 1320, 2895, 375)},
        {2, u"GÜNLÜK YEDEKLEME SAATİ", TwipsRect(240, 1680, 3015, 375)},
        {4, u"KOPYALAMA ZAMAN ARALIĞI", TwipsRect(240, 2160, 3015, 375)},
    };
    for (const auto &title : titles) {
        auto *label =
            Place(new QLabel(QString::fromUtf16(title.caption), vkFrame1), u"Label9"_s, title.geometry);
        label->setProperty("index", title.index);
        label->setFont(TitleFont());
        Label9.insert(title.index, label);
    }

    yedekyeri = Place(new QLineEdit(vkFrame1), u"yedekyeri"_s, TwipsRect(3480, 1200, 5475, 375));
    yedekyeri->installEventFilter(this);
    // The plain controls take the window's own font, not the frame title's.
    yedekyeri->setFont(SmallFont());
    sec2 = PlaceCommand(vkFrame1, u"sec2"_s, u"SEÇ"_s, QColor(128, 255, 128),
                        WindowFont(u"MS Sans Serif"_s, 9.75, true), TwipsRect(9120, 1200, 975, 375));
    yedeklemesaati =
        Place(new QLineEdit(u"00"_s, vkFrame1), u"yedeklemesaati"_s, TwipsRect(3480, 1680, 495, 285));
    yedeklemesaati->setAlignment(Qt::AlignCenter);
    yedeklemesaati->setFont(SmallFont());
    kopyalamazamanmesafesi =
        Place(new QComboBox(vkFrame1), u"kopyalamazamanmesafesi"_s, TwipsRect(3480, 2040, 5535, 360));
    kopyalamazamanmesafesi->setFont(SmallFont());
    kopyalamazamanmesafesi->addItems(IntervalChoices());
    kopyalamazamanmesafesi->setCurrentIndex(-1);
}

void ayarlar::createButtons()
{
    const QFont startFont = WindowFont(u"MS Sans Serif"_s, 9.75, true);
    // Buttons without a colour of their own keep the control's plain face.
    const QColor plainFace = vkCommand().backColor2();
    vkCommand1 = PlaceCommand(vkFrame1, u"vkCommand1"_s, u"AÇILIŞTA ÇALIŞSIN"_s, plainFace, startFont,
                              TwipsRect(3480, 2520, 2655, 735));
    vkCommand2 = PlaceCommand(vkFrame1, u"vkCommand2"_s, u"AÇILIŞTA ÇALIŞMASIN"_s, plainFace, startFont,
                              TwipsRect(6240, 2520, 2775, 735));
    // Below the two buttons, once one was pressed, where the system has more than one place for the entry.
    autoStartPlace_ = Place(new QLabel(vkFrame1), u"autoStartPlace"_s, TwipsRect(3480, 3255, 5535, 225));
    autoStartPlace_->setFont(SmallFont());
    autoStartPlace_->hide();
    geri = PlaceCommand(vkFrame1, u"geri"_s, u"GERİ"_s, QColor(255, 192, 192),
                        WindowFont(u"MS Sans Serif"_s, 13.5, true), TwipsRect(240, 3480, 2775, 765));
    kaydet = PlaceCommand(vkFrame1, u"kaydet"_s, u"KAYDET"_s, plainFace,
                          WindowFont(u"MS Sans Serif"_s, 24, true), TwipsRect(3360, 3480, 5655, 735));
}

void ayarlar::createConnectionPanel()
{
    const struct {
        int index;
        const char16_t *caption;
        QRect geometry;
    } captions[] = {
        {4, u"SQL BAĞLANTI AYARLARI", TwipsRect(10080, 600, 5655, 495)},
        {2, u"Sql Sunucusu", TwipsRect(10935, 1125, 1215, 255)},
        {7, u"Sql Portu", TwipsRect(10935, 1485, 1215, 255)},
        {1, u"Sql Kullanıcısı", TwipsRect(10935, 1845, 1215, 255)},
        {0, u"Sql Şifresi", TwipsRect(10935, 2205, 1215, 255)},
        {3, u"Veritabanı", TwipsRect(10935, 2550, 1215, 255)},
    };
    for (const auto &caption : captions) {
        auto *label = Place(new vkLabel(vkFrame1), u"etiket"_s, caption.geometry);
        label->setProperty("index", caption.index);
        label->setCaption(QString::fromUtf16(caption.caption));
        label->setBackStyle(vkLabel::Transparent);
        label->setFont(SmallFont());
        etiket.insert(caption.index, label);
    }
    etiket[4]->setFont(WindowFont(u"MS Sans Serif"_s, 13.5, true));
    etiket[4]->setAlignment(vkLabel::Center);

    auto textBox = [this](const QString &name, const QString &text, int top) {
        auto *box = Place(new vkTextBox(vkFrame1), name, TwipsRect(12135, top, 2655, 255));
        box->setFont(SmallFont());
        box->setText(text);
        return box;
    };
    sql_sunucusu = textBox(u"sql_sunucusu"_s, QString(), 1125);
    sql_portu = textBox(u"sql_portu"_s, QString(), 1485);
    sql_kullanicisi = textBox(u"sql_kullanicisi"_s, u"sa"_s, 1845);
    sql_sifresi = textBox(u"sql_sifresi"_s, u"604218"_s, 2205);
    sql_sifresi->setEchoMode(QLineEdit::Password);
    sql_data = textBox(u"sql_data"_s, u" "_s, 2565);

    baglantibutonu = Place(new WrappedPushButton(u"BAĞLANMA TESTİ YAP"_s, vkFrame1), u"baglantibutonu"_s,
                           TwipsRect(12120, 3000, 2535, 735));
    baglantibutonu->setFont(WindowFont(u"Times New Roman"_s, 15.75, false));
    baglantibutonu->setStyleSheet(u"background-color: rgb(192, 255, 192);"_s);
    baglantibutonu->setAutoDefault(false);

    uyari = Place(new QLabel(vkFrame1), u"uyari"_s, TwipsRect(9120, 3780, 6615, 615));
    uyari->setFont(SmallFont());
    ShowAsFailure(*uyari, true);
    uyari->setWordWrap(true);
    uyari->hide();
}

void ayarlar::createOptionsRow()
{
    dogrula =
        Place(new QCheckBox(u"YEDEĞİ DOĞRULA"_s, vkFrame1), u"dogrula"_s, TwipsRect(240, 4440, 2895, 375));
    dogrula->setFont(TitleFont());
    Label10 = Place(new vkLabel(vkFrame1), u"Label10"_s, TwipsRect(3480, 4500, 2655, 255));
    Label10->setCaption(u"ESKİ YEDEKLERİ SAKLA:"_s);
    Label10->setBackStyle(vkLabel::Transparent);
    Label10->setFont(TitleFont());
    saklamagunu = Place(new vkTextBox(vkFrame1), u"saklamagunu"_s, TwipsRect(6240, 4500, 735, 255));
    saklamagunu->setFont(SmallFont());
    Label11 = Place(new vkLabel(vkFrame1), u"Label11"_s, TwipsRect(7080, 4500, 1215, 255));
    Label11->setCaption(u"GÜN (0: HEPSİ)"_s);
    Label11->setBackStyle(vkLabel::Transparent);
    Label11->setFont(SmallFont());
    restoreTestLabel_ = Place(new vkLabel(vkFrame1), u"denemeetiketi"_s, TwipsRect(8520, 4500, 2775, 255));
    restoreTestLabel_->setCaption(u"GERİ YÜKLEME DENEMESİ:"_s);
    restoreTestLabel_->setBackStyle(vkLabel::Transparent);
    restoreTestLabel_->setFont(TitleFont());
    restoreTestDays_ =
        Place(new vkTextBox(vkFrame1), u"geriyuklemedenemesi"_s, TwipsRect(11340, 4500, 615, 255));
    restoreTestDays_->setFont(SmallFont());
    restoreTestDays_->setToolTip(u"0: geri yükleme denemesi yapılmaz"_s);
    restoreTestUnit_ = Place(new vkLabel(vkFrame1), u"denemebirimi"_s, TwipsRect(12060, 4500, 1215, 255));
    restoreTestUnit_->setCaption(u"GÜNDE BİR"_s);
    restoreTestUnit_->setBackStyle(vkLabel::Transparent);
    restoreTestUnit_->setFont(SmallFont());
}

void ayarlar::createHourPanel()
{
    yedeklemesaati->installEventFilter(this);
    Picture1 = Place(new HourPanel(vkFrame1), u"Picture1"_s, TwipsRect(4920, 720, 3255, 2655));
    Picture1->hide();
    // The panel lies over the folder field, the interval list and the start buttons: draw it above them.
    Picture1->raise();
    connect(Picture1, &HourPanel::picked, this, [this](const QString &hour) {
        yedeklemesaati->setText(hour);
        Picture1->hide();
        kopyalamazamanmesafesi->setFocus();
    });
    connect(Picture1, &HourPanel::closeRequested, Picture1, &QWidget::hide);
}

bool ayarlar::eventFilter(QObject *watched, QEvent *event)
{
    // A double click arrives as a press and then a double click: it toggles twice and leaves the panel as it
    // was.
    if (watched == yedeklemesaati &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        Picture1->setVisible(!Picture1->isVisible());
    if (watched == yedekyeri &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick))
        requestBrowser(false);
    return QWidget::eventFilter(watched, event);
}

void ayarlar::closeEvent(QCloseEvent *event)
{
    // Destroying the window would wait for the test's worker and freeze the program until the driver
    // gives up; the window stays until the test has answered.
    if (connectionTest_->isRunning()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QString ayarlar::connectionFile() const
{
    return SettingsFiles::ConnectionFile(programFolder_);
}

QString ayarlar::backupFile() const
{
    return SettingsFiles::BackupFile(programFolder_);
}

void ayarlar::load()
{
    const Result<BackupSettings> stored = LoadBackupSettings(backupFile());
    const BackupSettings settings = stored ? stored.value() : BackupSettings{};
    yedekyeri->setText(settings.folder);
    const std::optional<int> hour = DailyHourOf(settings.dailyHour);
    yedeklemesaati->setText(hour ? DailyHourText(*hour) : settings.dailyHour);
    // A stored text that is no entry leaves nothing selected (the main window says so); the load goes on,
    // so that the connection fields show the values the backups really use.
    kopyalamazamanmesafesi->setCurrentIndex(IntervalIndexOf(settings.interval));
    // What the backups really do: a value that is neither yes nor no verifies.
    dogrula->setChecked(VerifyOf(settings.verify).value_or(true));
    saklamagunu->setText(settings.keepDays.trimmed().isEmpty() ? u"0"_s : settings.keepDays);
    secondCopy_->setFolder(settings.secondFolder);
    secondCopy_->setKeepDays(settings.secondKeepDays);
    restoreTestDays_->setText(settings.restoreTestDays.trimmed().isEmpty() ? u"0"_s
                                                                           : settings.restoreTestDays);
    const ConnectionValues connection = StoredConnectionValues(connectionFile());
    sql_sunucusu->setText(connection.server);
    sql_data->setText(connection.database);
    sql_kullanicisi->setText(connection.login);
    sql_sifresi->setText(connection.password);
    sql_portu->setText(connection.port);
    const std::optional<QString> exposed = ConnectionFileWarning(connectionFile());
    uyari->setText(exposed.value_or(QString()));
    uyari->setVisible(exposed.has_value());
}

QString ayarlar::dailyHour() const
{
    return yedeklemesaati->text();
}

int ayarlar::intervalIndex() const
{
    return kopyalamazamanmesafesi->currentIndex();
}

void ayarlar::setFolder(const QString &folder)
{
    if (browsingForSecond_)
        secondCopy_->setFolder(folder);
    else
        yedekyeri->setText(folder);
}

void ayarlar::requestBrowser(bool forSecondCopy)
{
    browsingForSecond_ = forSecondCopy;
    emit folderBrowserRequested();
}

void ayarlar::setDailyHour(const QString &hour)
{
    yedeklemesaati->setText(hour);
}

ConnectionValues ayarlar::connectionFields() const
{
    // The driver is no field of the window: one that support staff named in the file is tested and kept.
    return {sql_sunucusu->text(),    sql_portu->text(),   sql_data->text(),
            sql_kullanicisi->text(), sql_sifresi->text(), StoredConnectionValues(connectionFile()).driver};
}

void ayarlar::save()
{
    // A longer value would be read back cut short, and the backups would land in a parent folder.
    if (yedekyeri->text().trimmed().size() > ProfileFormat::kMaxValueLength) {
        messageBox_(FolderTooLongMessage(yedekyeri->text().trimmed().size()));
        return;
    }
    if (!KeepDaysOf(saklamagunu->text())) {
        messageBox_(KeepDaysRefusedMessage(saklamagunu->text()));
        return;
    }
    if (!KeepDaysOf(secondCopy_->keepDays())) {
        messageBox_(SecondKeepDaysRefusedMessage(secondCopy_->keepDays()));
        return;
    }
    if (!RestoreTestDaysOf(restoreTestDays_->text())) {
        messageBox_(RestoreTestDaysRefusedMessage(restoreTestDays_->text()));
        return;
    }
    BackupSettings settings;
    settings.secondFolder = secondCopy_->folder().trimmed();
    settings.secondKeepDays = QString::number(*KeepDaysOf(secondCopy_->keepDays()));
    settings.restoreTestDays = QString::number(*RestoreTestDaysOf(restoreTestDays_->text()));
    settings.verify = dogrula->isChecked() ? u"1"_s : u"0"_s;
    settings.keepDays = QString::number(*KeepDaysOf(saklamagunu->text()));
    settings.folder = yedekyeri->text();
    settings.dailyHour = yedeklemesaati->text();
    settings.interval = kopyalamazamanmesafesi->currentText();
    if (const Outcome written = SaveSchedule(settings, backupFile()); !written) {
        messageBox_(SaveFailedMessage(backupFile()));
        return;
    }
    QString told = SavedMessage(connectionFields() != StoredConnectionValues(connectionFile()));
    // An unplugged USB disk is the safest place between copies: it is stored all the same, and said.
    if (!settings.secondFolder.isEmpty() && !IsVisibleFolder(settings.secondFolder))
        told += u'\n' + SecondFolderNotSeenText(settings.secondFolder);
    messageBox_(told);
    hide();
    emit saved();
}

void ayarlar::setAutoStartStore(std::unique_ptr<AutoStartStore> store)
{
    autoStart_ = std::move(store);
}

void ayarlar::switchStartAtLogin(bool on)
{
    if (const Outcome recorded = SaveStartAtLogin(on, backupFile()); !recorded)
        messageBox_(SaveFailedMessage(backupFile()));
    const QString command = QCoreApplication::applicationFilePath();
    const QString name = QFileInfo(command).completeBaseName();
    if (on)
        EnableAutoStart(*autoStart_, command, name);
    else
        DisableAutoStart(*autoStart_, command, name);
    const QString whom = autoStart_->writtenFor();
    autoStartPlace_->setText(u"Açılış kaydı: %1"_s.arg(whom));
    autoStartPlace_->setVisible(!whom.isEmpty());
}

void ayarlar::startConnectionTest()
{
    if (!connectionTest_->start(connectionFields()))
        return;
    baglantibutonu->setEnabled(false);
    setCursor(Qt::BusyCursor);
}

void ayarlar::onConnectionTested(const ConnectionTest::Answer &answer)
{
    baglantibutonu->setEnabled(true);
    unsetCursor();
    if (answer.refused)
        messageBox_(ConnectionFailedMessage(answer.refused->reason));
    else
        messageBox_(ConnectionMadeMessage(answer.notStored ? ConnectionNotSavedMessage(connectionFile())
                                                           : ConnectionSavedMessage(),
                                          answer.driver));
    emit connectionTestFinished(!answer.refused);
}
