#include "ReferenceService.h"

#include "ReplyDocument.h"
#include "RequestSignature.h"

#include <exception>

namespace OrvaneRefService {

namespace {

// The root element that the library writes for each action.
const char* RootElementOf(std::string_view action) {
    if (action == "qrmGetRights") return "getrights";
    if (action == "qrmGetStates") return "getstates";
    if (action == "qrmPutStates") return "qrmputstates";
    if (action == "qrmGetActivities") return "getactivities";
    if (action == "qrmPutActivity") return "activities";
    if (action == "qrmLogin") return "login";
    if (action == "qrmLogout") return "logout";
    return nullptr;
}

ServiceReply Refusal(std::string_view action, std::string idCode, std::string message, int httpStatus = 200) {
    ServiceReply reply;
    reply.httpStatus = httpStatus;
    reply.document = ReplyDocument(std::string(action) + "Response", false, message).Finish();
    reply.idCode = std::move(idCode);
    reply.outcome = std::move(message);
    return reply;
}

}  // namespace

ReferenceService::ReferenceService(ServiceStore& store, ServiceClock clock) : actions_(store, std::move(clock)) {}

ServiceReply ReferenceService::Handle(std::string_view action, std::string_view body) {
    const char* rootElement = RootElementOf(action);
    if (rootElement == nullptr) {
        return Refusal("qrm", {}, "Unknown action.");
    }
    switch (CheckSignature(body)) {
        case SignatureCheck::Missing: return Refusal(action, {}, "The request is not signed.");
        case SignatureCheck::Wrong: return Refusal(action, {}, "The request signature is not valid.");
        case SignatureCheck::Valid: break;
    }
    RequestDocument request;
    try {
        request = ParseRequestDocument(SplitSignedBody(body).document);
    } catch (const RequestDocumentError& error) {
        return Refusal(action, {}, error.what());
    }
    const std::string idCode = request.Field("id_code");
    if (request.root != rootElement) {
        return Refusal(action, idCode, "The request document is not a " + std::string(rootElement) + " document.");
    }
    try {
        ServiceReply reply;
        reply.document = Dispatch(action, request);
        reply.idCode = idCode;
        reply.accepted = true;
        return reply;
    } catch (const ActionRefused& refusal) {
        return Refusal(action, idCode, refusal.what());
    } catch (const std::exception& failure) {
        // The client learns only that it failed; the log keeps the cause.
        ServiceReply reply = Refusal(action, idCode, "The service could not complete the request.", 500);
        reply.outcome += std::string(" (") + failure.what() + ")";
        return reply;
    }
}

std::string ReferenceService::Dispatch(std::string_view action, const RequestDocument& request) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (action == "qrmGetRights") return actions_.GetRights(request);
    if (action == "qrmGetStates") return actions_.GetStates(request);
    if (action == "qrmPutStates") return actions_.PutStates(request);
    if (action == "qrmGetActivities") return actions_.GetActivities(request);
    if (action == "qrmPutActivity") return actions_.PutActivity(request);
    if (action == "qrmLogin") return actions_.Login(request);
    return actions_.Logout(request);
}

}  // namespace OrvaneRefService
