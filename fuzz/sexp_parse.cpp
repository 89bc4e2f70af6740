// Feeds arbitrary bytes to SexpParser::Parse and runs the typed reads over
// every predicate and nested list of the result. Also reads the same bytes in
// two pieces through one continuation and checks that the reader delivers the
// same elements as from one piece.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "oxygen/predicate.h"
#include "salt/vector.h"
#include "spark/sexpparser/sexpparser.h"
#include "spark/sfsexp/sexp.h"

using oxygen::Predicate;
using zeitgeist::ParameterList;

namespace {

const char* const kNames[] = {"n", "pol", "t", "id"};

void exercise(const Predicate& p, Predicate::Iterator list, int depth) {
    if (depth > SexpParser::MaxNesting + 1)
        std::abort();  // the parser promised to cut deeper nesting
    for (const char* name : kNames) {
        Predicate::Iterator found = list;
        std::string s;
        int i;
        double d;
        salt::Vector3f v;
        if (p.FindParameter(found, name)) {
            if (found.GetList() == list.GetList())
                std::abort();  // a found name always leads into a nested list
            p.GetValue(found, s);
            p.GetValue(found, i);
            p.GetValue(found, d);
            p.GetValue(found, v);
        } else if (p.GetValue(list, name, s)) {
            std::abort();  // a named read finds what FindParameter finds
        }
    }
    for (Predicate::Iterator it = list; it != it.end(); ++it) {
        std::string s;
        int i = 0;
        float f;
        double d;
        salt::Vector3f v;
        const bool isText = p.GetValue(it, s);
        p.GetValue(it, f);
        p.GetValue(it, d);
        if (p.GetValue(it, i) && !isText)
            std::abort();  // parsed values are strings or lists
        p.GetValue(it, v);
        Predicate::Iterator inner = it;
        if (p.DescentList(inner)) {
            if (isText)
                std::abort();
            exercise(p, inner, depth + 1);
        }
    }
}

// A shape-and-text summary of the elements read from the pieces.
std::string readPieces(const std::string& text, size_t cut) {
    std::string summary;
    const std::string first = text.substr(0, cut);
    const std::string second = text.substr(cut);
    pcont_t* cc = init_continuation(first.data());
    for (const std::string* piece : {&first, &second}) {
        if (piece->empty())
            continue;
        // An exactly sized copy, so that any read past the end is caught.
        std::vector<char> bytes(piece->begin(), piece->end());
        while (sexp_t* s = iparse_sexp(bytes.data(), static_cast<unsigned int>(bytes.size()), cc)) {
            // Walk the tree without recursion: lists are summarised by their
            // first level only, which is enough to notice a difference.
            summary += s->ty == SEXP_LIST ? "(" : "a";
            for (const sexp_t* c = (s->ty == SEXP_LIST ? s->list : nullptr); c; c = c->next) {
                summary += c->ty == SEXP_LIST ? "L" : std::string(c->val, c->val_used);
                summary += '|';
            }
            summary += s->ty == SEXP_VALUE ? std::string(s->val, s->val_used) : ")";
            destroy_sexp(s);
        }
    }
    destroy_continuation(cc);
    return summary;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SexpParser parser;
    const std::string text(reinterpret_cast<const char*>(data), size);

    boost::shared_ptr<oxygen::PredicateList> list = parser.Parse(text);
    if (!list)
        std::abort();
    for (const Predicate& p : *list)
        exercise(p, Predicate::Iterator(p), 0);
    parser.Generate(list);

    if (size > 0 && size < 4096) {
        const size_t cut = data[0] % (size + 1);
        if (readPieces(text, cut) != readPieces(text, size))
            std::abort();
    }
    const sexp_mem_stats_t stats = sexp_mem_stats();
    if (stats.elements_live != 0 || stats.entries_live != 0 || stats.buffers_live != 0)
        std::abort();  // every reader record went back to the caches
    return 0;
}
