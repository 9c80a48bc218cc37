#include <windows.h>

#include "tools/hostkit/com_port.h"

namespace hostkit {

KorvanPortHandle OpenComPort(const std::string& name) {
    const std::wstring path = L"\\\\.\\" + std::wstring(name.begin(), name.end());
    HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return nullptr;
    DCB settings{};
    settings.DCBlength = sizeof settings;
    GetCommState(port, &settings);
    settings.BaudRate = CBR_9600;
    settings.ByteSize = 8;
    settings.Parity = EVENPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    SetCommState(port, &settings);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // both read totals 0: a read returns at once
    SetCommTimeouts(port, &timeouts);
    return port;
}

void CloseComPort(KorvanPortHandle port) {
    if (port != nullptr) CloseHandle(port);
}

}  // namespace hostkit
