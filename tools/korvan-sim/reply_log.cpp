#include "tools/korvan-sim/reply_log.h"

#include <utility>

namespace korvansim {

void ReplyLog::Add(ReplyRecord record) {
    const std::lock_guard lock(mutex_);
    if (records_.size() >= capacity_) {
        records_.pop_front();
    }
    records_.push_back(std::move(record));
}

std::vector<ReplyRecord> ReplyLog::Take() {
    const std::lock_guard lock(mutex_);
    std::vector<ReplyRecord> taken(std::make_move_iterator(records_.begin()), std::make_move_iterator(records_.end()));
    records_.clear();
    return taken;
}

std::size_t ReplyLog::Size() const {
    const std::lock_guard lock(mutex_);
    return records_.size();
}

}  // namespace korvansim
