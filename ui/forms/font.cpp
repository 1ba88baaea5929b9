#include "font.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace forms {

bool FontSpec::operator==(const FontSpec& other) const
{
    return name == other.name && size == other.size && weight == other.weight && charset == other.charset &&
           italic == other.italic && underline == other.underline;
}

bool IsWritable(const FontSpec& spec)
{
    return std::isfinite(spec.size) && spec.size > 0 && spec.weight >= 0 && spec.weight <= kHeaviestWeight &&
           spec.charset >= 0 && spec.charset <= kLargestCharset;
}

namespace {

// The shortest decimal text that reads back as exactly the same size.
std::string SizeText(double size)
{
    char text[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, size);
        if (std::strtod(text, nullptr) == size) break;
    }
    return text;
}

// A size as SizeText writes it: digits with an optional point and exponent;
// no signs in front, no blanks, no words such as "nan" or "inf".
std::optional<double> SizeFromText(const std::string& field)
{
    if (field.empty() || !(std::isdigit(static_cast<unsigned char>(field[0])) || field[0] == '.')) return std::nullopt;
    for (char c : field) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-')
            return std::nullopt;
    }
    char* end = nullptr;
    const double size = std::strtod(field.c_str(), &end);
    if (end != field.c_str() + field.size() || !std::isfinite(size) || size <= 0) return std::nullopt;
    return size;
}

// A whole number in decimal digits, at most `largest`.
std::optional<int> WholeFromText(const std::string& field, int largest)
{
    if (field.empty() || field.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > largest) return std::nullopt;
    return value;
}

}  // namespace

std::string FontSpecToText(const FontSpec& spec)
{
    return spec.name + "|" + SizeText(spec.size) + "|" + std::to_string(spec.weight) + "|" +
           std::to_string(spec.charset) + "|" + (spec.italic ? "1" : "0") + "|" + (spec.underline ? "1" : "0");
}

std::optional<FontSpec> FontSpecFromText(const std::string& text)
{
    // The five numbers are the last five fields; the name is all before them
    // (it may hold bars of its own, or be empty).
    std::vector<std::string> numbers;
    std::size_t end = text.size();
    for (int i = 0; i < 5; ++i) {
        const std::size_t bar = text.rfind('|', end == 0 ? std::string::npos : end - 1);
        if (end == 0 || bar == std::string::npos) return std::nullopt;
        numbers.insert(numbers.begin(), text.substr(bar + 1, end - bar - 1));
        end = bar;
    }
    const auto size = SizeFromText(numbers[0]);
    const auto weight = WholeFromText(numbers[1], kHeaviestWeight);
    const auto charset = WholeFromText(numbers[2], kLargestCharset);
    const auto italic = WholeFromText(numbers[3], 1);
    const auto underline = WholeFromText(numbers[4], 1);
    if (!size || !weight || !charset || !italic || !underline) return std::nullopt;
    FontSpec spec;
    spec.name = text.substr(0, end);
    spec.size = *size;
    spec.weight = *weight;
    spec.charset = *charset;
    spec.italic = *italic != 0;
    spec.underline = *underline != 0;
    return spec;
}

void Font::SetSpec(const FontSpec& spec)
{
    spec_ = spec;
    Changed();
}

void Font::SetName(const std::string& name)
{
    spec_.name = name;
    Changed();
}

void Font::SetSize(double points)
{
    if (!std::isfinite(points) || points <= 0) return;
    spec_.size = points;
    Changed();
}

void Font::SetBold(bool bold)
{
    spec_.weight = bold ? 700 : 400;
    Changed();
}

void Font::SetItalic(bool italic)
{
    spec_.italic = italic;
    Changed();
}

void Font::SetUnderline(bool underline)
{
    spec_.underline = underline;
    Changed();
}

void Font::SetCharset(int charset)
{
    spec_.charset = charset;
    Changed();
}

int Font::Subscribe(std::function<void()> changed)
{
    const int id = nextSubscription_++;
    listeners_[id] = std::move(changed);
    return id;
}

void Font::Unsubscribe(int subscription) { listeners_.erase(subscription); }

void Font::Changed()
{
    // A listener may unsubscribe while being told; work on a copy.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners) {
        if (listener) listener();
    }
}

}  // namespace forms
