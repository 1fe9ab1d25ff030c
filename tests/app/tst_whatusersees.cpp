#include "app/BackupController.h"
#include "app/KVZ.h"
#include "app/ProgramWindow.h"
#include "backup/FailureExplanation.h"
#include "history/RunHistory.h"
#include "schedule/RunNotice.h"
#include "settings/SettingsFiles.h"
#include "settings/ayarkayit.h"
#include "support/ManualClock.h"
#include "support/ProgramFolder.h"
#include "support/TestServer.h"
#include "ui/settings/ayarlar.h"

#include <QAbstractButton>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kPassword = u"Gizli;Parola-7319"_s;

// Every line the program logs, whatever its category or level.
QStringList &LoggedLines()
{
    static QStringList lines;
    return lines;
}

void KeepLogLine(QtMsgType, const QMessageLogContext &, const QString &text)
{
    LoggedLines().append(text);
}

enum class Fault {
    None,
    WrongPassword,
    UnknownDatabase,
    DatabaseGoneAfterLogin,
    FolderAccessDenied,
    FolderMissingOnServer,
    DiskFull,
    DamagedBackup,
    NothingListening,
    SilentServer,
    CutDuringBackup,
    NotASqlServer,
};

QString SentenceFor(int number, int osError, const QString &fragment)
{
    for (const FailureExplanation &known : FailureExplanations()) {
        if (known.number == number && known.osError == osError && known.fragment == fragment)
            return known.turkish;
    }
    return {};
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// What the shop owner reads for each common failure, met through the real driver: in the connection
// test's message, and after a failed run in the last-backup label's tip, the tray notice and the history.
// And the password, which none of these, nor the log or the files beside the password file, may show.
class tst_whatusersees : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void eachFailureInTurkishWithServerText_data();
    void eachFailureInTurkishWithServerText();
    void passwordShownNowhere();
    void percentsReachTheButtonDuringTheRun();

private:
    void prepare(Fault fault);
    BackupResult runOnce();
    QString testConnection();
    QString historyReason() const;
    QStringList textsShown() const;

    std::unique_ptr<ProgramFolder> program_;
    std::unique_ptr<tdstest::TdsTestServer> server_;
    std::unique_ptr<ManualClock> clock_;
    Program running_;
    QStringList messages_;
    QStringList notices_;
};

void tst_whatusersees::initTestCase()
{
    qInstallMessageHandler(KeepLogLine);
}

void tst_whatusersees::init()
{
    program_ = std::make_unique<ProgramFolder>();
    server_ = StartTestServer(kPassword);
    QVERIFY(server_);
    clock_ = std::make_unique<ManualClock>();
    messages_.clear();
    notices_.clear();
}

void tst_whatusersees::cleanup()
{
    running_ = Program();
    server_.reset();
}

void tst_whatusersees::prepare(Fault fault)
{
    ProgramSettings settings{.password = kPassword};
    quint16 port = server_->port();
    switch (fault) {
    case Fault::None:
        break;
    case Fault::WrongPassword:
        settings.password = u"yanlis"_s;
        break;
    case Fault::UnknownDatabase:
        settings.database = u"YOK"_s;
        break;
    case Fault::DatabaseGoneAfterLogin:
        server_->setEventLog([server = server_.get()](const QString &line) {
            if (line.startsWith(u"batch: BACKUP DATABASE"_s))
                server->removeDatabase(u"STOK"_s);
        });
        break;
    case Fault::FolderAccessDenied:
        server_->setBackupAccessDenied(true);
        break;
    case Fault::FolderMissingOnServer:
        settings.folder = u"/olmayan/yedek/"_s;
        break;
    case Fault::DiskFull:
        server_->setErrorAfterProgress(true);
        break;
    case Fault::DamagedBackup:
        server_->setDamagedBackups(true);
        break;
    case Fault::NothingListening: {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
        break;
    }
    case Fault::SilentServer:
        server_->setSilent(true);
        break;
    case Fault::CutDuringBackup:
        server_->setDropDuringBackup(true);
        break;
    case Fault::NotASqlServer:
        server_->setGarbageInstead(tdstest::Answer::Login);
        break;
    }
    QVERIFY(program_->write(port, settings));
    if (fault == Fault::DamagedBackup)
        QVERIFY(WriteSetting(u"ayar"_s, u"dogrulama"_s, u"1"_s, SettingsFiles::BackupFile(program_->path())));

    running_ = MakeProgram(program_->path(), *clock_, *clock_);
    running_.window->Ayarlar().setMessageBox([this](const QString &text) { messages_.append(text); });
    running_.window->Ayarlar().setLoginTimeout(1);
}

BackupResult tst_whatusersees::runOnce()
{
    QSignalSpy finished(running_.controller.get(), &BackupController::runFinished);
    running_.controller->runNow(RunCause::Button);
    if (!finished.wait(30000))
        return {};
    const auto result = finished.first().first().value<BackupResult>();
    if (const std::optional<RunNotice> notice = NoticeAfterRun(false, result))
        notices_ << notice->title + u'\n' + notice->text;
    return result;
}

QString tst_whatusersees::testConnection()
{
    ayarlar &settings = running_.window->Ayarlar();
    QSignalSpy finished(&settings, &ayarlar::connectionTestFinished);
    settings.findChild<QPushButton *>(u"baglantibutonu"_s)->click();
    if (!finished.wait(30000))
        return {};
    return messages_.value(messages_.size() - 1);
}

QString tst_whatusersees::historyReason() const
{
    const auto last = RunHistory(program_->path()).last();
    return last && last.value() ? last.value()->reason : QString();
}

// Every text the windows show: captions, fields as displayed (a password field shows dots) and tips.
QStringList tst_whatusersees::textsShown() const
{
    QStringList texts = messages_ + notices_;
    for (QWidget *top : {static_cast<QWidget *>(running_.window.get()),
                         static_cast<QWidget *>(&running_.window->Ayarlar())}) {
        for (const QWidget *widget : top->findChildren<QWidget *>()) {
            texts << widget->toolTip() << widget->property("caption").toString();
            if (const auto *field = qobject_cast<const QLineEdit *>(widget))
                texts << field->displayText();
            if (const auto *label = qobject_cast<const QLabel *>(widget))
                texts << label->text();
            if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
                texts << button->text();
        }
    }
    return texts;
}

void tst_whatusersees::eachFailureInTurkishWithServerText_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("osError");
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<bool>("atLogin");

    QTest::newRow("18456 login failed") << Fault::WrongPassword << 18456 << 0 << QString()
                                        << u"Login failed for user 'sa'. (18456)"_s << true;
    QTest::newRow("4060 database cannot be opened")
        << Fault::UnknownDatabase << 4060 << 0 << QString() << u"Cannot open database \"YOK\""_s << true;
    QTest::newRow("911 database gone") << Fault::DatabaseGoneAfterLogin << 911 << 0 << QString()
                                       << u"Database 'STOK' does not exist."_s << false;
    QTest::newRow("3201 access denied") << Fault::FolderAccessDenied << 3201 << 5 << QString()
                                        << u"Operating system error 5(Access is denied.)"_s << false;
    QTest::newRow("3201 folder missing")
        << Fault::FolderMissingOnServer << 3201 << 3 << QString() << u"/olmayan/yedek/"_s << false;
    QTest::newRow("3202 disk full") << Fault::DiskFull << 3202 << 112 << QString()
                                    << u"112(There is not enough space on the disk.) (3202)"_s << false;
    QTest::newRow("3241 damaged backup")
        << Fault::DamagedBackup << 3241 << 0 << QString() << u"is incorrectly formed"_s << false;
    QTest::newRow("unable to connect")
        << Fault::NothingListening << 0 << 0 << u"Unable to connect"_s << u"Unable to connect"_s << true;
    QTest::newRow("timeout expired") << Fault::SilentServer << 0 << 0 << u"Timeout expired"_s
                                     << u"Timeout expired"_s << true;
    QTest::newRow("unexpected EOF") << Fault::CutDuringBackup << 0 << 0 << u"Unexpected EOF"_s
                                    << u"Unexpected EOF"_s << false;
    QTest::newRow("bad token") << Fault::NotASqlServer << 0 << 0 << u"Bad token"_s << u"Bad token"_s << true;
}

void tst_whatusersees::eachFailureInTurkishWithServerText()
{
    QFETCH(Fault, fault);
    QFETCH(int, number);
    QFETCH(int, osError);
    QFETCH(QString, fragment);
    QFETCH(QString, serverText);
    QFETCH(bool, atLogin);
    const QString sentence = SentenceFor(number, osError, fragment);
    QVERIFY2(!sentence.isEmpty(), "the table has no sentence for this failure");
    prepare(fault);
    if (QTest::currentTestFailed())
        return;

    const auto shows = [&](const QString &text) {
        return text.contains(sentence + u'\n') && text.indexOf(serverText) > text.indexOf(sentence);
    };
    const BackupResult result = runOnce();
    QVERIFY(!result.ok);
    const QString tip = running_.window->findChild<QWidget *>(u"sonyedekleme"_s)->toolTip();
    QVERIFY2(shows(tip), qPrintable(tip));
    QCOMPARE(notices_.size(), 1);
    QVERIFY2(shows(notices_.first()), qPrintable(notices_.first()));
    QTRY_VERIFY2_WITH_TIMEOUT(shows(historyReason()), qPrintable(historyReason()), 10000);

    const QString message = testConnection();
    if (atLogin)
        QVERIFY2(shows(message), qPrintable(message));
    else
        QVERIFY2(!message.contains(sentence), qPrintable(message));
}

// A failed run, a good one and a failed connection test; then everything a person or another program
// could read: the windows, the notices, the log, the history and every other file beside the password
// file, and this process's and its children's command lines and environments.
void tst_whatusersees::passwordShownNowhere()
{
    prepare(Fault::FolderAccessDenied);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!runOnce().ok);
    server_->setBackupAccessDenied(false);
    clock_->advance(60'000);
    const BackupResult good = runOnce();
    QVERIFY2(good.ok, qPrintable(good.reason));
    server_->removeDatabase(u"STOK"_s);
    QVERIFY(!testConnection().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(RunHistory(program_->path()).recent(10).value().size() == 2, 10000);
    QVERIFY(!LoggedLines().isEmpty());

    QStringList places = textsShown() + LoggedLines();
    QDirIterator files(program_->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList searchedFiles;
    while (files.hasNext()) {
        const QString path = files.next();
        if (QFileInfo(path) != QFileInfo(SettingsFiles::ConnectionFile(program_->path()))) {
            places << QString::fromUtf8(FileBytes(path)) << QString::fromLatin1(FileBytes(path));
            searchedFiles << path;
        }
    }
    QVERIFY(searchedFiles.contains(RunHistory(program_->path()).filePath()));
    QVERIFY(FileBytes(SettingsFiles::ConnectionFile(program_->path())).contains(kPassword.toUtf8()));
    QStringList processes{u"/proc/self"_s};
    QDirIterator tasks(u"/proc/self/task"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext()) {
        for (const QByteArray &child : FileBytes(tasks.next() + u"/children"_s).split(' '))
            if (!child.trimmed().isEmpty())
                processes << u"/proc/"_s + QString::fromLatin1(child.trimmed());
    }
    for (const QString &process : processes)
        places << QString::fromUtf8(FileBytes(process + u"/cmdline"_s))
               << QString::fromUtf8(FileBytes(process + u"/environ"_s));

    for (const QString &place : places)
        QVERIFY2(!place.contains(kPassword), qPrintable(place.left(300)));
}

void tst_whatusersees::percentsReachTheButtonDuringTheRun()
{
    prepare(Fault::None);
    if (QTest::currentTestFailed())
        return;
    server_->setBackupDuration(2000);
    const QObject *button = running_.window->findChild<QObject *>(u"yedekle"_s);
    QStringList captions;
    connect(running_.controller.get(), &BackupController::runFinished, this, [&] { captions << u"<end>"_s; });
    running_.controller->runNow(RunCause::Button);
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const QString caption = button->property("caption").toString();
            if (captions.value(captions.size() - 1) != caption)
                captions << caption;
            return captions.contains(u"<end>"_s);
        }(),
        20000);
    // Percents arrive while the run is in flight, each shown as it comes.
    const auto percents = std::count_if(captions.begin(), captions.end(), [](const QString &caption) {
        return caption.startsWith(u"YEDEKLENİYOR… %"_s);
    });
    QVERIFY2(percents >= 3, qPrintable(captions.join(u" | "_s)));
    QCOMPARE(button->property("caption").toString(), u"YEDEKLE"_s);
}

QTEST_MAIN(tst_whatusersees)
#include "tst_whatusersees.moc"
