// The identifiers that bind the dialog code to the templates of korvan.rc.
#pragma once

#include <cstdint>

namespace korvan::resources {

inline constexpr int32_t kChannelDialog = 101;
inline constexpr int32_t kAddChannelDialog = 8003;

namespace control {
// Channel property dialog.
inline constexpr int32_t kGrid = 8001;
inline constexpr int32_t kAdd = 1002;
inline constexpr int32_t kDelete = 1001;
inline constexpr int32_t kDeleteAll = 3;
inline constexpr int32_t kAccept = 5;
inline constexpr int32_t kDismiss = 6;
inline constexpr int32_t kSpareButtonA = 4;  // no action
inline constexpr int32_t kSpareButtonB = 8;  // no action

// Add-channel dialog.
inline constexpr int32_t kNumberField = 8004;
inline constexpr int32_t kNameField = 8005;
inline constexpr int32_t kSpareField = 8006;
inline constexpr int32_t kAccessType = 8009;  // the first of three radio buttons
inline constexpr int32_t kConversionList = 8020;
inline constexpr int32_t kTypeList = 8021;
inline constexpr int32_t kRetain = 1011;
inline constexpr int32_t kNumberLabel = 1009;
inline constexpr int32_t kCommentLabel = 1006;
inline constexpr int32_t kConversionLabel = 1007;
inline constexpr int32_t kTypeLabel = 1008;
inline constexpr int32_t kSpareLabel = 1010;
}  // namespace control

}  // namespace korvan::resources
