#pragma once

#include "platform/drive_catalog.h"
#include "platform/windows/com_ptr.h"

#include <windows.h>
#include <wbemidl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orvel::windows {

// COM started on the calling thread for the life of the object, in a
// single-threaded apartment. A thread whose COM was already started
// multi-threaded keeps it that way and is still ready.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool ready() const { return ready_; }

private:
    bool ready_ = false;
    bool stopOnExit_ = false;
};

// One object that a query returned, read property by property.
class WmiObject {
public:
    explicit WmiObject(IWbemClassObject& object) : object_(object) {}

    // The property as text (numbers in decimal); nullopt when it is null or
    // the class has no such property.
    std::optional<std::string> text(const wchar_t* property) const;
    // A whole-number property.
    std::optional<std::uint64_t> number(const wchar_t* property) const;

private:
    IWbemClassObject& object_;
};

// The management service's namespace ROOT\CIMV2, with the call security that
// lets its answers through. Needs a ready ComApartment on the same thread,
// which must outlive it.
class WmiConnection {
public:
    // ServiceFailed when the locator cannot be created or the namespace not
    // reached; SecurityFailed when the call security cannot be set.
    CatalogStatus connect();

    // Runs a WQL query and hands every object it returns to `visit`, in the
    // order the service returns them. False when the query cannot run.
    bool query(const wchar_t* wql, const std::function<void(const WmiObject&)>& visit);

private:
    ComPtr<IWbemLocator> locator_;
    ComPtr<IWbemServices> services_;
};

} // namespace orvel::windows
