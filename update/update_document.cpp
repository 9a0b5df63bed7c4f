#include "update/update_document.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "update/http_get.h"

namespace update {
namespace {

struct Reference {
    std::string_view written;
    char replacement;
};

// "&quote;" is a misspelling the server's documents have always used.
constexpr Reference kReferences[] = {
    {"&lt;", '<'},    {"&gt;", '>'},   {"&amp;", '&'},
    {"&apos;", '\''}, {"&quot;", '"'}, {"&quote;", '"'},
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool endsName(char c) {
    return isSpace(c) || c == '/' || c == '>' || c == '=' || c == '<' || c == '"' || c == '\'';
}

std::string decodeReferences(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        bool replaced = false;
        if (raw[i] == '&') {
            for (const Reference& ref : kReferences) {
                if (raw.compare(i, ref.written.size(), ref.written) == 0) {
                    out += ref.replacement;
                    i += ref.written.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += raw[i++];
    }
    return out;
}

}  // namespace

// One pass over the text with an explicit stack of open elements.
class DocumentParser {
  public:
    DocumentParser(std::string_view text, std::vector<UpdateDocument::Element>& elements)
        : text_(text), elements_(elements) {}

    bool parse() {
        while (pos_ < text_.size()) {
            const size_t tag = text_.find('<', pos_);
            if (tag == std::string_view::npos) break;  // trailing text
            pos_ = tag;
            if (!parseMarkup()) return false;
        }
        return rootClosed_ && open_.empty();
    }

  private:
    bool startsWith(std::string_view prefix) const {
        return text_.compare(pos_, prefix.size(), prefix) == 0;
    }

    // Moves past `terminator`, searched from pos_ + `from`.
    bool skipPast(size_t from, std::string_view terminator) {
        const size_t found = text_.find(terminator, pos_ + from);
        if (found == std::string_view::npos) return false;
        pos_ = found + terminator.size();
        return true;
    }

    // A "<!" declaration ends at the first ">" outside its "[...]" part.
    bool skipDeclaration() {
        int brackets = 0;
        for (size_t i = pos_ + 2; i < text_.size(); ++i) {
            if (text_[i] == '[') ++brackets;
            if (text_[i] == ']' && brackets > 0) --brackets;
            if (text_[i] == '>' && brackets == 0) {
                pos_ = i + 1;
                return true;
            }
        }
        return false;
    }

    bool parseMarkup() {
        if (startsWith("<!--")) return skipPast(4, "-->");
        if (startsWith("<![CDATA[")) return skipPast(9, "]]>");
        if (startsWith("<?")) return skipPast(2, "?>");
        if (startsWith("<!")) return skipDeclaration();
        if (startsWith("</")) return parseEndTag();
        return parseStartTag();
    }

    std::string_view parseName() {
        const size_t start = pos_;
        while (pos_ < text_.size() && !endsName(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipSpaces() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    }

    bool expect(char c) {
        if (pos_ >= text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }

    bool parseEndTag() {
        pos_ += 2;
        const std::string_view name = parseName();
        skipSpaces();
        if (!expect('>') || open_.empty()) return false;
        if (name != elements_[open_.back()].name) return false;
        open_.pop_back();
        if (open_.empty()) rootClosed_ = true;
        return true;
    }

    bool parseStartTag() {
        if (open_.empty() && rootClosed_) return false;  // a second root
        ++pos_;
        const std::string_view name = parseName();
        if (name.empty()) return false;
        const int index = static_cast<int>(elements_.size());
        elements_.emplace_back();
        elements_.back().name = name;
        if (!open_.empty()) linkChild(open_.back(), index);
        std::vector<UpdateDocument::Attribute>& attributes = elements_.back().attributes;
        for (;;) {
            skipSpaces();
            if (expect('>')) {
                open_.push_back(index);
                break;
            }
            if (startsWith("/>")) {
                pos_ += 2;
                if (open_.empty()) rootClosed_ = true;
                break;
            }
            UpdateDocument::Attribute attribute;
            if (!parseAttribute(attribute)) return false;
            attributes.push_back(std::move(attribute));
        }
        return !hasRepeatedName(attributes);
    }

    bool parseAttribute(UpdateDocument::Attribute& attribute) {
        const std::string_view name = parseName();
        if (name.empty()) return false;
        skipSpaces();
        if (!expect('=')) return false;
        skipSpaces();
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) return false;
        const char quote = text_[pos_++];
        const size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos) return false;
        attribute.name = name;
        attribute.value = decodeReferences(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return true;
    }

    static bool hasRepeatedName(const std::vector<UpdateDocument::Attribute>& attributes) {
        if (attributes.size() < 2) return false;
        std::vector<std::string_view> names;
        names.reserve(attributes.size());
        for (const UpdateDocument::Attribute& a : attributes) names.push_back(a.name);
        std::sort(names.begin(), names.end());
        return std::adjacent_find(names.begin(), names.end()) != names.end();
    }

    void linkChild(int parent, int child) {
        UpdateDocument::Element& p = elements_[parent];
        if (p.lastChild < 0)
            p.firstChild = child;
        else
            elements_[p.lastChild].nextSibling = child;
        p.lastChild = child;
    }

    std::string_view text_;
    std::vector<UpdateDocument::Element>& elements_;
    std::vector<int> open_;
    size_t pos_ = 0;
    bool rootClosed_ = false;
};

bool UpdateDocument::loadFromBytes(const std::string& bytes) {
    release();
    const std::string_view text(bytes.c_str(), std::strlen(bytes.c_str()));
    if (text.size() > kMaxBodyBytes) return false;
    if (!DocumentParser(text, elements_).parse()) {
        release();
        return false;
    }
    return true;
}

std::string UpdateDocument::attributeValue(const std::string& path, const std::string& name) const {
    if (elements_.empty()) return "";
    int current = -1;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find('/', start);
        const std::string component = path.substr(start, slash - start);
        if (current < 0) {
            if (component != elements_[0].name) return "";
            current = 0;
        } else {
            int child = elements_[current].firstChild;
            while (child >= 0 && elements_[child].name != component)
                child = elements_[child].nextSibling;
            if (child < 0) return "";
            current = child;
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    for (const Attribute& attribute : elements_[current].attributes)
        if (attribute.name == name) return attribute.value;
    return "";
}

void UpdateDocument::release() {
    elements_.clear();
    elements_.shrink_to_fit();
}

}  // namespace update
