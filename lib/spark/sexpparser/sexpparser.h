#ifndef TOVRA_SPARK_SEXPPARSER_SEXPPARSER_H
#define TOVRA_SPARK_SEXPPARSER_SEXPPARSER_H

#include <boost/shared_ptr.hpp>
#include <string>

#include "oxygen/baseparser.h"
#include "oxygen/predicate.h"
#include "spark/sfsexp/sexp.h"
#include "zeitgeist/parameterlist.h"

// Reads S-expression text into predicates: every top-level list whose first
// element is an atom becomes one predicate named after that atom.
class SexpParser : public oxygen::BaseParser {
public:
    // Nested lists deeper than this below a predicate make the predicate
    // unusable; no message of the server comes near it.
    static constexpr int MaxNesting = 256;

    SexpParser();
    ~SexpParser() override;

    // The predicates of the text, in order; empty (never null) when nothing
    // usable was found. A badly formed text keeps the predicates before the fault.
    boost::shared_ptr<oxygen::PredicateList> Parse(const std::string& input) override;
    // The predicates as text: "(name value value ...)" each, nested lists in
    // parentheses, floats with two decimals; "" for a null list.
    std::string Generate(boost::shared_ptr<oxygen::PredicateList> input) override;

protected:
    // Adds the predicate of one top-level element to the list, if it makes one.
    void SexpToPredicate(oxygen::PredicateList& list, const sexp_t* sexp);
    // Adds the elements of a sibling chain to `arguments`; false when nesting
    // goes deeper than MaxNesting.
    bool SexpToList(zeitgeist::ParameterList& arguments, const sexp_t* sexp, int depth);
    void GenerateList(const zeitgeist::ParameterList& list, std::string& out);
    void GenerateValue(const boost::any& value, std::string& out);
};

#endif
