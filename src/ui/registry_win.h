// Registry routines with defaults, and the settings store over an open key.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"
#include "base/settings_store.h"

namespace griv {

// Writes never report failure; reads fall back to def. A read never creates a key.
void RegWriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
void RegWriteInteger(HKEY root, const std::string& key, const std::string& name, int32_t value);
std::string RegReadString(HKEY root, const std::string& key, const std::string& name, const std::string& def);
int32_t RegReadInteger(HKEY root, const std::string& key, const std::string& name, int32_t def);
bool RegDeleteValueOf(HKEY root, const std::string& key, const std::string& name);
bool RegKeyExists(HKEY root, const std::string& key);

// The settings key Software\GRIV, opened (created if missing) and kept open.
class RegistrySettingsStore : public SettingsStore {
 public:
  RegistrySettingsStore(HKEY root, const std::string& key);  // throws ERegistryError
  std::optional<std::string> ReadString(const std::string& name) override;
  std::optional<int32_t> ReadInteger(const std::string& name) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInteger(const std::string& name, int32_t value) override;
  bool DeleteValue(const std::string& name) override;
  bool ValueExists(const std::string& name) override;
  HKEY Key() const { return key_.get(); }

 private:
  UniqueKey key_;
};

inline constexpr const char* kSettingsKey = "Software\\GRIV";

}  // namespace griv
