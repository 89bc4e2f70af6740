#include "oxygen/predicate.h"

using boost::any;
using boost::any_cast;
using zeitgeist::ParameterList;

namespace oxygen {

const ParameterList Predicate::nullParamList;

namespace {

const any kNoValue;

}  // namespace

Predicate::Iterator::Iterator() : list(&nullParamList), iter(nullParamList.begin()) {}

Predicate::Iterator::Iterator(const Predicate& predicate)
    : list(&predicate.parameter), iter(predicate.parameter.begin()) {}

Predicate::Iterator::Iterator(const ParameterList* l)
    : list(l != nullptr ? l : &nullParamList), iter(list->begin()) {}

Predicate::Iterator::Iterator(const ParameterList& l, TIter i) : list(&l), iter(i) {}

const any& Predicate::Iterator::operator*() const {
    if (iter == list->end())
        return kNoValue;
    return *iter;
}

void Predicate::Iterator::operator++() {
    if (iter != list->end())
        ++iter;
}

Predicate::Iterator Predicate::Iterator::begin() const {
    return Iterator(*list, list->begin());
}

Predicate::Iterator Predicate::Iterator::end() const {
    return Iterator(*list, list->end());
}

bool Predicate::Iterator::operator==(const Iterator& other) const {
    return list == other.list && iter == other.iter;
}

bool Predicate::Iterator::operator!=(const Iterator& other) const {
    return !(*this == other);
}

bool Predicate::ParameterName(const Iterator& iter, const std::string& name) const {
    const ParameterList* nested = any_cast<ParameterList>(&*iter);
    if (nested == nullptr || nested->IsEmpty())
        return false;
    std::string first;
    return nested->GetValue(nested->begin(), first) && first == name;
}

bool Predicate::FindParameter(Iterator& iter, const std::string& name) const {
    const ParameterList& list = *iter.GetList();
    for (Iterator::TIter i = list.begin(); i != list.end(); ++i) {
        if (!ParameterName(Iterator(list, i), name))
            continue;
        // The first list with that name decides, even when it holds nothing
        // but the name.
        const ParameterList& nested = *any_cast<ParameterList>(&*i);
        if (nested.GetSize() < 2)
            return false;
        iter = Iterator(nested, nested.begin() + 1);
        return true;
    }
    return false;
}

bool Predicate::DescentList(Iterator& iter) const {
    const ParameterList* nested = any_cast<ParameterList>(&*iter);
    if (nested == nullptr)
        return false;
    iter = Iterator(*nested, nested->begin());
    return true;
}

PredicateList::PredicateList() = default;

PredicateList::~PredicateList() = default;

Predicate& PredicateList::AddPredicate() {
    mList.emplace_back();
    return mList.back();
}

int PredicateList::GetSize() const {
    return static_cast<int>(mList.size());
}

void PredicateList::Clear() {
    mList.clear();
}

}  // namespace oxygen
