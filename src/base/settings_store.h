// Where the user's options live: the registry key Software\GRIV on Windows, a map in tests.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

#include "base/strings.h"

namespace griv {

// A value of an unexpected type or a key that cannot be opened. Start-up goes on
// with the default of that value; the top-level handler never shows these.
class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // nullopt when missing; ERegistryError when present with another type.
  virtual std::optional<std::string> ReadString(const std::string& name) = 0;
  virtual std::optional<int32_t> ReadInteger(const std::string& name) = 0;
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, int32_t value) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
  virtual bool ValueExists(const std::string& name) = 0;
};

// Value names compare without regard to case, as in the registry.
class MemorySettingsStore : public SettingsStore {
 public:
  using Value = std::variant<std::string, int32_t>;
  std::optional<std::string> ReadString(const std::string& name) override {
    auto it = values_.find(UpperCase(name));
    if (it == values_.end()) return std::nullopt;
    if (auto* s = std::get_if<std::string>(&it->second)) return *s;
    throw ERegistryError("Invalid data type for '" + name + "'");
  }
  std::optional<int32_t> ReadInteger(const std::string& name) override {
    auto it = values_.find(UpperCase(name));
    if (it == values_.end()) return std::nullopt;
    if (auto* i = std::get_if<int32_t>(&it->second)) return *i;
    throw ERegistryError("Invalid data type for '" + name + "'");
  }
  void WriteString(const std::string& name, const std::string& value) override {
    values_[UpperCase(name)] = value;
    order_.push_back(name);
  }
  void WriteInteger(const std::string& name, int32_t value) override {
    values_[UpperCase(name)] = value;
    order_.push_back(name);
  }
  bool DeleteValue(const std::string& name) override { return values_.erase(UpperCase(name)) > 0; }
  bool ValueExists(const std::string& name) override { return values_.count(UpperCase(name)) > 0; }

  // Test access: the names in the order they were written.
  const std::vector<std::string>& WriteOrder() const { return order_; }
  void ClearWriteOrder() { order_.clear(); }

 private:
  std::map<std::string, Value> values_;
  std::vector<std::string> order_;
};

}  // namespace griv
