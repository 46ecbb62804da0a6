// KTCustom.ini beside the program, as any bytes: the settings it presets win
// over the stored ones, and the rest of the settings stay within their values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "options/settings.h"
#include "settings_host.h"
#include "base/ini.h"
#include "base/settings_store.h"
#include "base/strings.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IniFile ini(std::string_view(reinterpret_cast<const char*>(data), size));
  MemorySettingsStore store;
  // Stored values that the file must override where it has its own.
  store.WriteString("AutoPrint", "On");
  store.WriteString("AutoExt", ".png");
  store.WriteString("PrintStyle", "Best");
  FuzzSettingsHost host;
  Settings s;
  s.Load(store, &ini, host);

  const std::string autoPrint = UpperCase(ini.ReadString("General", "AutoPrint", ""));
  if (s.AutoPrint != (autoPrint.empty() || autoPrint == "ON")) std::abort();
  const std::string ext = ini.ReadString("General", "AutoExt", "");
  if (s.AutoExt != (ext.empty() ? ".png" : LowerCase(ext))) std::abort();
  const std::string width = UpperCase(ini.ReadString("Printer", "Width", ""));
  const char* style = width.empty() || width == "BEST" ? "Best" : width == "ZOOM" ? "Zoom" : "Full";
  if (s.PrintStyle != style) std::abort();
  const std::string printer = ini.ReadString("Printer", "Name", "");
  if (host.printer.value_or("") != printer) std::abort();
  const std::string orientation = ini.ReadString("Printer", "Orientation", "");
  if (host.landscape.has_value() == orientation.empty()) std::abort();
  if (host.landscape && *host.landscape != (UpperCase(orientation) == "LANDSCAPE")) std::abort();
  MemorySettingsStore out;
  s.Save(out);
  return 0;
}
