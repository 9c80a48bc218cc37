#include <windows.h>

#include "tools/hostkit/com_port.h"

namespace hostkit {
namespace {

// The whole DCB, whatever a previous program left in it: 9600 baud, 8 data bits, the
// parity given, one stop bit, binary, no flow control of any kind (XON/XOFF would take
// 0x11 and 0x13 out of a telegram), 0x00 kept as data, and a line error that leaves
// the port working (the driver reads errors with ClearCommError).
bool SetUp(HANDLE port, BYTE parity) {
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port, &settings)) return false;
    settings.BaudRate = CBR_9600;
    settings.ByteSize = 8;
    settings.Parity = parity;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = parity != NOPARITY;
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

}  // namespace

KorvanPortHandle OpenComPort(const std::string& name) {
    const std::wstring path = L"\\\\.\\" + std::wstring(name.begin(), name.end());
    HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return nullptr;
    // Under Wine a COM port may be a pseudo-terminal, which takes no parity bit.
    bool ready = SetUp(port, EVENPARITY) || SetUp(port, NOPARITY);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // both read totals 0: a read returns at once
    ready = ready && SetCommTimeouts(port, &timeouts) != 0;
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
