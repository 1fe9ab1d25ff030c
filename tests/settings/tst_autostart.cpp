#include "platform/XdgAutoStartStore.h"
#include "settings/StartAtLogin.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kPath = u"/opt/Yedek Programı/zantoyedek"_s;
const QString kOldPath = u"/eski yer/zantoyedek"_s;

// Records every call; a call named in `refused` answers false.
class RecordingStore final : public AutoStartStore {
public:
    explicit RecordingStore(QStringList refused) : refused_(std::move(refused)) {}

    bool open(AutoStartPlace place) override
    {
        return record(place == AutoStartPlace::Run ? u"open Run"_s : u"open Run-"_s);
    }
    bool remove(const QString &name) override { return record(u"remove "_s + name); }
    bool set(const QString &name, const QString &command) override
    {
        return record(u"set "_s + name + u'=' + command);
    }
    void close() override { record(u"close"_s); }

    QStringList calls;

private:
    bool record(const QString &call)
    {
        calls << call;
        return !refused_.contains(call);
    }

    QStringList refused_;
};

std::optional<QString> undoStringEscapes(const QString &value)
{
    const QHash<QChar, QChar> escapes{
        {u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}, {u'r', u'\r'}, {u'\\', u'\\'}};
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            text += value[i];
        } else if (++i < value.size() && escapes.contains(value[i])) {
            text += escapes[value[i]];
        } else {
            return std::nullopt;
        }
    }
    return text;
}

std::optional<QString> unquote(const QString &argument)
{
    const QString reserved = u" \t\n\"'\\<>~|&;$*?#()`"_s;
    if (!argument.startsWith(u'"')) {
        const bool plain = !argument.isEmpty() && std::none_of(argument.begin(), argument.end(),
                                                               [&](QChar c) { return reserved.contains(c); });
        return plain ? std::optional(argument) : std::nullopt;
    }
    QString text;
    for (qsizetype i = 1; i < argument.size(); ++i) {
        if (argument[i] == u'"')
            return i == argument.size() - 1 ? std::optional(text) : std::nullopt;
        if (argument[i] == u'`' || argument[i] == u'$')
            return std::nullopt;
        if (argument[i] == u'\\' && (++i == argument.size() || !u"\"`$\\"_s.contains(argument[i])))
            return std::nullopt;
        text += argument[i];
    }
    return std::nullopt;
}

std::optional<QString> expandPercents(const QString &argument)
{
    QString text;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] == u'%' && (++i == argument.size() || argument[i] != u'%'))
            return std::nullopt;
        text += argument[i];
    }
    return text;
}

// An Exec value read back as a launcher reads it: string escapes, then the quotes, then field codes.
// Nothing when a launcher would not see exactly the one argument.
std::optional<QString> decodeExec(const QString &value)
{
    const std::optional<QString> text = undoStringEscapes(value);
    const std::optional<QString> argument = text ? unquote(*text) : std::nullopt;
    return argument ? expandPercents(*argument) : std::nullopt;
}

QString execOf(const QString &entryFile)
{
    QFile file(entryFile);
    if (!file.open(QIODevice::ReadOnly))
        return u"<unreadable>"_s;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.startsWith(u"Exec="_s))
            return line.mid(5);
    }
    return u"<no Exec>"_s;
}

// "name=command" for each entry of a folder, the command as a launcher would run it.
QStringList entries(const QString &folder)
{
    QStringList found;
    for (const QFileInfo &file : QDir(folder).entryInfoList({u"*.desktop"_s}, QDir::Files, QDir::Name))
        found << file.completeBaseName() + u'=' +
                     decodeExec(execOf(file.filePath())).value_or(u"<not one argument>"_s);
    return found;
}

} // namespace

class tst_autostart : public QObject {
    Q_OBJECT

private slots:
    void init();

    void sequence_data();
    void sequence();
    void pressesOnDisk_data();
    void pressesOnDisk();
    void execLine_data();
    void execLine();
    void entryFile_data();
    void entryFile();
    void opens_data();
    void opens();
    void disabledFolderIsNeverCreated();
    void namesThatLeaveTheFolderAreRefused_data();
    void namesThatLeaveTheFolderAreRefused();

private:
    QString home() const { return dir_->filePath(u"config"_s); }
    QString run() const { return XdgAutoStartStore(home()).folder(AutoStartPlace::Run); }
    QString runDisabled() const { return XdgAutoStartStore(home()).folder(AutoStartPlace::RunDisabled); }
    QString writeOne(const QString &name, const QString &command) const;

    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_autostart::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

QString tst_autostart::writeOne(const QString &name, const QString &command) const
{
    XdgAutoStartStore store(home());
    if (!store.open(AutoStartPlace::Run) || !store.set(name, command))
        return {};
    store.close();
    return QDir(run()).filePath(name + u".desktop"_s);
}

void tst_autostart::sequence_data()
{
    QTest::addColumn<bool>("enable");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<QStringList>("calls");

    const QString set = u"set kvz="_s + kPath;
    QTest::newRow("on") << true << QStringList()
                        << QStringList{u"open Run-"_s, u"remove kvz"_s, u"close"_s, u"open Run"_s, set,
                                       u"close"_s};
    QTest::newRow("off") << false << QStringList()
                         << QStringList{u"open Run"_s, u"remove kvz"_s, u"close"_s, u"open Run-"_s,
                                        set,           u"close"_s};
    QTest::newRow("on, Run- cannot be opened")
        << true << QStringList{u"open Run-"_s} << QStringList{u"open Run-"_s, u"open Run"_s, set, u"close"_s};
    QTest::newRow("off, Run- cannot be opened")
        << false << QStringList{u"open Run-"_s}
        << QStringList{u"open Run"_s, u"remove kvz"_s, u"close"_s, u"open Run-"_s};
    QTest::newRow("on, Run cannot be opened")
        << true << QStringList{u"open Run"_s}
        << QStringList{u"open Run-"_s, u"remove kvz"_s, u"close"_s, u"open Run"_s};
    QTest::newRow("off, Run cannot be opened")
        << false << QStringList{u"open Run"_s} << QStringList{u"open Run"_s, u"open Run-"_s, set, u"close"_s};
    QTest::newRow("on, neither can be opened")
        << true << QStringList{u"open Run"_s, u"open Run-"_s} << QStringList{u"open Run-"_s, u"open Run"_s};
    QTest::newRow("on, nothing to delete, write refused")
        << true << QStringList{u"remove kvz"_s, set}
        << QStringList{u"open Run-"_s, u"remove kvz"_s, u"close"_s, u"open Run"_s, set, u"close"_s};
}

void tst_autostart::sequence()
{
    QFETCH(bool, enable);
    QFETCH(QStringList, refused);
    QFETCH(QStringList, calls);

    RecordingStore store(refused);
    (enable ? EnableAutoStart : DisableAutoStart)(store, kPath, u"kvz"_s);
    QCOMPARE(store.calls, calls);
}

void tst_autostart::pressesOnDisk_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("inRun");
    QTest::addColumn<QStringList>("inRunDisabled");

    const QString on = u"on|kvz|"_s + kPath;
    const QString off = u"off|kvz|"_s + kPath;
    const QString onOld = u"on|kvz|"_s + kOldPath;
    const QString offOld = u"off|kvz|"_s + kOldPath;
    const QString mkdirDisabled = u"mkdir|autostart-"_s;
    const QStringList here{u"kvz="_s + kPath};
    const QStringList none;

    QTest::newRow("on, no folders yet") << QStringList{on} << here << none;
    QTest::newRow("on, entry nowhere, Run- present") << QStringList{mkdirDisabled, on} << here << none;
    QTest::newRow("on twice rewrites a spoiled entry") << QStringList{on, u"spoil|kvz"_s, on} << here << none;
    QTest::newRow("on from a moved folder") << QStringList{onOld, on} << here << none;
    QTest::newRow("off without Run-: kept nowhere") << QStringList{on, off} << none << none;
    QTest::newRow("off without Run-, on from the new path") << QStringList{onOld, offOld, on} << here << none;
    QTest::newRow("off with Run-: moved with the current path")
        << QStringList{mkdirDisabled, onOld, off} << none << here;
    QTest::newRow("off then on with Run-: moved back")
        << QStringList{mkdirDisabled, onOld, offOld, on} << here << none;
    QTest::newRow("off, entry nowhere, Run- present") << QStringList{mkdirDisabled, off} << none << here;
    QTest::newRow("new name leaves the old entry")
        << QStringList{onOld, u"on|zanto|"_s + kPath}
        << QStringList{u"kvz="_s + kOldPath, u"zanto="_s + kPath} << none;
    QTest::newRow("off under a new name leaves the old entry on")
        << QStringList{mkdirDisabled, onOld, u"off|zanto|"_s + kPath} << QStringList{u"kvz="_s + kOldPath}
        << QStringList{u"zanto="_s + kPath};
    QTest::newRow("Run not a folder: on only empties Run-")
        << QStringList{mkdirDisabled, off, u"mkfile|autostart"_s, on} << none << none;
    QTest::newRow("Run- not a folder: off keeps the entry nowhere")
        << QStringList{u"mkfile|autostart-"_s, on, off} << none << none;
}

void tst_autostart::pressesOnDisk()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, inRun);
    QFETCH(QStringList, inRunDisabled);

    XdgAutoStartStore store(home());
    QStringList madeFiles;
    for (const QString &step : steps) {
        const QStringList word = step.split(u'|');
        const QString target = QDir(home()).filePath(word[1]);
        if (word[0] == u"mkdir"_s) {
            QVERIFY(QDir().mkpath(target));
        } else if (word[0] == u"mkfile"_s) {
            QVERIFY(QDir().mkpath(home()));
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            madeFiles << target;
        } else if (word[0] == u"spoil"_s) {
            QFile file(QDir(run()).filePath(word[1] + u".desktop"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Desktop Entry]\nExec=/bin/false\n");
        } else {
            (word[0] == u"on"_s ? EnableAutoStart : DisableAutoStart)(store, word[2], word[1]);
        }
    }

    QCOMPARE(entries(run()), inRun);
    QCOMPARE(entries(runDisabled()), inRunDisabled);
    const bool disabledMade = steps.contains(u"mkdir|autostart-"_s) || steps.contains(u"mkfile|autostart-"_s);
    QCOMPARE(QFileInfo::exists(runDisabled()), disabledMade);
    for (const QString &file : madeFiles)
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
}

void tst_autostart::execLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("exec");

    QTest::newRow("plain") << u"/opt/kvz/zantoyedek"_s << u"/opt/kvz/zantoyedek"_s;
    QTest::newRow("Turkish letters") << u"/opt/ŞĞİÖÜıçğ/zantoyedek"_s << u"/opt/ŞĞİÖÜıçğ/zantoyedek"_s;
    QTest::newRow("blank") << kPath << u"\"/opt/Yedek Programı/zantoyedek\""_s;
    QTest::newRow("double quotes") << u"/opt/\"yedek\"/kvz"_s << uR"("/opt/\\"yedek\\"/kvz")"_s;
    QTest::newRow("single quote") << u"/home/ayşe/Ayşe'nin/kvz"_s << u"\"/home/ayşe/Ayşe'nin/kvz\""_s;
    QTest::newRow("dollar") << u"/opt/$HOME/kvz"_s << uR"("/opt/\\$HOME/kvz")"_s;
    QTest::newRow("backticks") << u"/opt/`id`/kvz"_s << uR"("/opt/\\`id\\`/kvz")"_s;
    QTest::newRow("backslash") << uR"(/opt/a\b/kvz)"_s << uR"("/opt/a\\\\b/kvz")"_s;
    QTest::newRow("percent") << u"/opt/%f/kvz"_s << u"/opt/%%f/kvz"_s;
    QTest::newRow("percent and blank") << u"/opt/%100 yedek/kvz"_s << u"\"/opt/%%100 yedek/kvz\""_s;
    QTest::newRow("shell separators") << u"/opt/a;b&c|d(e)<f>/kvz"_s << u"\"/opt/a;b&c|d(e)<f>/kvz\""_s;
    QTest::newRow("glob, comment, tilde") << u"/opt/*?#~/kvz"_s << u"\"/opt/*?#~/kvz\""_s;
    QTest::newRow("tab") << u"/opt/a\tb/kvz"_s << uR"("/opt/a\tb/kvz")"_s;
    QTest::newRow("carriage return") << u"/opt/a\rb/kvz"_s << uR"("/opt/a\rb/kvz")"_s;
    QTest::newRow("line break") << u"/opt/a\nb/kvz"_s << uR"("/opt/a\nb/kvz")"_s;
    QTest::newRow("all at once") << uR"(C:\Program Files\KVZ "$%"\zantoyedek.exe)"_s
                                 << uR"("C:\\\\Program Files\\\\KVZ \\"\\$%%\\"\\\\zantoyedek.exe")"_s;
}

void tst_autostart::execLine()
{
    QFETCH(QString, command);
    QFETCH(QString, exec);

    const QString entry = writeOne(u"kvz"_s, command);
    QVERIFY(!entry.isEmpty());
    const QString written = execOf(entry);
    QCOMPARE(written, exec);
    QCOMPARE(decodeExec(written), std::optional(command));
}

void tst_autostart::entryFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nameValue");

    QTest::newRow("ASCII") << u"zantoyedek"_s << u"zantoyedek"_s;
    QTest::newRow("Turkish letters") << u"Yedekçi_ŞİĞ"_s << u"Yedekçi_ŞİĞ"_s;
    QTest::newRow("leading blank, backslash") << u" kvz\\yedek"_s << uR"(\skvz\\yedek)"_s;
}

void tst_autostart::entryFile()
{
    QFETCH(QString, name);
    QFETCH(QString, nameValue);
    if (name.contains(QDir::separator()))
        QSKIP("this system's file names cannot hold its folder separator");

    QFile file(writeOne(name, kPath));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString expected = u"[Desktop Entry]\nType=Application\nName="_s + nameValue +
                             u"\nExec=\"/opt/Yedek Programı/zantoyedek\"\nX-GNOME-Autostart-enabled=true\n"_s;
    QCOMPARE(file.readAll(), expected.toUtf8());
}

void tst_autostart::opens_data()
{
    QTest::addColumn<bool>("run");
    QTest::addColumn<QString>("there");
    QTest::addColumn<bool>("opens");

    QTest::newRow("Run missing: made on the first write") << true << u"nothing"_s << true;
    QTest::newRow("Run a folder") << true << u"folder"_s << true;
    QTest::newRow("Run a file") << true << u"file"_s << false;
    QTest::newRow("Run- missing") << false << u"nothing"_s << false;
    QTest::newRow("Run- a folder") << false << u"folder"_s << true;
    QTest::newRow("Run- a file") << false << u"file"_s << false;
}

void tst_autostart::opens()
{
    QFETCH(bool, run);
    QFETCH(QString, there);
    QFETCH(bool, opens);

    const QString folder = run ? this->run() : runDisabled();
    QVERIFY(QDir().mkpath(home()));
    if (there == u"folder"_s) {
        QVERIFY(QDir().mkpath(folder));
    } else if (there == u"file"_s) {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    XdgAutoStartStore store(home());
    QCOMPARE(store.open(run ? AutoStartPlace::Run : AutoStartPlace::RunDisabled), opens);
}

void tst_autostart::disabledFolderIsNeverCreated()
{
    QVERIFY(QDir().mkpath(runDisabled()));
    XdgAutoStartStore store(home());
    QVERIFY(store.open(AutoStartPlace::RunDisabled));
    QVERIFY(QDir(runDisabled()).removeRecursively());
    QVERIFY(!store.set(u"kvz"_s, kPath));
    QVERIFY(!QFileInfo::exists(runDisabled()));
}

void tst_autostart::namesThatLeaveTheFolderAreRefused_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("empty") << QString();
    QTest::newRow("parent folder") << u"../kvz"_s;
    QTest::newRow("subfolder") << u"alt/kvz"_s;
}

void tst_autostart::namesThatLeaveTheFolderAreRefused()
{
    QFETCH(QString, name);

    QVERIFY(QDir().mkpath(run()));
    QVERIFY(QDir().mkpath(QDir(run()).filePath(u"alt"_s)));
    const QString decoy = QDir(home()).filePath(u"kvz.desktop"_s);
    QFile file(decoy);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    XdgAutoStartStore store(home());
    QVERIFY(store.open(AutoStartPlace::Run));
    QVERIFY(!store.set(name, kPath));
    QVERIFY(!store.remove(name));
    store.close();

    QStringList files;
    for (QDirIterator it(dir_->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        files << it.next();
    QCOMPARE(files, QStringList{decoy});
}

QTEST_GUILESS_MAIN(tst_autostart)
#include "tst_autostart.moc"
