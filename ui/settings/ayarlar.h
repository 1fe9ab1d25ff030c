#pragma once

#include "backup/ConnectionTest.h"
#include "settings/ConnectionValues.h"

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
class vkCommand;
class vkFrame;
class vkLabel;
class vkTextBox;

// The settings window. Its hour field and interval list feed the program's live schedule: each edit
// counts at once, saved or not. The connection fields are stored only by a successful test.
class ayarlar : public QWidget {
    Q_OBJECT
public:
    using MessageBox = std::function<void(const QString &text)>;

    explicit ayarlar(const QString &programFolder, QWidget *parent = nullptr);
    ~ayarlar() override;

    QString dailyHour() const;
    int intervalIndex() const;
    void setFolder(const QString &folder);
    void setDailyHour(const QString &hour);

    // Tests answer the modal message boxes themselves.
    void setMessageBox(MessageBox messageBox) { messageBox_ = std::move(messageBox); }
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
    void load();
    void save();
    void startConnectionTest();
    void switchStartAtLogin(bool on);
    void onConnectionTested(const ConnectionTest::Answer &answer);
    ConnectionValues connectionFields() const;
    QString connectionFile() const;
    QString backupFile() const;

    QString programFolder_;
    MessageBox messageBox_;
    std::unique_ptr<AutoStartStore> autoStart_;
    ConnectionTest *connectionTest_;

    vkFrame *vkFrame1 = nullptr;
    QMap<int, QLabel *> Label9;
    QLineEdit *yedekyeri = nullptr;
    vkCommand *sec2 = nullptr;
    QLineEdit *yedeklemesaati = nullptr;
    QComboBox *kopyalamazamanmesafesi = nullptr;
    HourPanel *Picture1 = nullptr;
    vkCommand *vkCommand1 = nullptr;
    vkCommand *vkCommand2 = nullptr;
    vkCommand *geri = nullptr;
    vkCommand *kaydet = nullptr;
    QMap<int, vkLabel *> etiket;
    vkTextBox *sql_sunucusu = nullptr;
    vkTextBox *sql_portu = nullptr;
    vkTextBox *sql_kullanicisi = nullptr;
    vkTextBox *sql_sifresi = nullptr;
    vkTextBox *sql_data = nullptr;
    QPushButton *baglantibutonu = nullptr;
    QLabel *uyari = nullptr;
    QCheckBox *dogrula = nullptr;
    vkLabel *Label10 = nullptr;
    vkTextBox *saklamagunu = nullptr;
    vkLabel *Label11 = nullptr;
};
