// Choosing an operation and Use My Info: which fields the form lets the
// tester edit, the Purpose text, and the fill from the workstation.
#include "OrvaneLibTestDlg.h"

#include "DateTimeCtrl.h"
#include "TextConversion.h"
#include "UpDownCtrl.h"

#include <OrvaneLib/UserInfo.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

namespace {

// What choosing an operation makes editable (the rest stays read-only),
// and the operation's purpose.
struct OperationForm {
    const char* method;
    bool stateListEditable;
    bool titleKeyEditable;
    bool activityEditable;  // Activity Name to User Name
    bool updateSourceEditable;
    const char* purpose;
};

const OperationForm kOperationForms[] = {
    {"qrmPutStates", true, false, false, true, "Sets the comma delimited numeric list of states."},
    {"qrmPutActivity", false, true, true, true, "Adds a list of information to the activity table."},
    {"qrmLogin", false, true, true, true, "Retail named user sign in."},
    {"qrmLogout", false, true, true, true, "Retail named user sign out."},
    {"qrmGetRights", false, false, false, false, "Determine the validity of an account."},
    {"qrmGetStates", false, false, false, false, "Returns comma delimited numeric list of states."},
    {"qrmGetActivities", false, false, false, false, "Returns all activities for a given identification code."},
};

const OperationForm* FindOperationForm(const std::string& method)
{
    for (const OperationForm& form : kOperationForms) {
        if (method == form.method)
            return &form;
    }
    return nullptr;
}

QString FromCText(const char* text) { return text != nullptr ? QString::fromUtf8(text) : QString(); }

}  // namespace

void COrvaneLibTestDlg::OnCbnSelchangeMethodName()
{
    const std::string method = ToBytes(m_methodName->currentText());

    m_identificationCode->setReadOnly(false);

    for (QLineEdit* box : {m_titleKey, m_stateList, m_accountStatus, m_responseCode, m_responseMessage, m_maxUsers,
                           m_activityName, m_ipAddress, m_userAgent, m_macAddress, m_workstationName, m_userName})
        box->clear();
    m_activityPosition->clear();
    m_createdOn->clear();
    m_responseXml->clear();

    for (QWidget* control : std::initializer_list<QWidget*>{m_activitySpin, m_dateFrom, m_dateTo, m_loginUserName,
                                                            m_loginPassword})
        control->setEnabled(false);

    if (m_updateSource->text().isEmpty())
        m_updateSource->setText(QStringLiteral("QRM_TEST"));

    const OperationForm* form = FindOperationForm(method);
    if (form == nullptr)
        return;

    m_stateList->setReadOnly(!form->stateListEditable);
    m_titleKey->setReadOnly(!form->titleKeyEditable);
    m_accountStatus->setReadOnly(true);
    m_maxUsers->setReadOnly(true);
    for (QLineEdit* box : {m_activityName, m_ipAddress, m_userAgent, m_macAddress, m_workstationName, m_userName})
        box->setReadOnly(!form->activityEditable);
    m_updateSource->setReadOnly(!form->updateSourceEditable);

    if (method == "qrmLogin") {
        m_loginUserName->setReadOnly(false);
        m_loginPassword->setReadOnly(false);
        m_loginUserName->setEnabled(true);
        m_loginPassword->setEnabled(true);
    } else if (method == "qrmLogout") {
        m_loginUserName->setEnabled(true);
        m_loginUserName->setReadOnly(false);
        m_loginPassword->setReadOnly(true);
    } else if (method == "qrmGetActivities") {
        m_dateFrom->setEnabled(true);
        m_dateTo->setEnabled(true);
    }

    if ((method == "qrmLogin" || method == "qrmLogout") && m_useMyInfo->isChecked())
        FillFromWorkstation();

    m_purpose->setPlainText(QString::fromLatin1(form->purpose));
}

void COrvaneLibTestDlg::OnBnClickedUseMyInfo()
{
    if (m_useMyInfo->isChecked()) {
        FillFromWorkstation();
        return;
    }
    for (QLineEdit* box : {m_activityName, m_ipAddress, m_userAgent, m_macAddress, m_workstationName, m_userName})
        box->clear();
}

// Writes the workstation's identity into the activity fields, whether they
// are editable or not; Activity Name only for a login or a logout.
void COrvaneLibTestDlg::FillFromWorkstation()
{
    const auto info = std::make_unique<UserInfo>();
    if (!RetrieveUserInfo(*info))
        return;

    const std::string method = ToBytes(m_methodName->currentText());
    if (method == "qrmLogin")
        m_activityName->setText(QStringLiteral("Login"));
    else if (method == "qrmLogout")
        m_activityName->setText(QStringLiteral("Logout"));
    m_ipAddress->setText(FromCText(info->ipAddress));
    m_userAgent->setText(QStringLiteral("QRM OrvaneTestJig"));
    m_macAddress->setText(FromCText(info->macAddress));
    m_workstationName->setText(FromCText(info->workstationName));
    m_userName->setText(FromCText(info->userName));
}

bool COrvaneLibTestDlg::RetrieveUserInfo(UserInfo& info) { return info.Retrieve(); }
