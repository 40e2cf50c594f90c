#pragma once

#include "platform/http_client.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace pelorix::platform {
class FileSystem;
}  // namespace pelorix::platform

namespace pelorix::files {

// Fetches one file of a release, from the update server or from a local folder named on the
// command line, to a target path.
class Downloader {
  public:
    Downloader(QString commandLine, QString ownFolder, platform::FileSystem& files,
               platform::HttpClient& http, platform::HttpLimits limits = {});

    // True when the file is at the target path and passed the checks. From the server the body
    // is written to the target as it arrives, before the checks, so a rejected body stays there
    // and a failed fetch leaves an empty file. It must not be exactly 226 bytes long and must be
    // longer than minimumSize × 1000 bytes. In local mode the file is copied from the folder, which
    // keeps it until the update has completed.
    bool DownloadFile(const QString& baseAddress, const QString& fileName,
                      const QString& targetPath, qint32 minimumSize);

    // The content of a small file beside the release files (at most `maximumSize` bytes): from
    // the server, or read in place in the local folder (it stays there). nullopt on failure.
    std::optional<QByteArray> fetchSmallFile(const QString& baseAddress, const QString& fileName,
                                             qint64 maximumSize);

    // Whether a body of this length from the server passes the checks of DownloadFile.
    static bool acceptsBodyLength(qint64 length, qint32 minimumSize);

    // Asked during a fetch from the server; true abandons it (the call answers false).
    void setAbortRequest(std::function<bool()> abortRequested) {
        limits_.abortRequested = std::move(abortRequested);
    }

    // Why the last call failed; empty after a success.
    const QString& lastFailure() const { return lastFailure_; }

  private:
    bool copyFromFolder(const QString& folder, const QString& fileName, const QString& targetPath);
    bool fetchFromServer(const QString& url, const QString& targetPath, qint32 minimumSize);
    bool removeOldTarget(const QString& targetPath);
    bool fail(const QString& reason);

    QString commandLine_;
    QString ownFolder_;
    platform::FileSystem& files_;
    platform::HttpClient& http_;
    platform::HttpLimits limits_;
    QString lastFailure_;
};

}  // namespace pelorix::files
