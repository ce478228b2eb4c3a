// How often the scan walks every window: every 15 ms, or, while the user
// saves power, every 250 ms with window events catching new windows between.
#pragma once

#include "platform/window_api.h"

namespace qw {

constexpr unsigned kScanInterval = 15;        // ms
constexpr unsigned kSavingScanInterval = 250;  // ms

struct PowerChoice {
    bool savePower = false;     // "Save Power"
    bool onBatteryOnly = true;  // "Save Power On Battery Only"
};

// A source Windows cannot name counts as mains: the user chose to save
// power only on battery, and no battery is known to run.
unsigned ScanIntervalFor(const PowerChoice& choice, PowerSource source);

}  // namespace qw
