// The host's run-time automation object as the targets hand it to the driver: a
// variable of every type, and some with awkward values, attached to the driver's run
// object for the life of this object.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "tools/hostkit/host_automation.h"

namespace korvanfuzz {

class HostVariables {
public:
    // Names of the declared variables, for targets that pick one.
    static constexpr std::array<std::u16string_view, 9> kNames = {
        u"I", u"N", u"F", u"G", u"Q", u"T", u"E", u"变量", u"文本"};

    // With `failInvokes` every call into the host fails, as a broken host's would.
    explicit HostVariables(bool failInvokes = false);
    ~HostVariables();
    HostVariables(const HostVariables&) = delete;
    HostVariables& operator=(const HostVariables&) = delete;

    hostkit::HostAutomationObject& Object() { return object_; }
    // The variable a name reaches: the host reads names up to their first NUL.
    std::optional<hostkit::HostValue> Value(std::u16string_view name) const;

private:
    hostkit::HostAutomationObject object_;
};

// Equal values of equal type; a float NaN equals itself.
bool SameValue(const std::optional<hostkit::HostValue>& a, const std::optional<hostkit::HostValue>& b);

}  // namespace korvanfuzz
