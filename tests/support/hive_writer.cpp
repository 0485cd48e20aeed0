// Writes numbered values into one key of the user hive and prints each number once its
// write call has returned. Used by the durability tests.
//
//   vireo_hive_writer KEY FIRST COUNT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win/registry.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    std::string path = std::string("Software\\") + argv[1];
    int first = std::atoi(argv[2]), count = std::atoi(argv[3]);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 1;
    for (int i = first; i < first + count; ++i) {
        std::string name = "v";
        name += std::to_string(i);
        DWORD value = static_cast<DWORD>(i);
        if (RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) !=
            ERROR_SUCCESS)
            return 1;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    RegCloseKey(key);
    return 0;
}
