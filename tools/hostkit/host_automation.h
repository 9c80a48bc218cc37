// The host's run-time automation object: an IDispatch over a store of typed host
// variables, offering GetDataType, GetValueFromName and SetValueFromName, and
// counting every call made on it. Calls through the interface may come from several
// threads (one driver serves several devices); they are taken one at a time.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

#include "korvan/host_abi.h"
#include "platform/automation/automation_abi.h"
#include "tools/hostkit/host_memory.h"

namespace hostkit {

using HostValue = std::variant<int32_t, float, std::u16string>;

struct CallCounts {
    uint32_t addRef = 0;
    uint32_t release = 0;
    uint32_t lookups = 0;
    uint32_t getDataType = 0;
    uint32_t getValue = 0;
    uint32_t setValue = 0;
};

class HostAutomationObject final : private korvan::platform::DispatchTarget {
public:
    HostAutomationObject() = default;  // one reference, owned by whoever the interface is handed to
    HostAutomationObject(const HostAutomationObject&) = delete;
    HostAutomationObject& operator=(const HostAutomationObject&) = delete;

    IDispatch* Interface() { return object_.Interface(); }
    // The interface with one more reference, for a driver that takes it over.
    IDispatch* HandOut();
    uint32_t References() const { return references_; }
    const CallCounts& Counts() const { return counts_; }

    // Declares (or replaces) a variable; its type follows the value's type.
    void Declare(const std::u16string& name, HostValue value);
    std::optional<HostValue> Value(const std::u16string& name) const;
    const std::map<std::u16string, HostValue>& Variables() const { return variables_; }
    // Every later Invoke fails with an automation error, as a broken host would.
    void FailInvokes(bool fail) { failInvokes_ = fail; }
    // Answers as a looser host does: S_FALSE for success, its 32-bit answers as VT_I2,
    // a value asked for as a variable's own type in another type (float variables
    // as VT_R8, integer ones as a text).
    void AnswerLoosely(bool loose) { loose_ = loose; }

    // 1 integer, 2 float, 3 text, 0 for a name that is no variable.
    int32_t DataTypeOf(const std::u16string& name) const;

private:
    uint32_t AddRef() override;
    uint32_t Release() override;
    int32_t IdOfName(std::u16string_view name, int32_t& dispid) override;
    int32_t Invoke(int32_t dispid, uint16_t flags, DISPPARAMS* params, VARIANT* result) override;
    int32_t Call(int32_t dispid, DISPPARAMS& params, VARIANT* result);

    std::mutex calls_;
    uint32_t references_ = 1;
    CallCounts counts_;
    std::map<std::u16string, HostValue> variables_;
    bool failInvokes_ = false;
    bool loose_ = false;
    korvan::platform::DispatchObject object_{*this};
};

}  // namespace hostkit
