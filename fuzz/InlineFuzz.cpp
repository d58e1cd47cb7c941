// Fuzz target: arbitrary bytes become two texts, whose changes within a line must be a valid
// answer (spans in order and apart, no character split, the same characters left unmarked on
// both sides), marking something exactly when the texts differ, landing on the same characters
// once tabs are expanded, and the same when only the start is looked at, unless it is equal.
//
// The first byte chooses where the rest is split: byte b gives the source the first b / 255 of
// it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/InlineComparer.h"
#include "tests/engine/InlineCheck.h"
#include "tests/engine/Reference.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "inline fault: %s\n", what.c_str());
    std::abort();
}

// Each span, moved onto the text with its tabs expanded, covers the expansion of what it
// covered.
void CheckExpanded(std::string_view text, const std::vector<CByteSpan>& spans) {
    std::vector<CByteSpan> expanded = spans;
    ExpandSpans(text, expanded);
    const auto expandedSize = [&](std::size_t n) {
        return reference::Expand(std::string(text.substr(0, n))).size();
    };
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (expanded[i].begin != expandedSize(spans[i].begin) ||
            expanded[i].end != expandedSize(spans[i].end)) {
            Fail("a span moved elsewhere by the expansion of tabs");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = rest.size() * data[0] / 255;
    const std::string_view source = rest.substr(0, split);
    const std::string_view target = rest.substr(split);

    CInlineComparer comparer;
    CInlineChanges changes;
    comparer.Compare(source, target, changes);
    const std::string error = reference::CheckInlineChanges(source, target, changes);
    if (!error.empty()) {
        Fail(error);
    }
    if ((source == target) != (changes.source.empty() && changes.target.empty())) {
        Fail(source == target ? "spans in equal texts" : "no span in texts that differ");
    }
    CheckExpanded(source, changes.source);
    CheckExpanded(target, changes.target);
    // Looking only as far as the first data[1] bytes: the same spans, or none where the texts
    // agree that far.
    const std::size_t looked = size > 1 ? data[1] : 0;
    CInlineChanges limited;
    comparer.Compare(source, target, limited, looked);
    const bool bAgree = source.size() >= looked && target.size() >= looked &&
                        source.substr(0, looked) == target.substr(0, looked);
    if (limited.bBeyond != bAgree ||
        (!bAgree && (limited.source != changes.source || limited.target != changes.target)) ||
        (bAgree && !(limited.source.empty() && limited.target.empty()))) {
        Fail("looking less far changed the spans");
    }
    return 0;
}
