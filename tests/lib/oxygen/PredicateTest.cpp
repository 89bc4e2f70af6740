#include <gtest/gtest.h>

#include <boost/any.hpp>
#include <boost/shared_ptr.hpp>
#include <string>

#include "oxygen/predicate.h"
#include "salt/vector.h"
#include "spark/sexpparser/sexpparser.h"

using oxygen::Predicate;
using oxygen::PredicateList;
using zeitgeist::ParameterList;

namespace {

// Keeps the parsed list alive together with its first predicate.
struct Parsed {
    explicit Parsed(const std::string& text) : list(SexpParser().Parse(text)) {}
    const Predicate& first() const { return *list->begin(); }
    boost::shared_ptr<PredicateList> list;
};

}  // namespace

TEST(PredicateTest, FindParameterSearchesTheWholeListFromItsStart) {
    Parsed gs("(GS (t 0.00) (pm BeforeKickOff))");
    const Predicate& p = gs.first();
    Predicate::Iterator iter(p);
    double t = -1;
    ASSERT_TRUE(p.GetValue(iter, "t", t));
    EXPECT_EQ(0.0, t);
    EXPECT_EQ(Predicate::Iterator(p), iter);

    // From a position past the wanted list the search still starts at the front.
    ++iter;
    ASSERT_TRUE(p.AdvanceValue(iter, "t", t));
    EXPECT_EQ(iter.end(), iter);
    std::string mode;
    Predicate::Iterator pm(p);
    ASSERT_TRUE(p.FindParameter(pm, "pm"));
    ASSERT_TRUE(p.AdvanceValue(pm, mode));
    EXPECT_EQ("BeforeKickOff", mode);
}

TEST(PredicateTest, FindParameterMovesIntoTheNamedList) {
    Parsed parsed("(P x (team KALDA) (id 7 8))");
    const Predicate& p = parsed.first();
    Predicate::Iterator iter(p);
    ASSERT_TRUE(p.FindParameter(iter, "id"));
    int id = 0;
    ASSERT_TRUE(p.AdvanceValue(iter, id));
    EXPECT_EQ(7, id);
    ASSERT_TRUE(p.AdvanceValue(iter, id));
    EXPECT_EQ(8, id);
    EXPECT_FALSE(p.AdvanceValue(iter, id));
    // Atoms that spell a name are not lists.
    Predicate::Iterator start(p);
    EXPECT_FALSE(p.FindParameter(start, "x"));
    EXPECT_EQ(Predicate::Iterator(p), start);
}

TEST(PredicateTest, NameWithoutValueOrNestedDeeperIsNotFound) {
    Parsed parsed("(p (x) (x 1) (outer (y 2)))");
    const Predicate& p = parsed.first();
    Predicate::Iterator iter(p);
    ++iter;
    const Predicate::Iterator before = iter;
    int value = 0;
    // The first list named x decides, and it holds only the name.
    EXPECT_FALSE(p.FindParameter(iter, "x"));
    EXPECT_FALSE(p.GetValue(iter, "x", value));
    EXPECT_EQ(before, iter);
    // Only the lists of the walked list itself are searched.
    EXPECT_FALSE(p.FindParameter(iter, "y"));
    EXPECT_FALSE(p.FindParameter(iter, "missing"));
    EXPECT_EQ(before, iter);
    ASSERT_TRUE(p.FindParameter(iter, "outer"));
    ASSERT_TRUE(p.FindParameter(iter, "y"));
    ASSERT_TRUE(p.AdvanceValue(iter, value));
    EXPECT_EQ(2, value);
}

TEST(PredicateTest, TypedReadsByName) {
    Parsed parsed("(X (s hello) (i 3.9) (f abc) (d -45.5) (v 0.1 0.2 0.3) (v2 1 2) (big 1e999))");
    const Predicate& p = parsed.first();
    const Predicate::Iterator iter(p);
    std::string s;
    int i = 0;
    float f = 1;
    double d = 0;
    salt::Vector3f v;
    EXPECT_TRUE(p.GetValue(iter, "s", s));
    EXPECT_EQ("hello", s);
    EXPECT_TRUE(p.GetValue(iter, "i", i));
    EXPECT_EQ(3, i);
    EXPECT_TRUE(p.GetValue(iter, "f", f));
    EXPECT_EQ(0.0f, f);
    EXPECT_TRUE(p.GetValue(iter, "d", d));
    EXPECT_EQ(-45.5, d);
    EXPECT_TRUE(p.GetValue(iter, "v", v));
    EXPECT_EQ(salt::Vector3f(0.1f, 0.2f, 0.3f), v);
    EXPECT_FALSE(p.GetValue(iter, "v2", v));
    EXPECT_FALSE(p.GetValue(iter, "big", i));
    EXPECT_TRUE(p.GetValue(iter, "big", d));

    // A named read whose value does not fit leaves the iterator in the named list.
    Predicate::Iterator moving(p);
    EXPECT_FALSE(p.AdvanceValue(moving, "big", i));
    EXPECT_NE(Predicate::Iterator(p), moving);
    EXPECT_TRUE(p.AdvanceValue(moving, d));
}

TEST(PredicateTest, DescentListEntersNestedLists) {
    Parsed parsed("(See (B (pol 1 2 3)) loose)");
    const Predicate& p = parsed.first();
    Predicate::Iterator iter(p);
    ASSERT_TRUE(p.DescentList(iter));
    std::string name;
    ASSERT_TRUE(p.AdvanceValue(iter, name));
    EXPECT_EQ("B", name);
    EXPECT_TRUE(p.ParameterName(iter, "pol"));
    EXPECT_FALSE(p.ParameterName(iter, "B"));
    salt::Vector3f pol;
    ASSERT_TRUE(p.GetValue(iter, "pol", pol));
    EXPECT_EQ(salt::Vector3f(1, 2, 3), pol);
    ASSERT_TRUE(p.DescentList(iter));
    ASSERT_TRUE(p.AdvanceValue(iter, name));
    EXPECT_EQ("pol", name);
    ASSERT_TRUE(p.AdvanceValue(iter, pol));
    EXPECT_EQ(iter.end(), iter);

    Predicate::Iterator atom(p);
    ++atom;
    const Predicate::Iterator before = atom;
    EXPECT_FALSE(p.DescentList(atom));
    EXPECT_EQ(before, atom);
    ++atom;
    EXPECT_FALSE(p.DescentList(atom));
}

TEST(PredicateTest, IteratorStaysInsideItsList) {
    Parsed parsed("(a 1 2)");
    const Predicate& p = parsed.first();
    Predicate::Iterator iter(p);
    EXPECT_EQ(iter.begin(), iter);
    EXPECT_EQ(&p.parameter, iter.GetList());
    ++iter;
    ++iter;
    EXPECT_EQ(iter.end(), iter);
    ++iter;
    EXPECT_EQ(iter.end(), iter);
    EXPECT_TRUE((*iter).empty());

    // Same position in different lists is not the same position.
    Parsed other("(a 1 2)");
    EXPECT_NE(Predicate::Iterator(p), Predicate::Iterator(other.first()));

    Predicate::Iterator none(static_cast<const ParameterList*>(nullptr));
    EXPECT_EQ(&Predicate::nullParamList, none.GetList());
    EXPECT_EQ(none.end(), none);
    std::string s;
    EXPECT_FALSE(p.GetValue(none, s));
    EXPECT_FALSE(p.FindParameter(none, "a"));
    EXPECT_FALSE(p.DescentList(none));
    EXPECT_TRUE(Predicate::nullParamList.IsEmpty());
}

TEST(PredicateTest, PredicateListOperations) {
    PredicateList list;
    EXPECT_EQ(0, list.GetSize());
    Predicate& a = list.AddPredicate();
    a.name = "a";
    Predicate& b = list.AddPredicate();
    b.name = "b";
    EXPECT_EQ("a", a.name);
    ASSERT_EQ(2, list.GetSize());
    EXPECT_EQ("a", list.begin()->name);
    EXPECT_EQ("b", std::next(list.begin())->name);
    EXPECT_TRUE(list.begin()->parameter.IsEmpty());
    list.Clear();
    EXPECT_EQ(0, list.GetSize());
    EXPECT_EQ(list.end(), list.begin());
}
