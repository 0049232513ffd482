#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "ports/Log.h"

namespace lexoria {

struct HttpOptions {
    // Whole-exchange time-out.
    double timeoutSeconds = 60.0;
    // PEM file of certificate authorities to trust instead of the system's; empty for
    // the system's. Certificates are always verified.
    std::string caFile;
    // A larger answer is cut off and counts as no answer: nothing a service sends is
    // near this size, and an endless body must not exhaust memory.
    std::size_t maxBodyBytes = std::size_t{16} << 20;
    // Where requests refused before they are sent are reported; none for silence.
    Log* log = nullptr;
};

// Longer URLs are refused at once: libcurl cannot send a request head beyond 1 MiB.
inline constexpr std::size_t kMaxUrlBytes = 1000000;

// What came back from a completed exchange, whatever its status.
struct HttpAnswer {
    long status = 0;
    std::string body;
    // The character set declared in the final answer's content type, if any.
    std::optional<std::string> charset;
};

// Sets libcurl up once per process, before any thread uses it.
void ensureCurlInitialised();

// Starts libcurl's SSH library, when the process has one, without the cryptography no
// request of ours needs; before curl_global_init, which would start it with it.
void startSshLibraryWithoutCryptography();

// The "User-Agent" sent with every request that does not set its own.
std::string defaultUserAgent();

// True when `text` is a URL the program may fetch: http or https, only characters that
// a URL may hold, well-formed percent escapes, and a host.
bool isLegalUrlText(const std::string& text);

// Sets the options every request of the program shares on a libcurl handle: the URL,
// http and https only (redirects too, and from https to https only), the time-out, the
// user agent and certificate verification against `options.caFile` or the system's
// authorities.
void setCommonCurlOptions(void* curlHandle, const std::string& url, const HttpOptions& options,
                          const std::string& userAgent);

// A blocking GET that follows redirects (http and https only). No answer (nothing
// reached, time-out, illegal or over-long URL, over-long body) is the absent value.
std::optional<HttpAnswer> httpGet(const std::string& url, const HttpOptions& options,
                                  const std::string& userAgent);

// A blocking GET of a document of the maker's site, as ServiceAddresses::siteAddress
// gives it. A site without a public address is its installed copy: only here may a
// "file:" address be read, and then from the local folder alone, never by a redirect.
std::optional<HttpAnswer> siteGet(const std::string& url, const HttpOptions& options,
                                  const std::string& userAgent);
// False, with a line in the log, when the URL is too long to be sent.
bool urlFitsARequest(const std::string& url, const HttpOptions& options);

// The charset parameter of a Content-Type value, unquoted; absent when there is none.
std::optional<std::string> charsetOfContentType(const std::string& contentType);

}  // namespace lexoria
