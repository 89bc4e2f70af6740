#ifndef TOVRA_OXYGEN_PREDICATE_H
#define TOVRA_OXYGEN_PREDICATE_H

#include <boost/any.hpp>
#include <list>
#include <string>

#include "zeitgeist/parameterlist.h"

namespace oxygen {

// One parsed expression: a name and its values (atoms as strings, nested
// lists as ParameterList).
class Predicate {
public:
    // A position in one parameter list. It refers to the list; the list must
    // outlive it and must not change while it is used.
    class Iterator {
    public:
        typedef zeitgeist::ParameterList::TVector::const_iterator TIter;

        // On the empty list nullParamList.
        Iterator();
        // At the first value of the predicate's parameters.
        explicit Iterator(const Predicate& predicate);
        // At the first value of the list (nullParamList for a null pointer).
        explicit Iterator(const zeitgeist::ParameterList* list);
        Iterator(const zeitgeist::ParameterList& list, TIter iter);

        // The value at the position; an empty value at the end.
        const boost::any& operator*() const;
        // Moves one value on; no effect at the end.
        void operator++();
        Iterator begin() const;
        Iterator end() const;
        bool operator==(const Iterator& other) const;
        bool operator!=(const Iterator& other) const;

        const zeitgeist::ParameterList* GetList() const { return list; }
        TIter& GetIterator() { return iter; }
        const TIter& GetIterator() const { return iter; }

    protected:
        const zeitgeist::ParameterList* list;
        TIter iter;
    };

    // Looks, from the first value of the list that `iter` walks, for the first
    // nested list named `name`. When it holds a value after the name, `iter`
    // moves there and the result is true; otherwise `iter` is left alone.
    bool FindParameter(Iterator& iter, const std::string& name) const;
    // When the value at `iter` is a nested list, moves `iter` to its first value.
    bool DescentList(Iterator& iter) const;
    // True when the value at `iter` is a nested list whose first value reads
    // as the string `name`.
    bool ParameterName(const Iterator& iter, const std::string& name) const;

    template <typename T>
    bool GetValue(const Iterator& iter, T& value) const {
        Iterator position(iter);
        return AdvanceValue(position, value);
    }

    template <typename T>
    bool AdvanceValue(Iterator& iter, T& value) const {
        return iter.GetList()->AdvanceValue(iter.GetIterator(), value);
    }

    template <typename T>
    bool GetValue(const Iterator& iter, const std::string& name, T& value) const {
        Iterator position(iter);
        return AdvanceValue(position, name, value);
    }

    // FindParameter, then a read there: when the name is found but its value
    // does not read as T, `iter` stays inside the named list.
    template <typename T>
    bool AdvanceValue(Iterator& iter, const std::string& name, T& value) const {
        return FindParameter(iter, name) && AdvanceValue(iter, value);
    }

    std::string name;
    zeitgeist::ParameterList parameter;
    static const zeitgeist::ParameterList nullParamList;
};

// The predicates of one message, in message order.
class PredicateList {
public:
    typedef std::list<Predicate> TList;

    PredicateList();
    virtual ~PredicateList();

    TList::const_iterator begin() const { return mList.begin(); }
    TList::const_iterator end() const { return mList.end(); }

    // Appends an empty predicate and returns it.
    Predicate& AddPredicate();
    int GetSize() const;
    void Clear();

    TList mList;
};

}  // namespace oxygen

#endif
