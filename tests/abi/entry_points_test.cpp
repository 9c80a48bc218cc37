#include <gtest/gtest.h>

#include "tests/support/driver_fixture.h"
#include "tools/hostkit/host_automation.h"

extern "C" int korvan_host_abi_layout_checked(void);

namespace korvan {
namespace {

using hostkit::DoubleArray;
using hostkit::IntArray;
using hostkit::StringArray;
using testing::DriverTest;

TEST_F(DriverTest, FixedAnswersHoldWhateverTheState) {
    ASSERT_EQ(korvan_host_abi_layout_checked(), 1);
    for (int round = 0; round < 2; ++round) {
        hostkit::String text;
        hostkit::Set(text.raw, u"previous text");
        int32_t helpId = 0;
        EXPECT_EQ(Svr().DoHelp(&text, &helpId), 1);
        EXPECT_EQ(hostkit::Text(text.raw), u"VLT5000");
        EXPECT_EQ(helpId, 2102072502);
        EXPECT_EQ(Svr().GetDevInfo(), 0);
        uint8_t flag = 0;
        int ignored = 0;
        EXPECT_EQ(Svr().EditProperties(&ignored, &flag), 1);
        EXPECT_EQ(flag, 1);
        EXPECT_EQ(Svr().InitDevSet(Device()), 1);  // the second round has a state
    }
}

TEST_F(DriverTest, ExitDevRunReleasesTheStateAndMayBeRepeated) {
    EXPECT_EQ(Svr().InitDevSet(Device()), 1);
    EXPECT_NE(Device()->deviceState, nullptr);
    EXPECT_EQ(Svr().ExitDevRun(Device()), 1);
    EXPECT_EQ(Device()->deviceState, nullptr);
    EXPECT_EQ(Svr().ExitDevRun(Device()), 1);
    EXPECT_EQ(Device()->deviceState, nullptr);
}

TEST_F(DriverTest, CollectWithAnEmptyValuesArrayLooksAtNothing) {
    IntArray wanted;
    DoubleArray values;
    StringArray texts;
    EXPECT_EQ(Svr().CollectDevData(Device(), &wanted, &values, &texts), 0);
    EXPECT_EQ(Device()->deviceState, nullptr);
    EXPECT_EQ(Svr().CollectDevData(nullptr, nullptr, &values, nullptr), 0);
}

TEST_F(DriverTest, CollectWithoutReadGroupsAnswersMinus100AndTouchesNothing) {
    ASSERT_EQ(Svr().InitDevSet(Device()), 1);  // only the four fixed channels
    IntArray wanted;
    DoubleArray values;
    StringArray texts;
    hostkit::Set(wanted.raw, {1, 1, 1, 1, 1});
    hostkit::Set(values.raw, {9.0, 9.0, 9.0, 9.0, 9.0});
    EXPECT_EQ(Svr().CollectDevData(Device(), &wanted, &values, &texts), -100);
    EXPECT_EQ(hostkit::Values(values.raw), (std::vector<double>{9.0, 9.0, 9.0, 9.0, 9.0}));
}

TEST_F(DriverTest, DevIOCtrlWithEmptyResultsRunsNothing) {
    hostkit::String command;
    hostkit::Set(command.raw, u"READ(1,0,3,X)");
    DoubleArray results;
    EXPECT_EQ(Svr().DevIOCtrl(Device(), &command, &results, 0), 0);
    EXPECT_EQ(results.raw.count, 0);
    EXPECT_EQ(Device()->deviceState, nullptr);
}

TEST_F(DriverTest, AutomationObjectsAreTakenOverAndReleasedOnce) {
    hostkit::HostAutomationObject first, second, setTime, atUnload;
    IDispatch* handed = first.Interface();
    EXPECT_EQ(Svr().SetRunIDispatch(&handed), 1);
    EXPECT_EQ(first.Counts().addRef, 0u);  // taken over, no reference of its own
    handed = second.Interface();
    Svr().SetRunIDispatch(&handed);
    EXPECT_EQ(first.Counts().release, 1u);
    EXPECT_EQ(second.Counts().release, 0u);
    handed = nullptr;
    Svr().SetRunIDispatch(&handed);  // none
    EXPECT_EQ(second.Counts().release, 1u);

    handed = setTime.Interface();
    Svr().SetSetIDispatch(&handed);
    handed = atUnload.Interface();
    Svr().SetRunIDispatch(&handed);
    Library().Unload();
    EXPECT_EQ(setTime.Counts().release, 1u);
    EXPECT_EQ(atUnload.Counts().release, 1u);
    EXPECT_EQ(first.Counts().release, 1u);
}

}  // namespace
}  // namespace korvan
