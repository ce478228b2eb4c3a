#include "editing/browser_suffix.h"

namespace qw {

void CutAtSuffix(std::string& text, const std::string& suffix) {
    const auto at = text.find(suffix);
    if (at != std::string::npos) text.erase(at);
}

void StripBrowserSuffix(std::string& title) {
    static const char* const kSuffixes[] = {" - Microsoft Internet Explorer", " - Netscape", " - Mozilla"};
    for (const char* suffix : kSuffixes) CutAtSuffix(title, suffix);
}

}  // namespace qw
