#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "HttpFetch.h"
#include "ports/RunLoop.h"

namespace lexoria {

struct AsyncRequest {
    std::string url;
    std::string method = "GET";
    std::vector<std::string> headers;  // "Name: value"
    std::string body;
};

// What a connection tells its owner, one event after another on the main run loop.
struct ConnectionEvents {
    std::function<void()> didReceiveResponse;  // a new response starts a fresh body
    std::function<void(std::string)> didReceiveData;
    std::function<void()> didFinishLoading;
    std::function<void(std::string)> didFailWithError;
};

// Runs HTTP requests on worker threads and delivers their events on the run loop. The
// events hold whatever they capture until the last of them has run.
class AsyncHttp {
  public:
    AsyncHttp(RunLoop& runLoop, HttpOptions options);
    // Aborts the transfers still running and waits for their threads.
    ~AsyncHttp();
    AsyncHttp(const AsyncHttp&) = delete;
    AsyncHttp& operator=(const AsyncHttp&) = delete;

    void start(AsyncRequest request, ConnectionEvents events);

    // Requests whose last event has not been delivered yet.
    std::size_t running() const { return *running_; }

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void transfer(const AsyncRequest& request, const std::shared_ptr<ConnectionEvents>& events);

    RunLoop& runLoop_;
    HttpOptions options_;
    std::shared_ptr<std::atomic<std::size_t>> running_ =
        std::make_shared<std::atomic<std::size_t>>(0);
    std::atomic<bool> stopping_{false};
    std::mutex workersMutex_;
    std::vector<Worker> workers_;
};

}  // namespace lexoria
