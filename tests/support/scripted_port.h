// A serial port and a clock that tests script: bytes arrive at given ticks, the clock
// moves only when the code under test waits or sleeps.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "platform/system/serial_port.h"

namespace korvan::testing {

class ScriptedClock : public platform::Clock {
public:
    uint32_t TickCount() override { return now; }
    void Sleep(uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    uint32_t now = 0;
    std::vector<uint32_t> sleeps;
};

class ScriptedPort : public platform::SerialPort {
public:
    struct Arrival {
        uint32_t at;
        std::vector<uint8_t> bytes;
        bool lineError = false;
    };

    explicit ScriptedPort(ScriptedClock& clock) : clock_(clock) {}

    // Bytes that reach the input queue at tick `at` (relative to nothing: absolute).
    void Arrive(uint32_t at, std::vector<uint8_t> bytes, bool lineError = false) {
        arrivals_.push_back({at, std::move(bytes), lineError});
    }

    bool Write(std::span<const uint8_t> bytes, uint32_t /*timeoutMs*/) override {
        written.emplace_back(bytes.begin(), bytes.end());
        if (writeSucceeds && responder) {
            std::vector<uint8_t> reply = responder(written.back());
            if (!reply.empty()) Arrive(clock_.now + replyDelay, std::move(reply));
        }
        return writeSucceeds;
    }
    platform::PortStatus QueryAndClearErrors() override {
        ++queries;
        bool errors = false;
        while (!arrivals_.empty() && arrivals_.front().at <= clock_.now) {
            errors = errors || arrivals_.front().lineError;
            queue_.insert(queue_.end(), arrivals_.front().bytes.begin(), arrivals_.front().bytes.end());
            arrivals_.pop_front();
        }
        return {errors, static_cast<uint32_t>(queue_.size())};
    }
    bool Read(std::span<uint8_t> into) override {
        if (into.size() > queue_.size()) return false;
        for (auto& byte : into) {
            byte = queue_.front();
            queue_.pop_front();
        }
        return true;
    }
    void DiscardInput() override {
        ++discards;
        QueryAndClearErrors();
        queue_.clear();
    }
    // A plain sleep of the poll interval by default; with wakeOnInput, the wait ends at
    // the next arrival.
    void WaitForInput(const platform::InputWait& wait) override {
        waits.push_back(wait.pollMs);
        missingNotes.push_back(wait.missing);
        timeLeftNotes.push_back(wait.timeLeftMs);
        uint32_t step = wait.pollMs;
        if (wakeOnInput && !arrivals_.empty() && arrivals_.front().at - clock_.now < step) {
            step = arrivals_.front().at - clock_.now;
        }
        clock_.now += step;  // wraps like the system's tick
    }

    std::size_t Queued() const { return queue_.size(); }
    std::vector<uint32_t> missingNotes;
    std::vector<uint32_t> timeLeftNotes;

    // Answers each written request (an empty answer is no reply), replyDelay ms later.
    std::function<std::vector<uint8_t>(const std::vector<uint8_t>&)> responder;
    uint32_t replyDelay = 5;

    std::vector<std::vector<uint8_t>> written;
    std::vector<uint32_t> waits;
    bool writeSucceeds = true;
    bool wakeOnInput = false;
    int queries = 0;
    int discards = 0;

private:
    ScriptedClock& clock_;
    std::deque<Arrival> arrivals_;
    std::deque<uint8_t> queue_;
};

}  // namespace korvan::testing
