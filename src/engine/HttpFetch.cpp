#include "HttpFetch.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <mutex>

#include "Version.h"

namespace lexoria {

namespace {

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool isUrlChar(char c) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
        return true;
    }
    // RFC 2396 reserved and unreserved marks, the fragment sign, and brackets for IPv6
    // hosts.
    constexpr std::string_view kAllowed = "-_.!~*'();/?:@&=+$,#[]";
    return kAllowed.find(c) != std::string_view::npos;
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

struct BodySink {
    std::string body;
    std::size_t limit = 0;
    bool overflowed = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const size_t bytes = size * count;
    if (sink->body.size() + bytes > sink->limit) {
        sink->overflowed = true;
        return 0;  // makes libcurl abort the transfer
    }
    sink->body.append(data, bytes);
    return bytes;
}

// Connections and TLS sessions kept open between fetches, so that translations in a row
// to one service reuse one connection instead of a TCP and TLS handshake each. Every
// fetch stays its own request; libcurl reuses a connection only for a request with the
// same host, port and TLS settings. Fetches run on several threads, hence the locks.
class ConnectionCache {
  public:
    ConnectionCache() : share_(curl_share_init()) {
        if (!share_) {
            return;
        }
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &ConnectionCache::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &ConnectionCache::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }

    void attach(CURL* handle) {
        if (share_) {
            curl_easy_setopt(handle, CURLOPT_SHARE, share_);
        }
    }

  private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
        static_cast<ConnectionCache*>(user)->mutexes_[index(data)].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* user) {
        static_cast<ConnectionCache*>(user)->mutexes_[index(data)].unlock();
    }
    static std::size_t index(curl_lock_data data) {
        return std::min<std::size_t>(static_cast<std::size_t>(data), CURL_LOCK_DATA_LAST);
    }

    CURLSH* share_;
    std::array<std::mutex, CURL_LOCK_DATA_LAST + 1> mutexes_;
};

// Lives until the process ends: cached connections may be in use by a fetch on another
// thread while static objects are destroyed.
ConnectionCache& connectionCache() {
    static auto* cache = new ConnectionCache();
    return *cache;
}

}  // namespace

// libcurl's SSH library, when curl starts it, sets up every algorithm of OpenSSL for
// protocols no request of ours may use (each allows http and https only): 1.7 MiB of
// resident memory and a millisecond at every start of the program. Started first without its
// cryptography, it stays so; curl's own start only counts it.
void startSshLibraryWithoutCryptography() {
    using Init = int (*)(int);
    constexpr int kNoCryptography = 0x0001;  // LIBSSH2_INIT_NO_CRYPTO
    if (auto* init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "libssh2_init"))) {
        init(kNoCryptography);
    }
}

void ensureCurlInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
        startSshLibraryWithoutCryptography();
        curl_global_init(CURL_GLOBAL_DEFAULT);
    });
}

std::string defaultUserAgent() {
    return std::string("Lexoria/") + kLexoriaVersion;
}

bool isLegalUrlText(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2])) {
                return false;
            }
            i += 2;
        } else if (!isUrlChar(c)) {
            return false;
        }
    }
    std::unique_ptr<CURLU, CurlUrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    char* scheme = nullptr;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) {
        return false;
    }
    const std::string schemeText = scheme;
    curl_free(scheme);
    char* host = nullptr;
    if (curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) {
        return false;
    }
    const bool hasHost = host[0] != '\0';
    curl_free(host);
    return hasHost && (schemeText == "http" || schemeText == "https");
}

void setCommonCurlOptions(void* curlHandle, const std::string& url, const HttpOptions& options,
                          const std::string& userAgent) {
    CURL* h = static_cast<CURL*>(curlHandle);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    // An answer fetched over TLS must not be handed over by plain HTTP.
    const bool secure = url.rfind("https:", 0) == 0 || url.rfind("HTTPS:", 0) == 0;
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    // libcurl 7.88 sends the first upload buffer of an HTTPS request head at once and
    // the rest through its upload path, which stops after one more buffer: a head over
    // twice the buffer (128 KiB by default) stalls until the time-out. A buffer that holds
    // the whole head avoids that path.
    constexpr std::size_t kHeadRoom = 16384;
    const std::size_t buffer = std::clamp<std::size_t>(url.size() + kHeadRoom, 65536, 2097152);
    curl_easy_setopt(h, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(buffer));
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 16L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeoutSeconds * 1000.0));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.caFile.empty()) {
        curl_easy_setopt(h, CURLOPT_CAINFO, options.caFile.c_str());
        curl_easy_setopt(h, CURLOPT_CAPATH, nullptr);
    }
}

bool urlFitsARequest(const std::string& url, const HttpOptions& options) {
    if (url.size() <= kMaxUrlBytes) {
        return true;
    }
    if (options.log) {
        const std::size_t hostEnd = url.find('/', url.find("//") + 2);
        options.log->line("not sent: a request of " + std::to_string(url.size()) + " bytes to " +
                          url.substr(0, hostEnd) + " is over the " + std::to_string(kMaxUrlBytes) +
                          " bytes a URL may have");
    }
    return false;
}

namespace {

// One GET on a fresh handle that `prepare` points at its address; the body is cut off
// at the options' size, and `finish` takes the body and the handle's answer.
template <typename Prepare, typename Finish>
std::optional<HttpAnswer> fetchOnce(const HttpOptions& options, Prepare prepare, Finish finish) {
    ensureCurlInitialised();
    std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    if (!handle) {
        return std::nullopt;
    }
    CURL* h = handle.get();
    BodySink sink;
    sink.limit = options.maxBodyBytes;
    prepare(h);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    if (curl_easy_perform(h) != CURLE_OK || sink.overflowed) {
        return std::nullopt;
    }
    HttpAnswer answer;
    answer.body = std::move(sink.body);
    finish(h, answer);
    return answer;
}

}  // namespace

std::optional<HttpAnswer> httpGet(const std::string& url, const HttpOptions& options,
                                  const std::string& userAgent) {
    if (!urlFitsARequest(url, options) || !isLegalUrlText(url)) {
        return std::nullopt;
    }
    return fetchOnce(
        options,
        [&](CURL* h) {
            setCommonCurlOptions(h, url, options, userAgent);
            connectionCache().attach(h);
            curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        },
        [](CURL* h, HttpAnswer& answer) {
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.status);
            char* contentType = nullptr;
            if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK &&
                contentType) {
                answer.charset = charsetOfContentType(contentType);
            }
        });
}

std::optional<HttpAnswer> siteGet(const std::string& url, const HttpOptions& options,
                                  const std::string& userAgent) {
    constexpr std::string_view kLocal = "file:///";
    if (url.compare(0, kLocal.size(), kLocal) != 0) {
        return httpGet(url, options, userAgent);
    }
    return fetchOnce(
        options,
        [&](CURL* h) {
            curl_easy_setopt(h, CURLOPT_URL, url.c_str());
            curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "file");
            curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        },
        // A file read has no status line: reaching the file is what a 200 means.
        [](CURL*, HttpAnswer& answer) { answer.status = 200; });
}

std::optional<std::string> charsetOfContentType(const std::string& contentType) {
    const auto trim = [](const std::string& text) {
        const auto first = text.find_first_not_of(" \t");
        const auto last = text.find_last_not_of(" \t");
        return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    };
    // The media type, then parameters "; name=value" or "; name=\"value\"".
    std::size_t pos = contentType.find(';');
    while (pos != std::string::npos) {
        const std::size_t start = pos + 1;
        std::size_t end = contentType.find(';', start);
        const std::size_t eq = contentType.find('=', start);
        if (eq != std::string::npos && (end == std::string::npos || eq < end)) {
            std::string name = trim(contentType.substr(start, eq - start));
            for (char& c : name) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            std::string value;
            const std::size_t valueStart = contentType.find_first_not_of(" \t", eq + 1);
            if (valueStart != std::string::npos && contentType[valueStart] == '"') {
                const std::size_t close = contentType.find('"', valueStart + 1);
                value = contentType.substr(valueStart + 1, close == std::string::npos
                                                               ? std::string::npos
                                                               : close - valueStart - 1);
                end = close == std::string::npos ? close : contentType.find(';', close);
            } else if (valueStart != std::string::npos) {
                value = trim(contentType.substr(
                    valueStart, end == std::string::npos ? std::string::npos : end - valueStart));
            }
            if (name == "charset") {
                return value.empty() ? std::nullopt : std::optional<std::string>(value);
            }
        }
        pos = end;
    }
    return std::nullopt;
}

}  // namespace lexoria
