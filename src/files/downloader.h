#pragma once

#include "platform/http_client.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

namespace pelorix::platform {
class FileSystem;
class FileWriter;
}  // namespace pelorix::platform

namespace pelorix::files {

class PartialDownloads;

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

    // A download from the server that is cut off keeps what it received at the target path,
    // noted in `partials`, and the next call for that target continues it with a range request
    // when the file is the same: the one the checksum list names (setListedSha256), or, without
    // a list, the one the server's validator names. Anything else starts over; so does a
    // continuation the server will not give. Without `partials` every fetch is whole.
    void setPartialDownloads(PartialDownloads* partials) { partials_ = partials; }
    // The SHA-256 (32 bytes) the checksum list gives the next file; empty without a list.
    void setListedSha256(QByteArray sha256) { listedSha256_ = std::move(sha256); }

    // Asked during a fetch from the server; true abandons it (the call answers false).
    void setAbortRequest(std::function<bool()> abortRequested) {
        limits_.abortRequested = std::move(abortRequested);
    }

    // Why the last call failed; empty after a success.
    const QString& lastFailure() const { return lastFailure_; }

  private:
    bool copyFromFolder(const QString& folder, const QString& fileName, const QString& targetPath);
    bool fetchFromServer(const QString& url, const QString& targetPath, qint32 minimumSize);
    // A partial download at the target that the next fetch may continue.
    std::optional<platform::HttpContinuation> continuationOf(const QString& targetPath);
    // One fetch into the target, whole or continued; the body's whole length in `length`.
    platform::HttpResult receive(const QString& url, const QString& targetPath,
                                 const platform::HttpContinuation& from,
                                 std::unique_ptr<platform::FileWriter> writer, qint64& length,
                                 bool& written);
    bool checkBody(const QString& url, const QString& targetPath,
                   const platform::HttpResult& result, qint64 length, bool written,
                   qint32 minimumSize);
    bool removeOldTarget(const QString& targetPath);
    bool fail(const QString& reason);

    QString commandLine_;
    QString ownFolder_;
    platform::FileSystem& files_;
    platform::HttpClient& http_;
    platform::HttpLimits limits_;
    PartialDownloads* partials_ = nullptr;
    QByteArray listedSha256_;
    QString lastFailure_;
};

}  // namespace pelorix::files
