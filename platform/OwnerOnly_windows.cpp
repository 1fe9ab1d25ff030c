#include "platform/OwnerOnly.h"

#include <QFile>
#include <QFileInfo>
#include <aclapi.h>
#include <io.h>
#include <memory>
#include <sddl.h>
#include <vector>
#include <windows.h>

// On Windows "only the owner" means the access list of the file holds its user, the Administrators and the
// system alone, as every file of a user's own profile does, and inherits nothing from its folder.

namespace {

const wchar_t *Wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

struct LocalFreer {
    void operator()(void *memory) const { LocalFree(memory); }
};
using LocalMemory = std::unique_ptr<void, LocalFreer>;

// The user this process runs as, from its token.
std::vector<BYTE> ThisUser()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    const bool read = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    CloseHandle(token);
    if (!read)
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid;
    return {static_cast<BYTE *>(sid), static_cast<BYTE *>(sid) + GetLengthSid(sid)};
}

std::vector<BYTE> WellKnown(WELL_KNOWN_SID_TYPE type)
{
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = SECURITY_MAX_SID_SIZE;
    if (!CreateWellKnownSid(type, nullptr, sid.data(), &size))
        return {};
    sid.resize(size);
    return sid;
}

// The ones an owner-only file is open to: its user, the Administrators and the system.
std::vector<std::vector<BYTE>> Trusted()
{
    return {ThisUser(), WellKnown(WinBuiltinAdministratorsSid), WellKnown(WinLocalSystemSid)};
}

bool SetOwnerOnly(const QString &path)
{
    std::vector<std::vector<BYTE>> sids = Trusted();
    std::vector<EXPLICIT_ACCESS_W> entries;
    for (std::vector<BYTE> &sid : sids) {
        if (sid.empty())
            return false;
        EXPLICIT_ACCESS_W entry = {};
        entry.grfAccessPermissions = FILE_ALL_ACCESS;
        entry.grfAccessMode = SET_ACCESS;
        entry.grfInheritance = NO_INHERITANCE;
        entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entry.Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;
        entry.Trustee.ptstrName = reinterpret_cast<LPWSTR>(sid.data());
        entries.push_back(entry);
    }
    PACL acl = nullptr;
    if (SetEntriesInAclW(static_cast<ULONG>(entries.size()), entries.data(), nullptr, &acl) != ERROR_SUCCESS)
        return false;
    const LocalMemory owned(acl);
    std::wstring name = Wide(path);
    return SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, acl, nullptr) == ERROR_SUCCESS;
}

// The path of an open file as the system names it, also for one written under a temporary name.
QString PathOf(const QFileDevice &file)
{
    const int descriptor = file.handle();
    if (descriptor < 0)
        return {};
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    if (length == 0 || length >= buffer.size())
        return {};
    return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(length));
}

struct Security {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    LocalMemory descriptor;
};

std::optional<Security> SecurityOf(const QFileInfo &info)
{
    Security security;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring name = Wide(info.absoluteFilePath());
    if (GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &security.owner,
                              nullptr, &security.dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return std::nullopt;
    security.descriptor.reset(descriptor);
    return security;
}

} // namespace

bool OpenNewOwnerOnly(QFile &file)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    if (MakeOwnerOnly(file))
        return true;
    // A file others could read would hold what is meant for this user alone: not made at all.
    file.close();
    file.remove();
    return false;
}

bool MakeOwnerOnly(const QString &path)
{
    return SetOwnerOnly(path);
}

bool MakeOwnerOnly(QFileDevice &file)
{
    const QString path = PathOf(file);
    return !path.isEmpty() && SetOwnerOnly(path);
}

bool OpenToOthers(const QFileInfo &info)
{
    const std::optional<Security> security = SecurityOf(info);
    if (!security)
        return false;
    // No access list at all lets everyone in.
    if (!security->dacl)
        return true;
    std::vector<std::vector<BYTE>> trusted = Trusted();
    trusted.emplace_back(static_cast<BYTE *>(security->owner),
                         static_cast<BYTE *>(security->owner) + GetLengthSid(security->owner));
    for (DWORD i = 0; i < security->dacl->AceCount; ++i) {
        void *ace = nullptr;
        if (!GetAce(security->dacl, i, &ace))
            continue;
        const auto *header = static_cast<ACE_HEADER *>(ace);
        // Entries only handed down to the files of a folder say nothing about this one.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        const auto *allowed = static_cast<ACCESS_ALLOWED_ACE *>(ace);
        const auto sid = const_cast<DWORD *>(&allowed->SidStart);
        const bool known = std::any_of(trusted.begin(), trusted.end(), [sid](std::vector<BYTE> &other) {
            return !other.empty() && EqualSid(sid, other.data());
        });
        if (!known && allowed->Mask != 0)
            return true;
    }
    return false;
}

bool OwnedByThisUser(const QFileInfo &info)
{
    const std::optional<Security> security = SecurityOf(info);
    if (!security || !security->owner)
        return false;
    // An administrator's files belong to the Administrators, of whom this user then is one.
    BOOL member = FALSE;
    std::vector<BYTE> user = ThisUser();
    return (!user.empty() && EqualSid(security->owner, user.data())) ||
           (CheckTokenMembership(nullptr, security->owner, &member) && member);
}
