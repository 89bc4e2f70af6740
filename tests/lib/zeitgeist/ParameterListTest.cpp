#include <gtest/gtest.h>

#include <boost/any.hpp>
#include <cmath>
#include <limits>
#include <string>

#include "salt/matrix.h"
#include "salt/vector.h"
#include "zeitgeist/parameterlist.h"

using zeitgeist::ParameterList;
using Iter = ParameterList::TVector::const_iterator;

namespace {

// A list of text atoms, as the parser builds it.
ParameterList atoms(std::initializer_list<const char*> values) {
    ParameterList list;
    for (const char* v : values)
        list.AddValue(std::string(v));
    return list;
}

// Reads value 0 of a one-value list and checks that a success moves the
// position exactly one value on.
template <typename T>
bool readOne(const ParameterList& list, T& value) {
    Iter it = list.begin();
    const bool ok = list.AdvanceValue(it, value);
    EXPECT_EQ(ok ? list.begin() + 1 : list.begin(), it);
    return ok;
}

template <typename T>
bool readText(const char* text, T& value) {
    return readOne(atoms({text}), value);
}

}  // namespace

TEST(ParameterListTest, ListOperations) {
    ParameterList list;
    EXPECT_TRUE(list.IsEmpty());
    list.Pop_Front();
    list.Pop_Back();
    EXPECT_EQ(0, list.GetSize());

    list.AddValue(std::string("a"));
    ParameterList& inner = list.AddList();
    inner.AddValue(std::string("x"));
    list.AddValue(std::string("b"));
    // The reference returned by AddList stays valid as the outer list grows.
    for (int i = 0; i < 100; ++i)
        list.AddValue(i);
    inner.AddValue(std::string("y"));
    ASSERT_EQ(103, list.GetSize());
    EXPECT_EQ(2, boost::any_cast<ParameterList>(&*list[1])->GetSize());

    EXPECT_EQ(list.end(), list[-1]);
    EXPECT_EQ(list.end(), list[103]);
    EXPECT_EQ(list.begin() + 2, list[2]);

    list.Pop_Front();
    list.Pop_Back();
    ASSERT_EQ(101, list.GetSize());
    EXPECT_NE(nullptr, boost::any_cast<ParameterList>(&*list[0]));
    EXPECT_EQ(98, boost::any_cast<int>(*list[100]));
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ParameterListTest, StringReads) {
    std::string s;
    EXPECT_TRUE(readText("hello", s));
    EXPECT_EQ("hello", s);

    ParameterList list;
    char raw[] = "raw";
    list.AddValue(static_cast<char*>(raw));
    list.AddValue(1.5);
    list.AddValue(0.25f);
    list.AddValue(-7);
    list.AddValue(1.0 / 3.0);
    Iter it = list.begin();
    for (const char* expected : {"raw", "1.5", "0.25", "-7", "0.333333"}) {
        ASSERT_TRUE(list.AdvanceValue(it, s)) << expected;
        EXPECT_EQ(expected, s);
    }
    EXPECT_EQ(list.end(), it);
    EXPECT_FALSE(list.AdvanceValue(it, s));

    // Not strings: a nested list, unsigned numbers, bools, a null C string.
    s = "unchanged";
    ParameterList others;
    others.AddList();
    others.AddValue(5u);
    others.AddValue(true);
    others.AddValue(static_cast<char*>(nullptr));
    for (Iter i = others.begin(); i != others.end(); ++i) {
        Iter position = i;
        EXPECT_FALSE(others.AdvanceValue(position, s));
        EXPECT_EQ(i, position);
    }
    EXPECT_EQ("unchanged", s);
}

TEST(ParameterListTest, FloatAndDoubleReadsFollowAtof) {
    float f = -1;
    double d = -1;
    EXPECT_TRUE(readText("1.25", f));
    EXPECT_EQ(1.25f, f);
    EXPECT_TRUE(readText("-0.01", d));
    EXPECT_EQ(-0.01, d);
    // Text that is no number reads as 0 and still succeeds.
    EXPECT_TRUE(readText("abc", f));
    EXPECT_EQ(0.0f, f);
    EXPECT_TRUE(readText("abc", d));
    EXPECT_EQ(0.0, d);
    EXPECT_TRUE(readText("12abc", d));
    EXPECT_EQ(12.0, d);
    // Out-of-range text keeps the atof result: infinity, and infinity again in float.
    EXPECT_TRUE(readText("1e999", d));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), d);
    EXPECT_TRUE(readText("-1e39", f));
    EXPECT_EQ(-std::numeric_limits<float>::infinity(), f);
    EXPECT_TRUE(readText("nan", f));
    EXPECT_TRUE(std::isnan(f));

    ParameterList stored;
    stored.AddValue(2.5);
    stored.AddValue(0.5f);
    stored.AddValue(3);
    stored.AddValue(1e300);
    Iter it = stored.begin();
    for (float expected : {2.5f, 0.5f, 3.0f, std::numeric_limits<float>::infinity()}) {
        ASSERT_TRUE(stored.AdvanceValue(it, f));
        EXPECT_EQ(expected, f);
    }
    // 12.34 read as float keeps single-precision rounding when widened.
    EXPECT_TRUE(readText("12.34", f));
    EXPECT_EQ(12.34000015258789, static_cast<double>(f));

    ParameterList bad;
    bad.AddList();
    bad.AddValue(4u);
    bad.AddValue(false);
    f = 9;
    d = 9;
    for (Iter i = bad.begin(); i != bad.end(); ++i) {
        Iter position = i;
        EXPECT_FALSE(bad.AdvanceValue(position, f));
        EXPECT_FALSE(bad.AdvanceValue(position, d));
        EXPECT_EQ(i, position);
    }
    EXPECT_EQ(9.0f, f);
    EXPECT_EQ(9.0, d);
}

TEST(ParameterListTest, IntReadsTruncateAndRejectWhatDoesNotFit) {
    int i = -1;
    EXPECT_TRUE(readText("3.9", i));
    EXPECT_EQ(3, i);
    EXPECT_TRUE(readText("7.9", i));
    EXPECT_EQ(7, i);
    EXPECT_TRUE(readText("-3.9", i));
    EXPECT_EQ(-3, i);
    EXPECT_TRUE(readText("abc", i));
    EXPECT_EQ(0, i);
    EXPECT_TRUE(readText("2147483647.5", i));
    EXPECT_EQ(2147483647, i);
    EXPECT_TRUE(readText("-2147483648.9", i));
    EXPECT_EQ(-2147483647 - 1, i);

    i = 42;
    const std::string huge(400, '9');
    for (const char* text :
         {"nan", "inf", "-inf", "1e999", "2147483648", "-2147483649", huge.c_str()}) {
        EXPECT_FALSE(readText(text, i)) << text;
    }
    EXPECT_EQ(42, i);

    ParameterList stored;
    stored.AddValue(-5);
    stored.AddValue(2147483647u);
    stored.AddValue(2147483648u);
    stored.AddValue(1.5f);
    stored.AddValue(2.5);
    stored.AddList();
    Iter it = stored.begin();
    ASSERT_TRUE(stored.AdvanceValue(it, i));
    EXPECT_EQ(-5, i);
    ASSERT_TRUE(stored.AdvanceValue(it, i));
    EXPECT_EQ(2147483647, i);
    for (; it != stored.end(); ++it) {
        Iter position = it;
        EXPECT_FALSE(stored.AdvanceValue(position, i));
        EXPECT_EQ(it, position);
    }
}

TEST(ParameterListTest, UnsignedReadsRejectWhatDoesNotFit) {
    unsigned int u = 1;
    EXPECT_TRUE(readText("4294967295", u));
    EXPECT_EQ(4294967295u, u);
    EXPECT_TRUE(readText("-0.5", u));
    EXPECT_EQ(0u, u);
    u = 7;
    for (const char* text : {"-1", "4294967296", "nan", "inf", "1e999"}) {
        EXPECT_FALSE(readText(text, u)) << text;
    }
    EXPECT_EQ(7u, u);

    ParameterList stored;
    stored.AddValue(12u);
    stored.AddValue(13);
    stored.AddValue(-1);
    Iter it = stored.begin();
    ASSERT_TRUE(stored.AdvanceValue(it, u));
    EXPECT_EQ(12u, u);
    ASSERT_TRUE(stored.AdvanceValue(it, u));
    EXPECT_EQ(13u, u);
    EXPECT_FALSE(stored.AdvanceValue(it, u));
}

TEST(ParameterListTest, BoolReads) {
    bool b = false;
    EXPECT_TRUE(readText("true", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(readText("false", b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(readText("1", b));
    EXPECT_FALSE(readText("TRUE", b));
    ParameterList stored;
    stored.AddValue(true);
    EXPECT_TRUE(readOne(stored, b));
    EXPECT_TRUE(b);
}

TEST(ParameterListTest, VectorReadsTakeConsecutiveFloats) {
    const ParameterList list = atoms({"1", "2", "3", "4"});
    salt::Vector3f v;
    Iter it = list.begin();
    ASSERT_TRUE(list.AdvanceValue(it, v));
    EXPECT_EQ(salt::Vector3f(1, 2, 3), v);
    EXPECT_EQ(list.begin() + 3, it);
    // Only one value left: nothing read, nothing moved.
    EXPECT_FALSE(list.AdvanceValue(it, v));
    EXPECT_EQ(list.begin() + 3, it);
    EXPECT_EQ(salt::Vector3f(1, 2, 3), v);

    ParameterList broken = atoms({"1", "2"});
    broken.AddList();
    broken.AddValue(std::string("4"));
    Iter start = broken.begin();
    EXPECT_FALSE(broken.AdvanceValue(start, v));
    EXPECT_EQ(broken.begin(), start);

    salt::Vector2f w;
    it = list.begin() + 1;
    ASSERT_TRUE(list.AdvanceValue(it, w));
    EXPECT_EQ(salt::Vector2f(2, 3), w);
    EXPECT_EQ(list.begin() + 3, it);

    ParameterList stored;
    stored.AddValue(salt::Vector3f(7, 8, 9));
    stored.AddValue(salt::Vector2f(5, 6));
    it = stored.begin();
    ASSERT_TRUE(stored.AdvanceValue(it, v));
    EXPECT_EQ(salt::Vector3f(7, 8, 9), v);
    ASSERT_TRUE(stored.GetValue(it, w));
    EXPECT_EQ(salt::Vector2f(5, 6), w);
    EXPECT_EQ(stored.begin() + 1, it);
}

TEST(ParameterListTest, MatrixReads) {
    ParameterList sixteen;
    for (int k = 0; k < 16; ++k)
        sixteen.AddValue(std::to_string(k));
    salt::Matrix m;
    Iter it = sixteen.begin();
    ASSERT_TRUE(sixteen.AdvanceValue(it, m));
    EXPECT_EQ(sixteen.end(), it);
    // Row order: the fourth value is row 0, column 3.
    EXPECT_EQ(3.0f, m.El(0, 3));
    EXPECT_EQ(4.0f, m.El(1, 0));
    EXPECT_EQ(15.0f, m.El(3, 3));

    // A position and three angles in degrees.
    const ParameterList posAngles = atoms({"1", "2", "3", "0", "0", "90"});
    it = posAngles.begin();
    ASSERT_TRUE(posAngles.AdvanceValue(it, m));
    EXPECT_EQ(posAngles.end(), it);
    EXPECT_EQ(salt::Vector3f(1, 2, 3), m.Pos());
    const salt::Vector3f x = m.Rotate(salt::Vector3f(1, 0, 0));
    EXPECT_NEAR(0.0f, x.x(), 1e-6f);
    EXPECT_NEAR(1.0f, x.y(), 1e-6f);
    EXPECT_NEAR(0.0f, x.z(), 1e-6f);

    const ParameterList tooFew = atoms({"1", "2", "3", "4", "5"});
    it = tooFew.begin();
    EXPECT_FALSE(tooFew.AdvanceValue(it, m));
    EXPECT_EQ(tooFew.begin(), it);

    ParameterList stored;
    salt::Matrix t;
    t.Pos() = salt::Vector3f(4, 5, 6);
    stored.AddValue(t);
    EXPECT_TRUE(readOne(stored, m));
    EXPECT_EQ(salt::Vector3f(4, 5, 6), m.Pos());
}

TEST(ParameterListTest, GetValueLeavesThePositionAlone) {
    const ParameterList list = atoms({"5", "x"});
    const Iter it = list.begin();
    int i = 0;
    std::string s;
    EXPECT_TRUE(list.GetValue(it, i));
    EXPECT_EQ(5, i);
    EXPECT_TRUE(list.GetValue(it, s));
    EXPECT_EQ("5", s);
    EXPECT_FALSE(list.GetValue(list.end(), s));
}

// The rules each scalar read takes from the stored type, across all of them:
// text of every stored kind, the exact stored type and the numbers each read
// accepts, and a refusal (value and position untouched) for everything else.
TEST(ParameterListTest, ScalarReadsTakeOnlyTheirStoredTypes) {
    ParameterList list;
    const char* constText = "2.5";
    list.AddValue(constText);                          // 0: const char*
    list.AddValue(std::string("a\0b", 3));             // 1: embedded null
    list.AddValue(static_cast<const char*>(nullptr));  // 2: null C string
    list.AddValue(16777217);                           // 3: int beyond float
    list.AddValue(true);                               // 4: bool
    list.AddValue(1.5);                                // 5: double
    list.AddValue(-3);                                 // 6: negative int

    std::string s;
    double d = 0;
    float f = 0;
    int i = 0;
    unsigned int u = 0;
    bool b = false;
    Iter it = list.begin();
    ASSERT_TRUE(list.GetValue(it, s));
    EXPECT_EQ("2.5", s);
    ASSERT_TRUE(list.GetValue(it, d));
    EXPECT_EQ(2.5, d);
    ASSERT_TRUE(list.GetValue(it, f));
    EXPECT_EQ(2.5f, f);
    ASSERT_TRUE(list.GetValue(it, i));
    EXPECT_EQ(2, i);
    ASSERT_TRUE(list.GetValue(it, u));
    EXPECT_EQ(2u, u);
    EXPECT_FALSE(list.GetValue(it, b));

    ++it;
    ASSERT_TRUE(list.GetValue(it, s));
    EXPECT_EQ(std::string("a\0b", 3), s);

    // A null C string is no value of any type.
    ++it;
    s = "kept";
    d = 9;
    f = 9;
    i = 9;
    u = 9;
    b = true;
    EXPECT_FALSE(list.GetValue(it, s));
    EXPECT_FALSE(list.GetValue(it, d));
    EXPECT_FALSE(list.GetValue(it, f));
    EXPECT_FALSE(list.GetValue(it, i));
    EXPECT_FALSE(list.GetValue(it, u));
    EXPECT_FALSE(list.GetValue(it, b));
    EXPECT_EQ("kept", s);
    EXPECT_EQ(9.0, d);
    EXPECT_EQ(9.0f, f);
    EXPECT_EQ(9, i);
    EXPECT_EQ(9u, u);
    EXPECT_TRUE(b);

    ++it;
    ASSERT_TRUE(list.GetValue(it, f));
    EXPECT_EQ(16777216.0f, f);  // the nearest float
    ASSERT_TRUE(list.GetValue(it, d));
    EXPECT_EQ(16777217.0, d);
    ASSERT_TRUE(list.GetValue(it, u));
    EXPECT_EQ(16777217u, u);
    EXPECT_FALSE(list.GetValue(it, b));

    // A bool is read only as a bool; numbers only as numbers.
    u = 9;
    ++it;
    EXPECT_FALSE(list.GetValue(it, s));
    EXPECT_FALSE(list.GetValue(it, i));
    EXPECT_FALSE(list.GetValue(it, d));
    ++it;
    EXPECT_FALSE(list.GetValue(it, b));
    EXPECT_FALSE(list.GetValue(it, u));
    ++it;
    EXPECT_FALSE(list.GetValue(it, u));
    ASSERT_TRUE(list.GetValue(it, f));
    EXPECT_EQ(-3.0f, f);
    EXPECT_EQ(9u, u);
}
