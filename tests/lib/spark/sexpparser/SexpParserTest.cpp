#include <gtest/gtest.h>

#include <boost/any.hpp>
#include <boost/shared_ptr.hpp>
#include <string>
#include <vector>

#include "oxygen/predicate.h"
#include "spark/sexpparser/sexpparser.h"
#include "spark/sfsexp/sexp.h"
#include "support/Capture.h"
#include "zeitgeist/parameterlist.h"

using boost::any_cast;
using oxygen::Predicate;
using oxygen::PredicateList;
using zeitgeist::ParameterList;

namespace {

const Predicate& nth(const PredicateList& list, int n) {
    auto it = list.begin();
    std::advance(it, n);
    return *it;
}

std::string text(const boost::any& value) {
    const std::string* s = any_cast<std::string>(&value);
    return s != nullptr ? *s : "<not a string>";
}

const ParameterList& nested(const boost::any& value) {
    static const ParameterList none;
    const ParameterList* p = any_cast<ParameterList>(&value);
    return p != nullptr ? *p : none;
}

}  // namespace

TEST(SexpParserTest, EmptyTextGivesAnEmptyList) {
    SexpParser parser;
    boost::shared_ptr<PredicateList> list = parser.Parse("");
    ASSERT_TRUE(list);
    EXPECT_EQ(0, list->GetSize());
    list = parser.Parse("  \n ; nothing\n");
    ASSERT_TRUE(list);
    EXPECT_EQ(0, list->GetSize());
}

TEST(SexpParserTest, PredicatesInMessageOrder) {
    SexpParser parser;
    boost::shared_ptr<PredicateList> list = parser.Parse("(a)(b c)");
    ASSERT_EQ(2, list->GetSize());
    EXPECT_EQ("a", nth(*list, 0).name);
    EXPECT_TRUE(nth(*list, 0).parameter.IsEmpty());
    EXPECT_EQ("b", nth(*list, 1).name);
    ASSERT_EQ(1, nth(*list, 1).parameter.GetSize());
    EXPECT_EQ("c", text(nth(*list, 1).parameter.mList[0]));
}

TEST(SexpParserTest, NestedListsKeepTheirNames) {
    SexpParser parser;
    boost::shared_ptr<PredicateList> list = parser.Parse("(HJ (n hj1) (ax -0.01))");
    ASSERT_EQ(1, list->GetSize());
    const Predicate& hj = nth(*list, 0);
    EXPECT_EQ("HJ", hj.name);
    ASSERT_EQ(2, hj.parameter.GetSize());
    const ParameterList& n = nested(hj.parameter.mList[0]);
    const ParameterList& ax = nested(hj.parameter.mList[1]);
    ASSERT_EQ(2, n.GetSize());
    ASSERT_EQ(2, ax.GetSize());
    EXPECT_EQ("n", text(n.mList[0]));
    EXPECT_EQ("hj1", text(n.mList[1]));
    EXPECT_EQ("ax", text(ax.mList[0]));
    EXPECT_EQ("-0.01", text(ax.mList[1]));
}

TEST(SexpParserTest, QuotedAtomsBecomePlainStrings) {
    SexpParser parser;
    boost::shared_ptr<PredicateList> list = parser.Parse("(say \"x y\" 'q \"a(b)\")");
    ASSERT_EQ(1, list->GetSize());
    const ParameterList& p = nth(*list, 0).parameter;
    ASSERT_EQ(3, p.GetSize());
    EXPECT_EQ("x y", text(p.mList[0]));
    EXPECT_EQ("q", text(p.mList[1]));
    EXPECT_EQ("a(b)", text(p.mList[2]));
}

TEST(SexpParserTest, ElementsThatMakeNoPredicateAreSkipped) {
    SexpParser parser;
    boost::shared_ptr<PredicateList> list =
        parser.Parse("atom () ((x) y) \"s\" (ok 1) ; (no)\n(next\n ; comment inside\n 2)");
    ASSERT_EQ(2, list->GetSize());
    EXPECT_EQ("ok", nth(*list, 0).name);
    EXPECT_EQ("next", nth(*list, 1).name);
    ASSERT_EQ(1, nth(*list, 1).parameter.GetSize());
    EXPECT_EQ("2", text(nth(*list, 1).parameter.mList[0]));
}

TEST(SexpParserTest, UnfinishedTextGivesNoPredicate) {
    SexpParser parser;
    EXPECT_EQ(0, parser.Parse("(time (now 1.5)")->GetSize());
    boost::shared_ptr<PredicateList> list = parser.Parse("(a 1)(b (c");
    ASSERT_EQ(1, list->GetSize());
    EXPECT_EQ("a", nth(*list, 0).name);
}

TEST(SexpParserTest, StrayClosingParenthesisKeepsWhatCameBefore) {
    SexpParser parser;
    tovra_test::captureStderr();
    boost::shared_ptr<PredicateList> list = parser.Parse("(a))(b)");
    EXPECT_EQ("Badly formed s-expression.  Parser exiting.\n", tovra_test::capturedStderr());
    ASSERT_EQ(1, list->GetSize());
    EXPECT_EQ("a", nth(*list, 0).name);
}

TEST(SexpParserTest, NulBytesAndTextBeyondThemAreRead) {
    SexpParser parser;
    boost::shared_ptr<PredicateList> list = parser.Parse(std::string("(a\0 1)(b 2)", 11));
    ASSERT_EQ(2, list->GetSize());
    EXPECT_EQ("a", nth(*list, 0).name);
    EXPECT_EQ(std::string("\0", 1), text(nth(*list, 0).parameter.mList[0]));
    EXPECT_EQ("b", nth(*list, 1).name);
}

TEST(SexpParserTest, TooDeepNestingDropsOnlyThatPredicate) {
    SexpParser parser;
    auto nestedText = [](int levels) {
        return "(deep " + std::string(levels, '(') + "x" + std::string(levels, ')') + ")";
    };
    boost::shared_ptr<PredicateList> list =
        parser.Parse("(a)" + nestedText(SexpParser::MaxNesting) + "(b)");
    ASSERT_EQ(3, list->GetSize());
    int depth = 0;
    const ParameterList* p = &nth(*list, 1).parameter;
    while (p->GetSize() == 1 && any_cast<ParameterList>(&p->mList[0]) != nullptr) {
        p = any_cast<ParameterList>(&p->mList[0]);
        ++depth;
    }
    EXPECT_EQ(SexpParser::MaxNesting, depth);

    list = parser.Parse("(a)" + nestedText(SexpParser::MaxNesting + 1) + "(b)");
    ASSERT_EQ(2, list->GetSize());
    EXPECT_EQ("a", nth(*list, 0).name);
    EXPECT_EQ("b", nth(*list, 1).name);
    // A hostile depth costs neither the stack nor the rest of the message.
    list = parser.Parse(nestedText(100000) + "(c)");
    ASSERT_EQ(1, list->GetSize());
    EXPECT_EQ("c", nth(*list, 0).name);
}

TEST(SexpParserTest, ParsingLeavesNoReaderRecordsInUse) {
    SexpParser parser;
    for (const char* input : {"(a (b c) \"d\")", "(time (now 1.5)", "(a))(b)", "x y (z", "'(q"}) {
        tovra_test::captureStderr();
        parser.Parse(input);
        tovra_test::capturedStderr();
        const sexp_mem_stats_t stats = sexp_mem_stats();
        EXPECT_EQ(0u, stats.elements_live) << input;
        EXPECT_EQ(0u, stats.entries_live) << input;
        EXPECT_EQ(0u, stats.buffers_live) << input;
    }
}

TEST(SexpParserTest, GenerateWritesPredicatesBack) {
    SexpParser parser;
    EXPECT_EQ("", parser.Generate(boost::shared_ptr<PredicateList>()));
    EXPECT_EQ("(b c (d e) ())(a )", parser.Generate(parser.Parse("(b c (d e) ()) (a)")));

    boost::shared_ptr<PredicateList> list(new PredicateList());
    Predicate& p = list->AddPredicate();
    p.name = "v";
    p.parameter.AddValue(1.5f);
    p.parameter.AddValue(-0.004f);
    p.parameter.AddValue(2.0);
    p.parameter.AddValue(3);
    p.parameter.AddList().AddValue(std::string("x"));
    EXPECT_EQ("(v 1.50 -0.00 (error data format unknown) (error data format unknown) (x))",
              parser.Generate(list));
}
