// Browser names cut off window titles, so that a fragment names the page and
// not the browser.
#pragma once

#include <string>

namespace qw {

// Cuts `text` just before the first occurrence of `suffix` (case counts);
// leaves it whole when there is none.
void CutAtSuffix(std::string& text, const std::string& suffix);
// Cuts the title before the earliest of the known browser suffixes.
void StripBrowserSuffix(std::string& title);
// Whether the title is a browser window's: it holds one of the known
// browser suffixes, which the cut above would take off.
bool NamesBrowser(const std::string& title);

}  // namespace qw
