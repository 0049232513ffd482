#pragma once

#include <functional>
#include <optional>
#include <string>

namespace lexoria {

// The pasteboard of one request that another program sends through the Services entry.
class ServicePasteboard {
  public:
    virtual ~ServicePasteboard() = default;
    virtual bool hasString() const = 0;
    virtual std::optional<std::string> string() const = 0;
    // What the calling program receives back.
    virtual void setString(const std::string& text) = 0;
};

// The Services entry "lexoria": a handler answers each request with an error text, or
// nothing when all went well. Handlers run on the main thread, never while an alert is up
// or the run loop sleeps. An empty handler withdraws the provider.
class ServicesRegistry {
  public:
    using Handler = std::function<std::optional<std::string>(ServicePasteboard&)>;
    virtual ~ServicesRegistry() = default;
    // A provider reached under its own port name.
    virtual void registerServicesProvider(const std::string& portName, Handler handler) = 0;
    // The application's own provider.
    virtual void setServicesProvider(Handler handler) = 0;
};

}  // namespace lexoria
