// vireo-reg: reads and writes the prefix's registry with the syntax and output of the
// platform's own registry tool.
//
//   vireo-reg query KEY [/v NAME | /ve] [/s]
//   vireo-reg add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
//   vireo-reg delete KEY [/v NAME | /ve | /va] [/f]
//   vireo-reg export KEY FILE [/y]
//   vireo-reg import FILE
//
// Exit code 0 on success, 1 when the key or value does not exist or the operation fails.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/vireo-reg/commands.h"

namespace {

int Usage() {
    std::fputs("ERROR: Invalid syntax.\n"
               "Usage: vireo-reg query KEY [/v NAME | /ve] [/s]\n"
               "       vireo-reg add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]\n"
               "       vireo-reg delete KEY [/v NAME | /ve | /va] [/f]\n"
               "       vireo-reg export KEY FILE [/y]\n"
               "       vireo-reg import FILE\n",
               stderr);
    return 1;
}

bool IsSwitch(const char* arg, const char* name) {
    return (arg[0] == '/' || arg[0] == '-') && strcasecmp(arg + 1, name) == 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace vireo::regtool;
    if (argc < 3)
        return Usage();
    std::string command = argv[1];
    for (char& c : command)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Options o;
    int i = 2;
    if (command == "import") {
        o.file = argv[2];
        return argc == 3 ? Import(o) : Usage();
    }
    o.key = argv[i++];
    if (command == "export") {
        if (i >= argc)
            return Usage();
        o.file = argv[i++];
    }
    for (; i < argc; ++i) {
        const char* a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (IsSwitch(a, "v")) {
            const char* n = next();
            if (!n)
                return Usage();
            o.value = n;
        } else if (IsSwitch(a, "ve")) {
            o.value = "";
        } else if (IsSwitch(a, "va")) {
            o.allValues = true;
        } else if (IsSwitch(a, "f") || IsSwitch(a, "y")) {
            o.force = true;
        } else if (IsSwitch(a, "t")) {
            const char* n = next();
            if (!n)
                return Usage();
            o.type = n;
        } else if (IsSwitch(a, "d")) {
            const char* n = next();
            if (!n)
                return Usage();
            o.data = n;
        } else if (IsSwitch(a, "s")) {
            if (command == "add") {
                const char* n = next();
                if (!n)
                    return Usage();
                o.separator = n;
            } else {
                o.recursive = true;
            }
        } else {
            return Usage();
        }
    }
    if (command == "query")
        return Query(o);
    if (command == "add")
        return Add(o);
    if (command == "delete")
        return Delete(o);
    if (command == "export")
        return Export(o);
    return Usage();
}
