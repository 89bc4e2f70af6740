#ifndef TOVRA_TOOLS_MATCH_REPORT_JSON_H
#define TOVRA_TOOLS_MATCH_REPORT_JSON_H

#include <string>
#include <string_view>
#include <vector>

namespace tovra::report {

// A small JSON document value for reading the simulator's trace lines.
// Parsing is strict (one value, nothing but blanks after it), bounded in
// nesting depth, and never reads past the text.
class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    // Parses `text` into `out`; false (with a short reason in `error`) for
    // anything that is not exactly one JSON value.
    static bool parse(std::string_view text, JsonValue& out, std::string* error = nullptr);

    Kind kind() const { return kind_; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isString() const { return kind_ == Kind::String; }
    bool isBool() const { return kind_ == Kind::Bool; }
    bool isArray() const { return kind_ == Kind::Array; }
    bool isObject() const { return kind_ == Kind::Object; }

    double number() const { return number_; }
    bool boolean() const { return bool_; }
    const std::string& string() const { return string_; }
    // The elements of an array or the member values of an object.
    const std::vector<JsonValue>& items() const { return items_; }
    // The member called `key` of an object, or null when there is none.
    const JsonValue* find(std::string_view key) const;

private:
    friend class JsonParser;

    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<JsonValue> items_;
    std::vector<std::string> keys_;  // one per item of an object
};

}  // namespace tovra::report

#endif
