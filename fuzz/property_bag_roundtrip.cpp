// A property store built from any names and values the types allow, written
// as text and read back: equal, every bag with its names in the same order.
// Input: records separated by 0x1E, each "control 0x1F name 0x1F type 0x1F
// value" with type b (value "1" or else false), i (strtol), s (the value as
// it is) or f (font "name 0x1F size 0x1F weight 0x1F charset 0x1F flags",
// the size read by strtod, so that "nan", "inf" and "1e-320" reach it).
#include <cstdlib>

#include "forms/property_bag.h"
#include "fuzz_support.h"

namespace {

long Number(const std::string& text) { return std::strtol(text.c_str(), nullptr, 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    forms::PropertyStore store;
    for (const std::string& record : Fields(TextOf(data, size), '\x1e')) {
        const auto f = Fields(record, '\x1f');
        auto field = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
        forms::PropertyBag& bag = store.Bag(field(0));
        const std::string type = field(2);
        forms::PropertyValue value;
        if (type == "b") {
            value = field(3) == "1";
        } else if (type == "i") {
            value = static_cast<std::int32_t>(Number(field(3)));
        } else if (type == "f") {
            forms::FontSpec spec;
            spec.name = field(3);
            spec.size = std::strtod(field(4).c_str(), nullptr);
            spec.weight = static_cast<int>(Number(field(5)));
            spec.charset = static_cast<int>(Number(field(6)));
            const long flags = Number(field(7));
            spec.italic = (flags & 1) != 0;
            spec.underline = (flags & 2) != 0;
            value = spec;
        } else {
            value = field(3);
        }
        const forms::PropertyValue writeDefault = std::string("\x01" "default");
        bag.WriteProperty(field(1), value, writeDefault);
        if (value == writeDefault) {
            FUZZ_CHECK(!bag.Has(field(1)), "the default is not stored");
            continue;
        }
        const auto font = std::get_if<forms::FontSpec>(&value);
        if (font == nullptr || forms::IsWritable(*font))
            FUZZ_CHECK(bag.Stored(field(1)) == value, "a value the types allow is stored: " + Shown(record));
        else
            FUZZ_CHECK(!bag.Stored(field(1)) || bag.Stored(field(1)) != value, "an unwritable font is not stored");
    }
    const std::string text = store.ToText();
    const forms::PropertyStore back = forms::PropertyStore::FromText(text);
    FUZZ_CHECK(back == store, "the store reads back equal:\n" + Shown(text));
    // The names keep their order, control by control.
    const forms::PropertyStore again = forms::PropertyStore::FromText(back.ToText());
    FUZZ_CHECK(again.ToText() == text, "the order of names is kept");
    return 0;
}
