// Fuzzes cutting browser names off window titles: whatever the title, the
// result is the title cut before the earliest of the three browser suffixes
// (case counts), so it is a prefix of the title holding none of them, and
// cutting it again changes nothing.
//
// Input: the title's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "editing/browser_suffix.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

const char* const kSuffixes[] = {" - Microsoft Internet Explorer", " - Netscape", " - Mozilla"};

// The rule literally: the earliest position at which any suffix starts.
std::string Reference(const std::string& title) {
    for (std::size_t at = 0; at < title.size(); ++at) {
        for (const char* suffix : kSuffixes) {
            if (title.compare(at, std::char_traits<char>::length(suffix), suffix) == 0) return title.substr(0, at);
        }
    }
    return title;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string title(reinterpret_cast<const char*>(data), size);
    std::string cut = title;
    qw::StripBrowserSuffix(cut);

    Check(cut == Reference(title));
    Check(title.compare(0, cut.size(), cut) == 0);
    for (const char* suffix : kSuffixes) Check(cut.find(suffix) == std::string::npos);
    std::string again = cut;
    qw::StripBrowserSuffix(again);
    Check(again == cut);
    return 0;
}
