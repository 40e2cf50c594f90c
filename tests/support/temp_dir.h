#pragma once

#include "support/qt_print.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pelorix::test {

// A scratch folder removed after the test; paths are joined with "/" as the program joins them.
class TempDir {
  public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.path() + "/" + relative; }
    // Writes raw bytes, creating missing parent folders.
    QString write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;
    QString mkdir(const QString& relative) const;

  private:
    QTemporaryDir dir_;
};

// Windows-1252 bytes of a text written in the source as UTF-8.
QByteArray cp1252(const QString& text);

}  // namespace pelorix::test
