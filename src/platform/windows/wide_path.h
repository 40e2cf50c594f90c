#pragma once

#include <QDir>
#include <QString>

namespace pelorix::platform::windows {

// A path as the wide Win32 functions take it: the program joins with "/", Win32 wants "\".
class WidePath {
  public:
    explicit WidePath(const QString& path) : native_(QDir::toNativeSeparators(path)) {}
    const wchar_t* c_str() const { return reinterpret_cast<const wchar_t*>(native_.utf16()); }

  private:
    QString native_;
};

}  // namespace pelorix::platform::windows
