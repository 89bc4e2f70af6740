#include "support/XmlCheck.h"

#include <cctype>
#include <set>
#include <vector>

namespace tovra::test {

namespace {

bool nameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool nameChar(char c) {
    return nameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class Checker {
public:
    explicit Checker(const std::string& t) : t_(t) {}

    XmlCheck run() {
        XmlCheck r;
        r.ok = document(r);
        r.error = error_;
        return r;
    }

private:
    bool fail(const std::string& why) {
        if (error_.empty()) {
            size_t line = 1;
            for (size_t i = 0; i < pos_ && i < t_.size(); ++i)
                line += t_[i] == '\n';
            error_ = why + " (line " + std::to_string(line) + ")";
        }
        return false;
    }
    bool at(const char* s) const {
        return t_.compare(pos_, std::char_traits<char>::length(s), s) == 0;
    }
    void skipBlanks() {
        while (pos_ < t_.size() && blank(t_[pos_]))
            ++pos_;
    }
    bool skipPast(const char* end, const char* what) {
        const size_t e = t_.find(end, pos_);
        if (e == std::string::npos)
            return fail(std::string("unterminated ") + what);
        pos_ = e + std::char_traits<char>::length(end);
        return true;
    }
    bool name(std::string& out) {
        if (pos_ >= t_.size() || !nameStart(t_[pos_]))
            return fail("name expected");
        const size_t start = pos_;
        while (pos_ < t_.size() && nameChar(t_[pos_]))
            ++pos_;
        out = t_.substr(start, pos_ - start);
        return true;
    }
    bool reference() {
        // at '&'
        const size_t semi = t_.find(';', pos_);
        if (semi == std::string::npos || semi - pos_ > 12)
            return fail("bare '&'");
        const std::string ref = t_.substr(pos_ + 1, semi - pos_ - 1);
        static const std::set<std::string> predefined = {"amp", "lt", "gt", "quot", "apos"};
        bool good = predefined.count(ref) > 0;
        if (!good && ref.size() > 1 && ref[0] == '#') {
            good = true;
            const bool hex = ref[1] == 'x';
            for (size_t i = hex ? 2 : 1; i < ref.size(); ++i) {
                if (!(hex ? std::isxdigit(static_cast<unsigned char>(ref[i]))
                          : std::isdigit(static_cast<unsigned char>(ref[i]))))
                    good = false;
            }
            if (ref.size() == (hex ? 2u : 1u))
                good = false;
        }
        if (!good)
            return fail("unknown entity &" + ref + ";");
        pos_ = semi + 1;
        return true;
    }
    bool misc() {
        // Comments, processing instructions and blanks.
        for (;;) {
            skipBlanks();
            if (at("<!--")) {
                pos_ += 4;
                if (!skipPast("-->", "comment"))
                    return false;
            } else if (at("<?")) {
                pos_ += 2;
                if (!skipPast("?>", "processing instruction"))
                    return false;
            } else {
                return true;
            }
        }
    }
    bool document(XmlCheck& r) {
        if (!misc())
            return false;
        if (at("<!DOCTYPE")) {
            pos_ += 9;
            if (!skipPast(">", "document type"))
                return false;
        }
        if (!misc())
            return false;
        if (pos_ >= t_.size() || t_[pos_] != '<')
            return fail("root element expected");
        if (!element(r, 0))
            return false;
        if (!misc())
            return false;
        if (pos_ != t_.size())
            return fail("text after the root element");
        return true;
    }
    bool element(XmlCheck& r, int depth) {
        if (depth > 200)
            return fail("nesting too deep");
        ++pos_;  // '<'
        std::string tag;
        if (!name(tag))
            return false;
        if (depth == 0)
            r.root = tag;
        ++r.elements[tag];
        std::set<std::string> attrs;
        for (;;) {
            const size_t before = pos_;
            skipBlanks();
            if (pos_ >= t_.size())
                return fail("unterminated tag <" + tag + ">");
            if (at("/>")) {
                pos_ += 2;
                return true;
            }
            if (t_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (pos_ == before)
                return fail("blank expected before an attribute of <" + tag + ">");
            std::string attr;
            if (!name(attr))
                return false;
            if (!attrs.insert(attr).second)
                return fail("attribute " + attr + " twice in <" + tag + ">");
            skipBlanks();
            if (pos_ >= t_.size() || t_[pos_] != '=')
                return fail("'=' expected after " + attr);
            ++pos_;
            skipBlanks();
            if (pos_ >= t_.size() || (t_[pos_] != '"' && t_[pos_] != '\''))
                return fail("quoted value expected for " + attr);
            const char q = t_[pos_++];
            while (pos_ < t_.size() && t_[pos_] != q) {
                if (t_[pos_] == '<')
                    return fail("'<' in the value of " + attr);
                if (t_[pos_] == '&') {
                    if (!reference())
                        return false;
                } else {
                    ++pos_;
                }
            }
            if (pos_ >= t_.size())
                return fail("unterminated value of " + attr);
            ++pos_;
        }
        // Content up to the matching end tag.
        for (;;) {
            if (pos_ >= t_.size())
                return fail("<" + tag + "> not closed");
            const char c = t_[pos_];
            if (c == '<') {
                if (at("</")) {
                    pos_ += 2;
                    std::string end;
                    if (!name(end))
                        return false;
                    skipBlanks();
                    if (pos_ >= t_.size() || t_[pos_] != '>')
                        return fail("'>' expected after </" + end);
                    ++pos_;
                    if (end != tag)
                        return fail("</" + end + "> closes <" + tag + ">");
                    return true;
                }
                if (at("<!--")) {
                    pos_ += 4;
                    if (!skipPast("-->", "comment"))
                        return false;
                } else if (at("<![CDATA[")) {
                    pos_ += 9;
                    if (!skipPast("]]>", "CDATA section"))
                        return false;
                } else if (at("<?")) {
                    pos_ += 2;
                    if (!skipPast("?>", "processing instruction"))
                        return false;
                } else if (!element(r, depth + 1)) {
                    return false;
                }
            } else if (c == '&') {
                if (!reference())
                    return false;
            } else if (at("]]>")) {
                return fail("']]>' in text");
            } else {
                ++pos_;
            }
        }
    }

    const std::string& t_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

XmlCheck XmlCheck::run(const std::string& text) {
    return Checker(text).run();
}

}  // namespace tovra::test
