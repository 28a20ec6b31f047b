// Our WNASPI32.DLL: the virtual recorder behind the two ASPI entry points. It reads vcdr.ini
// from its own folder on first use.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>

#include "tests/virtual_recorder/portable/aspi_front.h"
#include "tests/virtual_recorder/portable/config_file.h"

namespace {

HMODULE g_module = nullptr;

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Never destroyed: the recorder's thread must not be joined under the loader lock at unload.
vcdr::AspiFrontEnd* Recorder() {
    static vcdr::AspiFrontEnd* recorder = [] () -> vcdr::AspiFrontEnd* {
        const std::string folder = ModuleFolder();
        try {
            std::ifstream in(folder + "vcdr.ini", std::ios::binary);
            if (!in) throw std::invalid_argument("vcdr.ini not found in " + folder);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            vcdr::RecorderConfig config = vcdr::ParseConfig(text, folder);
            vcdr::FrontEndOptions options;
            options.Asynchronous = config.Asynchronous;
            options.EventGapUs = config.EventGapUs;
            options.Signal = [](void* event) { SetEvent(static_cast<HANDLE>(event)); };
            options.ThreadId = [] { return static_cast<std::uint32_t>(GetCurrentThreadId()); };
            options.Sleep = [](std::uint32_t ms) { Sleep(ms); };
            if (config.Asynchronous) {
                // The recorder's thread runs our code until the process ends: keep the module mapped.
                HMODULE pinned = nullptr;
                GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                   reinterpret_cast<LPCSTR>(&ModuleFolder), &pinned);
            }
            return new vcdr::AspiFrontEnd(std::move(config.Devices), std::move(options));
        } catch (const std::exception& e) {
            std::ofstream(folder + "vcdr-error.txt") << e.what() << "\n";
            return nullptr;
        }
    }();
    return recorder;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD GetASPI32SupportInfo() {
    vcdr::AspiFrontEnd* r = Recorder();
    return r ? r->SupportInfo() : 0xE800;
}

extern "C" __declspec(dllexport) DWORD SendASPI32Command(void* srb) {
    vcdr::AspiFrontEnd* r = Recorder();
    if (r == nullptr) return 0xE8;
    return r->Send(srb);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
