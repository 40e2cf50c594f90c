#pragma once

#include <QString>

#include <initializer_list>
#include <map>
#include <optional>

namespace pelorix::platform {

// The variables of a process's environment by name. The program reads its own once, at
// start-up, and hands the values on; tests build one from a plain map.
class Environment {
  public:
    Environment() = default;
    explicit Environment(std::map<QString, QString> variables);
    Environment(std::initializer_list<std::pair<const QString, QString>> variables)
        : Environment(std::map<QString, QString>(variables)) {}

    // The environment of this process.
    static Environment ofThisProcess();

    // The value of a variable that is set (perhaps to the empty text), or nothing.
    std::optional<QString> find(const QString& name) const;
    // The value, or the empty text when the variable is not set.
    QString value(const QString& name) const { return find(name).value_or(QString()); }

  private:
    std::map<QString, QString> variables_;
};

}  // namespace pelorix::platform
