#include "crypto/crypto_commands.h"

#include "ids_app.h"

namespace griv {

namespace {
constexpr CommandRule kRules[] = {
    {CM_SAVEENCRYPTED, CM_SAVEENCRYPTED, kMainMenu, kImage},
    {CM_ENCRYPTFILE, CM_OPENENCRYPTED, kMainMenu, kAlways},
};
}  // namespace

std::span<const CommandRule> CryptoCommandRules() { return kRules; }

}  // namespace griv
