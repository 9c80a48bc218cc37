// The scene's drive for the Windows build: korvan-transcript-drive on the Linux side,
// reached through two COM ports named in KORVAN_TRANSCRIPT_PORTS ("COM9,COM10"): the
// drive's line, and a control line that takes the commands that the Linux
// transcript gives its drive in-process.
#include <windows.h>

#include <cstdlib>

#include "tools/hostkit/com_port.h"
#include "tools/korvan-transcript/scene_drive.h"

namespace transcript {
namespace {

constexpr DWORD kAnswerWaitMs = 5000;

class RemoteDrive final : public SceneDrive {
public:
    RemoteDrive() {
        const char* ports = std::getenv("KORVAN_TRANSCRIPT_PORTS");
        const std::string names = ports != nullptr ? ports : "";
        const std::size_t comma = names.find(',');
        if (comma == std::string::npos) {
            error_ = "KORVAN_TRANSCRIPT_PORTS names no drive line and control line";
            return;
        }
        line_ = hostkit::OpenComPort(names.substr(0, comma));
        control_ = hostkit::OpenComPort(names.substr(comma + 1));
        if (line_ == nullptr || control_ == nullptr) error_ = "cannot open " + names;
    }
    ~RemoteDrive() override {
        Stop();
        if (control_ != nullptr) CloseHandle(control_);
    }

    std::string Error() const override { return error_; }
    KorvanPortHandle Line() const override { return line_; }
    void ScriptFaults(const std::string& names) override { Ask("faults " + names, "ok"); }
    std::vector<std::string> TakeWireLines() override { return Ask("wire", "end"); }
    void Stop() override {
        // The line is closed before the drive lets go of its end.
        if (line_ != nullptr) CloseHandle(line_);
        line_ = nullptr;
        if (control_ != nullptr && !stopped_) Ask("stop", "ok");
        stopped_ = true;
    }

private:
    // Sends a command and gathers the answer's lines up to `last`, which is left out.
    std::vector<std::string> Ask(const std::string& command, const std::string& last) {
        std::vector<std::string> lines;
        const std::string request = command + "\n";
        DWORD written = 0;
        if (control_ == nullptr || !WriteFile(control_, request.data(), static_cast<DWORD>(request.size()), &written,
                                              nullptr)) {
            return lines;
        }
        std::string pending;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kAnswerWaitMs) {
            char buffer[512];
            DWORD got = 0;
            if (!ReadFile(control_, buffer, sizeof buffer, &got, nullptr)) break;
            if (got == 0) {
                Sleep(1);
                continue;
            }
            pending.append(buffer, got);
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                std::string line = pending.substr(0, end);
                if (line == last) return lines;
                lines.push_back(std::move(line));
            }
        }
        lines.push_back("(no answer from the drive's control line to \"" + command + "\")");
        return lines;
    }

    HANDLE line_ = nullptr;
    HANDLE control_ = nullptr;
    bool stopped_ = false;
    std::string error_;
};

}  // namespace

std::unique_ptr<SceneDrive> StartSceneDrive() { return std::make_unique<RemoteDrive>(); }

}  // namespace transcript
