#ifndef TOVRA_OXYGEN_BASEPARSER_H
#define TOVRA_OXYGEN_BASEPARSER_H

#include <boost/shared_ptr.hpp>
#include <string>

#include "oxygen/predicate.h"

namespace oxygen {

// Turns message text into predicates and back.
class BaseParser {
public:
    // A new list with the predicates read from the text; never null.
    virtual boost::shared_ptr<PredicateList> Parse(const std::string& input) = 0;
    virtual std::string Generate(boost::shared_ptr<PredicateList> input) = 0;
    virtual ~BaseParser() {}
};

}  // namespace oxygen

#endif
