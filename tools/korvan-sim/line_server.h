// The line's thread: reads requests from the port, lets the drives answer, applies the
// faults and sends the replies at wire speed.
#pragma once

#include <atomic>
#include <cstdint>
#include <fstream>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "tools/korvan-sim/drive_line.h"
#include "tools/korvan-sim/fault_injector.h"
#include "tools/korvan-sim/reply_log.h"
#include "tools/korvan-sim/serial_port.h"
#include "tools/korvan-sim/telegram_framer.h"
#include "tools/korvan-sim/wire_pacer.h"

namespace korvansim {

struct LineServerSettings {
    PacingSettings pacing;
    std::int64_t stallNs = 5000000;  // a pause this long inside a telegram drops it
    std::string wireLogPath;         // every byte in and out, in hex; empty: none
    std::function<void(const std::string&)> trace;  // decoded telegrams; empty: none
};

class LineServer {
public:
    // `line`, `faults` and `log` must outlive the server.
    LineServer(Port port, DriveLine& line, FaultInjector& faults, ReplyLog& log, LineServerSettings settings);
    ~LineServer();
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    Result<bool> Start();
    void Stop();
    // False once the thread has ended (after Stop, or on a line error).
    bool Running() const { return running_.load(); }
    std::string Error() const;

private:
    void Run() noexcept;
    void Serve();
    bool ReadAvailable(TelegramFramer& framer, std::vector<FramerEvent>& events);
    bool HearsHost(std::span<const std::uint8_t> bytes);
    void OnEvent(const FramerEvent& event);
    void OnTelegram(const FramerEvent& event);
    void Transmit(const FramerEvent& request, const Handled& handled);
    void Note(const std::string& direction, const std::string& text);
    void Fail(const std::string& error);

    Port port_;
    DriveLine& line_;
    FaultInjector& faults_;
    ReplyLog& log_;
    LineServerSettings settings_;
    WirePacer pacer_;
    UniqueFd wake_;
    std::ofstream wireLog_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    mutable std::mutex errorMutex_;
    std::string error_;
    std::thread thread_;
};

}  // namespace korvansim
