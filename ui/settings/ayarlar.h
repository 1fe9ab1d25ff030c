#pragma once

#include "backup/ConnectionTest.h"
#include "settings/ConnectionValues.h"
#include "ui/styled/MessageBoxHook.h"

#include <QMap>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class AutoStartStore;
class QCheckBox;
class HourPanel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SecondCopyRow;
class vkCommand;
class vkFrame;
class vkLabel;
class vkTextBox;

// The settings window. Its hour field and interval list feed the program's live schedule: each edit
// counts at once, saved or not. The connection fields are stored only by a successful test.
class ayarlar : public QWidget {
    Q_OBJECT
public:
    explicit ayarlar(const QString &programFolder, QWidget *parent = nullptr);
    ~ayarlar() override;

    QString dailyHour() const;
    int intervalIndex() const;
    // The folder the browser chose, for the field whose SEÇ (or click) opened it.
    void setFolder(const QString &folder);
    void setDailyHour(const QString &hour);

    // Tests answer the modal message boxes themselves.
    void setMessageBox(MessageHook messageBox) { messageBox_ = std::move(messageBox); }
    void setLoginTimeout(int seconds) { connectionTest_->setLoginTimeout(seconds); }
    // Where the start-at-login entry goes; tests put a folder of their own in place of the user's.
    void setAutoStartStore(std::unique_ptr<AutoStartStore> store);
    bool isTestingConnection() const { return connectionTest_->isRunning(); }

signals:
    // "KAYDET" stored the schedule: the main window comes to the front.
    void saved();
    void folderBrowserRequested();
    void connectionTestFinished(bool connected);
    // The user changed the daily hour or the interval; not yet saved.
    void dailyHourEdited(const QString &hour);
    void intervalEdited(const QString &interval);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    // The folder, daily-hour and interval fields with their captions and the SEÇ button.
    void createSchedulePanel();
    // AÇILIŞTA ÇALIŞSIN, AÇILIŞTA ÇALIŞMASIN, GERİ and KAYDET.
    void createButtons();
    // The SQL connection fields, their test button and the password warning.
    void createConnectionPanel();
    // YEDEĞİ DOĞRULA and the days old backups are kept.
    void createOptionsRow();
    // The hours a click on the daily-hour field opens, over the controls below it.
    void createHourPanel();
    void load();
    void save();
    void requestBrowser(bool forSecondCopy);
    void startConnectionTest();
    void switchStartAtLogin(bool on);
    void onConnectionTested(const ConnectionTest::Answer &answer);
    ConnectionValues connectionFields() const;
    QString connectionFile() const;
    QString backupFile() const;

    QString programFolder_;
    MessageHook messageBox_;
    std::unique_ptr<AutoStartStore> autoStart_;
    ConnectionTest *connectionTest_;

    vkFrame *vkFrame1 = nullptr;                 // the "AYARLAR" panel around all the controls
    QMap<int, QLabel *> Label9;                  // captions of the folder, daily-hour and interval fields
    QLineEdit *yedekyeri = nullptr;              // the backup folder ("YEDEK ALINACAK KONUM")
    vkCommand *sec2 = nullptr;                   // the SEÇ button: opens the folder browser
    QLineEdit *yedeklemesaati = nullptr;         // the daily hour, two digits (in KVZ: the next copy time)
    QComboBox *kopyalamazamanmesafesi = nullptr; // the interval ("KOPYALAMA ZAMAN ARALIĞI")
    HourPanel *Picture1 = nullptr;               // the hour panel a click on the daily-hour field opens
    vkCommand *vkCommand1 = nullptr;             // AÇILIŞTA ÇALIŞSIN: start the program at login
    vkCommand *vkCommand2 = nullptr;             // AÇILIŞTA ÇALIŞMASIN: no longer start it at login
    QLabel *autoStartPlace_ = nullptr;           // whom the entry last written starts for, where that varies
    vkCommand *geri = nullptr;                   // the GERİ button: hides the window
    vkCommand *kaydet = nullptr;                 // the KAYDET button: stores the schedule and the options
    QMap<int, vkLabel *> etiket;                 // captions of the SQL connection fields and their heading
    vkTextBox *sql_sunucusu = nullptr;           // "Sql Sunucusu": the server's host name or address
    vkTextBox *sql_portu = nullptr;              // "Sql Portu": the TCP port; empty leaves it to the driver
    vkTextBox *sql_kullanicisi = nullptr;        // "Sql Kullanıcısı": the SQL Server login
    vkTextBox *sql_sifresi = nullptr;            // "Sql Şifresi": the login's password, masked
    vkTextBox *sql_data = nullptr;               // "Veritabanı": the database to back up
    QPushButton *baglantibutonu = nullptr;       // BAĞLANMA TESTİ YAP: a good test stores the connection
    QLabel *uyari = nullptr;                     // red warning: other users can read the password file
    QCheckBox *dogrula = nullptr;                // YEDEĞİ DOĞRULA: verify each new backup
    vkLabel *Label10 = nullptr;                  // the caption "ESKİ YEDEKLERİ SAKLA:"
    vkTextBox *saklamagunu = nullptr;            // the days old backups are kept; 0 keeps them all
    vkLabel *Label11 = nullptr;                  // the caption "GÜN (0: HEPSİ)" after the days field
    SecondCopyRow *secondCopy_ = nullptr;        // "İKİNCİ KOPYA YERİ", its SEÇ and its days kept
    bool browsingForSecond_ = false;             // the browser was opened for the second copy's folder
    vkLabel *restoreTestLabel_ = nullptr;        // the caption "GERİ YÜKLEME DENEMESİ:"
    vkTextBox *restoreTestDays_ = nullptr;       // the days between restore tests; 0: none
    vkLabel *restoreTestUnit_ = nullptr;         // the caption "GÜNDE BİR" after it
};
