// The whole main window under a long run of random user actions: commands
// through their handlers, the menu and their short-cut keys, files saved and
// opened again, clicks, keys, the wheel and typing. After every action the
// window must be consistent; after every save the files must read back as
// the document that was saved.
//
// VIREVI_SOAK_ACTIONS sets the number of actions, VIREVI_SOAK_SEED the seed;
// a failure names both and the actions that led to it, so it can be replayed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "soak.h"

namespace virevi::test {
namespace {

// About 15 s in the optimised build; a full soak is VIREVI_SOAK_ACTIONS=100000.
constexpr std::uint64_t DefaultActions = 20000;
constexpr std::uint64_t DefaultSeed = 20261209;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    char* end = nullptr;
    const std::uint64_t value = std::strtoull(text, &end, 10);
    return *end == '\0' ? value : fallback;
}

TEST(SoakTest, RandomActionsKeepTheWindowConsistent) {
    const std::uint64_t actions = EnvNumber("VIREVI_SOAK_ACTIONS", DefaultActions);
    const std::uint64_t seed = EnvNumber("VIREVI_SOAK_SEED", DefaultSeed);
    std::printf("soak: seed %llu, %llu actions\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(actions));
    std::fflush(stdout);
    TSoak soak(actions, seed);
    soak.Run();
}

} // namespace
} // namespace virevi::test
