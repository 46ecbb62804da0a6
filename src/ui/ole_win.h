// The OLE and automation calls the program makes, bound at their first use:
// ole32, oleaut32 and the RPC runtime under them cost about a megabyte and
// several milliseconds to load, and only the folder browser, the shell hand-off
// and the Outlook hand-off need them.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

namespace griv::ole {

// OLE for this thread, started once; the shell's folder browser and its
// verbs want it. Stop() ends it at exit if it was started.
void Start();
void Stop();

HRESULT CoInitializeEx(void* reserved, DWORD model);
void CoUninitialize();
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
HRESULT GetActiveObject(REFCLSID clsid, void* reserved, IUnknown** object);
void CoTaskMemFree(void* block);
void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
BSTR SysAllocString(const OLECHAR* text);
void SysFreeString(BSTR text);

}  // namespace griv::ole
