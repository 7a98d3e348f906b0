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

void AccessibleNames::name(HWND hwnd, const std::string& name) {
    if (services_ != nullptr && !name.empty() && !set(hwnd, PROPID_ACC_NAME, name)) {
        // A service that refuses a name (a stub of one refuses every call) is not asked again.
        services_->Release();
        services_ = nullptr;
    }
}

void AccessibleNames::describe(HWND hwnd, const std::string& description) {
    // A service that takes names but no descriptions is still asked for names.
    if (services_ != nullptr && !description.empty()) {
        set(hwnd, PROPID_ACC_DESCRIPTION, description);
    }
}

bool AccessibleNames::set(HWND hwnd, const MSAAPROPID& property, const std::string& value) {
    const std::wstring text = toUtf16(value);
    return SUCCEEDED(
        services_->SetHwndPropStr(hwnd, OBJID_CLIENT, CHILDID_SELF, property, text.c_str()));
}

}  // namespace vantrel::win32
