// An automation server of the tests' own that answers for "Outlook.Application"
// once registered (DllRegisterServer, e.g. through regsvr32). It knows just
// the members the program uses:
//   Application.CreateItem(type) -> MailItem
//   MailItem.Attachments (property) -> Attachments
//   Attachments.Add(source) -> Attachment
//   MailItem.Display(modal)
// and appends every call, in order, to the file named by GRIV_TEST_OUTLOOK_LOG:
//   new<TAB>object=Application#1
//   call<TAB>object=Application#1<TAB>member=CreateItem<TAB>kind=1<TAB>args=I4:0
//   release<TAB>object=MailItem#1
// Texts are UTF-8 with \\, \t, \r, \n and bytes outside 0x20..0x7E escaped (\xHH).
// GRIV_TEST_OUTLOOK_FAIL=<member> makes that member raise an automation
// exception described as "Stand-in refuses <member>".
#include <windows.h>

#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "../tool_text.h"
#include "call_log.h"

namespace {

using namespace griv_test_mail;

// {B6C0D0E1-7A3F-4C55-9E0B-3D1F6A2C8E47}
const CLSID kClsid = {0xb6c0d0e1, 0x7a3f, 0x4c55, {0x9e, 0x0b, 0x3d, 0x1f, 0x6a, 0x2c, 0x8e, 0x47}};
const wchar_t kClsidText[] = L"{B6C0D0E1-7A3F-4C55-9E0B-3D1F6A2C8E47}";

HMODULE self = nullptr;
std::atomic<long> liveObjects{0}, locks{0};

std::string Utf8(const wchar_t* w) { return griv_tool::Utf8(w ? w : L""); }

void Log(const std::string& line) { AppendLine("GRIV_TEST_OUTLOOK_LOG", line); }

std::string Describe(const VARIANT& v) {
  switch (v.vt) {
    case VT_I4: return "I4:" + std::to_string(v.lVal);
    case VT_I2: return "I2:" + std::to_string(v.iVal);
    case VT_BOOL: return std::string("BOOL:") + (v.boolVal ? "-1" : "0");
    case VT_BSTR: return "BSTR:" + Escape(Utf8(v.bstrVal));
    case VT_EMPTY: return "EMPTY";
    default: return "VT" + std::to_string(v.vt);
  }
}

class Object : public IDispatch {
 public:
  Object(const char* kind, std::vector<const wchar_t*> members) : members_(std::move(members)) {
    static std::atomic<int> serial{0};
    name_ = std::string(kind) + "#" + std::to_string(++serial);
    ++liveObjects;
    Log("new\tobject=" + name_);
  }
  virtual ~Object() { --liveObjects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    long n = --refs_;
    if (n == 0) {
      Log("release\tobject=" + name_);
      delete this;
    }
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    if (n) *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (size_t m = 0; m < members_.size(); ++m)
        if (i == 0 && lstrcmpiW(names[i], members_[m]) == 0) ids[i] = static_cast<DISPID>(m + 1);
      if (ids[i] == DISPID_UNKNOWN) {
        Log("unknown\tobject=" + name_ + "\tmember=" + Escape(Utf8(names[i])));
        hr = DISP_E_UNKNOWNNAME;
      }
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    const std::string member = Utf8(members_[id - 1]);
    std::string args;
    // Automation passes the last argument first.
    for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
      if (!args.empty()) args += ',';
      args += Describe(params->rgvarg[i]);
    }
    Log("call\tobject=" + name_ + "\tmember=" + member + "\tkind=" + std::to_string(kind) + "\targs=" + args);
    if (result) VariantInit(result);
    if (Env("GRIV_TEST_OUTLOOK_FAIL") == member) {
      if (info) {
        *info = EXCEPINFO{};
        info->bstrSource = SysAllocString(L"Outlook stand-in");
        std::wstring text = L"Stand-in refuses " + std::wstring(members_[id - 1]);
        info->bstrDescription = SysAllocString(text.c_str());
        info->scode = E_FAIL;
      }
      return DISP_E_EXCEPTION;
    }
    return Run(id, kind, params, result);
  }

 protected:
  virtual HRESULT Run(DISPID id, WORD kind, DISPPARAMS* params, VARIANT* result) = 0;
  static void ReturnObject(VARIANT* result, IDispatch* object) {
    if (result) {
      result->vt = VT_DISPATCH;
      result->pdispVal = object;
    } else {
      object->Release();
    }
  }

 private:
  std::atomic<long> refs_{1};
  std::vector<const wchar_t*> members_;
  std::string name_;
};

class Attachment : public Object {
 public:
  Attachment() : Object("Attachment", {}) {}
  HRESULT Run(DISPID, WORD, DISPPARAMS*, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
};

class Attachments : public Object {
 public:
  Attachments() : Object("Attachments", {L"Add", L"Count"}) {}
  HRESULT Run(DISPID id, WORD kind, DISPPARAMS* params, VARIANT* result) override {
    if (id == 1) {
      if (!(kind & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
      if (!params || params->cArgs < 1) return DISP_E_BADPARAMCOUNT;
      ++count_;
      ReturnObject(result, new Attachment());
      return S_OK;
    }
    if (result) {
      result->vt = VT_I4;
      result->lVal = count_;
    }
    return S_OK;
  }

 private:
  long count_ = 0;
};

class MailItem : public Object {
 public:
  MailItem() : Object("MailItem", {L"Attachments", L"Display"}) {}
  ~MailItem() override {
    if (attachments_) attachments_->Release();
  }
  HRESULT Run(DISPID id, WORD kind, DISPPARAMS* params, VARIANT* result) override {
    if (id == 1) {
      if (!(kind & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
      if (!attachments_) attachments_ = new Attachments();
      attachments_->AddRef();
      ReturnObject(result, attachments_);
      return S_OK;
    }
    if (!(kind & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    return S_OK;  // the user would now complete the mail
  }

 private:
  Attachments* attachments_ = nullptr;
};

class Application : public Object {
 public:
  Application() : Object("Application", {L"CreateItem"}) {}
  HRESULT Run(DISPID, WORD kind, DISPPARAMS* params, VARIANT* result) override {
    if (!(kind & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT type;
    VariantInit(&type);
    if (FAILED(VariantChangeType(&type, &params->rgvarg[0], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
    if (type.lVal != 0) return E_INVALIDARG;  // only mail items here
    ReturnObject(result, new MailItem());
    return S_OK;
  }
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    Application* app = new Application();
    HRESULT hr = app->QueryInterface(riid, out);
    app->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++locks : --locks;
    return S_OK;
  }
};
Factory factory;

LONG SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY k = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  rc = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return rc;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = inst;
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(riid, out);
}

HRESULT WINAPI DllCanUnloadNow() { return liveObjects == 0 && locks == 0 ? S_OK : S_FALSE; }

HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(self, path, MAX_PATH);
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  LONG rc = SetValue(L"Outlook.Application", nullptr, L"GRIV test Outlook stand-in");
  if (!rc) rc = SetValue(L"Outlook.Application\\CLSID", nullptr, kClsidText);
  if (!rc) rc = SetValue(clsidKey, nullptr, L"GRIV test Outlook stand-in");
  if (!rc) rc = SetValue(clsidKey + L"\\ProgID", nullptr, L"Outlook.Application");
  if (!rc) rc = SetValue(clsidKey + L"\\InprocServer32", nullptr, path);
  if (!rc) rc = SetValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  return rc ? HRESULT_FROM_WIN32(rc) : S_OK;
}

HRESULT WINAPI DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Outlook.Application");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsidText).c_str());
  return S_OK;
}

}  // extern "C"
