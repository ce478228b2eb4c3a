#include "shell/about.h"

#include "resources/resource.h"

namespace qw {

const char kWebAddress[] = "http://www.example.com/quellwatch/";
const char* const kMailAddresses[kMailLinkCount] = {
    "support@example.com", "feedback@example.com", "bugs@example.com", "sales@example.com", "webmaster@example.com",
};
const char kMailSubject[] = "?subject=Quellwatch v1.6";

namespace {

constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BDu;
constexpr std::size_t kFixedFileInfoSize = 52;
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

std::uint32_t Word(const std::uint8_t* at) { return static_cast<std::uint32_t>(at[0] | at[1] << 8); }

std::uint32_t DoubleWord(const std::uint8_t* at) { return Word(at) | Word(at + 2) << 16; }

}  // namespace

std::string BuildText(unsigned major, unsigned minor, unsigned revision) {
    return "Build: " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

std::optional<ProgramVersion> ParseVersionResource(const std::uint8_t* data, std::size_t size) {
    // wLength, wValueLength, wType, then the key in UTF-16 up to its NUL.
    constexpr std::size_t kHeader = 6;
    if (!data || size < kHeader) return std::nullopt;
    const std::size_t valueLength = Word(data + 2);
    std::size_t at = kHeader;
    while (at + 2 <= size && Word(data + at) != 0) at += 2;
    at += 2;
    // The value starts on the next double-word boundary.
    at = (at + 3) & ~std::size_t{3};
    if (valueLength < kFixedFileInfoSize || at + kFixedFileInfoSize > size) return std::nullopt;
    const std::uint8_t* info = data + at;
    if (DoubleWord(info) != kFixedFileInfoSignature) return std::nullopt;
    const std::uint32_t high = DoubleWord(info + 8);
    const std::uint32_t low = DoubleWord(info + 12);
    return ProgramVersion{high >> 16, high & 0xFFFFu, low & 0xFFFFu};
}

void ShellOpen(ProcessApi& process, MousePointer& pointer, const std::string& target) {
    pointer.SetHourglass(true);
    // The program's folder as the working folder, as for the help file: a
    // folder that does not exist can make the shell refuse to start the handler.
    process.ShellExecuteFile("open", target, "", process.ProgramFolder(), kShowNormal);
    pointer.SetHourglass(false);
}

void About::Form_Load() {
    view_.SetIcon(IDI_TRACK_ON);
    view_.SetText(BuildText(version_.major, version_.minor, version_.revision));
    view_.SetWebCaption(kWebAddress);
    for (int i = 0; i < kMailLinkCount; ++i) view_.SetLinkCaption(i, kMailAddresses[i]);
}

void About::Web_Click() { ShellOpen(process_, pointer_, kWebAddress); }

void About::Link_Click(int index) {
    if (index < 0 || index >= kMailLinkCount) return;
    ShellOpen(process_, pointer_, std::string("mailto:") + kMailAddresses[index] + kMailSubject);
}

}  // namespace qw
