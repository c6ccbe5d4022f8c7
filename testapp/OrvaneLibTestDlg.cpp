// Construction, layout and initialization of the main dialog; the end
// point, Identification Code and closing handlers; the About command.
#include "OrvaneLibTestDlg.h"

#include "AboutDlg.h"
#include "ControlIds.h"
#include "DateTimeCtrl.h"
#include "DialogUnits.h"
#include "TextConversion.h"
#include "UpDownCtrl.h"

#include <OrvaneLib/ServiceClient.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr char kCaption[] = "Orvane Library Test App";
constexpr char kServicePath[] = "/qrmapps/web/services";
constexpr char kAboutCommandText[] = "&About OrvaneLibTest...";

// Size of the dialog template, in dialog units.
constexpr int kDialogWidth = 673;
constexpr int kDialogHeight = 396;

// Height of one entry of a dropped-down list, in dialog units.
constexpr int kListEntryHeight = 8;

const char* const kMethodNames[] = {
    "qrmGetRights", "qrmGetStates", "qrmGetActivities", "qrmPutActivity", "qrmPutStates", "qrmLogin", "qrmLogout",
};

const char* const kSourceTags[] = {"NULL", "KWA", "QRM", "DXV", "HOL", "MZE", "PNU", "WUF"};

// Development, QA and production base addresses of the service.
const char* const kEndPoints[] = {
    "https://qrm-dev.orvane.com",
    "https://qrm-qa.orvane.com",
    "https://qrm.orvane.com",
};

// Adds `text` where a sorted list keeps it: after every entry that does not
// sort behind it, ignoring case.
void AddSortedEntry(QComboBox* list, const QString& text)
{
    int index = 0;
    while (index < list->count() && QString::compare(list->itemText(index), text, Qt::CaseInsensitive) <= 0)
        ++index;
    list->insertItem(index, text);
}

void SetId(QWidget* control, int id) { control->setObjectName(QString::number(id)); }

}  // namespace

COrvaneLibTestDlg::COrvaneLibTestDlg(QWidget* parent)
    : QDialog(parent), m_hIcon(QStringLiteral(":/OrvaneLibTest/OrvaneLibTest.png"))
{
    CreateControls();
    ConnectHandlers();
    OnInitDialog();
}

COrvaneLibTestDlg::~COrvaneLibTestDlg() = default;

QLabel* COrvaneLibTestDlg::AddLabel(const DialogUnits& units, const char* text, int x, int y)
{
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->adjustSize();
    label->move(units.Horizontal(x), units.Vertical(y));
    return label;
}

QLineEdit* COrvaneLibTestDlg::AddEdit(const DialogUnits& units, int id, int x, int y, int width, int height)
{
    auto* edit = new QLineEdit(this);
    SetId(edit, id);
    edit->setGeometry(units.ToPixels(x, y, width, height));
    edit->setReadOnly(true);
    return edit;
}

QComboBox* COrvaneLibTestDlg::AddDropDownList(const DialogUnits& units, int id, int x, int y, int width,
                                              int droppedHeight)
{
    // The template's height includes the dropped-down list; the closed box
    // is as high as an edit.
    constexpr int kClosedHeight = 14;
    auto* list = new QComboBox(this);
    SetId(list, id);
    list->setGeometry(units.ToPixels(x, y, width, kClosedHeight));
    list->setMaxVisibleItems(std::max(1, (droppedHeight - kClosedHeight) / kListEntryHeight));
    return list;
}

CDateTimeCtrl* COrvaneLibTestDlg::AddDatePicker(const DialogUnits& units, int id, int x, int y, int width,
                                                int height)
{
    auto* picker = new CDateTimeCtrl(QDateTime::currentDateTime(), this);
    SetId(picker, id);
    picker->setGeometry(units.ToPixels(x, y, width, height));
    picker->setEnabled(false);
    return picker;
}

QPlainTextEdit* COrvaneLibTestDlg::AddMultiLineEdit(const DialogUnits& units, int id, int x, int y, int width,
                                                    int height)
{
    auto* edit = new QPlainTextEdit(this);
    SetId(edit, id);
    edit->setGeometry(units.ToPixels(x, y, width, height));
    edit->setReadOnly(true);
    edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return edit;
}

// Creates the controls in tab order, each at its template position.
void COrvaneLibTestDlg::CreateControls()
{
    QFont dialogFont = QApplication::font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    const DialogUnits units(dialogFont);

    setWindowTitle(QString::fromLatin1(kCaption));
    setFixedSize(units.Horizontal(kDialogWidth), units.Vertical(kDialogHeight));

    m_cancel = new QPushButton(tr("Cancel"), this);
    SetId(m_cancel, IDCANCEL_BUTTON);
    m_cancel->setGeometry(units.ToPixels(616, 375, 50, 14));
    m_cancel->setAutoDefault(false);

    AddLabel(units, "Method Name", 35, 14);
    m_methodName = AddDropDownList(units, IDC_METHOD_NAME, 36, 26, 112, 64);

    AddLabel(units, "Identification Code", 38, 53);
    m_identificationCode = AddEdit(units, IDC_IDENTIFICATION_CODE, 36, 63, 118, 14);

    AddLabel(units, "State List", 39, 112);
    m_stateList = AddEdit(units, IDC_STATE_LIST, 36, 122, 133, 14);

    AddLabel(units, "Title Key", 39, 151);
    m_titleKey = AddEdit(units, IDC_TITLE_KEY, 36, 161, 40, 14);

    AddLabel(units, "Response Code", 402, 83);
    m_responseCode = AddEdit(units, IDC_RESPONSE_CODE, 401, 92, 40, 14);

    AddLabel(units, "Response Message", 402, 112);
    m_responseMessage = AddEdit(units, IDC_RESPONSE_MESSAGE, 401, 122, 182, 14);

    m_submit = new QPushButton(tr("Submit"), this);
    SetId(m_submit, IDC_SUBMIT);
    m_submit->setGeometry(units.ToPixels(557, 375, 50, 14));
    m_submit->setDefault(true);
    m_submit->setEnabled(false);

    AddLabel(units, "Max Users", 39, 188);
    m_maxUsers = AddEdit(units, IDC_MAX_USERS, 36, 198, 40, 14);

    AddLabel(units, "Account Status", 39, 83);
    m_accountStatus = AddEdit(units, IDC_ACCOUNT_STATUS, 36, 92, 48, 14);

    AddLabel(units, "Activity Name", 39, 290);
    m_activityName = AddEdit(units, IDC_ACTIVITY_NAME, 36, 299, 40, 14);

    AddLabel(units, "IpAddress", 125, 290);
    m_ipAddress = AddEdit(units, IDC_IP_ADDRESS, 122, 299, 56, 14);

    AddLabel(units, "User Agent", 239, 290);
    m_userAgent = AddEdit(units, IDC_USER_AGENT, 237, 299, 177, 14);

    AddLabel(units, "Mac Address", 39, 326);
    m_macAddress = AddEdit(units, IDC_MAC_ADDRESS, 36, 335, 74, 14);

    AddLabel(units, "Workstation Name", 125, 326);
    m_workstationName = AddEdit(units, IDC_WORKSTATION_NAME, 122, 335, 95, 14);

    AddLabel(units, "User Name", 239, 326);
    m_userName = AddEdit(units, IDC_USER_NAME, 237, 335, 57, 14);

    AddLabel(units, "Purpose", 403, 14);
    m_purpose = AddMultiLineEdit(units, IDC_PURPOSE, 403, 24, 145, 29);

    m_activitySpin = new CUpDownCtrl(this);
    SetId(m_activitySpin, IDC_ACTIVITY_SPIN);
    m_activitySpin->setGeometry(units.ToPixels(450, 326, 46, 14));
    m_activitySpin->setEnabled(false);

    m_activityPosition = new QLabel(this);
    SetId(m_activityPosition, IDC_ACTIVITY_POSITION);
    m_activityPosition->setGeometry(units.ToPixels(440, 309, 75, 8));

    AddLabel(units, "Date From", 239, 236);
    m_dateFrom = AddDatePicker(units, IDC_DATE_FROM, 237, 244, 100, 15);

    AddLabel(units, "Date To", 355, 236);
    m_dateTo = AddDatePicker(units, IDC_DATE_TO, 353, 244, 100, 15);

    AddLabel(units, "Created On (MM-DD-YYYY HH:MM:SS)", 315, 326);
    m_createdOn = AddEdit(units, IDC_CREATED_ON, 313, 335, 123, 14);

    AddLabel(units, "Update Source", 39, 358);
    m_updateSource = AddEdit(units, IDC_UPDATE_SOURCE, 36, 367, 181, 14);

    AddLabel(units, "Source Tag", 163, 14);
    m_sourceTag = AddDropDownList(units, IDC_SOURCE_TAG, 164, 26, 57, 72);

    AddLabel(units, "End Point", 239, 14);
    m_endPoint = AddDropDownList(units, IDC_END_POINT, 240, 26, 148, 51);

    AddLabel(units, "Login Required", 110, 84);
    m_loginRequired = AddEdit(units, IDC_LOGIN_REQUIRED, 108, 92, 40, 14);

    AddLabel(units, "Login User Name", 197, 54);
    m_loginUserName = AddEdit(units, IDC_LOGIN_USER_NAME, 195, 63, 181, 14);

    AddLabel(units, "Login Password", 197, 90);
    m_loginPassword = AddEdit(units, IDC_LOGIN_PASSWORD, 195, 98, 181, 14);

    AddLabel(units, "Response Xml", 404, 149);
    m_responseXml = AddMultiLineEdit(units, IDC_RESPONSE_XML, 403, 159, 182, 35);
    m_responseXml->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_useMyInfo = new QCheckBox(tr("Use My Info"), this);
    SetId(m_useMyInfo, IDC_USE_MY_INFO);
    // Wide enough for its caption in whatever font the platform offers.
    QRect useMyInfoRect = units.ToPixels(558, 303, 55, 10);
    useMyInfoRect.setWidth(std::max(useMyInfoRect.width(), m_useMyInfo->sizeHint().width()));
    m_useMyInfo->setGeometry(useMyInfoRect);
}

// The message map: each notification of a control to its handler.
void COrvaneLibTestDlg::ConnectHandlers()
{
    connect(m_submit, &QPushButton::clicked, this, &COrvaneLibTestDlg::OnBnClickedSubmit);
    connect(m_methodName, &QComboBox::activated, this, &COrvaneLibTestDlg::OnCbnSelchangeMethodName);
    connect(m_identificationCode, &QLineEdit::textChanged, this, &COrvaneLibTestDlg::OnEnChangeIdentificationCode);
    connect(m_activitySpin, &CUpDownCtrl::DeltaPos, this, &COrvaneLibTestDlg::OnDeltaposActivitySpin);
    connect(m_sourceTag, &QComboBox::activated, this, &COrvaneLibTestDlg::OnCbnSelchangeSourceTag);
    connect(m_endPoint, &QComboBox::activated, this, &COrvaneLibTestDlg::OnCbnSelchangeEndPoint);
    connect(m_useMyInfo, &QCheckBox::clicked, this, &COrvaneLibTestDlg::OnBnClickedUseMyInfo);
    connect(m_cancel, &QPushButton::clicked, this, &COrvaneLibTestDlg::OnCancel);
}

bool COrvaneLibTestDlg::OnInitDialog()
{
    // The window manager's system menu is out of reach, so the About command
    // lives in the dialog's context menu.
    auto* about = new QAction(tr(kAboutCommandText), this);
    about->setObjectName(QStringLiteral("aboutCommand"));
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    setWindowIcon(m_hIcon);

    for (const char* name : kMethodNames)
        AddSortedEntry(m_methodName, QString::fromLatin1(name));
    m_methodName->setCurrentIndex(-1);

    for (const char* tag : kSourceTags)
        m_sourceTag->addItem(QString::fromLatin1(tag));
    m_sourceTag->setCurrentIndex(0);

    for (const char* endPoint : kEndPoints)
        m_endPoint->addItem(QString::fromLatin1(endPoint));
    m_endPoint->setCurrentIndex(0);

    m_pSettings = std::make_unique<OrvaneLib::ConnectionSettings>();
    UseEndPoint();
    return true;
}

std::string COrvaneLibTestDlg::GetSelectedEndPoint() const { return ToBytes(m_endPoint->currentText()); }

// Points the settings at the selected end point, gives them a fresh client
// and names the address in the caption.
void COrvaneLibTestDlg::UseEndPoint()
{
    m_pSettings->serviceUrl = GetSelectedEndPoint() + kServicePath;
    m_pClient = std::make_unique<OrvaneLib::ServiceClient>(*m_pSettings);
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(": ") + ToQString(m_pSettings->serviceUrl));
}

void COrvaneLibTestDlg::OnCbnSelchangeEndPoint() { UseEndPoint(); }

void COrvaneLibTestDlg::OnCbnSelchangeSourceTag()
{
    // The tag is read when a request is submitted.
}

void COrvaneLibTestDlg::OnEnChangeIdentificationCode()
{
    m_submit->setEnabled(!m_identificationCode->text().isEmpty());
}

void COrvaneLibTestDlg::OnSysCommand(unsigned id)
{
    if ((id & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    }
}

// Cancel, Escape and the close box all end here.
void COrvaneLibTestDlg::reject() { OnCancel(); }

void COrvaneLibTestDlg::OnCancel()
{
    m_pClient.reset();
    m_pSettings.reset();
    QDialog::reject();
}

void COrvaneLibTestDlg::ShowMessageBox(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, this);
    box.exec();
}
