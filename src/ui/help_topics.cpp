#include "ui/help_topics.h"

namespace griv {

namespace {
constexpr HelpTopic kTopics[] = {
    {kHelpAreaOverlay, "area.htm"},
    {kHelpCapturing, "capturing.htm"},
    {kHelpPrinting, "printing.htm"},
    {kHelpSaving, "saving.htm"},
    {kHelpCaptureOptions, "options_capture.htm"},
    {kHelpPrintOptions, "options_print.htm"},
    {kHelpSaveOptions, "options_save.htm"},
    {kHelpOtherOptions, "options_other.htm"},
    {kHelpContact, "contact.htm"},
};
}  // namespace

std::span<const HelpTopic> HelpTopics() { return kTopics; }

std::string_view HelpPageOf(int context) {
  for (const HelpTopic& t : kTopics)
    if (t.context == context) return t.page;
  return kHelpContentsPage;
}

int OptionsTabHelpContext(int tab) {
  switch (tab) {
    case 1: return kHelpPrintOptions;
    case 2: return kHelpSaveOptions;
    case 3: return kHelpOtherOptions;
    default: return kHelpCaptureOptions;
  }
}

std::string HelpFileTopic(std::string_view helpFile, std::string_view page) {
  return std::string(helpFile) + "::/" + std::string(page);
}

}  // namespace griv
