// Looks at another process's unit-version registry objects by that process's id, as a
// library loaded there would, and writes what it found to a file:
//   unit_versioning_probe PID OUT_FILE  ->  "mutex 1\nmapping 1\naddress 0x...\n"
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string pid = argv[1];
    bool mutexSeen = false, mappingSeen = false;
    void* address = nullptr;
    if (HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, ("MutexUnitVersioning_" + pid).c_str())) {
        mutexSeen = true;
        // Read under the registry's mutex, as its users do.
        WaitForSingleObject(mutex, 10000);
        if (HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ("ShmUnitVersioning_" + pid).c_str())) {
            mappingSeen = true;
            if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(void*))) {
                std::memcpy(&address, view, sizeof address);
                UnmapViewOfFile(view);
            }
            CloseHandle(mapping);
        }
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    } else if (HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ("ShmUnitVersioning_" + pid).c_str())) {
        mappingSeen = true;
        CloseHandle(mapping);
    }
    FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) return 3;
    std::fprintf(out, "mutex %d\nmapping %d\naddress 0x%llx\n", mutexSeen ? 1 : 0, mappingSeen ? 1 : 0,
                 static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
    std::fclose(out);
    return 0;
}
