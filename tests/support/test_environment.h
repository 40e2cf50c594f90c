#pragma once

#include <QByteArray>
#include <QString>

namespace pelorix::test {

// Sets an environment variable for the lifetime of the object and restores it afterwards; for
// what outside components read (unixODBC, the program search path, the stand-in registrar).
// The updater's own configuration is built from a platform::Environment instead.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? (void)qputenv(name_, old_) : (void)qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// A stand-in tool of the build, e.g. toolPath("regsvr32/regsvr32"); ctest names the folder.
inline QString toolPath(const QString& relative) {
    const QString tools = qEnvironmentVariableIsEmpty("PELORIX_TOOLS_DIR")
                              ? QString(PELORIX_BINARY_DIR "/tools")
                              : qEnvironmentVariable("PELORIX_TOOLS_DIR");
    return tools + "/" + relative;
}

}  // namespace pelorix::test
