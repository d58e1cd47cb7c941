#include "engine/CompareOptions.h"

std::string FormatOptionFlags(const CCompareOptions& options) {
    std::string flags;
    const auto add = [&flags](const char* flag) {
        if (!flags.empty()) {
            flags += ' ';
        }
        flags += flag;
    };
    if (options.whitespace == CCompareOptions::whitespaceChanges) {
        add("-b");
    } else if (options.whitespace == CCompareOptions::whitespaceAll) {
        add("-w");
    }
    if (options.bIgnoreCase) {
        add("-i");
    }
    if (options.bIgnoreBlankLines) {
        add("-B");
    }
    if (options.bDecodeUnicode) {
        add("--decode");
    }
    return flags;
}

const char* GetEncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::utf8:
            return "UTF-8";
        case TextEncoding::utf16le:
            return "UTF-16LE";
        case TextEncoding::utf16be:
            return "UTF-16BE";
        case TextEncoding::bytes:
            break;
    }
    return "";
}
