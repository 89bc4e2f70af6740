// A small S-expression reader for the commands clients send.
#ifndef TOVRA_SIM_SEXP_H
#define TOVRA_SIM_SEXP_H

#include <string>
#include <vector>

namespace tovrasim {

struct Sexp {
    bool atom = true;
    std::string text;         // atom text
    std::vector<Sexp> items;  // list items

    // For a list: the head atom's text, or "" when the list is empty or
    // starts with a list.
    const std::string& head() const;
    // The first sub-list whose head is `name`, or nullptr.
    const Sexp* find(const std::string& name) const;

    // Reads the top-level lists of `text`. On a syntax error, returns the
    // lists completed before it and sets `error`. Nesting deeper than
    // kMaxDepth and more than kMaxNodes nodes are errors.
    static std::vector<Sexp> parse(const std::string& text, std::string& error);

    static constexpr int kMaxDepth = 16;
    static constexpr size_t kMaxNodes = 20000;
};

}  // namespace tovrasim

#endif
