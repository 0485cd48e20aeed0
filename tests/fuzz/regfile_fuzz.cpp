// Fuzzes the registry file reader with arbitrary text: it either refuses the text with a
// ParseError or builds a tree within the registry's limits, and what it builds is
// written out and read back to the same tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win/hive.h"
#include "platform/win/regtree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vireo::win::reg;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Key root;
    root.name = "HKEY_CURRENT_USER";
    try {
        ApplySections(root, root.name, ParseRegText(text));
    } catch (const ParseError&) {
        return 0;
    }
    std::string written = FormatRegText(root, root.name, true);
    Key again;
    again.name = root.name;
    ApplySections(again, again.name, ParseRegText(written)); // must not throw
    if (FormatRegText(again, again.name, true) != written)
        __builtin_trap();
    return 0;
}
