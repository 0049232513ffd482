#include "AsyncHttp.h"

#include <curl/curl.h>

#include <cstring>

namespace lexoria {

namespace {

struct TransferState {
    RunLoop* runLoop;
    std::shared_ptr<ConnectionEvents> events;
    const std::atomic<bool>* stopping;
    std::size_t limit;
    std::size_t received = 0;
    bool overflowed = false;
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<TransferState*>(user);
    const size_t bytes = size * count;
    // Each status line starts a new response (after a redirect, for one).
    if (bytes >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
        state->received = 0;
        state->runLoop->post([events = state->events] {
            if (events->didReceiveResponse) {
                events->didReceiveResponse();
            }
        });
    }
    return bytes;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<TransferState*>(user);
    const size_t bytes = size * count;
    if (state->received + bytes > state->limit) {
        state->overflowed = true;
        return 0;
    }
    state->received += bytes;
    state->runLoop->post([events = state->events, chunk = std::string(data, bytes)]() mutable {
        if (events->didReceiveData) {
            events->didReceiveData(std::move(chunk));
        }
    });
    return bytes;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<TransferState*>(user)->stopping->load() ? 1 : 0;
}

// Scheme, host and port of a URL, as libcurl reads it; empty when it reads none.
std::string origin(const std::string& url) {
    CURLU* parsed = curl_url();
    std::string out;
    if (parsed && curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        for (const CURLUPart part : {CURLUPART_SCHEME, CURLUPART_HOST, CURLUPART_PORT}) {
            char* text = nullptr;
            if (curl_url_get(parsed, part, &text, CURLU_DEFAULT_PORT) == CURLUE_OK) {
                out += text;
                curl_free(text);
            }
            out += '|';
        }
    }
    curl_url_cleanup(parsed);
    return out;
}

bool sameOrigin(const std::string& from, const std::string& to) {
    const std::string origin1 = origin(from);
    return !origin1.empty() && origin1 == origin(to);
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

AsyncHttp::AsyncHttp(RunLoop& runLoop, HttpOptions options)
    : runLoop_(runLoop), options_(std::move(options)) {}

AsyncHttp::~AsyncHttp() {
    stopping_ = true;
    std::lock_guard lock(workersMutex_);
    for (Worker& worker : workers_) {
        worker.thread.join();
    }
}

void AsyncHttp::start(AsyncRequest request, ConnectionEvents events) {
    // At the first request rather than at construction: the program builds its
    // connection while libcurl may still be loading.
    ensureCurlInitialised();
    ++*running_;
    auto shared = std::make_shared<ConnectionEvents>(std::move(events));
    if (!urlFitsARequest(request.url, options_)) {
        runLoop_.post([shared, running = running_] {
            if (shared->didFailWithError) {
                shared->didFailWithError("the URL is too long");
            }
            --*running;
        });
        return;
    }
    std::lock_guard lock(workersMutex_);
    // Threads whose transfer is over are joined here rather than left to pile up.
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back(Worker{std::thread([this, request = std::move(request), shared, done] {
                                  transfer(request, shared);
                                  *done = true;
                              }),
                              done});
}

void AsyncHttp::transfer(const AsyncRequest& request,
                         const std::shared_ptr<ConnectionEvents>& events) {
    TransferState state{&runLoop_, events, &stopping_, options_.maxBodyBytes};
    std::string error;
    std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    std::unique_ptr<curl_slist, HeaderListDeleter> headers;
    if (!handle) {
        error = "cannot start a transfer";
    } else if (!isLegalUrlText(request.url)) {
        error = "unsupported URL";
    } else {
        CURL* h = handle.get();
        setCommonCurlOptions(h, request.url, options_, defaultUserAgent());
        const bool post = request.method == "POST";
        if (post) {
            // libcurl turns a POST redirected by 301, 302 or 303 into a GET that still
            // carries the caller's Content-Length, and the next server waits for a body
            // that never comes: only 307 and 308 are followed, by hand, on the same origin.
            curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
            curl_easy_setopt(h, CURLOPT_POST, 1L);
            curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.c_str());
            curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
        } else if (request.method != "GET") {
            curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        }
        curl_slist* list = nullptr;
        for (const std::string& header : request.headers) {
            list = curl_slist_append(list, header.c_str());
        }
        // No "Expect: 100-continue" round trip for larger bodies.
        list = curl_slist_append(list, "Expect:");
        headers.reset(list);
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, list);
        curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &onHeader);
        curl_easy_setopt(h, CURLOPT_HEADERDATA, &state);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &onBody);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &state);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &onProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &state);
        CURLcode result = curl_easy_perform(h);
        std::string url = request.url;
        for (int hop = 0; post && result == CURLE_OK && !state.overflowed && hop < 16; ++hop) {
            long status = 0;
            char* next = nullptr;
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
            curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &next);
            if ((status != 307 && status != 308) || !next || !sameOrigin(url, next)) {
                break;
            }
            url = next;
            curl_easy_setopt(h, CURLOPT_URL, url.c_str());
            result = curl_easy_perform(h);
        }
        if (state.overflowed) {
            error = "the answer is too large";
        } else if (result != CURLE_OK) {
            error = curl_easy_strerror(result);
        }
    }
    runLoop_.post([events, error, running = running_] {
        if (error.empty()) {
            if (events->didFinishLoading) {
                events->didFinishLoading();
            }
        } else if (events->didFailWithError) {
            events->didFailWithError(error);
        }
        --*running;
    });
}

}  // namespace lexoria
