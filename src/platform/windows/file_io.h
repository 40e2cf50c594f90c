#pragma once

#include "platform/file_system.h"
#include "platform/outcome.h"

#include <QByteArray>
#include <QString>

#include <windows.h>

#include <optional>

// Small Win32 building blocks of the file layer: attribute lookups, complete reads and writes,
// and the temporary files that writes go through.
namespace pelorix::platform::windows {

// The failure that GetLastError() of the moment describes.
Outcome lastErrorFailure();

std::optional<DWORD> attributesOf(const QString& path);
bool isFolder(DWORD attributes);
// A file (not a folder) with the read-only attribute.
bool isReadOnlyFile(DWORD attributes);
// Identity, size and times of a file or folder.
std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(const QString& path);

// Writes everything, retrying short writes.
bool writeAll(HANDLE file, const char* data, qint64 size);
std::optional<QByteArray> readAll(HANDLE file);

// A writer on an open handle; each write reaches the file at once, close() flushes it to disk.
class HandleWriter : public FileWriter {
  public:
    explicit HandleWriter(HANDLE file) : file_(file) {}
    ~HandleWriter() override;
    bool write(const char* data, qint64 size) override;
    bool close() override;

  private:
    HANDLE file_;
    bool failed_ = false;
};

// A fresh name beside finalPath for a temporary: ".~" + its name + "." + a random tag + ".tmp".
QString tempNameBeside(const QString& finalPath);
// A new, hidden temporary file beside finalPath, open for writing.
struct TempFile {
    QString path;
    HANDLE handle = INVALID_HANDLE_VALUE;
};
std::optional<TempFile> createTempBeside(const QString& finalPath);
// Flushes to disk and closes; false when anything failed.
bool finish(TempFile& temp);
// Closes and removes a temporary that is not going to be used.
void discard(TempFile& temp);
// Removes a file whatever its attributes; a copied temporary may carry the read-only one.
void removeForcibly(const QString& path);
// Removes the temporaries for finalPath that earlier writes, cut short, left in its folder.
void removeLeftoverTemps(const QString& finalPath);

}  // namespace pelorix::platform::windows
