#include "control_document.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace pelorix::supervisor {

bool loadControlDocument(const std::string& path, pugi::xml_document& document) {
    constexpr unsigned kKeepEverything =
        pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;
    return bool(document.load_file(path.c_str(), kKeepEverything)) && document.document_element();
}

bool saveControlDocument(const pugi::xml_document& document, const std::string& path) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    const std::string temporary = path + ".tmp-" + std::to_string(getpid());
    if (!document.save_file(temporary.c_str(), "  ")) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

void fillInitialDocument(pugi::xml_document& document) {
    document.reset();
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node processes =
        document.append_child("OrvaneTrellisService").append_child("processes");
    for (const char* name : {"PelorixService", "HavrelService"}) {
        pugi::xml_node process = processes.append_child("process");
        process.append_attribute("name") = name;
        process.append_child("targetstatus").text() = "1";
        process.append_child("currentstatus").text() = "1";
    }
}

}  // namespace pelorix::supervisor
