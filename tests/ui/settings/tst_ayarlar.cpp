#include "platform/XdgAutoStartStore.h"
#include "settings/BackupSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"
#include "support/ProgramFolder.h"
#include "support/SystemQuestions.h"
#include "support/TestServer.h"
#include "ui/settings/HourPanel.h"
#include "ui/settings/SettingsMessages.h"
#include "ui/settings/ayarlar.h"
#include "ui/styled/Twips.h"
#include "ui/styled/vkCommand.h"
#include "ui/styled/vkTextBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace SettingsFiles;

// What a widget receives from a real double click: press, release, double click, release.
static void doubleClick(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    const QPointF at = QRectF(widget->rect()).center();
    QMouseEvent event(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    QTest::mouseRelease(widget, Qt::LeftButton);
}

class tst_ayarlar : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void intervalEntriesInOrder();
    void firstStartShowsEmptyFields();
    void loadFillsEveryField();
    void unknownIntervalTextLeavesOthersLoaded_data();
    void unknownIntervalTextLeavesOthersLoaded();
    void saveStoresWhatTheWindowShows();
    void saveTellsWhenConnectionFieldsAreNotSaved();
    void failedSaveKeepsWindowOpen();
    void backHidesAndKeepsEdits();
    void folderFieldAndButtonAskForBrowser();
    void secondCopyFolderChosenCheckedAndTold();
    void hourCells_data();
    void hourCells();
    void pickWritesTwoDigitsAndMovesFocus_data();
    void pickWritesTwoDigitsAndMovesFocus();
    void closeCellChangesNothing();
    void hourFieldTogglesPanel();
    void startAtLoginButtons();
    void startAtLoginTellsWhom_data();
    void startAtLoginTellsWhom();

    void connectionTestStoresTestedValues_data();
    void connectionTestStoresTestedValues();
    void failedConnectionTestWritesNothing_data();
    void failedConnectionTestWritesNothing();
    void silentServerDoesNotBlockTheWindow();
    void twoTestsInARow();
    void changeAfterTestIsNotSavedByKaydet();
    void uncheckedCertificateIsSaid();

private:
    template <typename T> T *child(const QString &name) const { return window_->findChild<T *>(name); }
    vkTextBox *box(const char *name) const { return child<vkTextBox>(QLatin1String(name)); }
    void createWindow();
    void fillConnectionFields(const QString &server, const QString &port, const QString &login,
                              const QString &password, const QString &database);
    bool testConnection();

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<tdstest::TdsTestServer> server_;
    std::unique_ptr<ayarlar> window_;
    QStringList messages_;
};

void tst_ayarlar::init()
{
    program_ = std::make_unique<ProgramFolder>();
    server_ = StartTestServer(u"pw"_s);
    QVERIFY(server_);
    messages_.clear();
    createWindow();
}

void tst_ayarlar::cleanup()
{
    window_.reset();
    server_.reset();
}

void tst_ayarlar::createWindow()
{
    window_ = std::make_unique<ayarlar>(program_->path());
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    window_->setMessageBox([this](const QString &text) { messages_.append(text); });
}

void tst_ayarlar::fillConnectionFields(const QString &server, const QString &port, const QString &login,
                                       const QString &password, const QString &database)
{
    box("sql_sunucusu")->setText(server);
    box("sql_portu")->setText(port);
    box("sql_kullanicisi")->setText(login);
    box("sql_sifresi")->setText(password);
    box("sql_data")->setText(database);
}

bool tst_ayarlar::testConnection()
{
    QSignalSpy finished(window_.get(), &ayarlar::connectionTestFinished);
    child<QPushButton>(u"baglantibutonu"_s)->click();
    if (!finished.wait(20000))
        return false;
    return finished.first().first().toBool();
}

void tst_ayarlar::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("frame") << "vkFrame1"
                           << "AYARLAR" << QRect(0, 0, 15855, 5535);
    QTest::newRow("folder") << "yedekyeri"
                            << "" << QRect(3480, 1200, 5475, 375);
    QTest::newRow("choose") << "sec2"
                            << "SEÇ" << QRect(9120, 1200, 975, 375);
    QTest::newRow("hour") << "yedeklemesaati"
                          << "" << QRect(3480, 1680, 495, 285);
    QTest::newRow("interval") << "kopyalamazamanmesafesi"
                              << "" << QRect(3480, 2040, 5535, 360);
    QTest::newRow("start at login") << "vkCommand1"
                                    << "AÇILIŞTA ÇALIŞSIN" << QRect(3480, 2520, 2655, 735);
    QTest::newRow("no start at login") << "vkCommand2"
                                       << "AÇILIŞTA ÇALIŞMASIN" << QRect(6240, 2520, 2775, 735);
    QTest::newRow("back") << "geri"
                          << "GERİ" << QRect(240, 3480, 2775, 765);
    QTest::newRow("save") << "kaydet"
                          << "KAYDET" << QRect(3360, 3480, 5655, 735);
    QTest::newRow("server") << "sql_sunucusu"
                            << "" << QRect(12135, 1125, 2655, 255);
    QTest::newRow("port") << "sql_portu"
                          << "" << QRect(12135, 1485, 2655, 255);
    QTest::newRow("login") << "sql_kullanicisi"
                           << "" << QRect(12135, 1845, 2655, 255);
    QTest::newRow("password") << "sql_sifresi"
                              << "" << QRect(12135, 2205, 2655, 255);
    QTest::newRow("database") << "sql_data"
                              << "" << QRect(12135, 2565, 2655, 255);
    QTest::newRow("test") << "baglantibutonu"
                          << "BAĞLANMA TESTİ YAP" << QRect(12120, 3000, 2535, 735);
}

void tst_ayarlar::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QWidget *control = child<QWidget>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    for (const char *property : {"caption", "text", "currentText"}) {
        const QVariant value = control->property(property);
        if (value.isValid()) {
            QCOMPARE(value.toString(), text);
            break;
        }
    }
}

void tst_ayarlar::intervalEntriesInOrder()
{
    auto *list = child<QComboBox>(u"kopyalamazamanmesafesi"_s);
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    QCOMPARE(entries, (QStringList{u"Dakikada bir yedekle"_s, u"30 dakika 1 kopyala"_s,
                                   u"Her saat başı kopyala"_s, u"İki saatte bir kopyala"_s,
                                   u"Dört saatte bir kopyala"_s, u"Altı saatte bir kopyala"_s,
                                   u"oniki saatte bir kopyala"_s, u"Günlük yedekleme saatinde kopyala"_s}));
    QVERIFY(!list->isEditable());
}

// Without settings files every field shows what the backups would use: nothing.
void tst_ayarlar::firstStartShowsEmptyFields()
{
    QCOMPARE(window_->windowTitle(), u"YEDEKLEME PROGRAMI"_s);
    QCOMPARE(window_->intervalIndex(), -1);
    QCOMPARE(window_->dailyHour(), QString());
    QCOMPARE(box("sql_sifresi")->echoMode(), QLineEdit::Password);
    QVERIFY(!QFile::exists(ConnectionFile(program_->path())));
    QVERIFY(!QFile::exists(BackupFile(program_->path())));
}

void tst_ayarlar::loadFillsEveryField()
{
    QVERIFY(program_->write(1433, {.server = u"KASA\\SQLEXPRESS"_s,
                                   .login = u"kasa"_s,
                                   .password = u"gizli"_s,
                                   .folder = u"D:\\Yedek\\"_s,
                                   .dailyHour = u"03"_s,
                                   .interval = u"Altı saatte bir kopyala"_s}));
    createWindow();
    QCOMPARE(child<QLineEdit>(u"yedekyeri"_s)->text(), u"D:\\Yedek\\"_s);
    QCOMPARE(window_->dailyHour(), u"03"_s);
    QCOMPARE(window_->intervalIndex(), 5);
    QCOMPARE(box("sql_sunucusu")->text(), u"KASA\\SQLEXPRESS"_s);
    QCOMPARE(box("sql_portu")->text(), u"1433"_s);
    QCOMPARE(box("sql_kullanicisi")->text(), u"kasa"_s);
    QCOMPARE(box("sql_sifresi")->text(), u"gizli"_s);
    QCOMPARE(box("sql_data")->text(), u"STOK"_s);
}

void tst_ayarlar::unknownIntervalTextLeavesOthersLoaded_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("index");
    QTest::newRow("missing") << QString() << -1;
    QTest::newRow("other case, as typed by hand") << u"HER SAAT BAŞI KOPYALA"_s << 2;
    QTest::newRow("no such entry") << u"Her gün"_s << -1;
    // Blanks around a value are not part of it in this format.
    QTest::newRow("blank at its end") << u"Her saat başı kopyala "_s << 2;
}

void tst_ayarlar::unknownIntervalTextLeavesOthersLoaded()
{
    QFETCH(QString, interval);
    QFETCH(int, index);
    QVERIFY(program_->write(
        1433, {.server = u"SUNUCU"_s, .password = u"baska"_s, .dailyHour = u"07"_s, .interval = interval}));
    createWindow();
    QCOMPARE(window_->intervalIndex(), index);
    QCOMPARE(window_->dailyHour(), u"07"_s);
    QCOMPARE(box("sql_sunucusu")->text(), u"SUNUCU"_s);
    QCOMPARE(box("sql_sifresi")->text(), u"baska"_s);
}

// Every value the window shows is stored, and a window opened afresh shows it again. The connection fields
// are not: only a successful connection test stores them.
void tst_ayarlar::saveStoresWhatTheWindowShows()
{
    QSignalSpy saved(window_.get(), &ayarlar::saved);
    window_->show();
    window_->setFolder(u"/srv/yedek/"_s);
    window_->setDailyHour(u"02"_s);
    child<QComboBox>(u"kopyalamazamanmesafesi"_s)->setCurrentIndex(1);
    child<QCheckBox>(u"dogrula"_s)->setChecked(true);
    box("saklamagunu")->setText(u" 7 "_s);
    child<QLineEdit>(u"ikincikopyayeri"_s)->setText(program_->path());
    box("ikincisaklamagunu")->setText(u"30"_s);
    box("geriyuklemedenemesi")->setText(u"9"_s);
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);

    QCOMPARE(messages_, QStringList{u"AYARLAR KAYIT EDİLDİ"_s});
    QCOMPARE(saved.count(), 1);
    QVERIFY(!window_->isVisible());
    const Result<BackupSettings> stored = LoadBackupSettings(BackupFile(program_->path()));
    QVERIFY(stored);
    QCOMPARE(stored->folder, u"/srv/yedek/"_s);
    QCOMPARE(stored->dailyHour, u"02"_s);
    QCOMPARE(stored->interval, u"30 dakika 1 kopyala"_s);
    QCOMPARE(VerifyOf(stored->verify), std::optional(true));
    QCOMPARE(KeepDaysOf(stored->keepDays), std::optional(7));
    QCOMPARE(stored->secondFolder, program_->path());
    QCOMPARE(KeepDaysOf(stored->secondKeepDays), std::optional(30));
    QCOMPARE(RestoreTestDaysOf(stored->restoreTestDays), std::optional(9));
    QVERIFY(!QFile::exists(ConnectionFile(program_->path())));

    createWindow();
    QCOMPARE(window_->dailyHour(), u"02"_s);
    QCOMPARE(window_->intervalIndex(), 1);
    QVERIFY(child<QCheckBox>(u"dogrula"_s)->isChecked());
    QCOMPARE(box("saklamagunu")->text(), u"7"_s);
    QCOMPARE(child<QLineEdit>(u"ikincikopyayeri"_s)->text(), program_->path());
    QCOMPARE(box("ikincisaklamagunu")->text(), u"30"_s);
    QCOMPARE(box("geriyuklemedenemesi")->text(), u"9"_s);
    window_->show();
    child<QCheckBox>(u"dogrula"_s)->setChecked(false);
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(VerifyOf(LoadBackupSettings(BackupFile(program_->path()))->verify), std::optional(false));
}

void tst_ayarlar::saveTellsWhenConnectionFieldsAreNotSaved()
{
    window_->show();
    box("sql_sunucusu")->setText(u"YENI"_s);
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(messages_.value(0), SavedMessage(true));
    QVERIFY(messages_.value(0).endsWith(
        u"\nSQL BAĞLANTI AYARLARI YALNIZCA BAĞLANMA TESTİ BAŞARILI OLUNCA KAYDEDİLİR."_s));
    QVERIFY(!QFile::exists(ConnectionFile(program_->path())));

    // A driver named in the file by support staff is no field of the window, and no unsaved change.
    QVERIFY(program_->write(1433));
    QVERIFY(WriteSetting(kSection, kDriver, u"FreeTDS"_s, ConnectionFile(program_->path())));
    messages_.clear();
    createWindow();
    window_->show();
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(messages_.value(0), SavedMessage(false));
}

void tst_ayarlar::failedSaveKeepsWindowOpen()
{
    QVERIFY(QDir(program_->path()).mkdir(u"yedeklemeayar.txt"_s));
    QSignalSpy saved(window_.get(), &ayarlar::saved);
    window_->show();
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(messages_, QStringList{SaveFailedMessage(BackupFile(program_->path()))});
    QVERIFY(messages_.first().startsWith(u"AYARLAR KAYIT EDİLEMEDİ\n"_s));
    QVERIFY(window_->isVisible());
    QCOMPARE(saved.count(), 0);
}

void tst_ayarlar::backHidesAndKeepsEdits()
{
    window_->show();
    child<QComboBox>(u"kopyalamazamanmesafesi"_s)->setCurrentIndex(3);
    QTest::mouseClick(child<vkCommand>(u"geri"_s), Qt::LeftButton);
    QVERIFY(!window_->isVisible());
    QCOMPARE(window_->intervalIndex(), 3);
    QVERIFY(!QFile::exists(BackupFile(program_->path())));
    QVERIFY(messages_.isEmpty());
}

void tst_ayarlar::folderFieldAndButtonAskForBrowser()
{
    QSignalSpy requested(window_.get(), &ayarlar::folderBrowserRequested);
    window_->show();
    QTest::mouseClick(child<vkCommand>(u"sec2"_s), Qt::LeftButton);
    QTest::mouseClick(child<QLineEdit>(u"yedekyeri"_s), Qt::LeftButton);
    doubleClick(child<QLineEdit>(u"yedekyeri"_s));
    QVERIFY(requested.count() >= 3);
}

// The folder the browser hands back lands in the field whose SEÇ opened it. A second folder this machine
// cannot see (a USB disk unplugged) is stored and said; days that are no number store nothing.
void tst_ayarlar::secondCopyFolderChosenCheckedAndTold()
{
    QSignalSpy requested(window_.get(), &ayarlar::folderBrowserRequested);
    window_->show();
    QTest::mouseClick(child<vkCommand>(u"sec3"_s), Qt::LeftButton);
    window_->setFolder(u"/media/usb/"_s);
    QTest::mouseClick(child<vkCommand>(u"sec2"_s), Qt::LeftButton);
    window_->setFolder(u"/srv/yedek/"_s);
    QCOMPARE(requested.count(), 2);
    QCOMPARE(child<QLineEdit>(u"ikincikopyayeri"_s)->text(), u"/media/usb/"_s);
    QCOMPARE(child<QLineEdit>(u"yedekyeri"_s)->text(), u"/srv/yedek/"_s);

    box("ikincisaklamagunu")->setText(u"bir ay"_s);
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(messages_, QStringList{SecondKeepDaysRefusedMessage(u"bir ay"_s)});
    QVERIFY(!QFile::exists(BackupFile(program_->path())));

    box("ikincisaklamagunu")->setText(u"5"_s);
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(messages_.value(1), SavedMessage(false) + u'\n' + SecondFolderNotSeenText(u"/media/usb/"_s));
    QCOMPARE(LoadBackupSettings(BackupFile(program_->path()))->secondFolder, u"/media/usb/"_s);
}

void tst_ayarlar::hourCells_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("1") << 35 << "1" << QRect(0, 0, 495, 465);
    QTest::newRow("4") << 44 << "4" << QRect(1440, 0, 585, 465);
    QTest::newRow("9") << 45 << "9" << QRect(960, 480, 465, 465);
    QTest::newRow("11") << 1 << "11" << QRect(2040, 480, 585, 465);
    QTest::newRow("16") << 11 << "16" << QRect(1440, 960, 585, 465);
    QTest::newRow("00") << 14 << "00" << QRect(2640, 1440, 585, 465);
    QTest::newRow("close") << 27 << "KAPAT" << QRect(0, 1920, 3225, 705);
}

void tst_ayarlar::hourCells()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    auto *panel = child<HourPanel>(u"Picture1"_s);
    QCOMPARE(panel->geometry(), TwipsRect(4920, 720, 3255, 2655));
    QCOMPARE(panel->findChildren<QLabel *>(u"Label1"_s).size(), 25);
    QLabel *cell = panel->cell(index);
    QVERIFY(cell);
    QCOMPARE(cell->text(), caption);
    QCOMPARE(cell->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
}

void tst_ayarlar::pickWritesTwoDigitsAndMovesFocus_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("hour");
    QTest::newRow("9 gives 09") << 45 << "09";
    QTest::newRow("1 gives 01") << 35 << "01";
    QTest::newRow("00 stays") << 14 << "00";
    QTest::newRow("12 stays") << 2 << "12";
    QTest::newRow("23 stays") << 13 << "23";
}

void tst_ayarlar::pickWritesTwoDigitsAndMovesFocus()
{
    QFETCH(int, index);
    QFETCH(QString, hour);
    window_->show();
    window_->activateWindow();
    auto *field = child<QLineEdit>(u"yedeklemesaati"_s);
    auto *panel = child<HourPanel>(u"Picture1"_s);
    QVERIFY(!panel->isVisible());
    QTest::mouseClick(field, Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QTest::mouseClick(panel->cell(index), Qt::LeftButton);
    QCOMPARE(window_->dailyHour(), hour);
    QVERIFY(!panel->isVisible());
    QCOMPARE(window_->focusWidget(), child<QComboBox>(u"kopyalamazamanmesafesi"_s));
}

void tst_ayarlar::closeCellChangesNothing()
{
    window_->show();
    window_->setDailyHour(u"05"_s);
    auto *field = child<QLineEdit>(u"yedeklemesaati"_s);
    auto *panel = child<HourPanel>(u"Picture1"_s);
    child<QLineEdit>(u"yedekyeri"_s)->setFocus();
    QTest::mouseClick(field, Qt::LeftButton);
    QWidget *focused = window_->focusWidget();
    QTest::mouseClick(panel->cell(HourPanel::kCloseCell), Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QCOMPARE(window_->dailyHour(), u"05"_s);
    QCOMPARE(window_->focusWidget(), focused);
}

void tst_ayarlar::hourFieldTogglesPanel()
{
    window_->show();
    auto *field = child<QLineEdit>(u"yedeklemesaati"_s);
    auto *panel = child<HourPanel>(u"Picture1"_s);
    QTest::mouseClick(field, Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QTest::mouseClick(field, Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    doubleClick(field);
    QVERIFY(!panel->isVisible());
    QTest::mouseClick(field, Qt::LeftButton);
    doubleClick(field);
    QVERIFY(panel->isVisible());
    // Hiding the window leaves the panel's own state alone.
    window_->hide();
    window_->show();
    QVERIFY(panel->isVisible());
}

void tst_ayarlar::startAtLoginButtons()
{
    QTemporaryDir config;
    QVERIFY(QDir(config.path()).mkdir(u"autostart-"_s));
    window_->setAutoStartStore(std::make_unique<XdgAutoStartStore>(config.path()));
    window_->show();
    const QString entry =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + u".desktop"_s;
    const QString on = config.filePath(u"autostart/"_s + entry);
    const QString off = config.filePath(u"autostart-/"_s + entry);

    QTest::mouseClick(child<vkCommand>(u"vkCommand1"_s), Qt::LeftButton);
    QVERIFY(QFile::exists(on));
    QVERIFY(!QFile::exists(off));
    QCOMPARE(ReadSetting(kSection, kStartAtLogin, BackupFile(program_->path())), u"1"_s);
    {
        // Closed before the entry moves: Windows removes no file that is open.
        QFile desktop(on);
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        QVERIFY(desktop.readAll().contains(QCoreApplication::applicationFilePath().toUtf8()));
    }

    QTest::mouseClick(child<vkCommand>(u"vkCommand2"_s), Qt::LeftButton);
    QVERIFY(!QFile::exists(on));
    QVERIFY(QFile::exists(off));
    QCOMPARE(ReadSetting(kSection, kStartAtLogin, BackupFile(program_->path())), u"0"_s);
    QVERIFY(messages_.isEmpty());
}

namespace {

// A store that takes every entry and says whom it wrote it for, as the registry's does.
class WhomStore final : public AutoStartStore {
public:
    explicit WhomStore(QString whom) : whom_(std::move(whom)) {}
    bool open(AutoStartPlace) override { return true; }
    bool remove(const QString &) override { return true; }
    bool set(const QString &, const QString &) override { return true; }
    void close() override {}
    QString writtenFor() const override { return whom_; }

private:
    QString whom_;
};

} // namespace

void tst_ayarlar::startAtLoginTellsWhom_data()
{
    QTest::addColumn<QString>("whom");
    QTest::addColumn<QString>("shown");
    QTest::newRow("one place: nothing to tell") << QString() << QString();
    QTest::newRow("this user only") << u"yalnız bu kullanıcı"_s << u"Açılış kaydı: yalnız bu kullanıcı"_s;
}

void tst_ayarlar::startAtLoginTellsWhom()
{
    QFETCH(QString, whom);
    QFETCH(QString, shown);
    window_->setAutoStartStore(std::make_unique<WhomStore>(whom));
    window_->show();
    auto *place = window_->findChild<QLabel *>(u"autoStartPlace"_s);
    QVERIFY(place);
    QVERIFY(!place->isVisible());

    QTest::mouseClick(child<vkCommand>(u"vkCommand2"_s), Qt::LeftButton);
    QCOMPARE(place->isVisible() ? place->text() : QString(), shown);
}

void tst_ayarlar::connectionTestStoresTestedValues_data()
{
    QTest::addColumn<bool>("emptyPort");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("database");
    QTest::newRow("blanks kept") << false << u"kasa"_s << u" a b "_s << u"Stok 2024"_s;
    QTest::newRow("empty port left to the driver") << true << u"sa"_s << u"pw"_s << u"STOK"_s;
}

void tst_ayarlar::connectionTestStoresTestedValues()
{
    QFETCH(bool, emptyPort);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, database);
    if (const QString why = WithoutDriverPortVariable(); emptyPort && !why.isEmpty())
        QSKIP(qPrintable(why));
    server_->addLogin(login, password);
    server_->addDatabase(database);
    const QString port = emptyPort ? QString() : QString::number(server_->port());
    // The driver's default port comes from its configuration, which TDSPORT overrides.
    if (emptyPort)
        qputenv("TDSPORT", QByteArray::number(server_->port()));
    fillConnectionFields(u"127.0.0.1"_s, port, login, password, database);
    const bool connected = testConnection();
    qunsetenv("TDSPORT");
    QVERIFY(connected);
    QCOMPARE(messages_, QStringList{u"SQL BAĞLANTISI SAĞLANDI  "_s});
    QFile file(ConnectionFile(program_->path()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
             u"[ayar]\nsqladi=127.0.0.1\nport=%1\nsqlkullanici=%2\nsqlsifre=%3\nsqldata=%4\n"_s.arg(
                 port, login, password, database));
    const tdstest::LoginRecord arrived = server_->logins().value(0);
    QCOMPARE(arrived.password, password);
    QCOMPARE(arrived.database, database);
}

void tst_ayarlar::failedConnectionTestWritesNothing_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("reason");
    QTest::newRow("wrong password") << u"yanlis"_s << u"STOK"_s << u"Login failed for user 'sa'."_s;
    QTest::newRow("unknown database")
        << u"pw"_s << u"YOK"_s << u"Cannot open database \"YOK\" requested by the login. The login failed."_s;
}

void tst_ayarlar::failedConnectionTestWritesNothing()
{
    QFETCH(QString, password);
    QFETCH(QString, database);
    QFETCH(QString, reason);
    const QByteArray before = "[ayar]\nsqladi=ESKI\nsqlsifre=eski\n"_ba;
    QFile file(ConnectionFile(program_->path()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();

    fillConnectionFields(u"127.0.0.1"_s, QString::number(server_->port()), u"sa"_s, password, database);
    QVERIFY(!testConnection());
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_.first().contains(reason), qPrintable(messages_.first()));
    QVERIFY(messages_.first().startsWith(u"Bağlantı Sağlanamadı Kontrolerinizi yapınız"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void tst_ayarlar::silentServerDoesNotBlockTheWindow()
{
    server_->setSilent(true);
    window_->setLoginTimeout(1);
    fillConnectionFields(u"127.0.0.1"_s, QString::number(server_->port()), u"sa"_s, u"pw"_s, u"STOK"_s);
    QSignalSpy finished(window_.get(), &ayarlar::connectionTestFinished);
    auto *button = child<QPushButton>(u"baglantibutonu"_s);
    button->click();
    QVERIFY(window_->isTestingConnection());
    QVERIFY(!button->isEnabled());
    QCOMPARE(window_->cursor().shape(), Qt::BusyCursor);
    window_->show();
    QVERIFY(!window_->close());
    // The event loop keeps turning while the driver waits for the silent server.
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start(100);
    QVERIFY(finished.wait(30000));
    QVERIFY(ticks >= 5);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(button->isEnabled());
    QCOMPARE(window_->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!QFile::exists(ConnectionFile(program_->path())));
}

void tst_ayarlar::twoTestsInARow()
{
    fillConnectionFields(u"127.0.0.1"_s, QString::number(server_->port()), u"sa"_s, u"pw"_s, u"STOK"_s);
    QVERIFY(testConnection());
    QVERIFY(testConnection());
    QCOMPARE(messages_, (QStringList{ConnectionSavedMessage(), ConnectionSavedMessage()}));
    QCOMPARE(server_->logins().size(), 2);
}

void tst_ayarlar::changeAfterTestIsNotSavedByKaydet()
{
    fillConnectionFields(u"127.0.0.1"_s, QString::number(server_->port()), u"sa"_s, u"pw"_s, u"STOK"_s);
    QVERIFY(testConnection());
    box("sql_data")->setText(u"BASKA"_s);
    window_->show();
    QTest::mouseClick(child<vkCommand>(u"kaydet"_s), Qt::LeftButton);
    QCOMPARE(messages_.value(1), SavedMessage(true));
    QCOMPARE(ReadSetting(kSection, kDatabase, ConnectionFile(program_->path())), u"STOK"_s);
}

void tst_ayarlar::uncheckedCertificateIsSaid()
{
    // No driver that skips the check runs here: the test's answer stands in for one.
    auto *test = window_->findChild<ConnectionTest *>();
    QVERIFY(test);
    ConnectionTest::Answer answer;
    answer.driver = u"ODBC Driver 18 for SQL Server"_s;
    emit test->finished(answer);
    QCOMPARE(messages_,
             QStringList{u"SQL BAĞLANTISI SAĞLANDI  \nBağlantı şifreli, ancak sunucunun sertifikası "
                         "denetlenmiyor (dükkandaki sunucuların çoğunda olduğu gibi kendinden imzalı "
                         "sertifika)."_s});
}

QTEST_MAIN(tst_ayarlar)
#include "tst_ayarlar.moc"
