// The judgement of one call once the drive's log holds the reply to its request:
// the fault context it ran in, and whether the driver stored (or reported) something
// the drive did not send or did not do. A value is right when a reply the drive sent
// for that parameter carried it: the call's own, or one of the kLateReach before it,
// which a late reply may have brought into the call's exchange.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/soak/reply_ledger.h"
#include "tests/soak/soak_host.h"
#include "tests/soak/soak_plan.h"
#include "tools/hostkit/host_automation.h"

namespace korvansoak {

struct Verdict {
    Context context = Context::None;
    int32_t outcome = 0;  // the collection's status, or the command's result
    bool wrong = false;
    std::string why;  // for a wrong one
};

// A collection of plan channel `channel`, wanted at host channel `slot`.
Verdict JudgeCollection(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel, int32_t slot,
                        const Collected& collected);
// READ of the channel's parameter into `variable`, which held `marker` before; it
// holds `after` now.
Verdict JudgeRead(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel,
                  const hostkit::HostValue& marker, const std::optional<hostkit::HostValue>& after,
                  const std::vector<double>& results);
// A numeric write of `raw` (WRITE or ZELK_WRITE): done means the drive holds it,
// give or take the last unit the single-precision text scan may lose.
Verdict JudgeWrite(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel, int64_t raw,
                   const std::vector<double>& results);
// A text write of the code-page bytes `text`.
Verdict JudgeTextWrite(const ReplyLedger& ledger, uint64_t ordinal, const std::vector<uint8_t>& text,
                       const std::vector<double>& results);
// A process write (the control word and reference): the drive always takes them.
Verdict JudgeProcessWrite(const ReplyLedger& ledger, uint64_t ordinal, const std::vector<double>& results);

}  // namespace korvansoak
