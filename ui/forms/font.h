// Fonts of the forms and their controls. A FontSpec is a plain value (what a
// property bag stores); a Font is a live font object that several holders may
// share: a change of any attribute reaches every holder at once.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace forms {

struct FontSpec {
    std::string name = "Tahoma";  // UTF-8
    double size = 8.25;           // points
    int weight = 400;
    int charset = 0;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec& other) const;
    bool operator!=(const FontSpec& other) const { return !(*this == other); }
};

constexpr int kHeaviestWeight = 1000;
constexpr int kLargestCharset = 255;

// True when the font description can be written as text and read back equal: a finite
// size above zero, a weight of 0 to 1000, a character set of 0 to 255.
bool IsWritable(const FontSpec& spec);

// "name|size|weight|charset|italic|underline": the size in the fewest digits
// that read back as exactly the same number; the name as it is (bars and an
// empty name included: the five numbers are found from the end).
// FontSpecFromText(FontSpecToText(spec)) == spec for every writable font description;
// any other text (signs, blanks, "nan", a weight beyond 1000, ...) gives nothing.
std::string FontSpecToText(const FontSpec& spec);
std::optional<FontSpec> FontSpecFromText(const std::string& text);

class Font {
public:
    explicit Font(FontSpec spec = {}) : spec_(std::move(spec)) {}
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const FontSpec& Spec() const { return spec_; }
    void SetSpec(const FontSpec& spec);
    void SetName(const std::string& name);
    void SetSize(double points);
    void SetBold(bool bold);
    void SetItalic(bool italic);
    void SetUnderline(bool underline);
    void SetCharset(int charset);

    // Called after every change; the number given back ends the subscription.
    int Subscribe(std::function<void()> changed);
    void Unsubscribe(int subscription);

private:
    void Changed();
    FontSpec spec_;
    std::map<int, std::function<void()>> listeners_;
    int nextSubscription_ = 1;
};

}  // namespace forms
