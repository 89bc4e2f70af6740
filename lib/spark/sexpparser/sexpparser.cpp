#include "spark/sexpparser/sexpparser.h"

#include <climits>
#include <cstdio>

using boost::any;
using boost::any_cast;
using oxygen::Predicate;
using oxygen::PredicateList;
using zeitgeist::ParameterList;

namespace {

std::string atomText(const sexp_t* atom) {
    if (atom->aty == SEXP_BINARY) {
        return atom->bindata != nullptr ? std::string(atom->bindata, atom->binlength)
                                        : std::string();
    }
    if (atom->val == nullptr)
        return std::string();
    return std::string(atom->val, static_cast<size_t>(atom->val_used));
}

int countSiblings(const sexp_t* s) {
    int n = 0;
    for (; s != nullptr; s = s->next)
        ++n;
    return n;
}

}  // namespace

SexpParser::SexpParser() = default;

SexpParser::~SexpParser() = default;

boost::shared_ptr<PredicateList> SexpParser::Parse(const std::string& input) {
    boost::shared_ptr<PredicateList> list(new PredicateList());
    if (input.empty())
        return list;

    // The reader takes an unsigned length; a longer text is read up to it.
    const unsigned int length =
        input.size() > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(input.size());
    const char* text = input.data();
    pcont_t* cc = init_continuation(text);
    while (sexp_t* sexp = iparse_sexp(text, length, cc)) {
        SexpToPredicate(*list, sexp);
        destroy_sexp(sexp);
    }
    destroy_continuation(cc);
    return list;
}

void SexpParser::SexpToPredicate(PredicateList& list, const sexp_t* sexp) {
    if (sexp->ty != SEXP_LIST)
        return;
    const sexp_t* first = sexp->list;
    if (first == nullptr || first->ty != SEXP_VALUE)
        return;

    Predicate& predicate = list.AddPredicate();
    predicate.name = atomText(first);
    predicate.parameter.mList.reserve(static_cast<size_t>(countSiblings(first->next)));
    if (!SexpToList(predicate.parameter, first->next, 1))
        list.mList.pop_back();
}

bool SexpParser::SexpToList(ParameterList& arguments, const sexp_t* sexp, int depth) {
    for (; sexp != nullptr; sexp = sexp->next) {
        if (sexp->ty == SEXP_VALUE) {
            arguments.AddValue(any(atomText(sexp)));
            continue;
        }
        if (depth > MaxNesting)
            return false;
        ParameterList& nested = arguments.AddList();
        nested.mList.reserve(static_cast<size_t>(countSiblings(sexp->list)));
        if (!SexpToList(nested, sexp->list, depth + 1))
            return false;
    }
    return true;
}

std::string SexpParser::Generate(boost::shared_ptr<PredicateList> input) {
    std::string out;
    if (!input)
        return out;
    for (const Predicate& predicate : *input) {
        out += '(';
        out += predicate.name;
        out += ' ';
        GenerateList(predicate.parameter, out);
        out += ')';
    }
    return out;
}

void SexpParser::GenerateList(const ParameterList& list, std::string& out) {
    bool first = true;
    for (const any& value : list) {
        if (!first)
            out += ' ';
        first = false;
        GenerateValue(value, out);
    }
}

void SexpParser::GenerateValue(const any& value, std::string& out) {
    if (const std::string* s = any_cast<std::string>(&value)) {
        out += *s;
    } else if (const float* f = any_cast<float>(&value)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(*f));
        out += buffer;
    } else if (const ParameterList* nested = any_cast<ParameterList>(&value)) {
        out += '(';
        GenerateList(*nested, out);
        out += ')';
    } else {
        out += "(error data format unknown)";
    }
}
