// A form's property store read from any text: reading never fails, and what
// was read is written and read again unchanged (the text form is exact).
#include "forms/property_bag.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const forms::PropertyStore store = forms::PropertyStore::FromText(TextOf(data, size));
    const std::string text = store.ToText();
    const forms::PropertyStore back = forms::PropertyStore::FromText(text);
    FUZZ_CHECK(back == store, "written and read again, the store is unchanged:\n" + Shown(text));
    FUZZ_CHECK(back.ToText() == text, "and writes the same text again");
    return 0;
}
