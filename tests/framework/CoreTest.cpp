// The framework's resource strings: the fields of a template string or a command prompt.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/Resources.h"

namespace {

TEST(Resources, SubStringsOfATemplateString) {
    const std::string text = "Tessiver 1.03\n\nTessiv\n\n\nTessiver.Document\nTessiv Document";
    const struct {
        int n;
        const char* want;
    } cases[] = {{0, "Tessiver 1.03"},   {1, ""}, {2, "Tessiv"}, {5, "Tessiver.Document"},
                 {6, "Tessiv Document"}, {7, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(AfxExtractSubString(text, c.n), c.want);
    }
}

}  // namespace
