#include "platform/posix/curl_library.h"

#include <dlfcn.h>

#include <optional>

namespace pelorix::platform {
namespace {

// The name of the shared library, as the run-time linker would have looked it up.
constexpr const char* kLibraryName = "libcurl.so.4";

template <typename Function>
bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::optional<CurlLibrary> load() {
    // Never unloaded: libcurl keeps global state until the program ends.
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return std::nullopt;
    }
    CurlLibrary curl{};
    const bool complete = resolve(library, "curl_global_init", curl.globalInit) &&
                          resolve(library, "curl_global_cleanup", curl.globalCleanup) &&
                          resolve(library, "curl_easy_init", curl.easyInit) &&
                          resolve(library, "curl_easy_cleanup", curl.easyCleanup) &&
                          resolve(library, "curl_easy_setopt", curl.easySetopt) &&
                          resolve(library, "curl_easy_reset", curl.easyReset) &&
                          resolve(library, "curl_easy_perform", curl.easyPerform) &&
                          resolve(library, "curl_easy_getinfo", curl.easyGetinfo) &&
                          resolve(library, "curl_easy_strerror", curl.easyStrerror) &&
                          resolve(library, "curl_slist_append", curl.slistAppend) &&
                          resolve(library, "curl_slist_free_all", curl.slistFreeAll);
    if (!complete) {
        return std::nullopt;
    }
    return curl;
}

}  // namespace

const CurlLibrary* curlLibrary() {
    static const std::optional<CurlLibrary> library = load();
    return library ? &*library : nullptr;
}

}  // namespace pelorix::platform
