#include "platform/process_table.h"

#include "platform/windows/owned_handle.h"

#include <windows.h>

#include <tlhelp32.h>

namespace pelorix::platform {

namespace {

// With the debug privilege an administrator ends processes of other users and services too.
// Without it the own user's processes still end, so a refusal is no failure.
void enableDebugPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return;
    }
    const OwnedHandle ownedToken(token);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
}

class ToolhelpProcessTable final : public ProcessTable {
  public:
    std::vector<ProcessEntry> snapshot() const override {
        std::vector<ProcessEntry> entries;
        const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot.isValid()) {
            return entries;
        }
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
             more = Process32NextW(snapshot.get(), &entry)) {
            entries.push_back({static_cast<long long>(entry.th32ProcessID),
                               {QString::fromWCharArray(entry.szExeFile)}});
        }
        return entries;
    }

    bool terminate(long long pid, int exitCode) override {
        if (pid <= 0) {
            return false;
        }
        static const bool privilegeAsked = (enableDebugPrivilege(), true);
        static_cast<void>(privilegeAsked);
        const OwnedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid)));
        return process.isValid() &&
               TerminateProcess(process.get(), static_cast<UINT>(exitCode)) != 0;
    }
};

}  // namespace

ProcessTable& defaultProcessTable() {
    static ToolhelpProcessTable table;
    return table;
}

}  // namespace pelorix::platform
