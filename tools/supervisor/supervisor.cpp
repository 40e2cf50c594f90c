#include "supervisor.h"

#include "control_document.h"

#include <iostream>
#include <utility>

namespace pelorix::supervisor {

namespace {
constexpr const char* kStopped = "0";
constexpr const char* kRunning = "1";
}  // namespace

Supervisor::Supervisor(Options options) : options_(std::move(options)) {}

void Supervisor::tick(TimePoint now) {
    pugi::xml_document document;
    if (!loadControlDocument(options_.document, document)) {
        return;  // missing or being replaced by a writer that is not atomic: look again later
    }
    bool changed = false;
    for (const pugi::xpath_node& found : document.select_nodes("//process[@name]")) {
        changed = superviseProcess(found.node(), now) || changed;
    }
    if (changed && !saveControlDocument(document, options_.document)) {
        std::cerr << "pelorix-supervisor: cannot write " << options_.document << std::endl;
    }
}

bool Supervisor::superviseProcess(pugi::xml_node process, TimePoint now) {
    const std::string name = process.attribute("name").value();
    const pugi::xml_node targetElement = process.child("targetstatus");
    const std::string target = targetElement.text().get();
    pugi::xml_node current = process.child("currentstatus");
    const bool keptRunning = target == kStopped && options_.keepRunning.contains(name);
    const bool keptStopped = target == kRunning && options_.keepStopped.contains(name);
    if (!targetElement || target == current.text().get() || keptRunning || keptStopped) {
        pending_.erase(name);
        return false;
    }
    auto [entry, added] = pending_.try_emplace(name, PendingChange{target, now});
    if (!added && entry->second.target != target) {
        entry->second = PendingChange{target, now};
    }
    if (now - entry->second.since < options_.delay) {
        return false;
    }
    if (!current) {
        current = process.append_child("currentstatus");
    }
    std::cout << name << ": currentstatus \"" << current.text().get() << "\" -> \"" << target
              << "\"" << std::endl;
    current.text() = target.c_str();
    return true;  // the entry goes once the saved document shows the target reached
}

}  // namespace pelorix::supervisor
