// Property bags: how a form keeps the design-time properties of its user
// controls. A write whose value equals the default given with it stores
// nothing (and drops an entry stored before); a read of a missing entry gives
// the default given with the read. A form keeps one bag per control name in
// its PropertyStore, which reads and writes itself as text.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "font.h"

namespace forms {

using PropertyValue = std::variant<bool, std::int32_t, std::string, FontSpec>;

class PropertyBag {
public:
    PropertyValue ReadProperty(const std::string& name, const PropertyValue& readDefault) const;
    void WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& writeDefault);
    // Keeps a value as it was read back from a store's text: no default to drop it.
    void Put(const std::string& name, const PropertyValue& value);

    bool Has(const std::string& name) const { return entries_.count(name) > 0; }
    std::optional<PropertyValue> Stored(const std::string& name) const;
    size_t size() const { return entries_.size(); }
    // Names in the order they were first written.
    const std::vector<std::string>& Names() const { return order_; }
    bool operator==(const PropertyBag& other) const { return entries_ == other.entries_; }

private:
    std::map<std::string, PropertyValue> entries_;
    std::vector<std::string> order_;
};

// The bags of one form, by control name. Text form, one section per control:
//   [Cmd_Set]
//   Caption=s:text          (s string, b Boolean 0/1, i 32-bit integer, f font)
// with \\, \n and \r escaped in values.
class PropertyStore {
public:
    // The bag of a control, if the form holds one for it.
    const PropertyBag* Find(const std::string& control) const;
    // The bag of a control, made empty on first use.
    PropertyBag& Bag(const std::string& control);
    void Remove(const std::string& control) { bags_.erase(control); }
    bool empty() const { return bags_.empty(); }

    std::string ToText() const;
    // Unknown lines and malformed values are skipped.
    static PropertyStore FromText(const std::string& text);
    bool operator==(const PropertyStore& other) const { return bags_ == other.bags_; }

private:
    std::map<std::string, PropertyBag> bags_;
};

}  // namespace forms
