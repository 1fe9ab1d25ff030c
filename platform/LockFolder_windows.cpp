#include "platform/LockFolder.h"

#include <QDir>
#include <shlobj.h>
#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

// The machine's folder for programs' shared data, as the system knows it, whatever this start's
// environment says.
QString ProgramData()
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

// The temporary folder of the system, shared by its users, for a machine whose ProgramData refuses.
QString SystemTemp()
{
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return u"C:/Windows/Temp"_s;
    return QDir::fromNativeSeparators(QString::fromWCharArray(windows, static_cast<qsizetype>(length))) +
           u"/Temp"_s;
}

} // namespace

QString LockFolder()
{
    // Every user may make files below ProgramData, as in /tmp; the folder is made by the first start.
    static const QString kFolder = [] {
        const QString data = ProgramData();
        const QString folder = data + u"/ZantoYedek/locks"_s;
        return !data.isEmpty() && QDir().mkpath(folder) ? folder : SystemTemp();
    }();
    return kFolder;
}
