// The Parse of each response class: its reply handler, bound to the
// response, receives one Expat parse of the reply.
#include <OrvaneLib/ExpatHandler.h>
#include <OrvaneLib/ResponseHandlers.h>
#include <OrvaneLib/Responses.h>

namespace OrvaneLib {

void GetRightsResponse::Parse(std::string reply) {
    GetRightsResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

void GetStatesResponse::Parse(std::string reply) {
    GetStatesResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

void GetActivitiesResponse::Parse(std::string reply) {
    GetActivitiesResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

void PutStatesResponse::Parse(std::string reply) {
    PutStatesResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

void PutActivityResponse::Parse(std::string reply) {
    PutActivityResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

void LoginResponse::Parse(std::string reply) {
    LoginResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

void LogoutResponse::Parse(std::string reply) {
    LogoutResponseHandlers handler(*this);
    ParseDocument(handler, reply);
}

}  // namespace OrvaneLib
