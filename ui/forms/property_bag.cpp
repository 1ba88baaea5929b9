#include "property_bag.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace forms {

PropertyValue PropertyBag::ReadProperty(const std::string& name, const PropertyValue& readDefault) const
{
    const auto found = entries_.find(name);
    return found != entries_.end() ? found->second : readDefault;
}

void PropertyBag::WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& writeDefault)
{
    if (value == writeDefault) {
        entries_.erase(name);
        order_.erase(std::remove(order_.begin(), order_.end(), name), order_.end());
        return;
    }
    Put(name, value);
}

std::optional<PropertyValue> PropertyBag::Stored(const std::string& name) const
{
    const auto found = entries_.find(name);
    if (found == entries_.end()) return std::nullopt;
    return found->second;
}

void PropertyBag::Put(const std::string& name, const PropertyValue& value)
{
    const FontSpec* font = std::get_if<FontSpec>(&value);
    if (font != nullptr && !IsWritable(*font)) return;
    if (entries_.count(name) == 0) order_.push_back(name);
    entries_[name] = value;
}

const PropertyBag* PropertyStore::Find(const std::string& control) const
{
    const auto found = bags_.find(control);
    return found != bags_.end() ? &found->second : nullptr;
}

PropertyBag& PropertyStore::Bag(const std::string& control) { return bags_[control]; }

namespace {

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

// A property name: escaped as a value is, and its '=' and '[' too, so that
// the first bare '=' of a line ends the name and no property line can be
// taken for a control's line.
std::string EscapeName(const std::string& name)
{
    std::string out;
    for (char c : Escape(name)) {
        if (c == '=' || c == '[') out += '\\';
        out += c;
    }
    return out;
}

// Where the name of a property line ends: its first '=' not escaped.
std::size_t NameEnd(const std::string& line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') ++i;
        else if (line[i] == '=') return i;
    }
    return std::string::npos;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ValueToText(const PropertyValue& value)
{
    if (const bool* b = std::get_if<bool>(&value)) return std::string("b:") + (*b ? "1" : "0");
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return "i:" + std::to_string(*i);
    if (const std::string* s = std::get_if<std::string>(&value)) return "s:" + Escape(*s);
    return "f:" + Escape(FontSpecToText(std::get<FontSpec>(value)));
}

std::optional<PropertyValue> ValueFromText(const std::string& text)
{
    if (text.size() < 2 || text[1] != ':') return std::nullopt;
    const std::string body = text.substr(2);
    switch (text[0]) {
    case 'b':
        if (body == "0" || body == "1") return PropertyValue(body == "1");
        return std::nullopt;
    case 'i': {
        if (body.empty()) return std::nullopt;
        errno = 0;
        char* end = nullptr;
        const long long n = std::strtoll(body.c_str(), &end, 10);
        if (*end != '\0' || errno != 0 || n < INT32_MIN || n > INT32_MAX) return std::nullopt;
        return PropertyValue(static_cast<std::int32_t>(n));
    }
    case 's':
        return PropertyValue(Unescape(body));
    case 'f':
        if (auto spec = FontSpecFromText(Unescape(body))) return PropertyValue(*spec);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace

std::string PropertyStore::ToText() const
{
    std::string text;
    for (const auto& [control, bag] : bags_) {
        text += '[';
        text += Escape(control);
        text += "]\n";
        for (const std::string& name : bag.Names()) {
            text += EscapeName(name);
            text += '=';
            text += ValueToText(*bag.Stored(name));
            text += '\n';
        }
    }
    return text;
}

PropertyStore PropertyStore::FromText(const std::string& text)
{
    PropertyStore store;
    PropertyBag* current = nullptr;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &store.Bag(Unescape(line.substr(1, line.size() - 2)));
            continue;
        }
        const size_t eq = NameEnd(line);
        if (current == nullptr || eq == std::string::npos) continue;
        if (auto value = ValueFromText(line.substr(eq + 1))) current->Put(Unescape(line.substr(0, eq)), *value);
    }
    return store;
}

}  // namespace forms
