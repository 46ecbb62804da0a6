#include "ui/ole_win.h"

#include <cstring>

#include "base/system_dll_win.h"

namespace griv::ole {

namespace {

constexpr wchar_t kOle32[] = L"ole32.dll";
constexpr wchar_t kOleAut32[] = L"oleaut32.dll";
constexpr HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

bool started = false;

}  // namespace

void Start() {
  static const auto fn = SystemProc<decltype(::OleInitialize)>(kOle32, "OleInitialize");
  if (!started && fn) started = SUCCEEDED(fn(nullptr));
}

void Stop() {
  if (!started) return;
  static const auto fn = SystemProc<decltype(::OleUninitialize)>(kOle32, "OleUninitialize");
  if (fn) fn();
  started = false;
}

HRESULT CoInitializeEx(void* reserved, DWORD model) {
  static const auto fn = SystemProc<decltype(::CoInitializeEx)>(kOle32, "CoInitializeEx");
  return fn ? fn(reserved, model) : kMissing;
}

void CoUninitialize() {
  static const auto fn = SystemProc<decltype(::CoUninitialize)>(kOle32, "CoUninitialize");
  if (fn) fn();
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
  static const auto fn = SystemProc<decltype(::CLSIDFromProgID)>(kOle32, "CLSIDFromProgID");
  return fn ? fn(progId, clsid) : kMissing;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  static const auto fn = SystemProc<decltype(::CoCreateInstance)>(kOle32, "CoCreateInstance");
  return fn ? fn(clsid, outer, context, iid, object) : kMissing;
}

HRESULT GetActiveObject(REFCLSID clsid, void* reserved, IUnknown** object) {
  static const auto fn = SystemProc<decltype(::GetActiveObject)>(kOleAut32, "GetActiveObject");
  return fn ? fn(clsid, reserved, object) : kMissing;
}

void CoTaskMemFree(void* block) {
  static const auto fn = SystemProc<decltype(::CoTaskMemFree)>(kOle32, "CoTaskMemFree");
  if (fn) fn(block);
}

void VariantInit(VARIANT* v) {
  std::memset(v, 0, sizeof *v);  // VT_EMPTY, which is all VariantInit does
}

HRESULT VariantClear(VARIANT* v) {
  static const auto fn = SystemProc<decltype(::VariantClear)>(kOleAut32, "VariantClear");
  return fn ? fn(v) : kMissing;
}

BSTR SysAllocString(const OLECHAR* text) {
  static const auto fn = SystemProc<decltype(::SysAllocString)>(kOleAut32, "SysAllocString");
  return fn ? fn(text) : nullptr;
}

void SysFreeString(BSTR text) {
  static const auto fn = SystemProc<decltype(::SysFreeString)>(kOleAut32, "SysFreeString");
  if (fn && text) fn(text);
}

}  // namespace griv::ole
