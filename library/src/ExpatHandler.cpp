#include <OrvaneLib/ExpatHandler.h>

#include <OrvaneLib/OrvaneException.h>

#include "ExpatParserOwner.h"

#include <expat.h>

#include <climits>
#include <cstring>

namespace OrvaneLib {

void CExpatHandler::OnStartElement(const char* /*name*/, const char** /*attributes*/) {}

void CExpatHandler::OnEndElement(const char* /*name*/) {}

void CExpatHandler::OnCharacterData(const char* /*data*/, std::int32_t /*length*/) {}

void CExpatHandler::OnProcessingInstruction(const char* /*target*/, const char* /*data*/) {}

int CExpatHandler::OnExternalEntityRef(ExpatParserOwner* /*parser*/, const char* /*context*/,
                                       const char* /*base*/, const char* /*systemId*/,
                                       const char* /*publicId*/) {
    return 1;
}

// The plain functions handed to Expat. The user data is the handler. Each one
// calls the handler inside a guard that keeps any exception away from Expat.
struct ExpatCallbacks {
    template <typename Call>
    static void Guarded(CExpatHandler& handler, Call call) {
        ExpatParserOwner& owner = *handler.parserOwner_;
        // After a failure Expat may still deliver a few callbacks; skip them.
        if (owner.HasFailed()) return;
        try {
            call();
        } catch (...) {
            owner.RecordFailure(std::current_exception());
            XML_StopParser(owner.Get(), XML_FALSE);
        }
    }

    static CExpatHandler& HandlerOf(void* userData) { return *static_cast<CExpatHandler*>(userData); }

    static void XMLCALL StartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
        CExpatHandler& handler = HandlerOf(userData);
        Guarded(handler, [&] { handler.OnStartElement(name, attributes); });
    }

    static void XMLCALL EndElement(void* userData, const XML_Char* name) {
        CExpatHandler& handler = HandlerOf(userData);
        Guarded(handler, [&] { handler.OnEndElement(name); });
    }

    static void XMLCALL CharacterData(void* userData, const XML_Char* data, int length) {
        CExpatHandler& handler = HandlerOf(userData);
        Guarded(handler, [&] { handler.OnCharacterData(data, length); });
    }

    static void XMLCALL ProcessingInstruction(void* userData, const XML_Char* target, const XML_Char* data) {
        CExpatHandler& handler = HandlerOf(userData);
        Guarded(handler, [&] { handler.OnProcessingInstruction(target, data); });
    }

    static int XMLCALL ExternalEntityRef(XML_Parser parser, const XML_Char* context, const XML_Char* base,
                                         const XML_Char* systemId, const XML_Char* publicId) {
        CExpatHandler& handler = HandlerOf(XML_GetUserData(parser));
        int result = XML_STATUS_ERROR;
        Guarded(handler, [&] {
            result = handler.OnExternalEntityRef(handler.parserOwner_, context, base, systemId, publicId);
        });
        return result;
    }
};

namespace {

[[noreturn]] void ThrowUnknownError() { throw OrvaneException("Unknown Error", 0); }

// Binds the handler to the parse in progress and unbinds it on every path.
class ParserBinding {
public:
    ParserBinding(ExpatParserOwner*& slot, ExpatParserOwner& owner) : slot_(slot) { slot_ = &owner; }
    ~ParserBinding() { slot_ = nullptr; }
    ParserBinding(const ParserBinding&) = delete;
    ParserBinding& operator=(const ParserBinding&) = delete;

private:
    ExpatParserOwner*& slot_;
};

}  // namespace

void ParseDocument(CExpatHandler& handler, const std::string& document) {
    ExpatParserOwner owner(XML_ParserCreate(nullptr));
    if (owner.Get() == nullptr) ThrowUnknownError();
    XML_Parser parser = owner.Get();

    XML_SetElementHandler(parser, ExpatCallbacks::StartElement, ExpatCallbacks::EndElement);
    XML_SetCharacterDataHandler(parser, ExpatCallbacks::CharacterData);
    XML_SetExternalEntityRefHandler(parser, ExpatCallbacks::ExternalEntityRef);
    XML_SetProcessingInstructionHandler(parser, ExpatCallbacks::ProcessingInstruction);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_UNLESS_STANDALONE);
    XML_SetUserData(parser, &handler);
    const ParserBinding binding(handler.parserOwner_, owner);

    // Expat takes lengths as int; a longer reply cannot be handed over whole.
    if (document.size() >= static_cast<std::size_t>(INT_MAX)) ThrowUnknownError();
    const int length = static_cast<int>(document.size());

    void* buffer = XML_GetBuffer(parser, length + 1);
    if (buffer == nullptr) return;  // nothing parsed, nothing reported
    std::memcpy(buffer, document.data(), document.size());
    static_cast<char*>(buffer)[document.size()] = '\0';

    const XML_Status status = XML_ParseBuffer(parser, length, XML_TRUE);
    owner.RethrowFailure();
    if (status != XML_STATUS_OK) ThrowUnknownError();
}

}  // namespace OrvaneLib
