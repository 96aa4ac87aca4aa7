// The settings keys the event document owns.
#pragma once

#include "core/setting.h"

namespace tlx {

inline constexpr Setting<bool> kAutoDcOffsetKey{"Settings", "AutoDCOffset", true};
inline constexpr Setting<bool> kFftDcOffsetKey{"Settings", "FFTDCOffset", true};
inline constexpr Setting<bool> kCropMessageKey{"Settings", "CropMessage", true};
inline constexpr Setting<bool> kRealtimeWindowsKey{"Settings", "RealtimeWindows", false};

} // namespace tlx
