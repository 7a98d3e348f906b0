#pragma once

#include <windows.h>

#include <initguid.h>

#include <oleacc.h>

#include <map>
#include <string>

#include "platform/utf16.h"

namespace vantrel::test {

// An annotation service of the test's own, registered in place of the system's: it keeps the
// last name each window was given, whatever the system's oleacc can do.
class RecordedNames final : public IAccPropServices, public IClassFactory {
  public:
    std::map<HWND, std::string> names;
    std::map<HWND, std::string> values;
    std::map<HWND, long> roles;
    std::map<HWND, std::string> descriptions;

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IAccPropServices) {
            *out = static_cast<IAccPropServices*>(this);
        } else if (iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // The test owns the object.
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI CreateInstance(IUnknown* /*outer*/, REFIID iid, void** out) override {
        return QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL /*lock*/) override { return S_OK; }

    HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                  LPCWSTR text) override {
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
            (property != PROPID_ACC_NAME && property != PROPID_ACC_VALUE &&
             property != PROPID_ACC_DESCRIPTION)) {
            return E_INVALIDARG;
        }
        (property == PROPID_ACC_NAME    ? names
         : property == PROPID_ACC_VALUE ? values
                                        : descriptions)[hwnd] = toUtf8(text);
        return S_OK;
    }
    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                               VARIANT value) override {
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
            property != PROPID_ACC_ROLE || value.vt != VT_I4) {
            return E_INVALIDARG;
        }
        roles[hwnd] = value.lVal;
        return S_OK;
    }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                     AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                      AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }
};

}  // namespace vantrel::test
