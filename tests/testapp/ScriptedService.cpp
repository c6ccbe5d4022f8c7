#include "ScriptedService.h"

#include <QtGlobal>

namespace {

constexpr char kServicePath[] = "/qrmapps/web/services/";
const char* const kEndPointHosts[] = {"qrm-dev.orvane.com", "qrm-qa.orvane.com", "qrm.orvane.com"};

std::string Element(const std::string& name, const std::string& text)
{
    return "<" + name + ">" + text + "</" + name + ">";
}

}  // namespace

ScriptedService::ScriptedService()
    : m_certificates(OrvaneTest::CreateTestCertificates(
          m_folder.Path(), std::vector<std::string>(std::begin(kEndPointHosts), std::end(kEndPointHosts)))),
      m_server(std::make_unique<OrvaneTest::LoopbackHttpServer>(m_certificates))
{
    QStringList connectTo;
    for (const char* host : kEndPointHosts)
        connectTo << QStringLiteral("%1:443:127.0.0.1:%2").arg(QString::fromLatin1(host)).arg(m_server->Port());
    qputenv("ORVANE_CONNECT_TO", connectTo.join(QLatin1Char(',')).toUtf8());
    qputenv("ORVANE_CA_BUNDLE", QByteArray::fromStdString(m_certificates.caCertificateFile));
}

void ScriptedService::Script(const std::string& action, const std::string& document, int httpStatus)
{
    OrvaneTest::ScriptedReply reply;
    reply.status = httpStatus;
    reply.body = document;
    m_server->SetReply(kServicePath + action, reply);
}

void ScriptedService::Reset() { m_server->Reset(); }

std::vector<OrvaneTest::RecordedRequest> ScriptedService::Requests() const { return m_server->Requests(); }

QStringList ScriptedService::Actions() const
{
    QStringList actions;
    for (const OrvaneTest::RecordedRequest& request : m_server->Requests())
        actions << QString::fromStdString(request.target.substr(request.target.rfind('/') + 1));
    return actions;
}

QString ScriptedService::BodyOf(const std::string& action) const
{
    QString body;
    for (const OrvaneTest::RecordedRequest& request : m_server->Requests()) {
        if (request.target == kServicePath + action)
            body = QString::fromStdString(request.body);
    }
    return body;
}

std::string RightsReply::Xml() const
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights>" + Element("statuscode", statusCode) +
           Element("message", message) + Element("sub_status", subStatus) + Element("state_no", stateNo) +
           Element("title_key", titleKey) + Element("max_users", maxUsers) +
           Element("login_required", loginRequired) + "</getrights>";
}

std::string StatusReply(const std::string& statusCode, const std::string& message)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><response>" + Element("statuscode", statusCode) +
           Element("message", message) + "</response>";
}

std::string StatesReply(const std::string& stateNo, const std::string& message)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getstates>" + Element("statuscode", "1") +
           Element("message", message) + Element("state_no", stateNo) + "</getstates>";
}

std::string ActivitiesReply(const std::vector<OrvaneLib::ActivityRecord>& records, const std::string& message)
{
    std::string activities;
    for (const OrvaneLib::ActivityRecord& r : records) {
        activities += "<activity>" + Element("activity_text", r.activityText) + Element("ip_address", r.ipAddress) +
                      Element("user_agent", r.userAgent) + Element("mac_address", r.macAddress) +
                      Element("workstation_name", r.workstationName) + Element("username", r.userName) +
                      Element("title_key", r.titleKey) + Element("create_date", r.createDate) +
                      Element("upd_source", r.updSource) + "</activity>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getactivities>" + Element("statuscode", "1") +
           Element("message", message) + "<activities>" + activities + "</activities></getactivities>";
}
