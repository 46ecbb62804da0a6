// The image-file commands as data: open, the saves and greys.
#pragma once
#include <span>
#include <vector>

#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> ImageFileCommandRules();

}  // namespace griv
