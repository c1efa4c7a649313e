#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The code points of valid UTF-8 text, each as its own byte sequence.
std::vector<std::string_view> SplitCodePoints(std::string_view text);

// ASCII letters lowered; every other byte kept (Chinese has no case).
std::string LowerAscii(std::string_view text);

}  // namespace quorvel
