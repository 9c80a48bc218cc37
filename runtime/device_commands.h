// Device commands given through SvrDevIOCtrl: "ZELK_WRITE(N=V)" writes configured
// channel N; "READ(P,F,T,X)" reads parameter P into host variable X; "WRITE(P,F,T,S,V)"
// writes parameter P. Each makes at most one exchange with the drive.
#pragma once

#include <cstdint>
#include <string_view>

#include "korvan/host_abi.h"
#include "link/serial_transaction.h"

namespace korvan {

inline constexpr int32_t kWriteFailed = -100;
inline constexpr int32_t kUnusableArguments = -300;

// Several commands may follow each other in one text: they run from the last to the
// first, and the first one's result is returned.
int32_t ExecuteCommandText(DeviceInstance& device, SerialIo& io, std::u16string_view text, HostDoubleArray& results);
// 1 when written, or skipped for a control word or reference whose latch is set; 0
// without "="; -300 for a channel number or value that is not usable (not a number as
// a whole, a channel outside the table or read only, a value that does not fit the
// channel); -100 when the exchange failed.
int32_t ChannelWriteCommand(DeviceInstance& device, SerialIo& io, std::u16string_view arguments,
                            HostDoubleArray& results);
// 1, the exchange's failure (-1 to -4), or -300 (too few arguments, a parameter
// number outside 0..4095, a data type outside 0..5).
int32_t ParameterReadCommand(DeviceInstance& device, SerialIo& io, std::u16string_view arguments,
                             HostDoubleArray& results);
// 1, -100, or -300 when a value nobody meant could reach the drive (see
// write_checks.h) or arguments are missing.
int32_t ParameterWriteCommand(DeviceInstance& device, SerialIo& io, std::u16string_view arguments,
                              HostDoubleArray& results);

}  // namespace korvan
