#include "tray/help_commands.h"

#include "ids_app.h"

namespace griv {

namespace {
constexpr uint8_t M = kMainMenu, T = kTrayMenu, B = kToolBar;

constexpr CommandRule kRules[] = {
    {CM_EDITOR, CM_EDITOR, M, kImage | kEditorConfigured | kEditorExists},
    {CM_SENDTOEDITOR, CM_SENDTOEDITOR, kImageMenu, kImage | kEditorConfigured},
    {CM_HELPCONTENT, CM_HELPCONTENT, M | B, kAlways},
    {CM_HELPCAPTURE, CM_HELPCONTACT, M, kAlways},
    {CM_WEBLINK, CM_WEBLINK, M, kAlways},
    {CM_ABOUT, CM_ABOUT, M, kAlways},
    {CM_HELP1, CM_HELP1, T, kAlways},
    {CM_VISIT1, CM_VISIT1, T, kAlways},
    {CM_QUICKSTART, CM_QUICKSTART, T, kAlways},
};
}  // namespace

std::span<const CommandRule> HelpCommandRules() { return kRules; }

}  // namespace griv
