#ifndef TOVRA_ZEITGEIST_PARAMETERLIST_H
#define TOVRA_ZEITGEIST_PARAMETERLIST_H

#include <boost/any.hpp>
#include <string>
#include <vector>

#include "salt/matrix.h"
#include "salt/vector.h"

namespace zeitgeist {

// An ordered list of type-erased values. A parsed message stores atoms as
// std::string and nested lists as ParameterList; callers may also store
// numbers, bools, C strings, vectors and matrices. The typed reads convert
// what they find and never throw: a value that cannot be read as the wanted
// type gives false and leaves the target and the position unchanged.
class ParameterList {
public:
    typedef std::vector<boost::any> TVector;

    ParameterList();
    ParameterList(const ParameterList&) = default;
    ParameterList(ParameterList&&) = default;
    ParameterList& operator=(const ParameterList&) = default;
    ParameterList& operator=(ParameterList&&) = default;
    virtual ~ParameterList();

    void AddValue(const boost::any& value);
    void AddValue(boost::any&& value);
    // Appends an empty nested list and returns the stored one.
    ParameterList& AddList();

    int GetSize() const;
    bool IsEmpty() const;
    void Clear();
    // Both do nothing on an empty list.
    void Pop_Front();
    void Pop_Back();

    TVector::const_iterator begin() const { return mList.begin(); }
    TVector::const_iterator end() const { return mList.end(); }
    TVector::iterator begin() { return mList.begin(); }
    TVector::iterator end() { return mList.end(); }

    // The position of value n, or end() when n is out of range.
    TVector::const_iterator operator[](int n) const;
    TVector::iterator operator[](int n);

    // Reads the value at `iter` and moves `iter` past it (past three values
    // for a vector read from three floats, and so on).
    bool AdvanceValue(TVector::const_iterator& iter, std::string& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, float& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, double& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, int& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, unsigned int& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, bool& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, salt::Vector3f& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, salt::Vector2f& value) const;
    bool AdvanceValue(TVector::const_iterator& iter, salt::Matrix& value) const;

    // The same reads without moving the caller's position.
    template <typename T>
    bool GetValue(const TVector::const_iterator& iter, T& value) const {
        TVector::const_iterator position = iter;
        return AdvanceValue(position, value);
    }

    TVector mList;
};

}  // namespace zeitgeist

#endif
