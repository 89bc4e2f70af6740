#ifndef TOVRA_TESTS_SUPPORT_XMLCHECK_H
#define TOVRA_TESTS_SUPPORT_XMLCHECK_H

#include <map>
#include <string>

namespace tovra::test {

// Checks that a text is a well-formed XML document (one root element,
// balanced and properly nested tags, quoted and unique attributes, only the
// predefined entities and character references, comments, CDATA sections,
// processing instructions and a document type declaration). Pages that pass
// can be read both as HTML and as XML.
struct XmlCheck {
    bool ok = false;
    std::string error;                    // where and why it failed
    std::string root;                     // name of the root element
    std::map<std::string, int> elements;  // element name -> count

    static XmlCheck run(const std::string& text);
};

}  // namespace tovra::test

#endif
