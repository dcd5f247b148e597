/* planted.dll: a DLL an attacker left beside the exe under a system DLL's name. It exports nothing and only
   notes, in planted.log beside it, the name it was loaded under, which is the verdict of the test. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    WCHAR path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    DWORD nameAt = length;
    while (nameAt > 0 && path[nameAt - 1] != L'\\') --nameAt;
    char line[MAX_PATH];
    const int lineLength =
        WideCharToMultiByte(CP_UTF8, 0, path + nameAt, (int)(length - nameAt), line, MAX_PATH - 2, NULL, NULL);
    line[lineLength] = '\r';
    line[lineLength + 1] = '\n';
    lstrcpyW(path + nameAt, L"planted.log");
    const HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    if (log != INVALID_HANDLE_VALUE) {
        WriteFile(log, line, (DWORD)lineLength + 2, &written, NULL);
        CloseHandle(log);
    }
    return TRUE;
}
