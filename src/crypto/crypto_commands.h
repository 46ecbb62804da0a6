// The encrypted-file commands as data.
#pragma once
#include <span>
#include <vector>

#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> CryptoCommandRules();

}  // namespace griv
