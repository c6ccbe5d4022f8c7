#pragma once

#include <OrvaneLib/ExpatHandler.h>
#include <OrvaneLib/Responses.h>

#include <cstdint>
#include <list>
#include <string>

namespace OrvaneLib {

// Decodes "&amp;", "&apos;", "&gt;", "&lt;" and "&quot;" in place, with the
// effect of one pass per entity in that order: "&amp;lt;" becomes "<",
// "&amp;amp;" becomes "&amp;". Reply texts arrive already decoded once by the
// XML parser; the service encodes some of them twice.
void XmlUnescape(std::string& text);

// The reply handlers. Each one is bound to the response it fills and follows
// the same scheme: a recognised start tag opens its element and starts the
// text afresh; text is gathered while a recognised element is open; every end
// tag stores the text for the innermost open recognised element and closes
// that element when the tag names it. Names are compared without regard to
// ASCII case; attributes are never read.

class GetRightsResponseHandlers : public CExpatHandler {
public:
    explicit GetRightsResponseHandlers(GetRightsResponse& response) : response_(&response) {}
    ~GetRightsResponseHandlers() override = default;

    void OnStartElement(const char* name, const char** attributes) override;
    void OnEndElement(const char* name) override;
    void OnCharacterData(const char* data, std::int32_t length) override;

private:
    enum class Element { statuscode, message, sub_status, state_no, title_key, max_users, login_required };

    void Store(Element element);

    TagStack<Element> tags_;
    GetRightsResponse* response_;
};

class GetStatesResponseHandlers : public CExpatHandler {
public:
    explicit GetStatesResponseHandlers(GetStatesResponse& response) : response_(&response) {}
    ~GetStatesResponseHandlers() override = default;

    void OnStartElement(const char* name, const char** attributes) override;
    void OnEndElement(const char* name) override;
    void OnCharacterData(const char* data, std::int32_t length) override;

private:
    enum class Element { statuscode, message, state_no };

    void Store(Element element);

    TagStack<Element> tags_;
    GetStatesResponse* response_;
};

// The handler of the four replies that carry only statuscode and message;
// those are fields of every response, so one class serves all four.
class StatusResponseHandlers : public CExpatHandler {
public:
    explicit StatusResponseHandlers(ResponseBase& response) : response_(&response) {}
    ~StatusResponseHandlers() override = default;

    void OnStartElement(const char* name, const char** attributes) override;
    void OnEndElement(const char* name) override;
    void OnCharacterData(const char* data, std::int32_t length) override;

private:
    enum class Element { statuscode, message };

    void Store(Element element);

    TagStack<Element> tags_;
    ResponseBase* response_;
};

using PutStatesResponseHandlers = StatusResponseHandlers;
using PutActivityResponseHandlers = StatusResponseHandlers;
using LoginResponseHandlers = StatusResponseHandlers;
using LogoutResponseHandlers = StatusResponseHandlers;

// Builds one ActivityRecord per activity element and hands the records to the
// response at the end tag of an activities element that stands outside every
// recognised element.
class GetActivitiesResponseHandlers : public CExpatHandler {
public:
    explicit GetActivitiesResponseHandlers(GetActivitiesResponse& response) : response_(&response) {}
    ~GetActivitiesResponseHandlers() override = default;

    void OnStartElement(const char* name, const char** attributes) override;
    void OnEndElement(const char* name) override;
    void OnCharacterData(const char* data, std::int32_t length) override;

private:
    enum class Element {
        statuscode,
        message,
        username,
        activity_text,
        mac_address,
        workstation_name,
        user_agent,
        title_key,
        ip_address,
        create_date,
        upd_source,
        activity,
    };

    void Store(Element element);
    void FinishRecord();
    void DeliverRecords();

    TagStack<Element> tags_;
    GetActivitiesResponse* response_;
    ActivityRecord record_;                   // the activity being read
    std::list<ActivityRecord> undelivered_;   // records gathered since the last delivery
    bool deliveredOnce_ = false;
};

}  // namespace OrvaneLib
