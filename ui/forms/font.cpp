#include "font.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace forms {

bool FontSpec::operator==(const FontSpec& other) const
{
    return name == other.name && std::lround(size * 100) == std::lround(other.size * 100) && weight == other.weight &&
           charset == other.charset && italic == other.italic && underline == other.underline;
}

std::string FontSpecToText(const FontSpec& spec)
{
    char size[32];
    std::snprintf(size, sizeof size, "%.2f", spec.size);
    return spec.name + "|" + size + "|" + std::to_string(spec.weight) + "|" + std::to_string(spec.charset) + "|" +
           (spec.italic ? "1" : "0") + "|" + (spec.underline ? "1" : "0");
}

std::optional<FontSpec> FontSpecFromText(const std::string& text)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t bar = text.find('|', start);
        fields.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (fields.size() != 6 || fields[0].empty()) return std::nullopt;
    auto number = [](const std::string& field, double& out) {
        if (field.empty()) return false;
        char* end = nullptr;
        out = std::strtod(field.c_str(), &end);
        return end != nullptr && *end == '\0';
    };
    double size, weight, charset, italic, underline;
    if (!number(fields[1], size) || !number(fields[2], weight) || !number(fields[3], charset) ||
        !number(fields[4], italic) || !number(fields[5], underline))
        return std::nullopt;
    if (size <= 0 || weight < 0 || weight > 1000 || charset < 0 || charset > 255) return std::nullopt;
    FontSpec spec;
    spec.name = fields[0];
    spec.size = size;
    spec.weight = static_cast<int>(weight);
    spec.charset = static_cast<int>(charset);
    spec.italic = italic != 0;
    spec.underline = underline != 0;
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
    if (points <= 0) return;
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
