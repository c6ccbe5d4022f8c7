#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace OrvaneLib {

// Owns the Expat parser of one parse; defined in the library's sources so
// that Expat's types stay out of this header.
class ExpatParserOwner;

// Receives Expat's callbacks as virtual operations. The base versions do
// nothing; a reply handler overrides the ones it needs.
class CExpatHandler {
public:
    virtual ~CExpatHandler() = default;

    // `attributes` alternates names and values and ends in a null entry.
    virtual void OnStartElement(const char* name, const char** attributes);
    virtual void OnEndElement(const char* name);
    // A run of text, not NUL-terminated; one text may come in several runs.
    virtual void OnCharacterData(const char* data, std::int32_t length);
    virtual void OnProcessingInstruction(const char* target, const char* data);
    // Returns 1 without reading anything: external entities are never fetched.
    virtual int OnExternalEntityRef(ExpatParserOwner* parser, const char* context, const char* base,
                                    const char* systemId, const char* publicId);

private:
    friend struct ExpatCallbacks;
    friend void ParseDocument(CExpatHandler& handler, const std::string& document);

    ExpatParserOwner* parserOwner_ = nullptr;  // set only while a parse runs
};

// Runs one Expat parse of the whole document with `handler` receiving the
// callbacks. A document that does not parse raises OrvaneException
// ("Unknown Error", 0); an exception thrown by a callback stops the parse and
// is raised again here. Fields the handler stored before a failure stay stored.
void ParseDocument(CExpatHandler& handler, const std::string& document);

// The open recognised elements of a reply handler, innermost last, and the
// text gathered since the last recognised start tag. `Element` is the
// handler's own enumeration of the names it recognises; since those names
// differ from each other regardless of case, comparing elements is comparing
// names without regard to ASCII case.
template <typename Element>
class TagStack {
public:
    // A recognised start tag: the element is open and the text starts afresh.
    void Open(Element element) {
        open_.push_back(element);
        text_.clear();
    }

    // Like Open, but the text gathered so far is kept.
    void OpenKeepingText(Element element) { open_.push_back(element); }

    // Text counts only inside a recognised element.
    void Append(const char* data, std::int32_t length) {
        if (!open_.empty() && length > 0) {
            text_.append(data, static_cast<std::size_t>(length));
        }
    }

    bool IsEmpty() const { return open_.empty(); }

    Element Top() const { return open_.back(); }

    bool Contains(Element element) const {
        for (Element open : open_) {
            if (open == element) return true;
        }
        return false;
    }

    // An end tag closes the innermost element only when it names that element;
    // `ending` is the ending tag's element, or none when it is not recognised.
    void CloseIfTop(const std::optional<Element>& ending) {
        if (!open_.empty() && ending && *ending == open_.back()) open_.pop_back();
    }

    std::string& Text() { return text_; }

private:
    std::vector<Element> open_;
    std::string text_;
};

}  // namespace OrvaneLib
