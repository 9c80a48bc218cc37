#include <windows.h>

#include "tools/hostkit/com_port.h"

namespace hostkit {

bool SetUpComPort(KorvanPortHandle port, uint32_t baud, char parity, uint8_t stopBits) {
    const BYTE bits = parity == 'E' ? EVENPARITY : parity == 'O' ? ODDPARITY : NOPARITY;
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port, &settings)) return false;
    settings.BaudRate = baud;
    settings.ByteSize = 8;
    settings.Parity = bits;
    settings.StopBits = stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = bits != NOPARITY;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDtrControl = DTR_CONTROL_ENABLE;
    settings.fDsrSensitivity = FALSE;
    settings.fTXContinueOnXoff = TRUE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fErrorChar = FALSE;
    settings.fNull = FALSE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    settings.fAbortOnError = FALSE;
    return SetCommState(port, &settings) != 0;
}

bool ReadsReturnAtOnce(KorvanPortHandle port) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    return SetCommTimeouts(port, &timeouts) != 0;
}

KorvanPortHandle OpenComPort(const std::string& name) {
    const std::wstring path = L"\\\\.\\" + std::wstring(name.begin(), name.end());
    HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return nullptr;
    // Under Wine a COM port may be a pseudo-terminal, which takes no parity bit.
    const bool ready = (SetUpComPort(port, 9600, 'E', 1) || SetUpComPort(port, 9600, 'N', 1)) && ReadsReturnAtOnce(port);
    if (!ready) {
        CloseHandle(port);
        return nullptr;
    }
    return port;
}

void CloseComPort(KorvanPortHandle port) {
    if (port != nullptr) CloseHandle(port);
}

}  // namespace hostkit
