#include "image/image_commands.h"

#include "ids_app.h"

namespace griv {

namespace {
constexpr uint8_t M = kMainMenu, P = kImageMenu, B = kToolBar;

constexpr CommandRule kRules[] = {
    {CM_OPENFILE, CM_OPENFILE, M | P | B, kAlways},
    {CM_SAVE, CM_SAVE, M, kSaveWritten},
    {CM_SAVE, CM_SAVE, P | B, kImage},
    {CM_SAVEAS, CM_SAVEAS, M, kImage},
    {CM_SAVEASSHOWN, CM_SAVEASSHOWN, M, kImage},
    {CM_GREY, CM_GREY, M | P, kImage},
};
}  // namespace

std::span<const CommandRule> ImageFileCommandRules() { return kRules; }

}  // namespace griv
