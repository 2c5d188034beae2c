#pragma once
// A small JSON reader for the source catalogs (GeoJSON feature collections and name
// tables). It builds a plain tree; object members keep their file order.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace catalog_builder {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;  // strings, UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    bool IsNull() const { return kind == Kind::Null; }
    bool IsObject() const { return kind == Kind::Object; }
    bool IsArray() const { return kind == Kind::Array; }
    // Member lookup; a missing member (or a non-object) gives a shared null value.
    const JsonValue& operator[](std::string_view key) const;
    // Numbers and numeric strings ("1.2") as a double; `fallback` for anything else.
    double AsNumber(double fallback) const;
    // Strings as they are, numbers in their shortest form, anything else empty.
    std::string AsText() const;
};

// Parses a whole document. On failure returns false and a message with the byte offset.
bool ParseJson(std::string_view text, JsonValue& out, std::string& error);

}  // namespace catalog_builder
