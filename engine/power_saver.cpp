#include "engine/power_saver.h"

namespace qw {

unsigned ScanIntervalFor(const PowerChoice& choice, PowerSource source) {
    if (!choice.savePower) return kScanInterval;
    if (choice.onBatteryOnly && source != PowerSource::kBattery) return kScanInterval;
    return kSavingScanInterval;
}

}  // namespace qw
