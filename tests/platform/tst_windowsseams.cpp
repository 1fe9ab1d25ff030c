#include "platform/MountedVolumes.h"
#include "platform/OwnerOnly.h"
#include "platform/RegistryAutoStartStore.h"
#include "settings/StartAtLogin.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <aclapi.h>
#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

const QString kProgram = u"C:/Yedek Programı/kvz.exe"_s;
const QString kQuotedProgram = u"\"C:\\Yedek Programı\\kvz.exe\""_s;

const wchar_t *Wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

bool GrantEveryoneRead(const QString &path)
{
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(everyone);
    if (!CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size))
        return false;
    std::wstring name = Wide(path);
    PACL old = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    EXPLICIT_ACCESS_W entry = {};
    entry.grfAccessPermissions = GENERIC_READ;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
    PACL acl = nullptr;
    const bool made = SetEntriesInAclW(1, &entry, old, &acl) == ERROR_SUCCESS;
    LocalFree(descriptor);
    const bool set = made && SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                                   nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
    LocalFree(acl);
    return set;
}

} // namespace

class tst_windowsseams : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void entryMovesBetweenPlaces_data();
    void entryMovesBetweenPlaces();
    void refusedMachineFallsBackToUser();
    void ownerOnlyAccessList();
    void driveLetters();

private:
    // Where the start-up entries of a place are in this test's scratch key.
    QString valueOf(AutoStartPlace place, const QString &hive = u"HKEY_CURRENT_USER"_s) const
    {
        const QString where = RegistryAutoStartStore({}, key_).path(place);
        return QSettings(hive + u'\\' + where, QSettings::NativeFormat).value(u"kvz"_s).toString();
    }

    QString key_;
};

void tst_windowsseams::init()
{
    key_ = u"Software\\ZantoYedekTest\\%1"_s.arg(QCoreApplication::applicationPid());
}

void tst_windowsseams::cleanup()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        RegDeleteTreeW(root, L"Software\\ZantoYedekTest");
}

void tst_windowsseams::entryMovesBetweenPlaces_data()
{
    QTest::addColumn<bool>("disabledPlaceExists");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("inRun");
    QTest::addColumn<QString>("inRunDisabled");

    QTest::newRow("off with Run-: moved there") << true << false << QString() << kQuotedProgram;
    QTest::newRow("off then on: moved back") << true << true << kQuotedProgram << QString();
    QTest::newRow("off without Run-: kept nowhere") << false << false << QString() << QString();
}

void tst_windowsseams::entryMovesBetweenPlaces()
{
    QFETCH(bool, disabledPlaceExists);
    QFETCH(bool, on);
    QFETCH(QString, inRun);
    QFETCH(QString, inRunDisabled);

    RegistryAutoStartStore store({{HKEY_CURRENT_USER, u"yalnız bu kullanıcı"_s}}, key_);
    if (disabledPlaceExists)
        QSettings(u"HKEY_CURRENT_USER\\"_s + store.path(AutoStartPlace::RunDisabled), QSettings::NativeFormat)
            .setValue(u"unrelated"_s, u"kept"_s);
    EnableAutoStart(store, kProgram, u"kvz"_s);
    QCOMPARE(valueOf(AutoStartPlace::Run), kQuotedProgram);
    DisableAutoStart(store, kProgram, u"kvz"_s);
    if (on)
        EnableAutoStart(store, kProgram, u"kvz"_s);

    QCOMPARE(valueOf(AutoStartPlace::Run), inRun);
    QCOMPARE(valueOf(AutoStartPlace::RunDisabled), inRunDisabled);
    QCOMPARE(store.writtenFor(), u"yalnız bu kullanıcı"_s);
}

// A user who is no administrator may not make keys in the machine's hive; a key opened only for reading
// refuses the same way.
void tst_windowsseams::refusedMachineFallsBackToUser()
{
    HKEY machine = nullptr;
    QCOMPARE(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(key_), 0, nullptr, 0, KEY_READ, nullptr, &machine, nullptr),
        ERROR_SUCCESS);
    HKEY probe = nullptr;
    const bool refused = RegCreateKeyExW(machine, L"probe", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &probe,
                                         nullptr) != ERROR_SUCCESS;
    if (probe)
        RegCloseKey(probe);
    if (!refused) {
        RegCloseKey(machine);
        QSKIP("this system lets a key opened for reading make keys below it");
    }

    RegistryAutoStartStore store(
        {{machine, u"bu bilgisayarın tüm kullanıcıları"_s}, {HKEY_CURRENT_USER, u"yalnız bu kullanıcı"_s}},
        key_);
    EnableAutoStart(store, kProgram, u"kvz"_s);
    RegCloseKey(machine);

    QCOMPARE(valueOf(AutoStartPlace::Run), kQuotedProgram);
    QCOMPARE(store.writtenFor(), u"yalnız bu kullanıcı"_s);
}

void tst_windowsseams::ownerOnlyAccessList()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"KVZ.dll"_s);
    QFile file(path);
    QVERIFY(OpenNewOwnerOnly(file));
    file.close();
    QVERIFY(!OpenNewOwnerOnly(file));

    QVERIFY(!OpenToOthers(QFileInfo(path)));
    QVERIFY(OwnedByThisUser(QFileInfo(path)));

    // Everyone let in to read, as a copy from a stick may come, and shut out again.
    QVERIFY(GrantEveryoneRead(path));
    QVERIFY(OpenToOthers(QFileInfo(path)));
    QVERIFY(MakeOwnerOnly(path));
    QVERIFY(!OpenToOthers(QFileInfo(path)));
}

void tst_windowsseams::driveLetters()
{
    const QStringList roots = MountedVolumeRoots();
    QVERIFY(roots.contains(u"C:/"_s));
    for (const QString &root : roots)
        QVERIFY2(QDir(root).exists(), qPrintable(root));
}

QTEST_GUILESS_MAIN(tst_windowsseams)
#include "tst_windowsseams.moc"
