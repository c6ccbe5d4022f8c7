// Submit: the rights check, the chosen operation and its response, and the
// library's errors in a message box.
#include "OrvaneLibTestDlg.h"

#include "DateTimeCtrl.h"
#include "SystemTimeConversion.h"
#include "TextConversion.h"
#include "UpDownCtrl.h"

#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/ServiceClient.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

using OrvaneLib::OrvaneException;

namespace {

constexpr char kInvalidIdentificationCode[] = "Invalid Identification Code.";
constexpr char kLoginRequired[] = "Invalid method when login is required.  Use Login instead.";
constexpr char kDateOrder[] = "From Date cannot be greater than To Date!";

QString Decimal(std::int32_t number) { return QString::number(number); }

}  // namespace

// The source tag "NULL" sends the request's default source.
void COrvaneLibTestDlg::RequestStamp::ApplyTo(OrvaneLib::RequestBase& request) const
{
    if (sourceTag == "NULL")
        request.Reset();
    else
        request.source = sourceTag;
    request.idCode = idCode;
}

void COrvaneLibTestDlg::OnBnClickedSubmit()
{
    const std::string method = ToBytes(m_methodName->currentText());
    RequestStamp stamp;
    stamp.sourceTag = ToBytes(m_sourceTag->currentText());
    OrvaneLib::GetRightsRequest rightsRequest;

    m_responseCode->clear();
    m_responseMessage->clear();
    m_responseXml->clear();
    m_loginRequired->clear();

    // Codes are sent without dashes in upper case, except for the KWA tag,
    // whose codes go out as typed.
    QString code = m_identificationCode->text();
    if (stamp.sourceTag != "KWA") {
        code = code.remove(QLatin1Char('-')).toUpper();
        m_identificationCode->setText(code);
    }
    stamp.idCode = ToBytes(code);
    stamp.ApplyTo(rightsRequest);

    if (method == "qrmGetRights")
        SubmitGetRights(rightsRequest);
    else if (method == "qrmGetStates")
        SubmitGetStates(stamp, rightsRequest);
    else if (method == "qrmPutStates")
        SubmitPutStates(stamp, rightsRequest);
    else if (method == "qrmLogin")
        SubmitLogin(stamp, rightsRequest);
    else if (method == "qrmLogout")
        SubmitLogout(stamp, rightsRequest);
    else if (method == "qrmPutActivity")
        SubmitPutActivity(stamp, rightsRequest);
    else if (method == "qrmGetActivities")
        SubmitGetActivities(stamp, rightsRequest);
}

bool COrvaneLibTestDlg::PassesRightsCheck(const OrvaneLib::GetRightsRequest& request,
                                          OrvaneLib::GetRightsResponse& response)
{
    response.Reset();
    m_pClient->GetRights(request, response);
    return response.subStatus == "A";
}

void COrvaneLibTestDlg::ReadActivityFields(OrvaneLib::ActivityFields& fields, bool defaultUpdateSource)
{
    fields.activityText = ToBytes(m_activityName->text());
    fields.ipAddress = ToBytes(m_ipAddress->text());
    fields.userAgent = ToBytes(m_userAgent->text());
    fields.macAddress = ToBytes(m_macAddress->text());
    fields.workstationName = ToBytes(m_workstationName->text());
    fields.userName = ToBytes(m_userName->text());
    fields.titleKey = ToBytes(m_titleKey->text());
    if (defaultUpdateSource && m_updateSource->text().isEmpty())
        m_updateSource->setText(QStringLiteral("QRM_TEST"));
    fields.updSource = ToBytes(m_updateSource->text());
}

void COrvaneLibTestDlg::ShowRightsCheckFailure(const char* message, const OrvaneLib::GetRightsResponse& rights)
{
    m_responseMessage->setText(QString::fromLatin1(message));
    m_responseXml->setPlainText(ToQString(rights.responseXml));
}

void COrvaneLibTestDlg::ReportLibraryError(const std::string& message, const OrvaneLib::GetRightsResponse& rights)
{
    ShowMessageBox(ToQString(message));
    m_responseXml->setPlainText(ToQString(rights.responseXml));
}

void COrvaneLibTestDlg::ShowResponse(const OrvaneLib::ResponseBase& response)
{
    m_responseCode->setText(Decimal(response.statusCode));
    m_responseMessage->setText(ToQString(response.message));
    m_responseXml->setPlainText(ToQString(response.responseXml));
}

void COrvaneLibTestDlg::SubmitGetRights(const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::GetRightsResponse rights;
    try {
        rights.Reset();
        m_pClient->GetRights(rightsRequest, rights);
        m_titleKey->setText(ToQString(rights.titleKey));
        m_stateList->setText(ToQString(rights.stateNo));
        m_accountStatus->setText(ToQString(rights.subStatus));
        m_responseCode->setText(Decimal(rights.statusCode));
        m_responseMessage->setText(ToQString(rights.message));
        m_maxUsers->setText(Decimal(rights.maxUsers));
        m_loginRequired->setText(rights.loginRequired ? QStringLiteral("true") : QStringLiteral("false"));
        m_responseXml->setPlainText(ToQString(rights.responseXml));
    } catch (const OrvaneException& error) {
        ReportLibraryError(error.message, rights);
    }
}

void COrvaneLibTestDlg::SubmitGetStates(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::GetStatesRequest request;
    OrvaneLib::GetStatesResponse response;
    stamp.ApplyTo(request);
    OrvaneLib::GetRightsResponse rights;
    try {
        if (!PassesRightsCheck(rightsRequest, rights)) {
            // Unlike the other operations, the rights reply is not shown.
            m_responseMessage->setText(QString::fromLatin1(kInvalidIdentificationCode));
            return;
        }
        m_pClient->GetStates(request, response);
        m_stateList->setText(ToQString(response.stateNo));
        ShowResponse(response);
    } catch (const OrvaneException& error) {
        ReportLibraryError(error.message, rights);
    }
}

void COrvaneLibTestDlg::SubmitPutStates(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::PutStatesRequest request;
    OrvaneLib::PutStatesResponse response;
    stamp.ApplyTo(request);
    request.stateList = ToBytes(m_stateList->text());
    OrvaneLib::GetRightsResponse rights;
    try {
        if (!PassesRightsCheck(rightsRequest, rights)) {
            ShowRightsCheckFailure(kInvalidIdentificationCode, rights);
            return;
        }
        m_pClient->PutStates(request, response);
        ShowResponse(response);
    } catch (const OrvaneException& error) {
        ReportLibraryError(error.message, rights);
    }
}

void COrvaneLibTestDlg::SubmitLogin(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::LoginRequest request;
    OrvaneLib::LoginResponse response;
    stamp.ApplyTo(request);
    ReadActivityFields(request, true);
    request.loginUsername = ToBytes(m_loginUserName->text());
    request.loginPassword = ToBytes(m_loginPassword->text());
    OrvaneLib::GetRightsResponse rights;
    try {
        if (!PassesRightsCheck(rightsRequest, rights)) {
            ShowRightsCheckFailure(kInvalidIdentificationCode, rights);
            return;
        }
        request.titleKey = rights.titleKey;
        if (rights.loginRequired)
            request.loginRequired = true;
        m_titleKey->setText(ToQString(rights.titleKey));
        m_stateList->setText(ToQString(rights.stateNo));
        m_maxUsers->setText(Decimal(rights.maxUsers));
        try {
            m_pClient->Login(request, response);
            ShowResponse(response);
        } catch (const OrvaneException&) {
            // A refused login is shown as the service answered it.
            ShowResponse(response);
        }
    } catch (const OrvaneException& error) {
        ReportLibraryError(error.message, rights);
    }
}

void COrvaneLibTestDlg::SubmitLogout(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::LogoutRequest request;
    OrvaneLib::LogoutResponse response;
    stamp.ApplyTo(request);
    ReadActivityFields(request, true);
    request.loginUsername = ToBytes(m_loginUserName->text());
    OrvaneLib::GetRightsResponse rights;
    try {
        if (!PassesRightsCheck(rightsRequest, rights)) {
            ShowRightsCheckFailure(kInvalidIdentificationCode, rights);
            return;
        }
        m_titleKey->setText(ToQString(rights.titleKey));
        request.titleKey = rights.titleKey;
        m_stateList->setText(ToQString(rights.stateNo));
        m_maxUsers->setText(Decimal(rights.maxUsers));
        m_pClient->Logout(request, response);
        ShowResponse(response);
    } catch (const OrvaneException& error) {
        ReportLibraryError(error.message, rights);
    }
}

void COrvaneLibTestDlg::SubmitPutActivity(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::PutActivityRequest request;
    OrvaneLib::PutActivityResponse response;
    stamp.ApplyTo(request);
    ReadActivityFields(request, false);
    OrvaneLib::GetRightsResponse rights;
    try {
        const bool active = PassesRightsCheck(rightsRequest, rights);
        if (!active || rights.loginRequired) {
            ShowRightsCheckFailure(active ? kLoginRequired : kInvalidIdentificationCode, rights);
            return;
        }
        m_pClient->PutActivity(request, response);
        ShowResponse(response);
    } catch (const OrvaneException& error) {
        ReportLibraryError(error.message, rights);
    }
}

void COrvaneLibTestDlg::SubmitGetActivities(const RequestStamp& stamp,
                                            const OrvaneLib::GetRightsRequest& rightsRequest)
{
    OrvaneLib::GetActivitiesRequest request;
    OrvaneLib::GetActivitiesResponse response;
    request.Reset();
    stamp.ApplyTo(request);
    OrvaneLib::GetRightsResponse rights;
    try {
        if (!PassesRightsCheck(rightsRequest, rights)) {
            ShowRightsCheckFailure(kInvalidIdentificationCode, rights);
            return;
        }
        request.dateFrom = ToSystemTime(m_dateFrom->GetTime());
        request.dateTo = ToSystemTime(m_dateTo->GetTime());
        if (IsLater(request.dateFrom, request.dateTo)) {
            ShowMessageBox(QString::fromLatin1(kDateOrder));
            return;
        }
        m_pClient->GetActivities(request, response);
        m_activities.activities = response.activities;
        if (!response.activities.empty()) {
            WriteActivityLog(response.activities);
            m_activitySpin->SetRange32(0, static_cast<int>(response.activities.size()) - 1);
            m_activitySpin->SetPos32(0);
            m_activitySpin->setEnabled(true);
        }
        ShowActivity(0);
        ShowResponse(response);
    } catch (const OrvaneException& error) {
        // The browser takes whatever the failed query left (usually
        // nothing); Response Xml ends up empty.
        ShowMessageBox(ToQString(error.message));
        rights.Reset();
        m_responseXml->setPlainText(ToQString(rights.responseXml));
        m_activities.activities = response.activities;
        ShowActivity(0);
    }
}
