#include "match_report/Json.h"

#include <cmath>
#include <cstdlib>

namespace tovra::report {

// Recursive-descent reader over one text; depth-limited so that hostile
// nesting cannot exhaust the stack.
class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    bool document(JsonValue& out) {
        skipBlanks();
        if (!value(out, 0))
            return false;
        skipBlanks();
        if (pos_ != text_.size())
            return fail("text after the value");
        return true;
    }

    const std::string& error() const { return error_; }

private:
    static constexpr int kMaxDepth = 32;

    bool fail(const char* why) {
        if (error_.empty())
            error_ = std::string(why) + " at offset " + std::to_string(pos_);
        return false;
    }

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool value(JsonValue& out, int depth) {
        if (depth > kMaxDepth)
            return fail("nesting too deep");
        if (pos_ >= text_.size())
            return fail("value missing");
        const char c = text_[pos_];
        switch (c) {
            case '{':
                return object(out, depth);
            case '[':
                return array(out, depth);
            case '"':
                out.kind_ = JsonValue::Kind::String;
                return string(out.string_);
            case 't':
                out.kind_ = JsonValue::Kind::Bool;
                out.bool_ = true;
                return literal("true");
            case 'f':
                out.kind_ = JsonValue::Kind::Bool;
                out.bool_ = false;
                return literal("false");
            case 'n':
                out.kind_ = JsonValue::Kind::Null;
                return literal("null");
            default:
                return number(out);
        }
    }

    bool number(JsonValue& out) {
        const size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-')
            ++pos_;
        size_t digits = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            ++pos_;
            ++digits;
        }
        if (digits == 0)
            return fail("not a value");
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            size_t frac = 0;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
                ++pos_;
                ++frac;
            }
            if (frac == 0)
                return fail("digits missing after the point");
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-'))
                ++pos_;
            size_t exp = 0;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
                ++pos_;
                ++exp;
            }
            if (exp == 0)
                return fail("digits missing in the exponent");
        }
        // strtod needs a terminated text; numbers are short, so copy.
        const std::string copy(text_.substr(start, pos_ - start));
        const double v = std::strtod(copy.c_str(), nullptr);
        if (!std::isfinite(v))
            return fail("number out of range");
        out.kind_ = JsonValue::Kind::Number;
        out.number_ = v;
        return true;
    }

    static int hexDigit(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    static void appendUtf8(std::string& s, unsigned cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (cp >> 18));
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool hex4(unsigned& cp) {
        if (pos_ + 4 > text_.size())
            return fail("short \\u escape");
        cp = 0;
        for (int k = 0; k < 4; ++k) {
            const int d = hexDigit(text_[pos_ + k]);
            if (d < 0)
                return fail("bad \\u escape");
            cp = cp * 16 + static_cast<unsigned>(d);
        }
        pos_ += 4;
        return true;
    }

    bool string(std::string& out) {
        ++pos_;  // the opening quote
        out.clear();
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return fail("control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size())
                break;
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned cp = 0;
                    if (!hex4(cp))
                        return false;
                    if (cp >= 0xD800 && cp < 0xDC00 && pos_ + 1 < text_.size() &&
                        text_[pos_] == '\\' && text_[pos_ + 1] == 'u') {
                        pos_ += 2;
                        unsigned low = 0;
                        if (!hex4(low))
                            return false;
                        if (low >= 0xDC00 && low < 0xE000) {
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        } else {
                            cp = 0xFFFD;
                        }
                    } else if (cp >= 0xD800 && cp < 0xE000) {
                        cp = 0xFFFD;  // a lone surrogate
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    return fail("unknown escape");
            }
        }
        return fail("unterminated string");
    }

    bool array(JsonValue& out, int depth) {
        ++pos_;
        out.kind_ = JsonValue::Kind::Array;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipBlanks();
            out.items_.emplace_back();
            if (!value(out.items_.back(), depth + 1))
                return false;
            skipBlanks();
            if (pos_ >= text_.size())
                return fail("unterminated array");
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (text_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return fail("',' or ']' expected");
        }
    }

    bool object(JsonValue& out, int depth) {
        ++pos_;
        out.kind_ = JsonValue::Kind::Object;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != '"')
                return fail("member name expected");
            std::string key;
            if (!string(key))
                return false;
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ':')
                return fail("':' expected");
            ++pos_;
            skipBlanks();
            out.keys_.push_back(std::move(key));
            out.items_.emplace_back();
            if (!value(out.items_.back(), depth + 1))
                return false;
            skipBlanks();
            if (pos_ >= text_.size())
                return fail("unterminated object");
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return fail("',' or '}' expected");
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    std::string error_;
};

bool JsonValue::parse(std::string_view text, JsonValue& out, std::string* error) {
    out = JsonValue();
    JsonParser p(text);
    if (p.document(out))
        return true;
    if (error)
        *error = p.error();
    out = JsonValue();
    return false;
}

const JsonValue* JsonValue::find(std::string_view key) const {
    if (kind_ != Kind::Object)
        return nullptr;
    for (size_t i = 0; i < keys_.size() && i < items_.size(); ++i) {
        if (keys_[i] == key)
            return &items_[i];
    }
    return nullptr;
}

}  // namespace tovra::report
