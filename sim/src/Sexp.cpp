#include "Sexp.h"

#include <cctype>

namespace tovrasim {

namespace {

const std::string kEmpty;

struct Reader {
    const std::string& s;
    size_t pos = 0;
    size_t nodes = 0;
    std::string error;

    void skipSpace() {
        while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos])))
            ++pos;
    }
    // Reads a list whose '(' is at pos.
    bool readList(Sexp& out, int depth) {
        if (depth > Sexp::kMaxDepth) {
            error = "nesting too deep";
            return false;
        }
        out.atom = false;
        ++pos;  // '('
        for (;;) {
            skipSpace();
            if (pos >= s.size()) {
                error = "unbalanced parenthesis";
                return false;
            }
            const char c = s[pos];
            if (c == ')') {
                ++pos;
                return true;
            }
            if (++nodes > Sexp::kMaxNodes) {
                error = "too many elements";
                return false;
            }
            out.items.emplace_back();
            if (c == '(') {
                if (!readList(out.items.back(), depth + 1))
                    return false;
            } else {
                const size_t start = pos;
                while (pos < s.size() && s[pos] != '(' && s[pos] != ')' &&
                       !std::isspace(static_cast<unsigned char>(s[pos]))) {
                    ++pos;
                }
                out.items.back().text.assign(s, start, pos - start);
            }
        }
    }
};

}  // namespace

const std::string& Sexp::head() const {
    if (atom || items.empty() || !items[0].atom)
        return kEmpty;
    return items[0].text;
}

const Sexp* Sexp::find(const std::string& name) const {
    for (const Sexp& i : items) {
        if (!i.atom && i.head() == name)
            return &i;
    }
    return nullptr;
}

std::vector<Sexp> Sexp::parse(const std::string& text, std::string& error) {
    std::vector<Sexp> out;
    Reader r{text, 0, 0, {}};
    error.clear();
    for (;;) {
        r.skipSpace();
        if (r.pos >= text.size())
            break;
        if (text[r.pos] != '(') {
            error = "text outside parentheses";
            break;
        }
        Sexp e;
        if (!r.readList(e, 1)) {
            error = r.error;
            break;
        }
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace tovrasim
