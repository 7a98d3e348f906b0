#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::MessageBoxW(nullptr, L"Vantrel ver. 2", L"Vantrel ver. 2", MB_OK);
    return 0;
}
