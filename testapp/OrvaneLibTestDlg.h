#pragma once

#include <OrvaneLib/ConnectionSettings.h>
#include <OrvaneLib/Requests.h>
#include <OrvaneLib/Responses.h>

#include <QDialog>
#include <QIcon>

#include <list>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class CDateTimeCtrl;
class CUpDownCtrl;
class DialogUnits;
class UserInfo;
struct NmUpDown;

namespace OrvaneLib {
class ServiceClient;
}

// The main dialog: one form for all seven operations of the library. The
// tester picks an operation, a source tag and an end point, fills in the
// request fields and presses Submit; the response is shown in the form.
class COrvaneLibTestDlg : public QDialog {
    Q_OBJECT
public:
    explicit COrvaneLibTestDlg(QWidget* parent = nullptr);
    ~COrvaneLibTestDlg() override;

    // The text of the selected End Point entry.
    std::string GetSelectedEndPoint() const;

    // Shows record `index` (0-based) of the kept activities, or empties the
    // activity boxes when none are kept.
    void ShowActivity(int index);

    // Rewrites Activity.log beside the executable with these activities.
    void WriteActivityLog(const std::list<OrvaneLib::ActivityRecord>& activities);

protected:
    // The replaceable pieces: the message box, the executable's path (which
    // places Activity.log) and the workstation snapshot.
    virtual void ShowMessageBox(const QString& text);
    virtual QString ModuleFileName() const;
    virtual bool RetrieveUserInfo(UserInfo& info);

    void reject() override;

    std::unique_ptr<OrvaneLib::ConnectionSettings> m_pSettings;
    std::unique_ptr<OrvaneLib::ServiceClient> m_pClient;
    OrvaneLib::GetActivitiesResponse m_activities;

private:
    // Construction and layout.
    void CreateControls();
    void ConnectHandlers();
    QLabel* AddLabel(const DialogUnits& units, const char* text, int x, int y);
    QLineEdit* AddEdit(const DialogUnits& units, int id, int x, int y, int width, int height);
    QComboBox* AddDropDownList(const DialogUnits& units, int id, int x, int y, int width, int droppedHeight);
    CDateTimeCtrl* AddDatePicker(const DialogUnits& units, int id, int x, int y, int width, int height);
    QPlainTextEdit* AddMultiLineEdit(const DialogUnits& units, int id, int x, int y, int width, int height);
    bool OnInitDialog();
    void UseEndPoint();

    // Message handlers.
    void OnSysCommand(unsigned id);
    void OnBnClickedSubmit();
    void OnCbnSelchangeMethodName();
    void OnEnChangeIdentificationCode();
    void OnDeltaposActivitySpin(NmUpDown* pNMUpDown, int* pResult);
    void OnCbnSelchangeSourceTag();
    void OnCbnSelchangeEndPoint();
    void OnBnClickedUseMyInfo();
    void OnCancel();

    // Form state.
    void FillFromWorkstation();

    // Submit, one per operation. The stamp carries what every request of
    // one submission gets: its source tag and identification code.
    struct RequestStamp {
        std::string sourceTag;
        std::string idCode;
        void ApplyTo(OrvaneLib::RequestBase& request) const;
    };
    void SubmitGetRights(const OrvaneLib::GetRightsRequest& rightsRequest);
    void SubmitGetStates(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest);
    void SubmitPutStates(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest);
    void SubmitLogin(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest);
    void SubmitLogout(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest);
    void SubmitPutActivity(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest);
    void SubmitGetActivities(const RequestStamp& stamp, const OrvaneLib::GetRightsRequest& rightsRequest);
    bool PassesRightsCheck(const OrvaneLib::GetRightsRequest& request, OrvaneLib::GetRightsResponse& response);
    void ReadActivityFields(OrvaneLib::ActivityFields& fields, bool defaultUpdateSource);
    void ShowRightsCheckFailure(const char* message, const OrvaneLib::GetRightsResponse& rights);
    void ReportLibraryError(const std::string& message, const OrvaneLib::GetRightsResponse& rights);
    void ShowResponse(const OrvaneLib::ResponseBase& response);

    QIcon m_hIcon;

    QPushButton* m_cancel = nullptr;
    QComboBox* m_methodName = nullptr;
    QLineEdit* m_identificationCode = nullptr;
    QLineEdit* m_stateList = nullptr;
    QLineEdit* m_titleKey = nullptr;
    QLineEdit* m_responseCode = nullptr;
    QLineEdit* m_responseMessage = nullptr;
    QPushButton* m_submit = nullptr;
    QLineEdit* m_maxUsers = nullptr;
    QLineEdit* m_accountStatus = nullptr;
    QLineEdit* m_activityName = nullptr;
    QLineEdit* m_ipAddress = nullptr;
    QLineEdit* m_userAgent = nullptr;
    QLineEdit* m_macAddress = nullptr;
    QLineEdit* m_workstationName = nullptr;
    QLineEdit* m_userName = nullptr;
    QPlainTextEdit* m_purpose = nullptr;
    CUpDownCtrl* m_activitySpin = nullptr;
    QLabel* m_activityPosition = nullptr;
    CDateTimeCtrl* m_dateFrom = nullptr;
    CDateTimeCtrl* m_dateTo = nullptr;
    QLineEdit* m_createdOn = nullptr;
    QLineEdit* m_updateSource = nullptr;
    QComboBox* m_sourceTag = nullptr;
    QComboBox* m_endPoint = nullptr;
    QLineEdit* m_loginRequired = nullptr;
    QLineEdit* m_loginUserName = nullptr;
    QLineEdit* m_loginPassword = nullptr;
    QPlainTextEdit* m_responseXml = nullptr;
    QCheckBox* m_useMyInfo = nullptr;
};
