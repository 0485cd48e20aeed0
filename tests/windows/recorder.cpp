// Stands in for a companion program: records the arguments it was started with in
// ARGS.txt beside itself, one per line, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    std::string file(path, n);
    file = file.substr(0, file.find_last_of('\\') + 1) + "ARGS.txt";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return 1;
    for (int i = 1; i < __argc; ++i)
        std::fprintf(out, "%s\n", __argv[i]);
    std::fclose(out);
    return 0;
}
