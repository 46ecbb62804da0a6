#include "mail/outlook_win.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "ui/ole_win.h"

namespace griv {

namespace {

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** put() { return &p_; }
  void** putVoid() { return reinterpret_cast<void**>(&p_); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

struct Variant {
  VARIANT v;
  Variant() { ole::VariantInit(&v); }
  ~Variant() { ole::VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// Starts COM on this thread for the call unless it already runs in another model.
class ComScope {
 public:
  ComScope() : hr_(ole::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) ole::CoUninitialize();
  }

 private:
  HRESULT hr_;
};

std::string HResultText(HRESULT hr) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&buf), 0, nullptr);
  std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return text.empty() ? std::string("error ") + code : Narrow(text) + " (" + code + ")";
}

// No automation server of that name: a code says nothing to a user who simply has no Outlook.
std::string StartFailureText(HRESULT hr) {
  if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG) return kOutlookNotInstalled;
  return HResultText(hr);
}

[[noreturn]] void Fail(const std::string& reason) {
  throw EOutlookError(std::string(kUnableToStartOutlook) + ": " + reason);
}

// Calls a member by name; args in the order the member lists them.
void Call(IDispatch* target, const wchar_t* member, WORD kind, std::vector<VARIANT> args, VARIANT* result) {
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT hr = target->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) Fail(Narrow(member) + ": " + HResultText(hr));
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // automation wants the last first
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO info{};
  UINT argError = 0;
  hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &info, &argError);
  if (SUCCEEDED(hr)) return;
  std::string reason;
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    if (info.bstrDescription && *info.bstrDescription)
      reason = Narrow(info.bstrDescription);
    else
      reason = HResultText(info.scode ? info.scode : hr);
  } else {
    reason = HResultText(hr);
  }
  ole::SysFreeString(info.bstrSource);
  ole::SysFreeString(info.bstrDescription);
  ole::SysFreeString(info.bstrHelpFile);
  Fail(Narrow(member) + ": " + reason);
}

IDispatch* DispatchOf(const Variant& v, const wchar_t* member) {
  if (v.v.vt != VT_DISPATCH || !v.v.pdispVal) Fail(Narrow(member) + ": no object returned");
  return v.v.pdispVal;
}

}  // namespace

void MailWithOutlook(const std::string& attachment) {
  ComScope com;
  CLSID clsid;
  HRESULT hr = ole::CLSIDFromProgID(kOutlookProgId, &clsid);
  if (FAILED(hr)) Fail(StartFailureText(hr));

  ComRef<IDispatch> app;
  {
    ComRef<IUnknown> running;
    if (SUCCEEDED(ole::GetActiveObject(clsid, nullptr, running.put())) && running)
      running->QueryInterface(IID_IDispatch, app.putVoid());
  }
  if (!app) {
    hr = ole::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, app.putVoid());
    if (FAILED(hr) || !app) Fail(StartFailureText(FAILED(hr) ? hr : E_NOINTERFACE));
  }

  VARIANT mailType;
  ole::VariantInit(&mailType);
  mailType.vt = VT_I4;
  mailType.lVal = 0;  // a mail item
  Variant item;
  Call(app.get(), L"CreateItem", DISPATCH_METHOD, {mailType}, &item.v);
  IDispatch* mail = DispatchOf(item, L"CreateItem");

  if (!attachment.empty()) {
    Variant attachments;
    Call(mail, L"Attachments", DISPATCH_PROPERTYGET, {}, &attachments.v);
    Variant path, added;
    path.v.vt = VT_BSTR;
    path.v.bstrVal = ole::SysAllocString(Widen(attachment).c_str());
    Call(DispatchOf(attachments, L"Attachments"), L"Add", DISPATCH_METHOD, {path.v}, &added.v);
  }

  VARIANT modal;
  ole::VariantInit(&modal);
  modal.vt = VT_BOOL;
  modal.boolVal = VARIANT_TRUE;
  Variant shown;
  Call(mail, L"Display", DISPATCH_METHOD, {modal}, &shown.v);
}

}  // namespace griv
