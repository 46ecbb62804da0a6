#include "printing/print_commands.h"

#include "ids_app.h"

namespace griv {

namespace {
constexpr uint8_t M = kMainMenu, P = kImageMenu, B = kToolBar;

constexpr CommandRule kRules[] = {
    {CM_PRINTSETUP, CM_PRINTSETUP, M | B, kPrinter},
    {CM_PRINTPREVIEW, CM_PRINTPREVIEW, M | P | B, kPrintable},
    {CM_PRINT, CM_PRINT, M | P | B, kPrintable},
};
}  // namespace

std::span<const CommandRule> PrintCommandRules() { return kRules; }

}  // namespace griv
