#include "files/remove_folder.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace pelorix::files {
namespace {

// The mount-point reparse data of a junction (ntifs.h, which MinGW does not ship).
struct MountPointData {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    wchar_t paths[1];
};

// What `mklink /J` makes: a folder whose reparse point leads to `target`.
bool makeJunction(const QString& link, const QString& target) {
    if (!QDir().mkdir(link)) {
        return false;
    }
    const std::wstring substitute = L"\\??\\" + QDir::toNativeSeparators(target).toStdWString();
    const std::size_t pathBytes = (substitute.size() + 1) * sizeof(wchar_t);
    std::vector<char> buffer(offsetof(MountPointData, paths) + pathBytes + sizeof(wchar_t), 0);
    auto* data = reinterpret_cast<MountPointData*>(buffer.data());
    data->tag = IO_REPARSE_TAG_MOUNT_POINT;
    data->dataLength = static_cast<WORD>(buffer.size() - 8);
    data->substituteLength = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    data->printOffset = static_cast<WORD>(pathBytes);
    std::memcpy(data->paths, substitute.c_str(), pathBytes);
    HANDLE folder = ::CreateFileW(
        QDir::toNativeSeparators(link).toStdWString().c_str(), GENERIC_WRITE, 0, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    const bool made =
        ::DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(),
                          static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    ::CloseHandle(folder);
    return made;
}

// A junction inside the folder is removed as an entry; what it leads to stays untouched.
TEST(RemoveFolderJunction, RemovesTheJunctionNotWhatItLeadsTo) {
    test::TempDir dir;
    dir.write("outside/keep.txt", "kept");
    dir.write("web/index.html", "<html/>");
    if (!makeJunction(dir.file("web/link"), dir.file("outside"))) {
        GTEST_SKIP() << "no junctions here (Wine 8 has no reparse points)";
    }
    ASSERT_TRUE(QFile::exists(dir.file("web/link/keep.txt")));

    RemoveFolder(platform::defaultFileSystem(), dir.file("web"));

    EXPECT_FALSE(QFile::exists(dir.file("web")));
    EXPECT_EQ(dir.read("outside/keep.txt"), "kept");
}

}  // namespace
}  // namespace pelorix::files
