#include "RequestDocument.h"

#include <expat.h>

#include <climits>
#include <memory>
#include <new>
#include <vector>

namespace OrvaneRefService {

namespace {

// Request documents are three levels deep; anything far deeper is not ours.
constexpr std::size_t kMaxDepth = 16;

const char* const kQuoteEscapedFields[] = {"user_agent", "workstation_name", "user_name", "upd_source"};

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree>;

struct OpenElement {
    std::string name;
    std::string text;
    bool hasChildren = false;
};

// Everything the callbacks build. A callback never lets an exception escape
// into Expat: it records the failure and stops the parser instead.
struct ParseState {
    XML_Parser parser = nullptr;
    RequestDocument document;
    std::vector<OpenElement> open;
    std::string failure;

    void Fail(std::string text) {
        if (failure.empty()) {
            failure = std::move(text);
        }
        XML_StopParser(parser, XML_FALSE);
    }
};

ParseState& StateOf(void* userData) { return *static_cast<ParseState*>(userData); }

void OnStart(ParseState& state, const XML_Char* name) {
    if (state.open.size() >= kMaxDepth) {
        state.Fail("The request document is nested too deeply.");
        return;
    }
    if (state.open.empty()) {
        state.document.root = name;
    } else {
        state.open.back().hasChildren = true;
    }
    state.open.push_back({name, {}, false});
}

void OnEnd(ParseState& state) {
    OpenElement element = std::move(state.open.back());
    state.open.pop_back();
    if (element.hasChildren || state.open.empty()) {
        return;
    }
    const bool added = state.document.fields.emplace(element.name, std::move(element.text)).second;
    if (!added) {
        state.Fail("The element " + element.name + " appears more than once.");
    }
}

void XMLCALL StartElement(void* userData, const XML_Char* name, const XML_Char** /*attributes*/) {
    ParseState& state = StateOf(userData);
    try {
        OnStart(state, name);
    } catch (const std::bad_alloc&) {
        state.Fail("Out of memory.");
    }
}

void XMLCALL EndElement(void* userData, const XML_Char* /*name*/) {
    ParseState& state = StateOf(userData);
    try {
        OnEnd(state);
    } catch (const std::bad_alloc&) {
        state.Fail("Out of memory.");
    }
}

void XMLCALL CharacterData(void* userData, const XML_Char* text, int length) {
    ParseState& state = StateOf(userData);
    if (state.open.empty() || length <= 0) {
        return;
    }
    try {
        state.open.back().text.append(text, static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        state.Fail("Out of memory.");
    }
}

// Entity declarations are the road to entity expansion attacks, and no request
// document has a DOCTYPE, so any DOCTYPE is refused.
void XMLCALL StartDoctype(void* userData, const XML_Char* /*name*/, const XML_Char* /*systemId*/,
                          const XML_Char* /*publicId*/, int /*hasInternalSubset*/) {
    StateOf(userData).Fail("A DOCTYPE is not allowed in a request document.");
}

void RestoreQuotes(std::string& text) {
    static const std::string entity = "&quot;";
    for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
        text.replace(at, entity.size(), "\"");
    }
}

}  // namespace

bool RequestDocument::Has(const std::string& name) const { return fields.count(name) != 0; }

std::string RequestDocument::Field(const std::string& name) const {
    const auto found = fields.find(name);
    return found != fields.end() ? found->second : std::string();
}

RequestDocument ParseRequestDocument(std::string_view document) {
    if (document.size() > static_cast<std::size_t>(INT_MAX)) {
        throw RequestDocumentError("The request document is too large.");
    }
    ParserHandle parser(XML_ParserCreate(nullptr));
    if (!parser) {
        throw std::bad_alloc();
    }
    ParseState state;
    state.parser = parser.get();
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), StartElement, EndElement);
    XML_SetCharacterDataHandler(parser.get(), CharacterData);
    XML_SetStartDoctypeDeclHandler(parser.get(), StartDoctype);

    const auto status = XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), XML_TRUE);
    if (!state.failure.empty()) {
        throw RequestDocumentError(state.failure);
    }
    if (status != XML_STATUS_OK) {
        throw RequestDocumentError(std::string("The request document is not well-formed: ") +
                                   XML_ErrorString(XML_GetErrorCode(parser.get())) + " at line " +
                                   std::to_string(XML_GetCurrentLineNumber(parser.get())) + ".");
    }
    for (const char* name : kQuoteEscapedFields) {
        const auto found = state.document.fields.find(name);
        if (found != state.document.fields.end()) {
            RestoreQuotes(found->second);
        }
    }
    return std::move(state.document);
}

}  // namespace OrvaneRefService
