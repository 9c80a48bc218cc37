#include "link/serial_transaction.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_port.h"

namespace korvan {
namespace {

using testing::ScriptedClock;
using testing::ScriptedPort;
using Bytes = std::vector<uint8_t>;

Bytes Range(uint8_t first, std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

class SerialTransactionTest : public ::testing::Test {
protected:
    ScriptedClock clock;
    ScriptedPort port{clock};
    SerialIo io{port, clock};
    DeviceInstance device{{0, 0, 0}, nullptr, nullptr, kSerialPortKind, KorvanPortHandle(7)};
};

TEST_F(SerialTransactionTest, WithoutAnOpenPortNothingIsWrittenAndNothingWaits) {
    for (auto [kind, handle] : {std::pair{1, 7}, std::pair{2, 0}, std::pair{2, -1}}) {
        device.portKind = kind;
        device.portHandle = KorvanPortHandle(handle);
        ByteBuffer request = {1, 2, 3};
        EXPECT_EQ(SerialTransact(device, io, request, 200, kReadCount, 16, 13), -1);
        EXPECT_EQ(request, (ByteBuffer{1, 2, 3}));
        EXPECT_EQ(SerialRead(device, io, request, 0, kReadAfterDelay, 0, 0), 0);
    }
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(clock.now, 0u);
    EXPECT_EQ(port.discards, 0);
}

TEST_F(SerialTransactionTest, CountRuleStopsInsideAPollAndDropsTheRest) {
    port.Arrive(0, Range(1, 20));
    ByteBuffer buffer = {0xAA};
    EXPECT_EQ(SerialRead(device, io, buffer, 200, kReadCount, 16, 13), 16);
    EXPECT_EQ(buffer, Range(1, 16));
    EXPECT_EQ(port.Queued(), 0u);  // the four after the count went with their poll
    EXPECT_TRUE(port.waits.empty());  // a completed reply returns without waiting
}

TEST_F(SerialTransactionTest, TerminatorRulesStopAtTheTerminatorOrTheCount) {
    port.Arrive(0, {5, 6, 13, 7, 8});
    ByteBuffer buffer;
    EXPECT_EQ(SerialRead(device, io, buffer, 100, kReadUntilTerminator, 2, 13 + 256), 3);
    EXPECT_EQ(buffer.back(), 13);  // only the low 8 bits of the terminator count
    port.Arrive(0, {5, 6, 7, 13});
    EXPECT_EQ(SerialRead(device, io, buffer, 100, kReadUntilTerminatorOrCount, 2, 13), 2);
    port.Arrive(0, {13, 6, 7});
    EXPECT_EQ(SerialRead(device, io, buffer, 100, kReadUntilTerminatorOrCount, 2, 13), 1);
}

TEST_F(SerialTransactionTest, CountZeroStopsAfterTheFirstByteOrTimesOut) {
    port.Arrive(30, {9, 9});
    ByteBuffer buffer;
    EXPECT_EQ(SerialRead(device, io, buffer, 100, kReadCount, 0, 13), 1);
    EXPECT_EQ(clock.now, 30u);
    clock.now = 1000;
    EXPECT_EQ(SerialRead(device, io, buffer, 100, kReadCount, 0, 13), 0);
    EXPECT_EQ(clock.now, 1110u);  // the first idle poll after 100 ms have elapsed
}

TEST_F(SerialTransactionTest, AReplyIsGatheredAcrossPollsWithWaitsBetween) {
    port.Arrive(0, Range(0, 5));
    port.Arrive(15, Range(5, 6));
    port.Arrive(25, Range(11, 5));
    ByteBuffer buffer;
    EXPECT_EQ(SerialRead(device, io, buffer, 200, kReadCount, 16, 13), 16);
    EXPECT_EQ(buffer, Range(0, 16));
    EXPECT_EQ(port.waits, (std::vector<uint32_t>{10, 10, 10}));
    EXPECT_EQ(port.missingNotes, (std::vector<uint32_t>{11, 11, 5}));  // the port may let them gather
    EXPECT_EQ(port.timeLeftNotes, (std::vector<uint32_t>{201, 191, 181}));  // a wait woken by input may last so long
    port.Arrive(40, {13});
    SerialRead(device, io, buffer, 200, kReadUntilTerminator, 16, 13);
    EXPECT_EQ(port.missingNotes.back(), 0u);  // a terminator gives no count
}

TEST_F(SerialTransactionTest, TheTimeOutIsExaminedOnlyWhenAPollFindsNothing) {
    for (uint32_t at = 0; at <= 400; at += 10) port.Arrive(at, {1});  // a trickle, never 100 bytes
    ByteBuffer buffer;
    EXPECT_EQ(SerialRead(device, io, buffer, 200, kReadCount, 100, 13), 41);
    EXPECT_EQ(clock.now, 410u);  // past the time-out while bytes came; the first idle poll ends it
    EXPECT_EQ(port.timeLeftNotes.back(), kPollIntervalMs);  // past it, one poll interval at a time
}

TEST_F(SerialTransactionTest, NoReplyTimesOutJustAfterTheWaitTime) {
    ByteBuffer buffer = {1};
    EXPECT_EQ(SerialTransact(device, io, buffer, 200, kReadCount, 16, 13), 0);
    EXPECT_EQ(clock.now, 210u);
    EXPECT_TRUE(buffer.empty());
}

TEST_F(SerialTransactionTest, TheTickWrapCountsOneLess) {
    EXPECT_EQ(ElapsedSince(0xFFFFFFF0u, 0x00000005u), 20u);
    EXPECT_EQ(ElapsedSince(5, 25), 20u);
    clock.now = 0xFFFFFFF0u;
    ByteBuffer buffer;
    // Polls at 0xFFFFFFF0, 0xFA, 0x04, 0x0E, 0x18: after the wrap the elapsed count is
    // one less than the modular difference, so 0x0E counts 29 (not past 29) and 0x18 ends it.
    EXPECT_EQ(SerialRead(device, io, buffer, 29, kReadCount, 16, 13), 0);
    EXPECT_EQ(clock.now, 0x00000018u);
}

TEST_F(SerialTransactionTest, DelayedReadSleepsThenTakesWhatIsQueued) {
    port.Arrive(20, {1, 2, 3});
    ByteBuffer buffer;
    EXPECT_EQ(SerialRead(device, io, buffer, 50, kReadAfterDelay, 0, 0), 3);
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{50}));
    EXPECT_EQ(SerialRead(device, io, buffer, 50, kReadAfterDelay, 0, 0), 0);
    EXPECT_EQ(SerialRead(device, io, buffer, 50, 4, 0, 0), -2);
    EXPECT_EQ(SerialRead(device, io, buffer, 50, -1, 0, 0), -2);
}

TEST_F(SerialTransactionTest, LineErrorsMakeAPollIdleButKeepTheBytesQueued) {
    port.Arrive(0, {1, 2}, true);
    port.Arrive(0, {3, 4});
    ByteBuffer buffer;
    EXPECT_EQ(SerialRead(device, io, buffer, 100, kReadCount, 4, 13), 4);
    EXPECT_EQ(buffer, (ByteBuffer{1, 2, 3, 4}));
    EXPECT_EQ(port.waits.size(), 1u);
}

TEST_F(SerialTransactionTest, StaleInputIsDiscardedBeforeTheRequestIsWritten) {
    port.Arrive(0, {0xEE, 0xEE, 0xEE});  // a late reply to an earlier request
    port.Arrive(5, Range(1, 4));
    ByteBuffer buffer = {1};
    EXPECT_EQ(SerialTransact(device, io, buffer, 100, kReadCount, 4, 13), 4);
    EXPECT_EQ(buffer, Range(1, 4));
    EXPECT_EQ(port.discards, 1);
    port.writeSucceeds = false;
    buffer = {7, 7};
    EXPECT_EQ(SerialTransact(device, io, buffer, 100, kReadCount, 4, 13), -1);
    EXPECT_EQ(buffer, (ByteBuffer{7, 7}));
}

}  // namespace
}  // namespace korvan
