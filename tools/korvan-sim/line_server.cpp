#include "tools/korvan-sim/line_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <exception>
#include <utility>

#include "tools/korvan-sim/line_settings.h"
#include "tools/korvan-sim/model_clock.h"
#include "tools/korvan-sim/telegram_codec.h"
#include "tools/korvan-sim/trace_format.h"

namespace korvansim {
namespace {

constexpr std::int64_t kIdlePollNs = 200000000;

ReplyRecord Record(const Handled& handled, const Transmission& transmission) {
    const Telegram& reply = *handled.reply;
    ReplyRecord record;
    record.timeUs = handled.timeUs;
    record.address = reply.address;
    record.kind = reply.kind;
    record.ak = reply.ak;
    record.pnu = reply.pnu;
    record.index = reply.index;
    record.value = reply.value;
    record.text = reply.text;
    record.statusWord = reply.pcd1;
    record.mainActual = reply.pcd2;
    record.fault = handled.fault;
    if (!transmission.dropped) {
        record.bytes = transmission.bytes;
    }
    return record;
}

// The BCC of the reply as sent: the telegram is the last `length` bytes (noise comes first).
bool SentBccGood(const std::vector<std::uint8_t>& sent, std::size_t length) {
    if (sent.size() < length || length < 2) {
        return false;
    }
    const std::span<const std::uint8_t> frame(sent.data() + sent.size() - length, length);
    return BlockCheck(frame.first(length - 1)) == frame.back();
}

}  // namespace

LineServer::LineServer(Port port, DriveLine& line, FaultInjector& faults, ReplyLog& log, LineServerSettings settings)
    : port_(std::move(port)), line_(line), faults_(faults), log_(log), settings_(std::move(settings)),
      pacer_(settings_.pacing) {}

LineServer::~LineServer() {
    Stop();
}

Result<bool> LineServer::Start() {
    wake_ = UniqueFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!wake_.Valid()) {
        return Result<bool>::Fail(std::string("cannot make an event descriptor: ") + std::strerror(errno));
    }
    if (!settings_.wireLogPath.empty()) {
        wireLog_.open(settings_.wireLogPath, std::ios::out | std::ios::trunc);
        if (!wireLog_) {
            return Result<bool>::Fail("cannot write the wire log " + settings_.wireLogPath);
        }
    }
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return Result<bool>::Ok(true);
}

void LineServer::Stop() {
    stop_ = true;
    if (wake_.Valid()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(wake_.Get(), &one, sizeof one);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string LineServer::Error() const {
    const std::lock_guard lock(errorMutex_);
    return error_;
}

void LineServer::Fail(const std::string& error) {
    const std::lock_guard lock(errorMutex_);
    error_ = error;
}

void LineServer::Run() noexcept {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);  // pacing at 115200 Bd needs fine wake-ups
    try {
        Serve();
    } catch (const std::exception& error) {
        Fail(std::string("line thread stopped: ") + error.what());
    } catch (...) {
        Fail("line thread stopped by an unknown error");
    }
    running_ = false;
}

void LineServer::Serve() {
    TelegramFramer framer(settings_.stallNs);
    std::vector<FramerEvent> events;
    while (!stop_) {
        const std::optional<std::int64_t> stall = framer.StallDeadline();
        const timespec wait = ToTimespec(stall ? std::max<std::int64_t>(0, *stall - MonotonicNs()) : kIdlePollNs);
        std::array<pollfd, 2> fds{{{port_.fd.Get(), POLLIN, 0}, {wake_.Get(), POLLIN, 0}}};
        if (ppoll(fds.data(), fds.size(), &wait, nullptr) < 0 && errno != EINTR) {
            return Fail(std::string("poll: ") + std::strerror(errno));
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
            return Fail(port_.path + ": line error");
        }
        if (fds[0].revents != 0 && !ReadAvailable(framer, events)) {
            return;
        }
        framer.Expire(MonotonicNs(), events);
        for (const FramerEvent& event : events) {
            OnEvent(event);
        }
        events.clear();
    }
}

bool LineServer::ReadAvailable(TelegramFramer& framer, std::vector<FramerEvent>& events) {
    std::array<std::uint8_t, 512> buffer{};
    while (true) {
        const ssize_t count = read(port_.fd.Get(), buffer.data(), buffer.size());
        if (count > 0) {
            const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(count));
            if (HearsHost(bytes)) {
                framer.Push(bytes, MonotonicNs(), events);
            }
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            return true;
        }
        Fail(count == 0 ? port_.path + ": the line was hung up" : port_.path + ": " + std::strerror(errno));
        return false;
    }
}

// On a pseudo-terminal no UART turns a host at another speed or framing into garbage, so
// the drive compares the host's settings with its own and ignores what it would not hear.
bool LineServer::HearsHost(std::span<const std::uint8_t> bytes) {
    if (!port_.pseudoTerminal) {
        return true;
    }
    const std::optional<HostSettings> host = ReadHostSettings(port_.fd.Get());
    if (!host || DriveHears(*host, settings_.pacing.baud, settings_.pacing.framing)) {
        return true;
    }
    Note("RX", HexBytes(bytes) + "  (the host sends at " +
                   DescribeHostSettings(*host) + "; the drive listens at " + std::to_string(settings_.pacing.baud) +
                   " " + FramingName(settings_.pacing.framing) + ": garbage, ignored)");
    return false;
}

void LineServer::OnEvent(const FramerEvent& event) {
    switch (event.kind) {
    case FramerEvent::Kind::Telegram:
        OnTelegram(event);
        break;
    case FramerEvent::Kind::BadBcc:
        Note("RX", HexBytes(event.bytes) + "  (" + DescribeTelegram(DecodeTelegram(event.frame).telegram, false) +
                       ", ignored)");
        break;
    default:
        Note("RX", HexBytes(event.bytes) + "  (" + std::string(FramerEventName(event.kind)) + ", skipped)");
        break;
    }
}

void LineServer::OnTelegram(const FramerEvent& event) {
    const Decoded decoded = DecodeTelegram(event.bytes);
    if (decoded.error != DecodeError::None) {
        Note("RX", HexBytes(event.bytes) + "  (" + std::string(DecodeErrorName(decoded.error)) + ", ignored)");
        return;
    }
    Note("RX", HexBytes(event.bytes) + "  (" + DescribeTelegram(decoded.telegram, true) + ")");
    const Handled handled = line_.Handle(decoded.telegram, faults_);
    if (!handled.reply) {
        Note("--", "no reply (broadcast or another station)");
        return;
    }
    Transmit(event, handled);
}

void LineServer::Transmit(const FramerEvent& request, const Handled& handled) {
    const std::vector<std::uint8_t> encoded = EncodeTelegram(*handled.reply);
    const Transmission transmission = faults_.Apply(handled.fault, encoded);
    ReplyRecord record = Record(handled, transmission);
    const std::string described = DescribeReply(record, SentBccGood(transmission.bytes, encoded.size()));
    Note("TX", (transmission.dropped ? std::string("(dropped)") : HexBytes(transmission.bytes)) + "  (" + described + ")");
    log_.Add(std::move(record));
    if (transmission.dropped) {
        return;
    }
    const std::int64_t start = pacer_.ReplyStartNs(request.bytes.size(), request.firstNs, request.lastNs);
    if (!pacer_.Send(port_.fd.Get(), transmission, start, stop_) && !stop_) {
        Fail(port_.path + ": cannot write the reply");
    }
}

void LineServer::Note(const std::string& direction, const std::string& text) {
    if (!settings_.trace && !wireLog_.is_open()) {
        return;
    }
    const std::string line = FormatTime(line_.NowUs()) + " " + direction + " " + text;
    if (wireLog_.is_open()) {
        wireLog_ << line << '\n' << std::flush;
    }
    if (settings_.trace) {
        settings_.trace(line);
    }
}

}  // namespace korvansim
