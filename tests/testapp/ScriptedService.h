#pragma once

// A local HTTPS stand-in for the service with scripted replies, reached
// from the dialog's end points: the test CA is trusted through
// ORVANE_CA_BUNDLE and the three end-point hosts are sent to the local
// port through ORVANE_CONNECT_TO.
#include "LoopbackHttpServer.h"
#include "TemporaryDirectory.h"
#include "TestCertificates.h"

#include <OrvaneLib/Responses.h>

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class ScriptedService {
public:
    ScriptedService();

    // The reply to the next and every later request of this action
    // ("qrmGetRights", ...).
    void Script(const std::string& action, const std::string& document, int httpStatus = 200);
    // Forgets the scripted replies and the recorded requests.
    void Reset();

    std::vector<OrvaneTest::RecordedRequest> Requests() const;
    // The actions of the recorded requests, in order.
    QStringList Actions() const;
    // The body of the last request of this action; empty when none came.
    QString BodyOf(const std::string& action) const;

private:
    OrvaneTest::TemporaryDirectory m_folder;
    OrvaneTest::TestCertificates m_certificates;
    std::unique_ptr<OrvaneTest::LoopbackHttpServer> m_server;
};

// Reply documents as the service writes them.
struct RightsReply {
    std::string subStatus = "A";
    std::string loginRequired = "false";
    std::string titleKey = "TK-RIGHTS";
    std::string stateNo = "4,5";
    std::string maxUsers = "12";
    std::string statusCode = "1";
    std::string message = "Rights read";
    std::string Xml() const;
};

std::string StatusReply(const std::string& statusCode, const std::string& message);
std::string StatesReply(const std::string& stateNo, const std::string& message = "States read");
std::string ActivitiesReply(const std::vector<OrvaneLib::ActivityRecord>& records,
                            const std::string& message = "Activities read");
