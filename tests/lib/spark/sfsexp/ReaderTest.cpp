#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "spark/sfsexp/sexp.h"
#include "support/Capture.h"

namespace {

// A compact picture of an element tree: plain atoms as they are, 'x for
// single-quoted, "x" for double-quoted, #n:x for binary atoms, lists in
// parentheses.
std::string show(const sexp_t* s) {
    if (s->ty == SEXP_LIST) {
        std::string out = "(";
        for (const sexp_t* c = s->list; c != nullptr; c = c->next) {
            if (c != s->list)
                out += ' ';
            out += show(c);
        }
        return out + ")";
    }
    switch (s->aty) {
        case SEXP_SQUOTE:
            return "'" + std::string(s->val, s->val_used);
        case SEXP_DQUOTE:
            return "\"" + std::string(s->val, s->val_used) + "\"";
        case SEXP_BINARY:
            return "#" + std::to_string(s->binlength) + ":" + std::string(s->bindata, s->binlength);
        default:
            return std::string(s->val, s->val_used);
    }
}

// Reads every top-level element of the text from an exactly sized heap copy,
// so that the address sanitizer sees any read past its end.
std::vector<std::string> readAll(const std::string& text, parsermode_t mode = PARSER_NORMAL) {
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.data(), text.size());
    const char* data = copy.get();
    std::vector<std::string> out;
    pcont_t* cc = init_continuation(data);
    cc->mode = mode;
    while (sexp_t* s = iparse_sexp(data, static_cast<unsigned int>(text.size()), cc)) {
        out.push_back(show(s));
        destroy_sexp(s);
    }
    destroy_continuation(cc);
    return out;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(ReaderTest, ListsAndPlainAtoms) {
    EXPECT_EQ(Strings({"(a (b c) d)", "(e)"}), readAll("(a (b c) d)\n(e)"));
    EXPECT_EQ(Strings({"()", "(())"}), readAll(" () \t\r(())"));
    // Atoms at the top level are complete elements once a terminator follows.
    EXPECT_EQ(Strings({"abc", "def", "(x)"}), readAll("abc def (x)"));
}

TEST(ReaderTest, WhichBytesContinueAnAtom) {
    EXPECT_EQ(Strings({"(a!#$%&*+;b c)"}), readAll("(a!#$%&*+;b c)"));
    // A double quote, single quote or parenthesis ends an atom and starts its own token.
    EXPECT_EQ(Strings({"(ab \"cd\" e 'f (g))"}), readAll("(ab\"cd\"e'f(g))"));
    // Control bytes and DEL end an atom and then begin the next one.
    EXPECT_EQ(Strings({"(a \x01"
                       "b \x7f"
                       "c)"}),
              readAll("(a\x01"
                      "b\x7f"
                      "c)"));
    // High bytes are ordinary atom bytes.
    EXPECT_EQ(Strings({"(\xc3\xa9t\xc3\xa9)"}), readAll("(\xc3\xa9t\xc3\xa9)"));
}

TEST(ReaderTest, BackslashEscapesInPlainAtoms) {
    EXPECT_EQ(Strings({"(a(b)c d)"}), readAll("(a\\(b\\)c d)"));
    EXPECT_EQ(Strings({"(\"x' y)"}), readAll("(\\\"x\\' y)"));
    // A doubled backslash is one backslash and escapes nothing after it.
    EXPECT_EQ(Strings({"(a\\)"}), readAll("(a\\\\)"));
    // Before any other byte the backslash stays.
    EXPECT_EQ(Strings({"(a\\nb)"}), readAll("(a\\nb)"));
}

TEST(ReaderTest, DoubleQuotedStrings) {
    EXPECT_EQ(Strings({"(s \"x y\")"}), readAll("(s \"x y\")"));
    EXPECT_EQ(Strings({"(s \"(a) ;b\" \"\")"}), readAll("(s \"(a) ;b\" \"\")"));
    EXPECT_EQ(Strings({"(s \"a\"b\\c\\n\")"}), readAll("(s \"a\\\"b\\\\c\\n\")"));
    EXPECT_EQ(Strings({"\"top\""}), readAll("\"top\""));
}

TEST(ReaderTest, SingleQuoteCases) {
    // Before a double quote: a string that keeps both quotes.
    EXPECT_EQ(Strings({"(q '\"a b\")"}), readAll("(q '\"a b\")"));
    // Before a parenthesis: the whole list, strings and nesting included, as one atom.
    EXPECT_EQ(Strings({"(q '(a (b \")\") c) d)"}), readAll("(q '(a (b \")\") c) d)"));
    // Otherwise a plain atom without the quote; an immediate terminator leaves it empty.
    EXPECT_EQ(Strings({"(q 'abc ' x)"}), readAll("(q 'abc ' x)"));
    EXPECT_EQ(Strings({"(q ')"}), readAll("(q ')"));
}

TEST(ReaderTest, CommentsRunToTheEndOfTheLine) {
    EXPECT_EQ(Strings({"(a b)"}), readAll("(a ; comment ( \" '\n b)"));
    EXPECT_EQ(Strings({"(c)"}), readAll("; only a comment\n(c); trailing"));
    EXPECT_EQ(Strings(), readAll("; no line end"));
}

TEST(ReaderTest, LineNumbersOfListsAndAtoms) {
    const std::string text = "(a\n(b)\n c\n)";
    pcont_t* cc = init_continuation(text.c_str());
    sexp_t* s = iparse_sexp(text.c_str(), static_cast<unsigned int>(text.size()), cc);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(1u, s->line);
    EXPECT_EQ(1u, s->list->line);
    EXPECT_EQ(2u, s->list->next->line);
    EXPECT_EQ(3u, s->list->next->next->line);
    EXPECT_EQ(4u, cc->line);
    destroy_sexp(s);
    destroy_continuation(cc);
}

TEST(ReaderTest, HashAtomsAreBinaryOnlyInInlineBinaryMode) {
    EXPECT_EQ(Strings({"(x #b#3#abc y)"}), readAll("(x #b#3#abc y)"));
    EXPECT_EQ(Strings({"(x #3:a)c y)"}), readAll("(x #b#3#a)c y)", PARSER_INLINE_BINARY));
    EXPECT_EQ(Strings({"(#0: z)"}), readAll("(#b#0# z)", PARSER_INLINE_BINARY));
    // A length that is not a number is badly formed.
    tovra_test::captureStderr();
    EXPECT_EQ(Strings(), readAll("(#b#x#)", PARSER_INLINE_BINARY));
    EXPECT_EQ("Badly formed s-expression.  Parser exiting.\n", tovra_test::capturedStderr());
    // Announced bytes that never arrive leave the element unfinished.
    EXPECT_EQ(Strings(), readAll("(#b#100#abc)", PARSER_INLINE_BINARY));
}

TEST(ReaderTest, TextEndingInsideAnElementGivesNothing) {
    EXPECT_EQ(Strings(), readAll("(time (now 1.5)"));
    EXPECT_EQ(Strings(), readAll("(s \"open"));
    EXPECT_EQ(Strings(), readAll("(q '(a"));
    EXPECT_EQ(Strings(), readAll("atom"));
    EXPECT_EQ(Strings({"(a)"}), readAll("(a)(b"));
}

TEST(ReaderTest, StopsAtTheGivenLengthAndReadsNulBytes) {
    const char text[] = "(a)(b)";
    EXPECT_EQ(Strings({"(a)"}), readAll(std::string(text, 3)));
    // A NUL ends an atom and starts the next, like any control byte.
    const Strings withNul = readAll(std::string("(a\0b c)", 7));
    ASSERT_EQ(1u, withNul.size());
    EXPECT_EQ(std::string("(a \0b c)", 8), withNul[0]);
}

TEST(ReaderTest, ResumesAcrossPiecesOfText) {
    const std::string text = "(time (now 1.5))(s \"x y\" '(q) a\\(b) ; c\n(d)";
    const Strings whole = readAll(text);
    ASSERT_EQ(3u, whole.size());
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        const std::string first = text.substr(0, cut);
        const std::string second = text.substr(cut);
        Strings got;
        pcont_t* cc = init_continuation(first.c_str());
        for (const std::string* piece : {&first, &second}) {
            while (sexp_t* s =
                       iparse_sexp(piece->c_str(), static_cast<unsigned int>(piece->size()), cc)) {
                got.push_back(show(s));
                destroy_sexp(s);
            }
        }
        destroy_continuation(cc);
        EXPECT_EQ(whole, got) << "cut at " << cut;
    }
}

TEST(ReaderTest, StrayClosingParenthesisStopsTheText) {
    const std::string text = "(a))(b)";
    pcont_t* cc = init_continuation(text.c_str());
    const unsigned int n = static_cast<unsigned int>(text.size());
    sexp_t* first = iparse_sexp(text.c_str(), n, cc);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("(a)", show(first));
    destroy_sexp(first);
    tovra_test::captureStderr();
    EXPECT_EQ(nullptr, iparse_sexp(text.c_str(), n, cc));
    EXPECT_EQ("Badly formed s-expression.  Parser exiting.\n", tovra_test::capturedStderr());
    EXPECT_EQ(1u, cc->error);
    // The rest of the text is not read, and nothing more is reported.
    tovra_test::captureStderr();
    EXPECT_EQ(nullptr, iparse_sexp(text.c_str(), n, cc));
    EXPECT_EQ("", tovra_test::capturedStderr());
    destroy_continuation(cc);

    // An atom ended by the stray parenthesis is still delivered first.
    tovra_test::captureStderr();
    EXPECT_EQ(Strings({"x"}), readAll("x)"));
    EXPECT_EQ("Badly formed s-expression.  Parser exiting.\n", tovra_test::capturedStderr());
}

TEST(ReaderTest, MisuseIsReported) {
    tovra_test::captureStderr();
    EXPECT_EQ(nullptr, iparse_sexp("(a)", 3, nullptr));
    EXPECT_EQ("iparse_sexp called with null continuation!\n", tovra_test::capturedStderr());

    pcont_t* cc = init_continuation(nullptr);
    tovra_test::captureStderr();
    EXPECT_EQ(nullptr, iparse_sexp(nullptr, 3, cc));
    EXPECT_EQ("cparse_sexp: called with null string.\n", tovra_test::capturedStderr());

    cc->state = 42;
    tovra_test::captureStderr();
    EXPECT_EQ(nullptr, iparse_sexp("(a)", 3, cc));
    EXPECT_EQ("Unknown parser state 42.\n", tovra_test::capturedStderr());
    destroy_continuation(cc);
}

TEST(ReaderTest, OneShotParseAndLongOrDeepInput) {
    sexp_t* s = parse_sexp("(a b) (c)", 9);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("(a b)", show(s));
    destroy_sexp(s);

    // Atoms outgrow their first buffer many times over.
    const std::string longAtom(100000, 'x');
    const Strings one = readAll("(" + longAtom + " y)");
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ("(" + longAtom + " y)", one[0]);

    // Deep nesting and long sibling chains are built and destroyed without recursion.
    const int depth = 200000;
    const std::string deep = std::string(depth, '(') + std::string(depth, ')');
    sexp_t* d = parse_sexp(deep.c_str(), static_cast<unsigned int>(deep.size()));
    ASSERT_NE(nullptr, d);
    int levels = 0;
    for (const sexp_t* p = d; p != nullptr; p = p->list)
        ++levels;
    EXPECT_EQ(depth, levels);
    destroy_sexp(d);
    std::string wide = "(";
    for (int i = 0; i < 200000; ++i)
        wide += "a ";
    wide += ")";
    sexp_t* w = parse_sexp(wide.c_str(), static_cast<unsigned int>(wide.size()));
    ASSERT_NE(nullptr, w);
    destroy_sexp(w);
}

TEST(ReaderTest, RecordsAreRecycledAndNothingLeaks) {
    sexp_cleanup();
    const std::string text = "(a (b c) \"d\")";
    sexp_t* s = parse_sexp(text.c_str(), static_cast<unsigned int>(text.size()));
    const sexp_mem_stats_t inUse = sexp_mem_stats();
    EXPECT_EQ(6u, inUse.elements_live);
    EXPECT_EQ(4u, inUse.buffers_live);
    destroy_sexp(s);
    const sexp_mem_stats_t freed = sexp_mem_stats();
    EXPECT_EQ(0u, freed.elements_live);
    EXPECT_EQ(0u, freed.buffers_live);
    EXPECT_EQ(0u, freed.entries_live);
    EXPECT_EQ(6u, freed.elements_cached);
    EXPECT_EQ(2u, freed.entries_cached);

    // A second read takes its records from the caches.
    s = parse_sexp(text.c_str(), static_cast<unsigned int>(text.size()));
    EXPECT_EQ(0u, sexp_mem_stats().elements_cached);
    destroy_sexp(s);

    // Unfinished elements are released with their continuation.
    const std::string cut = "(a (b (c \"d";
    pcont_t* cc = init_continuation(cut.c_str());
    EXPECT_EQ(nullptr, iparse_sexp(cut.c_str(), static_cast<unsigned int>(cut.size()), cc));
    EXPECT_EQ(3u, cc->depth);
    const sexp_mem_stats_t open = sexp_mem_stats();
    EXPECT_EQ(3u, open.entries_live);
    EXPECT_EQ(0u, open.entries_cached);  // two reused, one new
    destroy_continuation(cc);
    const sexp_mem_stats_t after = sexp_mem_stats();
    EXPECT_EQ(0u, after.elements_live);
    EXPECT_EQ(0u, after.entries_live);
    EXPECT_EQ(0u, after.buffers_live);

    sexp_cleanup();
    const sexp_mem_stats_t clean = sexp_mem_stats();
    EXPECT_EQ(0u, clean.elements_cached);
    EXPECT_EQ(0u, clean.entries_cached);
    EXPECT_EQ(0u, clean.buffers_cached);
}
