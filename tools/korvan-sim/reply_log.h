// What the drives answered, for tests and traces. Thread-safe; holds at most `capacity`
// records, dropping the oldest.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "tools/korvan-sim/fault_injector.h"
#include "tools/korvan-sim/telegram.h"

namespace korvansim {

struct ReplyRecord {
    std::int64_t timeUs = 0;  // model time
    std::uint8_t address = 0; // ADR byte of the reply (echoed from the request)
    TelegramKind kind = TelegramKind::Parameter;
    std::uint8_t ak = 0;
    std::uint16_t pnu = 0;
    std::uint16_t index = 0;
    std::uint32_t value = 0;          // PWE as sent (error number with AK 7)
    std::vector<std::uint8_t> text;   // text replies, code page 936
    std::uint16_t statusWord = 0;
    std::uint16_t mainActual = 0;
    FaultKind fault = FaultKind::None;
    std::vector<std::uint8_t> bytes;  // what went on the line; empty when dropped
};

class ReplyLog {
public:
    explicit ReplyLog(std::size_t capacity = 10000) : capacity_(capacity) {}

    void Add(ReplyRecord record);
    std::vector<ReplyRecord> Take();
    std::size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::size_t capacity_;
    std::deque<ReplyRecord> records_;
};

}  // namespace korvansim
