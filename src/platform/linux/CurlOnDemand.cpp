#include "CurlOnDemand.h"

// The functions below are libcurl's own: plain functions, without the type-checking
// macros curl.h puts in front of the variadic ones.
#define CURL_DISABLE_TYPECHECK 1
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>

#include "engine/HttpFetch.h"

#ifndef LEXORIA_CURL_SONAME
#error "LEXORIA_CURL_SONAME names the libcurl the program was built against"
#endif

namespace lexoria {
namespace {

struct Curl {
    decltype(&::curl_global_init) globalInit;
    decltype(&::curl_version_info) versionInfo;
    decltype(&::curl_easy_init) easyInit;
    decltype(&::curl_easy_setopt) easySetopt;
    decltype(&::curl_easy_perform) easyPerform;
    decltype(&::curl_easy_getinfo) easyGetinfo;
    decltype(&::curl_easy_cleanup) easyCleanup;
    decltype(&::curl_easy_strerror) easyStrerror;
    decltype(&::curl_free) free;
    decltype(&::curl_share_init) shareInit;
    decltype(&::curl_share_setopt) shareSetopt;
    decltype(&::curl_slist_append) slistAppend;
    decltype(&::curl_slist_free_all) slistFreeAll;
    decltype(&::curl_url) url;
    decltype(&::curl_url_cleanup) urlCleanup;
    decltype(&::curl_url_get) urlGet;
    decltype(&::curl_url_set) urlSet;
};

// Without libcurl the program cannot work at all: it ends as it would have if the
// dynamic loader had not found it.
[[noreturn]] void cannotOpen(const char* what) {
    const char* reason = dlerror();
    std::fprintf(stderr, "lexoria: cannot open %s: %s\n", what, reason ? reason : "not found");
    std::_Exit(127);
}

template <typename Function>
void find(void* library, const char* name, Function& function) {
    void* symbol = dlsym(library, name);
    if (!symbol) {
        cannotOpen(name);
    }
    function = reinterpret_cast<Function>(symbol);
}

Curl open() {
    // Global, so that its SSH library can be found to start it without cryptography.
    void* library = dlopen(LEXORIA_CURL_SONAME, RTLD_NOW | RTLD_GLOBAL);
    if (!library) {
        cannotOpen(LEXORIA_CURL_SONAME);
    }
    Curl curl{};
    find(library, "curl_global_init", curl.globalInit);
    find(library, "curl_version_info", curl.versionInfo);
    find(library, "curl_easy_init", curl.easyInit);
    find(library, "curl_easy_setopt", curl.easySetopt);
    find(library, "curl_easy_perform", curl.easyPerform);
    find(library, "curl_easy_getinfo", curl.easyGetinfo);
    find(library, "curl_easy_cleanup", curl.easyCleanup);
    find(library, "curl_easy_strerror", curl.easyStrerror);
    find(library, "curl_free", curl.free);
    find(library, "curl_share_init", curl.shareInit);
    find(library, "curl_share_setopt", curl.shareSetopt);
    find(library, "curl_slist_append", curl.slistAppend);
    find(library, "curl_slist_free_all", curl.slistFreeAll);
    find(library, "curl_url", curl.url);
    find(library, "curl_url_cleanup", curl.urlCleanup);
    find(library, "curl_url_get", curl.urlGet);
    find(library, "curl_url_set", curl.urlSet);
    // Its start, where it is safe beside the program's other threads; else the first
    // request starts it.
    if (curl.versionInfo(CURLVERSION_NOW)->features & CURL_VERSION_THREADSAFE) {
        startSshLibraryWithoutCryptography();
        curl.globalInit(CURL_GLOBAL_DEFAULT);
    }
    return curl;
}

std::shared_future<Curl>& opening() {
    static std::shared_future<Curl> future;
    return future;
}

std::once_flag& started() {
    static std::once_flag once;
    return once;
}

const Curl& curl() {
    // Nobody started it: opened here, on the caller's thread.
    std::call_once(started(), [] {
        std::promise<Curl> now;
        now.set_value(open());
        opening() = now.get_future().share();
    });
    return opening().get();
}

}  // namespace

void startOpeningCurl() {
    std::call_once(started(), [] { opening() = std::async(std::launch::async, open).share(); });
}

}  // namespace lexoria

using lexoria::curl;

extern "C" {

CURLcode curl_global_init(long flags) {
    return curl().globalInit(flags);
}

curl_version_info_data* curl_version_info(CURLversion version) {
    return curl().versionInfo(version);
}

CURL* curl_easy_init() {
    return curl().easyInit();
}

// The variadic functions take one argument after the option, of the type its number
// says. The options are int-sized enumerations, which libcurl's own definitions start
// their argument lists with too.
#pragma GCC diagnostic ignored "-Wvarargs"

CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    std::va_list arguments;
    va_start(arguments, option);
    CURLcode result = CURLE_OK;
    if (option < CURLOPTTYPE_OBJECTPOINT) {
        const long number = va_arg(arguments, long);
        result = curl().easySetopt(handle, option, number);
    } else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB) {
        const curl_off_t size = va_arg(arguments, curl_off_t);
        result = curl().easySetopt(handle, option, size);
    } else {
        // Data, text and function pointers alike.
        void* pointer = va_arg(arguments, void*);
        result = curl().easySetopt(handle, option, pointer);
    }
    va_end(arguments);
    return result;
}

CURLcode curl_easy_perform(CURL* handle) {
    return curl().easyPerform(handle);
}

CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
    std::va_list arguments;
    va_start(arguments, info);
    const CURLcode result = curl().easyGetinfo(handle, info, va_arg(arguments, void*));
    va_end(arguments);
    return result;
}

void curl_easy_cleanup(CURL* handle) {
    curl().easyCleanup(handle);
}

const char* curl_easy_strerror(CURLcode code) {
    return curl().easyStrerror(code);
}

void curl_free(void* pointer) {
    curl().free(pointer);
}

CURLSH* curl_share_init() {
    return curl().shareInit();
}

CURLSHcode curl_share_setopt(CURLSH* share, CURLSHoption option, ...) {
    std::va_list arguments;
    va_start(arguments, option);
    CURLSHcode result = CURLSHE_OK;
    if (option == CURLSHOPT_SHARE || option == CURLSHOPT_UNSHARE) {
        const int data = va_arg(arguments, int);
        result = curl().shareSetopt(share, option, data);
    } else {
        void* pointer = va_arg(arguments, void*);
        result = curl().shareSetopt(share, option, pointer);
    }
    va_end(arguments);
    return result;
}

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
    return curl().slistAppend(list, text);
}

void curl_slist_free_all(curl_slist* list) {
    curl().slistFreeAll(list);
}

CURLU* curl_url() {
    return curl().url();
}

void curl_url_cleanup(CURLU* url) {
    curl().urlCleanup(url);
}

CURLUcode curl_url_get(CURLU* url, CURLUPart part, char** text, unsigned int flags) {
    return curl().urlGet(url, part, text, flags);
}

CURLUcode curl_url_set(CURLU* url, CURLUPart part, const char* text, unsigned int flags) {
    return curl().urlSet(url, part, text, flags);
}

}  // extern "C"
