// Stands in for a program that something starts (the shell's document viewer and browser,
// or vantburn): appends one line "folder|argument|argument..." to the log named by the
// environment variable LOG_VARIABLE, then ends. The arguments are as the C runtime split
// them, so a name that arrives in pieces shows as several.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* log = std::getenv(LOG_VARIABLE);
    if (!log || !*log) return 2;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string line = folder;
    for (int i = 1; i < argc; ++i) line += std::string("|") + argv[i];
    line += "\n";
    FILE* f = std::fopen(log, "ab");
    if (!f) return 3;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
    return 0;
}
