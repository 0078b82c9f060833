#include "platform/windows/wmi_connection.h"

#include "platform/windows/wide_text.h"

#include <charconv>
#include <string_view>

namespace orvel::windows {

namespace {

// A BSTR made from a literal and freed with the object.
class SystemString {
public:
    explicit SystemString(const wchar_t* text) : value_(::SysAllocString(text)) {}
    ~SystemString() { ::SysFreeString(value_); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;

    BSTR get() const { return value_; }

private:
    BSTR value_;
};

// A VARIANT cleared with the object.
class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
};

} // namespace

ComApartment::ComApartment()
{
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(result)) {
        ready_ = true;
        stopOnExit_ = true;
    } else if (result == RPC_E_CHANGED_MODE) {
        ready_ = true;
    }
}

ComApartment::~ComApartment()
{
    if (stopOnExit_)
        ::CoUninitialize();
}

std::optional<std::string> WmiObject::text(const wchar_t* property) const
{
    Variant value;
    if (FAILED(object_.Get(property, 0, value.get(), nullptr, nullptr)))
        return std::nullopt;
    if (value.value().vt == VT_NULL || value.value().vt == VT_EMPTY)
        return std::nullopt;
    Variant asText;
    if (FAILED(::VariantChangeType(asText.get(), value.get(), 0, VT_BSTR)) || asText.value().bstrVal == nullptr)
        return std::nullopt;
    return narrow(std::wstring_view(asText.value().bstrVal, ::SysStringLen(asText.value().bstrVal)));
}

std::optional<std::uint64_t> WmiObject::number(const wchar_t* property) const
{
    const std::optional<std::string> digits = text(property);
    if (!digits)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, failure] = std::from_chars(digits->data(), digits->data() + digits->size(), value);
    if (digits->empty() || failure != std::errc() || end != digits->data() + digits->size())
        return std::nullopt;
    return value;
}

CatalogStatus WmiConnection::connect()
{
    if (FAILED(::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                  reinterpret_cast<void**>(locator_.receive()))))
        return CatalogStatus::ServiceFailed;
    const SystemString space(L"ROOT\\CIMV2");
    if (FAILED(locator_->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                       services_.receive())))
        return CatalogStatus::ServiceFailed;
    if (FAILED(::CoSetProxyBlanket(services_.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                   RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)))
        return CatalogStatus::SecurityFailed;
    return CatalogStatus::Ok;
}

bool WmiConnection::query(const wchar_t* wql, const std::function<void(const WmiObject&)>& visit)
{
    if (!services_)
        return false;
    const SystemString language(L"WQL");
    const SystemString text(wql);
    ComPtr<IEnumWbemClassObject> results;
    if (FAILED(services_->ExecQuery(language.get(), text.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                    nullptr, results.receive())))
        return false;
    for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        results->Next(static_cast<long>(WBEM_INFINITE), 1, object.receive(), &returned);
        if (returned == 0 || !object)
            return true;
        visit(WmiObject(*object.get()));
    }
}

} // namespace orvel::windows
