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

bool NamesBrowser(const std::string& title) {
    std::string cut = title;
    StripBrowserSuffix(cut);
    return cut.size() != title.size();
}

}  // namespace qw
