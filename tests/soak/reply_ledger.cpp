#include "tests/soak/reply_ledger.h"

#include <algorithm>

namespace korvansoak {
namespace {

using korvansim::FaultKind;

static_assert(static_cast<int>(Context::BitFlip) == static_cast<int>(FaultKind::BitFlip),
              "the injected kinds come first, in the injector's order");

constexpr const char* kNames[kContextCount] = {
    "none", "drop", "corrupt-bcc", "late", "split", "noise", "wrong-pnu", "refuse", "bitflip",
    "after a late reply", "refused by the drive"};

bool Answers(const korvansim::ReplyRecord& record, uint16_t pnu, bool process) {
    if (process) return record.kind == korvansim::TelegramKind::Process;
    if (record.kind == korvansim::TelegramKind::Process) return false;
    const bool shifted = record.fault == FaultKind::WrongPnu && record.pnu == ((pnu + 1) & 0x07FF);
    return record.pnu == pnu || shifted;
}

}  // namespace

const char* ContextName(Context context) { return kNames[static_cast<std::size_t>(context)]; }

uint64_t ReplyLedger::Expect(uint16_t pnu, bool process) {
    requests_.push_back({pnu, process});
    return requests_.size() - 1;
}

bool ReplyLedger::Add(std::vector<korvansim::ReplyRecord> records, std::string& problem) {
    for (korvansim::ReplyRecord& record : records) {
        const std::size_t place = replies_.size();
        if (place >= requests_.size() || !Answers(record, requests_[place].pnu, requests_[place].process)) {
            problem = "reply " + std::to_string(place) + " (parameter " + std::to_string(record.pnu) +
                      ") answers no request of its place";
            return false;
        }
        replies_.push_back(std::move(record));
    }
    return true;
}

std::vector<const korvansim::ReplyRecord*> ReplyLedger::Window(uint64_t ordinal, uint64_t earlier) const {
    std::vector<const korvansim::ReplyRecord*> window;
    for (uint64_t i = ordinal - std::min(ordinal, earlier); i <= ordinal && Has(i); ++i) window.push_back(&replies_[i]);
    return window;
}

Context ReplyLedger::ContextOf(uint64_t ordinal) const {
    const korvansim::ReplyRecord& own = replies_[ordinal];
    if (own.fault != FaultKind::None) return static_cast<Context>(own.fault);
    for (const korvansim::ReplyRecord* earlier : Window(ordinal, kLateReach)) {
        if (earlier != &own && earlier->fault == FaultKind::Late) return Context::AfterLate;
    }
    return own.ak == korvansim::ak::kCannotExecute ? Context::DriveRefused : Context::None;
}

}  // namespace korvansoak
