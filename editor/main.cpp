#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "Vantrell", "Vantrell", MB_OK);
    return 0;
}
