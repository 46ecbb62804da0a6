// The help file's topics: the context numbers the program opens help with and
// the page of the manual each one leads to. The help project (docs/help)
// maps the same numbers to the same pages.
#pragma once
#include <span>
#include <string>
#include <string_view>

namespace griv {

enum HelpContext : int {
  kHelpAreaOverlay = 30,
  kHelpCapturing = 100,
  kHelpPrinting = 200,
  kHelpSaving = 300,
  kHelpCaptureOptions = 410,
  kHelpPrintOptions = 420,
  kHelpSaveOptions = 430,
  kHelpOtherOptions = 440,
  kHelpContact = 500,
};

struct HelpTopic {
  int context;
  std::string_view page;  // file name inside the help file and the pages folder
};
std::span<const HelpTopic> HelpTopics();

inline constexpr std::string_view kHelpContentsPage = "index.htm";
inline constexpr std::string_view kQuickStartPage = "quick_start.htm";
inline constexpr std::string_view kHelpFileName = "griv.chm";
// Folder next to the program with the same pages as plain files, opened in the
// browser when the help file cannot be shown.
inline constexpr std::string_view kHelpPagesFolder = "help";

// The page of a context number; the contents page for a number without one.
std::string_view HelpPageOf(int context);

// Help of the options dialog by its tab (0 Capture, 1 Print, 2 Save, 3 Other);
// the capture options for anything else.
int OptionsTabHelpContext(int tab);

// "file.chm::/page.htm": a page inside a compiled help file.
std::string HelpFileTopic(std::string_view helpFile, std::string_view page);

}  // namespace griv
