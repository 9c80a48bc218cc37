// Unit tests link the core without the driver module, so nothing defines the channel
// schemas at load: this environment does it before the first test.
#include <gtest/gtest.h>

#include "channels/channel_schemas.h"

namespace {

class ChannelSchemasEnvironment : public ::testing::Environment {
public:
    void SetUp() override { korvan::DefineChannelSchemas(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ChannelSchemasEnvironment);

}  // namespace
