// The Command button's rules against a recording painter, a fake cursor and a
// fake clock: the transition table row by row, then whole sequences of input,
// then the properties, their failure rules and the property bag.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "command_rules.h"

namespace {

constexpr WindowId kOwnWindow = 0x100, kFormWindow = 0x200, kOtherWindow = 0x300;

class FakeParts : public CommandParts {
public:
    std::vector<std::string> painted;  // picture names, "~" when the gradient is inverted
    std::vector<std::string> calls;    // caption, font, colour, opaque, in order
    std::vector<std::string> changed;
    int clicks = 0;
    unsigned pollInterval = 0;
    std::optional<WindowId> cursorOver = kOtherWindow;
    std::optional<WindowId> container = kFormWindow;
    bool colourWriteFails = false, colourReadFails = false;
    int colourWrites = 0;
    bool captionEnabled = true, opaque = true;
    std::uint32_t colour = 0;
    std::string caption = "Command";
    std::shared_ptr<forms::Font> font = std::make_shared<forms::Font>();
    forms::FontSpec ambient = {"Ambient Sans", 9.0, 400, 0, false, false};

    void DrawFace(FacePicture picture, bool invert) override
    {
        painted.push_back(std::string(FacePictureName(picture)) + (invert ? "~" : ""));
    }
    void SetCaptionEnabled(bool enabled) override { captionEnabled = enabled; }
    bool SetCaptionColour(std::uint32_t c) override
    {
        ++colourWrites;
        calls.push_back("colour");
        if (!colourWriteFails) colour = c;
        return !colourWriteFails;
    }
    std::optional<std::uint32_t> CaptionColour() const override
    {
        return colourReadFails ? std::nullopt : std::optional<std::uint32_t>(colour);
    }
    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& c) override { calls.push_back("caption"); caption = c; }
    std::shared_ptr<forms::Font> CaptionFont() const override { return font; }
    void SetCaptionFont(std::shared_ptr<forms::Font> f) override { calls.push_back("font"); font = std::move(f); }
    void SetOpaque(bool o) override { calls.push_back("opaque"); opaque = o; }
    bool Opaque() const override { return opaque; }
    forms::FontSpec AmbientFont() const override { return ambient; }
    void StartPollTimer(unsigned ms) override { pollInterval = ms; }
    void PropertyChanged(const char* name) override { changed.push_back(name); }
    void RaiseClick() override { ++clicks; }
    std::optional<WindowId> WindowUnderCursor() override { return cursorOver; }
    std::optional<WindowId> ContainerWindow() override { return container; }
    WindowId OwnWindow() const override { return kOwnWindow; }
};

// A control as created, never read from a property bag.
struct Bare {
    FakeParts parts;
    CommandRules rules{parts};
};

// A button on a fake clock: the poll ticks every 100 ms once started.
struct Button : Bare {
    int clockMs = 0;

    Button()
    {
        forms::PropertyBag designed;  // a stored control: enabled, FirstRun 1
        rules.ReadProperties(designed);
        Forget();
    }
    void Forget()
    {
        parts.painted.clear();
        parts.clicks = 0;
    }
    void Advance(int ms)
    {
        for (int t = 0; t < ms; ++t) {
            ++clockMs;
            if (parts.pollInterval > 0 && clockMs % static_cast<int>(parts.pollInterval) == 0) rules.OnPollTimer();
        }
    }
    // Steps: init focus blur move down1 down2 up1 up2 enable disable, and the
    // cursor's place for the next poll tick: away (another program's window),
    // form (the container), over (the button), nocursor, nocontainer.
    void Run(const std::string& script)
    {
        std::istringstream steps(script);
        std::string step;
        while (steps >> step) {
            if (step == "init") rules.Initialize();
            else if (step == "focus") rules.OnSetFocus();
            else if (step == "blur") rules.OnKillFocus();
            else if (step == "move") parts.cursorOver = kOwnWindow, rules.OnMouseMove();
            else if (step == "down1") rules.OnMouseDown(1);
            else if (step == "down2") rules.OnMouseDown(2);
            else if (step == "up1") rules.OnMouseUp(1);
            else if (step == "up2") rules.OnMouseUp(2);
            else if (step == "disable") rules.SetEnabled(false);
            else if (step == "enable") rules.SetEnabled(true);
            else if (step == "away") parts.cursorOver = kOtherWindow, Advance(100);
            else if (step == "form") parts.cursorOver = kFormWindow, Advance(100);
            else if (step == "over") parts.cursorOver = kOwnWindow, Advance(100);
            else if (step == "nocursor") parts.cursorOver.reset(), Advance(100);
            else if (step == "nocontainer") parts.cursorOver = kOwnWindow, parts.container.reset(), Advance(100);
            else ADD_FAILURE() << "unknown step " << step;
        }
    }
};

std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : " ") + item;
    return out;
}

// What the control writes to a property bag (a write repaints the face).
forms::PropertyBag Saved(CommandRules& rules)
{
    forms::PropertyBag bag;
    rules.WriteProperties(bag);
    return bag;
}

struct Transition {
    const char* name;
    const char* before;   // steps that reach the starting point
    const char* trigger;  // the step under test
    int state;            // ButtonState after it
    const char* painted;  // faces painted by it ("~": inverted gradient)
    int clicks;
};

const Transition kTransitions[] = {
    {"Initialize sets Normal without painting", "", "init", 1, "", 0},
    {"focus gained, Normal", "init", "focus", 3, "Selected", 0},
    {"focus gained, hovered", "init move", "focus", 4, "Pressed~", 0},
    {"focus gained, already focused", "init focus", "focus", 3, "Selected", 0},
    {"focus gained, hovered and focused", "init focus move", "focus", 3, "Selected", 0},
    {"focus gained before Initialize", "", "focus", 3, "Selected", 0},
    {"focus lost, Selected", "init focus", "blur", 1, "Normal", 0},
    {"focus lost, HighLightSelect", "init focus move", "blur", 1, "Normal", 0},
    {"focus lost, HighLight", "init move", "blur", 1, "Normal", 0},
    {"focus lost, Normal", "init", "blur", 1, "", 0},
    {"focus lost before Initialize", "", "blur", 1, "Normal", 0},
    {"move, Normal", "init", "move", 2, "HighLight~", 0},
    {"move, HighLight", "init move", "move", 2, "", 0},
    {"move, Selected", "init focus", "move", 4, "HighLightSelect", 0},
    {"move, Selected with the left button held", "init focus down1", "move", 3, "", 0},
    {"move, HighLightSelect", "init focus move", "move", 4, "", 0},
    {"move before Initialize", "", "move", 0, "", 0},
    {"left down, HighLight", "init move", "down1", 2, "Pressed~", 0},
    {"left down, Selected", "init focus", "down1", 3, "Pressed", 0},
    {"left down, HighLightSelect from Selected", "init focus move", "down1", 4, "Pressed", 0},
    {"left down, HighLightSelect from HighLight", "init move focus", "down1", 4, "Pressed~", 0},
    {"left down before Initialize", "", "down1", 0, "Pressed", 0},
    {"right down", "init move", "down2", 2, "", 0},
    {"left up, HighLight", "init move down1", "up1", 2, "Normal~", 1},
    {"left up, HighLightSelect", "init focus move down1", "up1", 4, "HighLightSelect", 1},
    {"left up, Selected", "init focus down1", "up1", 3, "", 0},
    {"left up, Normal", "init down1", "up1", 1, "", 1},
    {"left up before Initialize", "down1", "up1", 0, "", 1},
    {"right up, HighLight", "init move", "up2", 2, "", 1},
    {"right up, HighLightSelect", "init focus move", "up2", 4, "", 1},
    {"right up, Selected", "init focus", "up2", 3, "", 0},
    {"poll, off the button, HighLight", "init move", "away", 1, "Normal", 0},
    {"poll, off the button, HighLightSelect", "init focus move", "away", 3, "Selected", 0},
    {"poll, over the form, HighLight", "init move", "form", 1, "Normal", 0},
    {"poll, over the button", "init focus move", "over", 4, "", 0},
    {"poll, off the button, Normal", "init", "away", 1, "", 0},
    {"poll, off the button, Selected", "init focus", "away", 3, "", 0},
    {"poll, cursor unreadable", "init move", "nocursor", 1, "Normal", 0},
    {"poll, container unreadable", "init move", "nocontainer", 1, "Normal", 0},
    {"disabled: focus", "init disable", "focus", 1, "", 0},
    {"disabled: move", "init disable", "move", 1, "", 0},
    {"disabled: left down", "init move disable", "down1", 2, "", 0},
    {"disabled: left up", "init move disable", "up1", 2, "", 0},
    {"disabled: right up", "init disable", "up2", 1, "", 0},
    {"disabled: poll", "init move disable", "away", 2, "", 0},
};

void ExpectTransition(const Transition& row)
{
    SCOPED_TRACE(row.name);
    Button b;
    b.Run(row.before);
    b.Forget();
    b.Run(row.trigger);
    EXPECT_EQ(b.rules.State(), row.state);
    EXPECT_EQ(Joined(b.parts.painted), row.painted);
    EXPECT_EQ(b.parts.clicks, row.clicks);
}

TEST(CommandTransitions, EveryRowOfTheTable)
{
    for (const Transition& row : kTransitions) ExpectTransition(row);
}

// Whole sequences from a new button: every face painted, in order.
const Transition kSequences[] = {
    {"enter and leave an unfocused button", "", "init move away", 1, "HighLight~ Normal", 0},
    {"enter and leave the focused button", "", "init focus move away", 3, "Selected HighLightSelect Selected", 0},
    {"press and release on the focused, hovered button", "", "init focus move down1 up1", 4,
     "Selected HighLightSelect Pressed HighLightSelect", 1},
    {"press, drag out, release out", "", "init focus move down1 away up1", 3,
     "Selected HighLightSelect Pressed Selected", 0},
    {"press, drag out, back in, release in, move", "", "init focus move down1 away move up1 move", 4,
     "Selected HighLightSelect Pressed Selected HighLightSelect", 0},
    {"right click on a hovered button", "", "init move down2 up2", 2, "HighLight~", 1},
    {"left release unfocused keeps Normal until the cursor leaves and comes back", "",
     "init move down1 up1 move over move away move", 2, "HighLight~ Pressed~ Normal~ Normal HighLight~", 1},
    {"a press gives the focus first, then the mouse-down", "", "init move focus down1 up1", 4,
     "HighLight~ Pressed~ Pressed~ HighLightSelect~", 1},
    {"focus by keyboard while hovered keeps Pressed until the cursor leaves", "", "init move focus move move away", 3,
     "HighLight~ Pressed~ Selected", 0},
    {"focus by keyboard while hovered, then a release", "", "init move focus up1", 4,
     "HighLight~ Pressed~ HighLightSelect~", 1},
    {"disabled while hovered freezes state 2; enabling paints Normal; the poll then ends the hover", "",
     "init move disable away move enable away", 1, "HighLight~ Disable~ Normal~ Normal", 0},
    {"disabled: nothing reacts", "", "init disable move down1 up1 up2 focus away blur", 1, "Disable", 0},
    {"before Initialize a press paints Pressed and a release clicks", "", "move down1 up1 move", 0, "Pressed", 1},
};

TEST(CommandSequences, EdgeCasesOfMouseAndFocus)
{
    for (const Transition& row : kSequences) ExpectTransition(row);
}

TEST(CommandSequences, PollStartsWithInitializeAndNoticesLeavingWithinOneInterval)
{
    Button b;
    EXPECT_EQ(b.parts.pollInterval, 0u) << "stopped at creation";
    b.Run("init move");
    EXPECT_EQ(b.parts.pollInterval, 100u);
    b.parts.cursorOver = kOtherWindow;
    b.Advance(99 - b.clockMs % 100);
    EXPECT_EQ(b.rules.State(), 2);
    b.Advance(1);
    EXPECT_EQ(b.rules.State(), 1) << "left within 100 ms";
}

TEST(CommandProperties, ReadsRepaintNormalWithoutChangingTheState)
{
    Button b;
    b.Run("init focus move");
    b.Forget();
    EXPECT_EQ(b.rules.FontColour(), 0u);
    EXPECT_EQ(b.rules.Visible(), 255);
    EXPECT_TRUE(b.rules.Enabled());
    EXPECT_EQ(Joined(b.parts.painted), "Normal Normal Normal") << "FontColour, Visible and Enabled reads";
    EXPECT_EQ(b.rules.State(), 4);

    b.Run("disable");
    b.Forget();
    b.rules.FontColour();
    EXPECT_EQ(b.rules.Visible(), 255);
    EXPECT_TRUE(b.parts.painted.empty()) << "nothing to the face while disabled";
    EXPECT_FALSE(b.rules.Enabled());
    EXPECT_EQ(Joined(b.parts.painted), "Disable");
}

TEST(CommandProperties, VisibleZeroLeavesOnlyTheCaption)
{
    Button b;
    b.rules.SetVisible(0);
    EXPECT_FALSE(b.parts.opaque);
    EXPECT_EQ(b.rules.Visible(), 0);
    EXPECT_TRUE(b.parts.painted.empty());
    b.rules.SetVisible(1);
    EXPECT_TRUE(b.parts.opaque);
    EXPECT_EQ(Joined(b.parts.painted), "Normal");
    EXPECT_EQ(Joined(b.parts.changed), "Visible Visible");
}

TEST(CommandProperties, CaptionFontAndColourWrites)
{
    Button b;
    b.rules.SetCaption("設定");
    EXPECT_EQ(b.rules.Caption(), "設定");
    EXPECT_TRUE(b.parts.painted.empty()) << "no repaint for a caption";
    auto font = std::make_shared<forms::Font>(forms::FontSpec{"Mono", 12, 700, 0, false, true});
    b.rules.SetFont(font);
    EXPECT_EQ(b.rules.Font(), font) << "the live object, not a copy";
    b.rules.SetFontColour(0x0000FF);
    EXPECT_EQ(b.parts.colour, 0x0000FFu);
    EXPECT_EQ(Joined(b.parts.painted), "Normal");
    EXPECT_EQ(Joined(b.parts.changed), "Caption Font FontColour");
}

TEST(CommandProperties, FailureRules)
{
    Button b;
    b.parts.colourWriteFails = true;
    b.rules.SetFontColour(0xFF0000);
    EXPECT_EQ(Joined(b.parts.painted), "Normal") << "a failed write runs ResetFace";
    EXPECT_TRUE(b.parts.changed.empty()) << "and returns before telling the container";

    b.Forget();
    b.parts.colourWriteFails = false;
    b.parts.colourReadFails = true;
    EXPECT_EQ(b.rules.FontColour(), 0u);
    EXPECT_EQ(Joined(b.parts.painted), "Normal Normal") << "ResetFace on the failure, then as usual";

    // ResetFace turns a never-initialised caption black, once more when that step fails.
    Bare fresh;
    fresh.rules.SetEnabled(true);
    fresh.parts.colourWriteFails = true;
    fresh.parts.colourWrites = 0;
    EXPECT_EQ(fresh.rules.Visible(), 255);  // a read runs ResetFace
    EXPECT_EQ(fresh.parts.colourWrites, 2);
    EXPECT_EQ(fresh.parts.painted.back(), "Normal");
}

TEST(CommandProperties, BrandNewControlIsEnabledByItsFirstEnabledRead)
{
    Bare fresh;
    EXPECT_FALSE(fresh.rules.IsEnabled());
    fresh.parts.colour = 0x00FF00;
    EXPECT_TRUE(fresh.rules.Enabled());
    EXPECT_EQ(fresh.parts.colour, 0x00FF00u) << "ResetFace ran while still disabled: nothing forced";
    EXPECT_EQ(Joined(fresh.parts.painted), "Normal");
    EXPECT_FALSE(Saved(fresh.rules).Has("FirstRun")) << "FirstRun is now 1, the default";
}

// Property bag round trips.

// A new control that has read its properties from `bag`.
struct Loaded : Bare {
    explicit Loaded(const forms::PropertyBag& bag) { rules.ReadProperties(bag); }
};

TEST(CommandPropertyBag, DefaultCaptionIsNotStoredAndReadsBackAsCommand1)
{
    Button b;
    b.rules.SetCaption("Command");
    forms::PropertyBag bag = Saved(b.rules);
    EXPECT_FALSE(bag.Has("Caption"));
    Button loaded;
    loaded.rules.ReadProperties(bag);
    EXPECT_EQ(loaded.rules.Caption(), "Command1");

    b.rules.SetCaption("ｷｬﾝｾﾙ");
    Button again;
    again.rules.ReadProperties(Saved(b.rules));
    EXPECT_EQ(again.rules.Caption(), "ｷｬﾝｾﾙ");
}

TEST(CommandPropertyBag, WritesInOrderAndOnlyWhatDiffersFromTheDefaults)
{
    Button b;
    b.rules.SetCaption("...");
    b.rules.SetEnabled(false);
    b.rules.SetFontColour(0x123456);
    b.rules.SetVisible(0);
    b.rules.SetFont(std::make_shared<forms::Font>(forms::FontSpec{"Other", 10, 400, 0, false, false}));
    forms::PropertyBag bag = Saved(b.rules);
    EXPECT_EQ(Joined(bag.Names()), "Enabled Caption Font FontColour Visible") << "FirstRun 1 is the default";

    // A bag with the ambient font, default colour and the rest stores nothing.
    Button plain;
    plain.rules.SetFont(std::make_shared<forms::Font>(plain.parts.ambient));
    plain.rules.SetCaption("Command");
    EXPECT_EQ(Saved(plain.rules).size(), 0u);
}

TEST(CommandPropertyBag, ReadsInOrderAndEndsWithResetFace)
{
    forms::PropertyBag bag;
    bag.WriteProperty("Caption", std::string("設定"), std::string("Command"));
    bag.WriteProperty("Font", forms::FontSpec{"ＭＳ Ｐゴシック", 9.75, 400, 128, false, false}, forms::FontSpec{});
    Loaded c(bag);
    EXPECT_EQ(Joined(c.parts.calls), "caption font colour opaque");
    EXPECT_TRUE(c.rules.IsEnabled());
    EXPECT_EQ(c.parts.caption, "設定");
    EXPECT_EQ(c.parts.font->Spec().charset, 128);
    EXPECT_TRUE(c.parts.opaque);
    EXPECT_EQ(Joined(c.parts.painted), "Normal");
    EXPECT_EQ(Saved(c.rules), bag) << "written back, the dialog's button carries only what it was given";
}

TEST(CommandPropertyBag, MissingFontReadsAsTheAmbientFont)
{
    Loaded c(forms::PropertyBag{});
    EXPECT_EQ(c.parts.font->Spec(), c.parts.ambient);
    EXPECT_EQ(c.parts.caption, "Command1");
}

TEST(CommandPropertyBag, NewControlSavedBeforeEnabledWasReadIsEnabledByTheNextRead)
{
    Bare fresh;
    forms::PropertyBag bag = Saved(fresh.rules);
    EXPECT_EQ(bag.Stored("FirstRun"), forms::PropertyValue(std::int32_t{0}));
    EXPECT_EQ(bag.Stored("Enabled"), forms::PropertyValue(false));

    Loaded loaded(bag);
    EXPECT_FALSE(loaded.rules.IsEnabled());
    EXPECT_TRUE(loaded.parts.painted.empty());
    EXPECT_TRUE(loaded.rules.Enabled());
    EXPECT_FALSE(Saved(loaded.rules).Has("FirstRun")) << "FirstRun is now 1, the default";
}

TEST(CommandPropertyBag, FirstRunZeroForcesABlackCaption)
{
    forms::PropertyBag bag;
    bag.WriteProperty("FirstRun", std::int32_t{0}, std::int32_t{1});
    bag.WriteProperty("FontColour", std::int32_t{0x0000FF}, std::int32_t{0});
    Loaded c(bag);
    EXPECT_TRUE(c.rules.IsEnabled());
    EXPECT_EQ(c.parts.colour, 0u) << "ResetFace after the read turned the caption black";
    c.rules.SetFontColour(0x0000FF);
    EXPECT_EQ(c.parts.colour, 0u) << "and keeps doing so while FirstRun is 0";
}

TEST(CommandPropertyBag, ValuesOfTheWrongKindOrRangeFailOnlyTheirOwnStep)
{
    forms::PropertyBag bag;
    bag.WriteProperty("Enabled", std::string("yes"), true);
    bag.WriteProperty("FirstRun", std::int32_t{300}, std::int32_t{1});
    bag.WriteProperty("Visible", std::int32_t{7}, std::int32_t{1});
    bag.WriteProperty("Caption", std::string("Go"), std::string("Command"));
    Bare c;
    c.parts.opaque = false;
    c.rules.ReadProperties(bag);
    EXPECT_FALSE(c.rules.IsEnabled()) << "kept as created";
    EXPECT_FALSE(c.parts.opaque);
    EXPECT_EQ(c.parts.caption, "Go");
    EXPECT_EQ(Saved(c.rules).Stored("FirstRun"), forms::PropertyValue(std::int32_t{0})) << "kept as created";
}

}  // namespace
