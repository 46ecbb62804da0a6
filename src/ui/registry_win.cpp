#include "ui/registry_win.h"

#include <vector>

#include "base/utf.h"

namespace griv {

namespace {
UniqueKey OpenForRead(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, Widen(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return UniqueKey();
  return UniqueKey(h);
}

UniqueKey OpenForWrite(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(root, Widen(key).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return UniqueKey();
  return UniqueKey(h);
}

// Reads a string value; nullopt when missing, ERegistryError when of another type.
std::optional<std::string> QueryString(HKEY k, const std::string& name) {
  std::wstring wname = Widen(name);
  DWORD type = 0, size = 0;
  LONG r = RegQueryValueExW(k, wname.c_str(), nullptr, &type, nullptr, &size);
  if (r == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (r != ERROR_SUCCESS) throw ERegistryError("Unable to read value " + name);
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryError("Invalid data type for '" + name + "'");
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
  DWORD bytes = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
  r = RegQueryValueExW(k, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes);
  if (r != ERROR_SUCCESS) throw ERegistryError("Unable to read value " + name);
  return Narrow(std::wstring(buf.data()));
}

std::optional<int32_t> QueryInteger(HKEY k, const std::string& name) {
  DWORD type = 0, v = 0, size = sizeof v;
  LONG r = RegQueryValueExW(k, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&v), &size);
  if (r == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof v)
    throw ERegistryError("Invalid data type for '" + name + "'");
  return static_cast<int32_t>(v);
}

bool SetString(HKEY k, const std::string& name, const std::string& value) {
  std::wstring w = Widen(value);
  return RegSetValueExW(k, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                        static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetInteger(HKEY k, const std::string& name, int32_t value) {
  DWORD v = static_cast<DWORD>(value);
  return RegSetValueExW(k, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
         ERROR_SUCCESS;
}
}  // namespace

void RegWriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  if (UniqueKey k = OpenForWrite(root, key)) SetString(k.get(), name, value);
}

void RegWriteInteger(HKEY root, const std::string& key, const std::string& name, int32_t value) {
  if (UniqueKey k = OpenForWrite(root, key)) SetInteger(k.get(), name, value);
}

std::string RegReadString(HKEY root, const std::string& key, const std::string& name, const std::string& def) {
  UniqueKey k = OpenForRead(root, key);
  if (!k) return def;
  try {
    auto v = QueryString(k.get(), name);
    return v ? *v : def;
  } catch (const ERegistryError&) {
    return def;
  }
}

int32_t RegReadInteger(HKEY root, const std::string& key, const std::string& name, int32_t def) {
  UniqueKey k = OpenForRead(root, key);
  if (!k) return def;
  try {
    auto v = QueryInteger(k.get(), name);
    return v ? *v : def;
  } catch (const ERegistryError&) {
    return def;
  }
}

bool RegDeleteValueOf(HKEY root, const std::string& key, const std::string& name) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, Widen(key).c_str(), 0, KEY_READ | KEY_SET_VALUE, &h) != ERROR_SUCCESS) return true;
  UniqueKey k(h);
  if (RegQueryValueExW(h, Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return true;
  return RegDeleteValueW(h, Widen(name).c_str()) == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY root, const std::string& key) { return static_cast<bool>(OpenForRead(root, key)); }

RegistrySettingsStore::RegistrySettingsStore(HKEY root, const std::string& key) : key_(OpenForWrite(root, key)) {
  if (!key_) key_ = OpenForRead(root, key);
  if (!key_) throw ERegistryError("Failed to create key " + key);
}

std::optional<std::string> RegistrySettingsStore::ReadString(const std::string& name) {
  return QueryString(key_.get(), name);
}

std::optional<int32_t> RegistrySettingsStore::ReadInteger(const std::string& name) {
  return QueryInteger(key_.get(), name);
}

void RegistrySettingsStore::WriteString(const std::string& name, const std::string& value) {
  if (!SetString(key_.get(), name, value)) throw ERegistryError("Failed to set data for '" + name + "'");
}

void RegistrySettingsStore::WriteInteger(const std::string& name, int32_t value) {
  if (!SetInteger(key_.get(), name, value)) throw ERegistryError("Failed to set data for '" + name + "'");
}

bool RegistrySettingsStore::DeleteValue(const std::string& name) {
  return RegDeleteValueW(key_.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

bool RegistrySettingsStore::ValueExists(const std::string& name) {
  return RegQueryValueExW(key_.get(), Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace griv
