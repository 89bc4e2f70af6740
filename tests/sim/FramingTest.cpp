// Framing and command reading, alone.
#include <gtest/gtest.h>

#include "FrameDecoder.h"
#include "Sexp.h"

using namespace tovrasim;

TEST(FrameDecoder, AssemblesFramesArrivingInPieces) {
    const std::string a = FrameDecoder::encode("(scene rsg/agent/nao/nao.rsg)");
    ASSERT_EQ(a.substr(0, 4), std::string("\0\0\0\x1d", 4));
    const std::string stream = a + FrameDecoder::encode("") + FrameDecoder::encode("(syn)");
    FrameDecoder d;
    std::vector<std::string> got;
    std::string body;
    for (char c : stream) {
        ASSERT_TRUE(d.feed(&c, 1));
        while (d.next(body))
            got.push_back(body);
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "(scene rsg/agent/nao/nao.rsg)");
    EXPECT_EQ(got[1], "");
    EXPECT_EQ(got[2], "(syn)");
    EXPECT_EQ(d.buffered(), 0u);
}

TEST(FrameDecoder, LengthAboveTheLimitFailsTheStreamAfterEarlierFrames) {
    FrameDecoder d(100);
    const std::string ok = FrameDecoder::encode(std::string(100, 'x'));
    const std::string bad("\0\0\0\x65", 4);  // 101
    const std::string stream = ok + bad;
    d.feed(stream.data(), stream.size());
    std::string body;
    EXPECT_TRUE(d.next(body));
    EXPECT_EQ(body.size(), 100u);
    EXPECT_FALSE(d.next(body));
    EXPECT_TRUE(d.failed());
    EXPECT_EQ(d.badLength(), 101u);
    const std::string huge("\xff\xff\xff\xff", 4);
    FrameDecoder e(100);
    EXPECT_FALSE(e.feed(huge.data(), huge.size()));
}

TEST(Sexp, ReadsNestedListsAndStopsAtErrors) {
    std::string err;
    auto v = Sexp::parse("(init (unum 3)(teamname KALDA)) (lle1 -0.5)", err);
    EXPECT_EQ(err, "");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].head(), "init");
    ASSERT_NE(v[0].find("unum"), nullptr);
    EXPECT_EQ(v[0].find("teamname")->items[1].text, "KALDA");
    EXPECT_EQ(v[1].items[1].text, "-0.5");

    v = Sexp::parse("(he1 1)(he2 (", err);
    EXPECT_EQ(err, "unbalanced parenthesis");
    EXPECT_EQ(v.size(), 1u);
    v = Sexp::parse("junk (he1 1)", err);
    EXPECT_FALSE(err.empty());
    EXPECT_TRUE(v.empty());
    v = Sexp::parse(std::string(100000, '('), err);
    EXPECT_EQ(err, "nesting too deep");
    v = Sexp::parse(")(", err);
    EXPECT_FALSE(err.empty());
    std::string many = "(a";
    for (int i = 0; i < 30000; ++i)
        many += " x";
    v = Sexp::parse(many + ")", err);
    EXPECT_EQ(err, "too many elements");
}
