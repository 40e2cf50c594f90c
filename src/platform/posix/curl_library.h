#pragma once

#include <curl/curl.h>

namespace pelorix::platform {

// The functions of libcurl the HTTP client calls. libcurl and the thirty-odd libraries it
// brings (TLS, Kerberos, LDAP, SSH, ...) are loaded on the first fetch rather than at every
// start of the program, which most often fetches nothing (the window waiting for a click,
// --help, --version) and would otherwise spend a good part of its start-up loading them.
struct CurlLibrary {
    CURLcode (*globalInit)(long flags);
    void (*globalCleanup)();
    CURL* (*easyInit)();
    void (*easyCleanup)(CURL* handle);
    CURLcode (*easySetopt)(CURL* handle, CURLoption option, ...);
    void (*easyReset)(CURL* handle);
    CURLcode (*easyPerform)(CURL* handle);
    CURLcode (*easyGetinfo)(CURL* handle, CURLINFO info, ...);
    const char* (*easyStrerror)(CURLcode code);
    curl_slist* (*slistAppend)(curl_slist* list, const char* text);
    void (*slistFreeAll)(curl_slist* list);
};

// libcurl, loaded on the first call; nullptr when it cannot be loaded.
const CurlLibrary* curlLibrary();

}  // namespace pelorix::platform
