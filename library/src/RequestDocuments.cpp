#include <OrvaneLib/RequestDocuments.h>

#include <OrvaneLib/Signing.h>

#include "DateText.h"
#include "RequestElements.h"

#include <utility>

// The seven request documents. They are plain concatenations: no whitespace,
// no line breaks, the XML declaration directly followed by the root element.
namespace OrvaneLib {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// Stores the action, then the document followed by a line feed and the
// signature of exactly the document's bytes.
void StoreSigned(RequestParameters& parameters, const char* action, std::string document) {
    parameters["Action"] = action;
    std::string& body = parameters["HttpRequestString"];
    body = std::move(document);
    const std::string signature = SignDocument(body, SigningKey);
    body += '\n';
    body += signature;
}

// <root><source>..</source><id_code>..</id_code></root> of the query documents.
std::string QueryDocument(const char* root, const RequestBase& request, const std::string& extra = {}) {
    std::string document = kDeclaration;
    document += std::string("<") + root + ">";
    AppendPlainElement(document, "source", request.source);
    AppendPlainElement(document, "id_code", request.idCode);
    document += extra;
    document += std::string("</") + root + ">";
    return document;
}

}  // namespace

void BuildRequestParameters(const GetRightsRequest& request, RequestParameters& parameters) {
    StoreSigned(parameters, "qrmGetRights", QueryDocument("getrights", request));
}

void BuildRequestParameters(const GetStatesRequest& request, RequestParameters& parameters) {
    StoreSigned(parameters, "qrmGetStates", QueryDocument("getstates", request));
}

void BuildRequestParameters(const GetActivitiesRequest& request, RequestParameters& parameters) {
    const std::string dates = "<date_from>" + DateFromText(request.dateFrom) + "</date_from><date_to>" +
                              DateToText(request.dateTo) + "</date_to>";
    StoreSigned(parameters, "qrmGetActivities", QueryDocument("getactivities", request, dates));
}

void BuildRequestParameters(const PutStatesRequest& request, RequestParameters& parameters) {
    std::string document = kDeclaration;
    document += "<qrmputstates><qrmputstate>";
    AppendPlainElement(document, "source", request.source);
    AppendPlainElement(document, "id_code", request.idCode);
    AppendPlainElement(document, "state_list", request.stateList);
    document += "</qrmputstate></qrmputstates>";
    StoreSigned(parameters, "qrmPutStates", std::move(document));
}

void BuildRequestParameters(const PutActivityRequest& request, RequestParameters& parameters) {
    std::string document = kDeclaration;
    document += "<activities><activity>";
    AppendPlainElement(document, "source", request.source);
    AppendPlainElement(document, "id_code", request.idCode);
    AppendActivityElements(document, request);
    document += "</activity></activities>";
    StoreSigned(parameters, "qrmPutActivity", std::move(document));
}

void BuildRequestParameters(const LoginRequest& request, RequestParameters& parameters) {
    std::string document = kDeclaration;
    document += "<login>";
    AppendPlainElement(document, "source", request.source);
    document += "<credentials>";
    AppendFlagElement(document, "login_required", request.loginRequired);
    AppendCdataElement(document, "login_username", request.loginUsername);
    AppendCdataElement(document, "login_password", request.loginPassword);
    document += "</credentials><activity>";
    AppendPlainElement(document, "id_code", request.idCode);
    AppendActivityElements(document, request);
    document += "</activity></login>";
    StoreSigned(parameters, "qrmLogin", std::move(document));
}

void BuildRequestParameters(const LogoutRequest& request, RequestParameters& parameters) {
    std::string document = kDeclaration;
    document += "<logout>";
    AppendPlainElement(document, "source", request.source);
    document += "<activity>";
    AppendPlainElement(document, "id_code", request.idCode);
    AppendActivityElements(document, request);
    AppendCdataElement(document, "login_username", request.loginUsername);
    document += "</activity></logout>";
    StoreSigned(parameters, "qrmLogout", std::move(document));
}

}  // namespace OrvaneLib
