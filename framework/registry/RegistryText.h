#pragma once

// The hive's text form: the registry's text export format (a REGEDIT4 header, one section per key,
// one line per value), so a person can read the store and the registry editor can import it.

#include <optional>
#include <string>
#include <string_view>

#include "framework/registry/RegistryTree.h"

// Reads the text form; nullopt when the text is not in that form or breaks one of the registry's
// limits. Costs time and memory in proportion to the text's length.
std::optional<RegistryTree> parseRegistryText(std::string_view text);

// Every key with its values, parents before children, siblings by name.
std::string formatRegistryText(const RegistryTree& tree);
