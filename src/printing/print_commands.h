// The print commands as data.
#pragma once
#include <span>
#include <vector>

#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> PrintCommandRules();

}  // namespace griv
