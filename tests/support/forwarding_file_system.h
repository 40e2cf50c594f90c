#pragma once

#include "platform/file_system.h"

#include <QStringList>

namespace pelorix::test {

// Passes every call on to another file system and notes the path of each one; tests derive from
// it to make chosen operations fail or to watch the order of calls.
class ForwardingFileSystem : public platform::FileSystem {
  public:
    explicit ForwardingFileSystem(platform::FileSystem& inner = platform::defaultFileSystem())
        : inner_(inner) {}

    // "operation path" for every call, in order.
    mutable QStringList calls;

    QString resolve(const QString& path) const override {
        note("resolve", path);
        return inner_.resolve(path);
    }
    bool normalFileExists(const QString& path) const override {
        note("normalFileExists", path);
        return inner_.normalFileExists(path);
    }
    bool entryExists(const QString& path) const override {
        note("entryExists", path);
        return inner_.entryExists(path);
    }
    bool anyMatch(const QString& pattern) const override {
        note("anyMatch", pattern);
        return inner_.anyMatch(pattern);
    }
    bool isReadOnly(const QString& path) const override {
        note("isReadOnly", path);
        return inner_.isReadOnly(path);
    }
    std::vector<platform::DirEntry> list(const QString& folder) const override {
        note("list", folder);
        return inner_.list(folder);
    }
    platform::Outcome deleteFile(const QString& path) override {
        note("deleteFile", path);
        return inner_.deleteFile(path);
    }
    platform::Outcome moveFile(const QString& from, const QString& to) override {
        note("moveFile", from + " -> " + to);
        return inner_.moveFile(from, to);
    }
    platform::Outcome copyFile(const QString& from, const QString& to,
                               bool replaceExisting) override {
        note("copyFile", from + " -> " + to);
        return inner_.copyFile(from, to, replaceExisting);
    }
    platform::Outcome linkFile(const QString& from, const QString& to) override {
        note("linkFile", from + " -> " + to);
        return inner_.linkFile(from, to);
    }
    platform::Outcome createFolder(const QString& path) override {
        note("createFolder", path);
        return inner_.createFolder(path);
    }
    platform::Outcome removeEmptyFolder(const QString& path) override {
        note("removeEmptyFolder", path);
        return inner_.removeEmptyFolder(path);
    }
    platform::Fallible<QByteArray> readFile(const QString& path) const override {
        note("readFile", path);
        return inner_.readFile(path);
    }
    std::unique_ptr<platform::FileWriter> createFile(const QString& path) override {
        note("createFile", path);
        return inner_.createFile(path);
    }
    platform::Outcome replaceFileContents(const QString& path, const QByteArray& bytes) override {
        note("replaceFileContents", path);
        return inner_.replaceFileContents(path, bytes);
    }
    platform::Outcome appendToFile(const QString& path, const QByteArray& bytes) override {
        note("appendToFile", path);
        return inner_.appendToFile(path, bytes);
    }
    void removeLeftoverTemporaries(const QString& path) override {
        note("removeLeftoverTemporaries", path);
        inner_.removeLeftoverTemporaries(path);
    }

  private:
    void note(const char* operation, const QString& path) const {
        calls.append(QString::fromLatin1(operation) + " " + path);
    }

    platform::FileSystem& inner_;
};

}  // namespace pelorix::test
