// The track box's text as the saved track number.
#include <cstring>

#include "conversions.h"
#include "fuzz_support.h"
#include "settings_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = TextOf(data, size);
    const std::int16_t track = TrackNumberOf(text);
    if (!conv::IsNumeric(text)) FUZZ_CHECK(track == 0, "a text that is no number is track 0: " + Shown(text));
    // Every track the box can show is read back as itself.
    if (size >= 2) {
        std::int16_t shown;
        std::memcpy(&shown, data, sizeof shown);
        if (shown < 0) shown = static_cast<std::int16_t>(-(shown + 1));
        FUZZ_CHECK(TrackNumberOf(conv::FormatDigits(shown)) == shown, "the box's own text reads back");
    }
    return 0;
}
