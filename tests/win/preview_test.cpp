#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "printing/preview_win.h"

using namespace griv;

namespace {

Picture Wide() {
  Picture p;
  p.Resize(60, 30, 24);
  return p;
}

// The preview needs the printer's page before it shows anything: a printer
// that cannot be reached gives a message that says so and leaves no window.
TEST(PreviewTest, APrinterThatCannotBeReachedLeavesNoWindowBehind) {
  for (bool autoOrient : {false, true}) {
    Printer printer;
    printer.Select(L"GRIV Printer That Does Not Exist");
    PreviewOptions options;
    options.print.autoOrient = autoOrient;
    try {
      TPreviewForm preview(GetModuleHandleW(nullptr), nullptr, printer, Wide(), options);
      FAIL() << "the preview opened without a printer";
    } catch (const EPreviewPrinter& e) {
      EXPECT_NE(std::strstr(e.what(), "print preview"), nullptr) << e.what();
    }
    EXPECT_EQ(FindWindowW(kPreviewClassName, nullptr), nullptr) << autoOrient;
  }
}

}  // namespace
