#include <initguid.h>

#include "win32/accessible_names.h"

#include "platform/utf16.h"

namespace vantrel::win32 {

AccessibleNames::AccessibleNames() {
    void* services = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IAccPropServices, &services))) {
        services_ = static_cast<IAccPropServices*>(services);
    }
}

AccessibleNames::~AccessibleNames() {
    if (services_ != nullptr) {
        services_->Release();
    }
}

void AccessibleNames::refused() {
    services_->Release();
    services_ = nullptr;
}

void AccessibleNames::name(HWND hwnd, const std::string& name) {
    if (services_ == nullptr || name.empty()) {
        return;
    }
    const std::wstring text = toUtf16(name);
    if (FAILED(services_->SetHwndPropStr(hwnd, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                         text.c_str()))) {
        refused();
        return;
    }
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleNames::role(HWND hwnd, long role) {
    if (services_ == nullptr) {
        return;
    }
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = role;
    if (FAILED(services_->SetHwndProp(hwnd, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, value))) {
        refused();
    }
}

void AccessibleNames::value(HWND hwnd, const std::string& value) {
    if (services_ == nullptr) {
        return;
    }
    const std::wstring text = toUtf16(value);
    if (FAILED(services_->SetHwndPropStr(hwnd, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_VALUE,
                                         text.c_str()))) {
        refused();
        return;
    }
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleNames::describe(HWND hwnd, const std::string& description) {
    // A service that takes names but no descriptions is still asked for names.
    if (services_ == nullptr || description.empty()) {
        return;
    }
    const std::wstring text = toUtf16(description);
    services_->SetHwndPropStr(hwnd, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                              text.c_str());
}

}  // namespace vantrel::win32
