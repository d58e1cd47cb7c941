// Fuzz target: arbitrary bytes as a settings file. What parses must keep the registry's limits and
// read back the same once written out: the same keys (names compared as the store compares them),
// the same values with their types and bytes exact, and the same text when written again.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "framework/registry/RegistryText.h"

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& keyPath) {
    std::fprintf(stderr, "registry text fault: %s at [%s]\n", what.c_str(), keyPath.c_str());
    std::abort();
}

void ExpectSameTree(const RegistryTree& read, const RegistryTree& reread) {
    std::vector<std::tuple<const RegistryNode*, const RegistryNode*, std::size_t>> pending{
        {&read.root(), &reread.root(), 0}};
    while (!pending.empty()) {
        const auto [a, b, depth] = pending.back();
        pending.pop_back();
        if (depth > kMaxKeyDepth || a->name().size() > kMaxKeyNameLength) {
            Fail("a key beyond the limits was read", a->path());
        }
        if (a->values().size() != b->values().size()) {
            Fail("the number of values changed", a->path());
        }
        for (const RegistryValue& value : a->values()) {
            if (value.name.size() > kMaxValueNameLength || value.data.size() > kMaxValueDataSize) {
                Fail("a value beyond the limits was read", a->path());
            }
            const RegistryValue* again = b->findValue(value.name);
            if (again == nullptr || again->type != value.type || again->data != value.data) {
                Fail("value \"" + value.name + "\" changed", a->path());
            }
        }
        const auto subKeys = a->subKeysInOrder();
        const auto subKeysAgain = b->subKeysInOrder();
        if (subKeys.size() != subKeysAgain.size()) {
            Fail("the number of sub-keys changed", a->path());
        }
        for (std::size_t i = 0; i < subKeys.size(); ++i) {
            if (!registryNamesEqual(subKeys[i]->name(), subKeysAgain[i]->name())) {
                Fail("sub-key \"" + subKeys[i]->name() + "\" changed", a->path());
            }
            pending.emplace_back(subKeys[i], subKeysAgain[i], depth + 1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto tree =
        parseRegistryText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!tree) {
        return 0;
    }
    const std::string text = formatRegistryText(*tree);
    const auto again = parseRegistryText(text);
    if (!again) {
        Fail("the written text does not parse", "");
    }
    ExpectSameTree(*tree, *again);
    if (formatRegistryText(*again) != text) {
        Fail("writing again gives another text", "");
    }
    return 0;
}
