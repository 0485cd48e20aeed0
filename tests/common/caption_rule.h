// The caption rule as a sequence of title changes and the caption each leaves, shared by
// the tests on our layer and on the platform's windows.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vireo::test {

struct TitleChange {
    std::string title;
    std::string caption;
};

// The first entry is the caption before any title. Texts are given in UTF-8; `ansi`
// turns them into the code page the program runs in.
inline std::vector<TitleChange>
CaptionRuleChanges(const std::function<std::string(const std::string&)>& ansi) {
    const char8_t* korean = u8"봄날의 숲";
    std::string spring(reinterpret_cast<const char*>(korean));
    return {
        {"", " - "}, // before any title: the framework's caption
        {"Chapter 1", "Chapter 1"},
        {"see http://x", "Chapter 1"}, // "http" anywhere keeps the caption
        {"https secure", "Chapter 1"},
        {"xhttpx", "Chapter 1"},
        {"HTTP upper", "HTTP upper"}, // only the lower-case letters count
        {"HtTp mixed", "HtTp mixed"},
        {"", ""}, // an empty title empties the caption
        {ansi(spring), ansi(spring)},
    };
}

} // namespace vireo::test
