// The Command button's properties read from any stored text (a form's store
// with a bag "Cmd"), written back through the text form and read into the
// next button: from the second save on, every button writes the same bag.
#include "command_rules.h"
#include "forms/property_bag.h"
#include "fuzz_support.h"

namespace {

// The button's parts as plain state.
class PlainParts : public CommandParts {
public:
    void DrawFace(FacePicture, bool) override {}
    void SetCaptionEnabled(bool) override {}
    bool SetCaptionColour(std::uint32_t c) override
    {
        colour = c;
        return true;
    }
    std::optional<std::uint32_t> CaptionColour() const override { return colour; }
    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& c) override { caption = c; }
    std::shared_ptr<forms::Font> CaptionFont() const override { return font; }
    void SetCaptionFont(std::shared_ptr<forms::Font> f) override { font = std::move(f); }
    void SetOpaque(bool o) override { opaque = o; }
    bool Opaque() const override { return opaque; }
    forms::FontSpec AmbientFont() const override { return {"Ambient Sans", 9.0, 400, 0, false, false}; }
    void StartPollTimer(unsigned) override {}
    void PropertyChanged(const char*) override {}
    void RaiseClick() override {}
    std::optional<WindowId> WindowUnderCursor() override { return std::nullopt; }
    std::optional<WindowId> ContainerWindow() override { return std::nullopt; }
    WindowId OwnWindow() const override { return 1; }

    std::uint32_t colour = 0;
    std::string caption = "Command";
    std::shared_ptr<forms::Font> font = std::make_shared<forms::Font>();
    bool opaque = true;
};

forms::PropertyBag Written(const forms::PropertyBag& read)
{
    PlainParts parts;
    CommandRules rules(parts);
    rules.ReadProperties(read);
    rules.Initialize();
    forms::PropertyBag written;
    rules.WriteProperties(written);
    return written;
}

// The bag written by a button that read `read`, after a trip through the text form.
forms::PropertyBag WrittenAndReloaded(const forms::PropertyBag& read)
{
    forms::PropertyStore saved;
    saved.Bag("Cmd") = Written(read);
    const std::string text = saved.ToText();
    const forms::PropertyStore reloaded = forms::PropertyStore::FromText(text);
    FUZZ_CHECK(reloaded == saved, "the written bag reads back from its text:\n" + Shown(text));
    return *reloaded.Find("Cmd");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const forms::PropertyStore stored = forms::PropertyStore::FromText(TextOf(data, size));
    const forms::PropertyBag* found = stored.Find("Cmd");
    // A value of the wrong kind leaves that property as the control had it,
    // which the next write may store (the caption's defaults differ on read
    // and on write): from the second save on, what is written stays the same.
    const forms::PropertyBag first = WrittenAndReloaded(found != nullptr ? *found : forms::PropertyBag());
    const forms::PropertyBag second = WrittenAndReloaded(first);
    const forms::PropertyBag third = WrittenAndReloaded(second);
    FUZZ_CHECK(third == second, "a button loaded from what another wrote writes the same");
    return 0;
}
