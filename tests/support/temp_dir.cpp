#include "support/temp_dir.h"

#include "platform/text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pelorix::test {

TempDir::TempDir() : dir_(QDir::tempPath() + "/pelorix-test-XXXXXX") {}

QString TempDir::write(const QString& relative, const QByteArray& bytes) const {
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
    return full;
}

QByteArray TempDir::read(const QString& relative) const {
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TempDir::mkdir(const QString& relative) const {
    QDir().mkpath(file(relative));
    return file(relative);
}

QByteArray cp1252(const QString& text) {
    return platform::encodeAnsi(text);
}

}  // namespace pelorix::test
