#pragma once

#include <string>
#include <vector>

namespace update {

// The reader of the update document, working on code-page-936 bytes.
//
// What it reads: one root element with nested elements and their attributes.
// Comments, CDATA sections and tags that begin with "<?" or "<!" are skipped,
// text content is not kept. Names are compared byte for byte. Attribute values
// stand in double (or single) quotes; the references &lt; &gt; &amp; &apos;
// &quot; and &quote; are replaced, anything else is kept as written. A
// repeated attribute name in one element, a missing or mismatched end tag, an
// unterminated comment or tag, a second root element, or more bytes than the
// fetch ever keeps make the document unreadable. The bytes are taken up to
// the first zero byte. Nesting depth costs no stack.
class UpdateDocument {
  public:
    // Drops any loaded document first; true when the bytes were readable.
    // After a failed load the object is empty.
    bool loadFromBytes(const std::string& bytes);

    // The decoded value of attribute `name` of the element at `path`: the
    // root's name, then for each further "/"-separated component the first
    // child of that name. Empty when nothing is loaded, the path leads
    // nowhere or the attribute is absent.
    std::string attributeValue(const std::string& path, const std::string& name) const;

    void release();

  private:
    struct Attribute {
        std::string name;
        std::string value;
    };
    struct Element {
        std::string name;
        std::vector<Attribute> attributes;
        int firstChild = -1;
        int lastChild = -1;
        int nextSibling = -1;
    };
    friend class DocumentParser;

    std::vector<Element> elements_;  // the root first, when loaded
};

}  // namespace update
