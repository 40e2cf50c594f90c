#include "platform/environment.h"

#include <QProcessEnvironment>

#include <utility>

namespace pelorix::platform {

Environment::Environment(std::map<QString, QString> variables) : variables_(std::move(variables)) {}

// The one place the program reads its environment.
Environment Environment::ofThisProcess() {
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    std::map<QString, QString> variables;
    for (const QString& name : system.keys()) {
        variables.emplace(name, system.value(name));
    }
    return Environment(std::move(variables));
}

std::optional<QString> Environment::find(const QString& name) const {
    const auto found = variables_.find(name);
    if (found == variables_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace pelorix::platform
