// The tap of a COM port. Windows offers no pair of connected ports to put between the
// driver and the line, so the driver keeps the port, and for the tap's life its calls
// on it come through the host: the driver module's import-table entries for
// WriteFile, ReadFile, ClearCommError and PurgeComm point at functions here, which
// call the system's and record what the driver writes and what it reads on the
// tapped port. Input the driver discards unread before a request (a late reply) is
// read out and recorded first, then discarded as asked. Calls on other handles pass
// through untouched.
#include <atomic>
#include <cstring>
#include <vector>

#include "tools/korvan-host/line/line_tap.h"
#include "tools/korvan-host/windows_system.h"

namespace korvanhost {
namespace {

struct Recorder {
    HANDLE port;
    TelegramLog log;
};

std::atomic<Recorder*> recorder{nullptr};

// The recorder when `file` is the tapped port.
Recorder* RecorderFor(HANDLE file) {
    Recorder* active = recorder.load();
    return active != nullptr && active->port == file ? active : nullptr;
}

void Record(Recorder& active, TelegramLog::Way way, const void* bytes, DWORD size) {
    active.log.Pass(way, {static_cast<const uint8_t*>(bytes), size}, TelegramLog::NowNs());
}

BOOL WINAPI TappedWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    const BOOL done = WriteFile(file, data, size, written, overlapped);
    Recorder* active = RecorderFor(file);
    if (active != nullptr && done && written != nullptr && *written > 0) {
        Record(*active, TelegramLog::Way::ToDrive, data, *written);
    }
    return done;
}

BOOL WINAPI TappedReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    const BOOL done = ReadFile(file, data, size, got, overlapped);
    Recorder* active = RecorderFor(file);
    if (active != nullptr && done && got != nullptr && *got > 0) {
        Record(*active, TelegramLog::Way::FromDrive, data, *got);
    }
    return done;
}

// The driver asks for the queued count every few milliseconds while it waits: time
// enough for the log to close stalled fragments and a request without its reply.
BOOL WINAPI TappedClearCommError(HANDLE file, LPDWORD errors, LPCOMSTAT status) {
    const BOOL done = ClearCommError(file, errors, status);
    if (Recorder* active = RecorderFor(file)) {
        const int64_t now = TelegramLog::NowNs();
        active->log.Pass(TelegramLog::Way::ToDrive, {}, now);
        active->log.Pass(TelegramLog::Way::FromDrive, {}, now);
        active->log.CheckReply(now);
    }
    return done;
}

BOOL WINAPI TappedPurgeComm(HANDLE file, DWORD flags) {
    Recorder* active = RecorderFor(file);
    for (int chunks = 0; active != nullptr && (flags & PURGE_RXCLEAR) != 0 && chunks < 64; ++chunks) {
        DWORD errors = 0;
        COMSTAT status{};
        uint8_t stale[512];
        DWORD got = 0;
        if (!ClearCommError(file, &errors, &status) || status.cbInQue == 0) break;
        const DWORD wanted = status.cbInQue < sizeof stale ? status.cbInQue : sizeof stale;
        if (!ReadFile(file, stale, wanted, &got, nullptr) || got == 0) break;
        Record(*active, TelegramLog::Way::FromDrive, stale, got);
    }
    return PurgeComm(file, flags);
}

// One entry of a module's import address table, pointed elsewhere for the object's life.
class ImportSlot {
public:
    ImportSlot(void** slot, void* replacement) : slot_(slot), original_(*slot) { Write(replacement); }
    ~ImportSlot() { Write(original_); }
    ImportSlot(const ImportSlot&) = delete;
    ImportSlot& operator=(const ImportSlot&) = delete;

private:
    void Write(void* value) {
        DWORD protection = 0;
        if (!VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection)) return;
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }
    void** slot_;
    void* original_;
};

// The import-table entries through which `module` calls the function `name`.
std::vector<void**> ImportSlots(HMODULE module, const char* name) {
    std::vector<void**> slots;
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return slots;
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (headers->Signature != IMAGE_NT_SIGNATURE) return slots;
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return slots;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name != 0;
         ++library) {
        // Without a name table the entries are matched by the address they hold.
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        const FARPROC system = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
        for (std::size_t i = 0; entries[i].u1.Function != 0; ++i) {
            bool match = false;
            if (library->OriginalFirstThunk == 0) {
                match = system != nullptr && entries[i].u1.Function == reinterpret_cast<uintptr_t>(system);
            } else if (!IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
                match = std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0;
            }
            if (match) slots.push_back(reinterpret_cast<void**>(&entries[i].u1.Function));
        }
    }
    return slots;
}

}  // namespace

struct LineTap::Tap {
    Tap(HANDLE port, TelegramLog::Printer print, int64_t replyWaitMs, TelegramLog::ReplyWatcher replies)
        : recording{port, {std::move(print), replyWaitMs, std::move(replies)}} {}

    Recorder recording;
    std::vector<std::unique_ptr<ImportSlot>> slots;
    std::string error;
};

LineTap::LineTap(KorvanPortHandle line, void* driverModule, TelegramLog::Printer print, int64_t replyWaitMs,
                 TelegramLog::ReplyWatcher replies)
    : tap_(std::make_unique<Tap>(static_cast<HANDLE>(line), std::move(print), replyWaitMs, std::move(replies))) {
    if (Recorder* expected = nullptr; !recorder.compare_exchange_strong(expected, &tap_->recording)) {
        tap_->error = "cannot trace two lines at once";
        return;
    }
    const struct {
        const char* name;
        void* replacement;
    } routes[] = {{"WriteFile", reinterpret_cast<void*>(&TappedWriteFile)},
                  {"ReadFile", reinterpret_cast<void*>(&TappedReadFile)},
                  {"ClearCommError", reinterpret_cast<void*>(&TappedClearCommError)},
                  {"PurgeComm", reinterpret_cast<void*>(&TappedPurgeComm)}};
    bool writes = false, reads = false;
    for (const auto& route : routes) {
        if (driverModule == nullptr) break;
        for (void** slot : ImportSlots(static_cast<HMODULE>(driverModule), route.name)) {
            tap_->slots.push_back(std::make_unique<ImportSlot>(slot, route.replacement));
            writes |= route.replacement == reinterpret_cast<void*>(&TappedWriteFile);
            reads |= route.replacement == reinterpret_cast<void*>(&TappedReadFile);
        }
    }
    if (!writes || !reads) tap_->error = "cannot trace this driver: it does not import WriteFile and ReadFile";
}

LineTap::~LineTap() {
    tap_->slots.clear();  // the driver's calls go straight to the system again
    Recorder* mine = &tap_->recording;
    if (recorder.compare_exchange_strong(mine, nullptr)) tap_->recording.log.Finish(TelegramLog::NowNs());
}

const std::string& LineTap::Error() const { return tap_->error; }

KorvanPortHandle LineTap::DriverHandle() const { return tap_->recording.port; }

}  // namespace korvanhost
