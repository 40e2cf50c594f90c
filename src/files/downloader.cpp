#include "files/downloader.h"

#include "files/download_source.h"
#include "files/partial_downloads.h"
#include "platform/file_system.h"
#include "platform/http_client.h"

#include <QFileInfo>

#include <algorithm>

#include <utility>

namespace pelorix::files {
namespace {

// A body of exactly this length is refused whatever the minimum size.
constexpr qint64 kRejectedBodyLength = 226;
constexpr qint64 kMinimumSizeUnit = 1000;
// A continued body reaches the file in pieces of about this size.
constexpr qint64 kAppendedAtOnce = 256 * 1024;

// Both name the same file on disk (for example a local folder that is the target folder).
bool sameExistingFile(const platform::FileSystem& files, const QString& a, const QString& b) {
    const QString first = QFileInfo(files.resolve(a)).canonicalFilePath();
    return !first.isEmpty() && first == QFileInfo(files.resolve(b)).canonicalFilePath();
}

}  // namespace

Downloader::Downloader(QString commandLine, QString ownFolder, platform::FileSystem& files,
                       platform::HttpClient& http, platform::HttpLimits limits)
    : commandLine_(std::move(commandLine)),
      ownFolder_(std::move(ownFolder)),
      files_(files),
      http_(http),
      limits_(limits) {}

bool Downloader::DownloadFile(const QString& baseAddress, const QString& fileName,
                              const QString& targetPath, qint32 minimumSize) {
    lastFailure_.clear();
    const DownloadSource source = downloadSourceFor(commandLine_, ownFolder_);
    if (source.isLocal) {
        return copyFromFolder(source.localFolder, fileName, targetPath);
    }
    return fetchFromServer(baseAddress + "/" + fileName, targetPath, minimumSize);
}

bool Downloader::copyFromFolder(const QString& folder, const QString& fileName,
                                const QString& targetPath) {
    const QString sourcePath = folder + "/" + fileName;
    if (!files_.normalFileExists(sourcePath)) {
        return fail(QStringLiteral("no file %1").arg(sourcePath));
    }
    // Deleting the target would destroy the only copy of the new file.
    if (sameExistingFile(files_, sourcePath, targetPath)) {
        return true;
    }
    if (!removeOldTarget(targetPath)) {
        return false;
    }
    if (const platform::Outcome copied = files_.copyFile(sourcePath, targetPath, false); !copied) {
        return fail(QStringLiteral("%1 could not be copied to %2: %3")
                        .arg(sourcePath, targetPath, copied.reason()));
    }
    return true;
}

bool Downloader::fetchFromServer(const QString& url, const QString& targetPath,
                                 qint32 minimumSize) {
    qint64 length = 0;
    bool written = false;
    std::optional<platform::HttpResult> result;
    if (const std::optional<platform::HttpContinuation> from = continuationOf(targetPath)) {
        result = receive(url, targetPath, *from, nullptr, length, written);
        // One the server will not continue is fetched whole, as if nothing had been kept.
        if (result->continuationRefused) {
            result.reset();
        }
    }
    if (!result) {
        if (!removeOldTarget(targetPath)) {
            return false;
        }
        auto target = files_.createFile(targetPath);
        if (!target) {
            return fail(QStringLiteral("%1 could not be created").arg(targetPath));
        }
        result = receive(url, targetPath, {}, std::move(target), length, written);
    }
    // Only a transfer that broke off leaves something to continue.
    if (partials_ && result->transferComplete) {
        partials_->forget(targetPath);
    }
    return checkBody(url, targetPath, *result, length, written, minimumSize);
}

std::optional<platform::HttpContinuation> Downloader::continuationOf(const QString& targetPath) {
    if (partials_ == nullptr || !files_.normalFileExists(targetPath)) {
        return std::nullopt;
    }
    const std::optional<PartialDownload> noted = partials_->find(targetPath);
    const bool sameFile = noted && (listedSha256_.isEmpty() ? !noted->validator.isEmpty()
                                                            : noted->listedSha256 == listedSha256_);
    const qint64 kept = QFileInfo(files_.resolve(targetPath)).size();
    if (!sameFile || kept <= 0) {
        return std::nullopt;
    }
    return platform::HttpContinuation{kept, noted->validator};
}

// The body goes to the target as it arrives: after the kept bytes when the server continues
// them, into the truncated file when it sends the whole file.
platform::HttpResult Downloader::receive(const QString& url, const QString& targetPath,
                                         const platform::HttpContinuation& from,
                                         std::unique_ptr<platform::FileWriter> writer,
                                         qint64& length, bool& written) {
    bool appending = false;
    bool appended = true;
    QByteArray pending;
    const auto flush = [&] {
        if (!pending.isEmpty() && appended) {
            appended = static_cast<bool>(files_.appendToFile(targetPath, pending));
        }
        pending.clear();
        return appended;
    };
    const platform::BodyStartSink start = [&](const platform::HttpBodyStart& body) {
        appending = from.offset > 0 && body.offset == from.offset;
        if (!appending && !writer) {
            writer = files_.createFile(targetPath);
        }
        if (partials_ != nullptr) {
            partials_->remember(targetPath, {listedSha256_, body.validator});
        }
        return appending || writer != nullptr;
    };
    const platform::BodySink sink = [&](const char* data, qint64 size) {
        if (!appending) {
            return writer->write(data, size);
        }
        pending.append(data, size);
        return pending.size() < kAppendedAtOnce || flush();
    };
    platform::HttpLimits limits = limits_;
    limits.maximumBodySize = std::max<qint64>(limits.maximumBodySize - from.offset, 0);
    const platform::HttpResult result = http_.getFrom(url, limits, from, start, sink);
    const bool flushed = flush();
    // A whole body that was empty never started: the kept bytes are not its file.
    if (result.ok() && !appending && !writer) {
        writer = files_.createFile(targetPath);
    }
    written = (writer ? writer->close() : true) && flushed;
    length = (appending ? from.offset : 0) + result.bytesReceived;
    return result;
}

// All checks must pass; a transport failure is named first because it explains the rest.
bool Downloader::checkBody(const QString& url, const QString& targetPath,
                           const platform::HttpResult& result, qint64 length, bool written,
                           qint32 minimumSize) {
    if (!result.ok()) {
        return fail(QStringLiteral("%1: %2").arg(url, result.error));
    }
    if (!written) {
        return fail(QStringLiteral("%1 could not be written").arg(targetPath));
    }
    if (length == kRejectedBodyLength) {
        return fail(QStringLiteral("%1 sent a body of %2 bytes").arg(url).arg(length));
    }
    if (length <= qint64{minimumSize} * kMinimumSizeUnit) {
        return fail(QStringLiteral("%1 sent only %2 bytes").arg(url).arg(length));
    }
    if (length == 0) {
        return fail(QStringLiteral("%1 sent an empty body").arg(url));
    }
    return true;
}

std::optional<QByteArray> Downloader::fetchSmallFile(const QString& baseAddress,
                                                     const QString& fileName, qint64 maximumSize) {
    lastFailure_.clear();
    const DownloadSource source = downloadSourceFor(commandLine_, ownFolder_);
    if (source.isLocal) {
        const QString path = source.localFolder + "/" + fileName;
        std::optional<QByteArray> content;
        if (files_.normalFileExists(path)) {
            if (const platform::Fallible<QByteArray> read = files_.readFile(path)) {
                content = *read;
            }
        }
        if (!content || content->size() > maximumSize) {
            fail(QStringLiteral("no readable file %1 of at most %2 bytes")
                     .arg(path)
                     .arg(maximumSize));
            return std::nullopt;
        }
        return content;
    }
    const QString url = baseAddress + "/" + fileName;
    platform::HttpLimits limits = limits_;
    limits.maximumBodySize = std::min(limits.maximumBodySize, maximumSize);
    QByteArray body;
    const platform::HttpResult result = http_.get(url, limits, [&](const char* data, qint64 size) {
        body.append(data, size);
        return true;
    });
    if (!result.ok()) {
        fail(QStringLiteral("%1: %2").arg(url, result.error));
        return std::nullopt;
    }
    return body;
}

bool Downloader::acceptsBodyLength(qint64 length, qint32 minimumSize) {
    return length != kRejectedBodyLength && length > qint64{minimumSize} * kMinimumSizeUnit &&
           length != 0;
}

bool Downloader::removeOldTarget(const QString& targetPath) {
    if (partials_ != nullptr) {
        partials_->forget(targetPath);
    }
    if (!files_.normalFileExists(targetPath)) {
        return true;
    }
    if (const platform::Outcome deleted = files_.deleteFile(targetPath); !deleted) {
        return fail(QStringLiteral("the old file %1 could not be deleted: %2")
                        .arg(targetPath, deleted.reason()));
    }
    return true;
}

bool Downloader::fail(const QString& reason) {
    lastFailure_ = reason;
    return false;
}

}  // namespace pelorix::files
