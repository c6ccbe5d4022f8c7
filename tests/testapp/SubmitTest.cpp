// Submit, end to end: the dialog's real client talks HTTPS to a scripted
// service on loopback. Covers every operation, the rights check and its
// messages, the source tag and identification code rules, the library's
// errors, the date order of an activity query and the end-point choice.
#include "DateTimeCtrl.h"
#include "ScriptedService.h"
#include "TestableDlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

using Boxes = QMap<int, QString>;

const QString kInvalidCode = QStringLiteral("Invalid Identification Code.");
const QString kLoginRequired = QStringLiteral("Invalid method when login is required.  Use Login instead.");
const QString kRejected = QStringLiteral(
    "The web server failed to accept your request or your proxy settings are incorrect. Update your settings and "
    "try again later.");
const QString kUnreachable = QStringLiteral("Could not reach server.");
const QString kDateOrder = QStringLiteral("From Date cannot be greater than To Date!");

std::string ReplyOf(const QString& method, const std::string& message)
{
    if (method == QLatin1String("qrmGetStates"))
        return StatesReply("7,8,9", message);
    if (method == QLatin1String("qrmGetActivities"))
        return ActivitiesReply({}, message);
    return StatusReply("1", message);
}

}  // namespace

class SubmitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void operations_data();
    void operations();
    void rightsCheck_data();
    void rightsCheck();
    void sourceTagAndCode_data();
    void sourceTagAndCode();
    void libraryErrors_data();
    void libraryErrors();
    void dateOrder_data();
    void dateOrder();
    void endPointChoiceSendsToTheChosenHost();

private:
    QString Text(int id) const;
    void Choose(const QString& method) { ChooseEntry(Find<QComboBox>(*m_dlg, IDC_METHOD_NAME), method); }
    void TypeCode(const QString& code) { QTest::keyClicks(Find<QLineEdit>(*m_dlg, IDC_IDENTIFICATION_CODE), code); }
    void Submit() { QTest::mouseClick(Find<QPushButton>(*m_dlg, IDC_SUBMIT), Qt::LeftButton); }
    void Fill(const Boxes& boxes);
    void VerifyBoxes(const Boxes& boxes) const;

    std::unique_ptr<ScriptedService> m_service;
    std::unique_ptr<TestableDlg> m_dlg;
};

void SubmitTest::initTestCase() { m_service = std::make_unique<ScriptedService>(); }

void SubmitTest::init()
{
    m_service->Reset();
    m_dlg = std::make_unique<TestableDlg>();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void SubmitTest::cleanup() { m_dlg.reset(); }

QString SubmitTest::Text(int id) const
{
    if (const auto* edit = Find<QPlainTextEdit>(*m_dlg, id))
        return edit->toPlainText();
    return Find<QLineEdit>(*m_dlg, id)->text();
}

void SubmitTest::Fill(const Boxes& boxes)
{
    for (auto box = boxes.begin(); box != boxes.end(); ++box)
        Find<QLineEdit>(*m_dlg, box.key())->setText(box.value());
}

void SubmitTest::VerifyBoxes(const Boxes& boxes) const
{
    for (auto box = boxes.begin(); box != boxes.end(); ++box)
        QVERIFY2(Text(box.key()) == box.value(),
                 qPrintable(QStringLiteral("box %1 holds \"%2\", expected \"%3\"")
                                .arg(box.key())
                                .arg(Text(box.key()), box.value())));
}

void SubmitTest::operations_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("rightsXml");
    QTest::addColumn<QString>("operationXml");
    QTest::addColumn<Boxes>("typed");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("sent");     // the operation's document
    QTest::addColumn<Boxes>("shown");

    RightsReply rights;
    const QString rightsXml = Q(rights.Xml());
    RightsReply bigNumbers;
    bigNumbers.maxUsers = "1234567890";
    RightsReply negative;
    negative.maxUsers = "-2147483648";
    negative.loginRequired = "true";
    RightsReply loginAccount;
    loginAccount.loginRequired = "TRUE";

    const Boxes activity = {{IDC_ACTIVITY_NAME, "Act"},  {IDC_IP_ADDRESS, "10.0.0.5"},
                            {IDC_USER_AGENT, "Agent"},    {IDC_MAC_ADDRESS, "00aabbccddee"},
                            {IDC_WORKSTATION_NAME, "WS1"}, {IDC_USER_NAME, "zoë"},
                            {IDC_TITLE_KEY, "TYPED"}};
    const QString activityXml = QStringLiteral(
        "<activity_text>Act</activity_text><ip_address>10.0.0.5</ip_address><user_agent>Agent</user_agent>"
        "<mac_address>00aabbccddee</mac_address><workstation_name>WS1</workstation_name><user_name>zoë</user_name>");

    const QString getRights = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights><source>QRM</source><id_code>AB12</id_code></getrights>");
    QTest::newRow("qrmGetRights") << "qrmGetRights" << Q(bigNumbers.Xml()) << "" << Boxes{}
                                  << QStringList{"qrmGetRights"} << getRights
                                  << Boxes{{IDC_TITLE_KEY, "TK-RIGHTS"},      {IDC_STATE_LIST, "4,5"},
                                           {IDC_ACCOUNT_STATUS, "A"},         {IDC_RESPONSE_CODE, "1"},
                                           {IDC_RESPONSE_MESSAGE, "Rights read"}, {IDC_MAX_USERS, "1234567890"},
                                           {IDC_LOGIN_REQUIRED, "false"},     {IDC_RESPONSE_XML, Q(bigNumbers.Xml())}};
    QTest::newRow("qrmGetRights, login required, negative number")
        << "qrmGetRights" << Q(negative.Xml()) << "" << Boxes{} << QStringList{"qrmGetRights"} << getRights
        << Boxes{{IDC_MAX_USERS, "-2147483648"}, {IDC_LOGIN_REQUIRED, "true"}};

    QTest::newRow("qrmGetStates")
        << "qrmGetStates" << rightsXml << Q(StatesReply("7,8,9")) << Boxes{}
        << QStringList{"qrmGetRights", "qrmGetStates"}
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<getstates><source>QRM</source><id_code>AB12</id_code></getstates>"
        << Boxes{{IDC_STATE_LIST, "7,8,9"},
                 {IDC_RESPONSE_CODE, "1"},
                 {IDC_RESPONSE_MESSAGE, "States read"},
                 {IDC_RESPONSE_XML, Q(StatesReply("7,8,9"))},
                 {IDC_LOGIN_REQUIRED, ""},
                 {IDC_ACCOUNT_STATUS, ""}};

    QTest::newRow("qrmPutStates")
        << "qrmPutStates" << rightsXml << Q(StatusReply("1", "States stored")) << Boxes{{IDC_STATE_LIST, "1,2,3"}}
        << QStringList{"qrmGetRights", "qrmPutStates"}
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><qrmputstates><qrmputstate><source>QRM</source>"
           "<id_code>AB12</id_code><state_list>1,2,3</state_list></qrmputstate></qrmputstates>"
        << Boxes{{IDC_STATE_LIST, "1,2,3"},
                 {IDC_RESPONSE_CODE, "1"},
                 {IDC_RESPONSE_MESSAGE, "States stored"},
                 {IDC_RESPONSE_XML, Q(StatusReply("1", "States stored"))},
                 {IDC_LOGIN_REQUIRED, ""}};

    Boxes login = activity;
    login.insert(IDC_UPDATE_SOURCE, "SRC");
    login.insert(IDC_LOGIN_USER_NAME, "bob");
    login.insert(IDC_LOGIN_PASSWORD, "pw");
    QTest::newRow("qrmLogin takes the title key of the rights check")
        << "qrmLogin" << rightsXml << Q(StatusReply("1", "Signed in")) << login
        << QStringList{"qrmGetRights", "qrmLogin"}
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><login><source>QRM</source><credentials>"
           "<login_required>false</login_required><login_username><![CDATA[bob]]></login_username>"
           "<login_password><![CDATA[pw]]></login_password></credentials><activity><id_code>AB12</id_code>" +
               activityXml + "<title_key>TK-RIGHTS</title_key><upd_source>SRC</upd_source></activity></login>"
        << Boxes{{IDC_TITLE_KEY, "TK-RIGHTS"},
                 {IDC_STATE_LIST, "4,5"},
                 {IDC_MAX_USERS, "12"},
                 {IDC_RESPONSE_CODE, "1"},
                 {IDC_RESPONSE_MESSAGE, "Signed in"},
                 {IDC_RESPONSE_XML, Q(StatusReply("1", "Signed in"))},
                 {IDC_LOGIN_REQUIRED, ""}};

    Boxes loginDefaulted = login;
    loginDefaulted.insert(IDC_UPDATE_SOURCE, "");
    QTest::newRow("qrmLogin for an account that needs a login, empty Update Source")
        << "qrmLogin" << Q(loginAccount.Xml()) << Q(StatusReply("1", "Signed in")) << loginDefaulted
        << QStringList{"qrmGetRights", "qrmLogin"}
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><login><source>QRM</source><credentials>"
           "<login_required>true</login_required><login_username><![CDATA[bob]]></login_username>"
           "<login_password><![CDATA[pw]]></login_password></credentials><activity><id_code>AB12</id_code>" +
               activityXml + "<title_key>TK-RIGHTS</title_key><upd_source>QRM_TEST</upd_source></activity></login>"
        << Boxes{{IDC_UPDATE_SOURCE, "QRM_TEST"}};

    Boxes logout = activity;
    logout.insert(IDC_UPDATE_SOURCE, "");
    logout.insert(IDC_LOGIN_USER_NAME, "bob");
    logout.insert(IDC_LOGIN_PASSWORD, "never sent");
    QTest::newRow("qrmLogout sends no password")
        << "qrmLogout" << rightsXml << Q(StatusReply("1", "Signed out")) << logout
        << QStringList{"qrmGetRights", "qrmLogout"}
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><logout><source>QRM</source><activity><id_code>AB12</id_code>" +
               activityXml +
               "<title_key>TK-RIGHTS</title_key><upd_source>QRM_TEST</upd_source>"
               "<login_username><![CDATA[bob]]></login_username></activity></logout>"
        << Boxes{{IDC_TITLE_KEY, "TK-RIGHTS"},
                 {IDC_STATE_LIST, "4,5"},
                 {IDC_MAX_USERS, "12"},
                 {IDC_UPDATE_SOURCE, "QRM_TEST"},
                 {IDC_RESPONSE_CODE, "1"},
                 {IDC_RESPONSE_MESSAGE, "Signed out"},
                 {IDC_RESPONSE_XML, Q(StatusReply("1", "Signed out"))}};

    Boxes putActivity = activity;
    putActivity.insert(IDC_UPDATE_SOURCE, "");
    QTest::newRow("qrmPutActivity sends the typed title key and an empty Update Source")
        << "qrmPutActivity" << rightsXml << Q(StatusReply("1", "Activity added")) << putActivity
        << QStringList{"qrmGetRights", "qrmPutActivity"}
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><activities><activity><source>QRM</source>"
           "<id_code>AB12</id_code>" +
               activityXml + "<title_key>TYPED</title_key><upd_source></upd_source></activity></activities>"
        << Boxes{{IDC_TITLE_KEY, "TYPED"},
                 {IDC_UPDATE_SOURCE, ""},
                 {IDC_STATE_LIST, ""},
                 {IDC_RESPONSE_CODE, "1"},
                 {IDC_RESPONSE_MESSAGE, "Activity added"},
                 {IDC_RESPONSE_XML, Q(StatusReply("1", "Activity added"))}};
}

void SubmitTest::operations()
{
    QFETCH(QString, method);
    QFETCH(QString, rightsXml);
    QFETCH(QString, operationXml);
    QFETCH(Boxes, typed);
    QFETCH(QStringList, actions);
    QFETCH(QString, sent);
    QFETCH(Boxes, shown);

    m_service->Script("qrmGetRights", rightsXml.toStdString());
    if (method != QLatin1String("qrmGetRights"))
        m_service->Script(method.toStdString(), operationXml.toStdString());
    Choose(method);
    TypeCode(QStringLiteral("ab-12"));
    Fill(typed);

    Submit();

    QCOMPARE(m_service->Actions(), actions);
    const QString body = m_service->BodyOf(method.toStdString());
    const qsizetype signatureStart = body.lastIndexOf(QLatin1Char('\n'));
    QCOMPARE(body.left(signatureStart), sent);
    QCOMPARE(body.size() - signatureStart - 1, qsizetype(44));
    VerifyBoxes(shown);
    QCOMPARE(m_dlg->messages, QStringList());
}

void SubmitTest::rightsCheck_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("subStatus");
    QTest::addColumn<QString>("loginRequired");
    QTest::addColumn<QString>("refusal");        // empty: the operation goes ahead
    QTest::addColumn<bool>("showsRightsXml");   // when refused

    // Row names built here rather than through addRow's format, which the
    // optimiser cannot prove safe for a pointer from the list.
    const auto row = [](const char* method, const char* what) -> QTestData& {
        return QTest::newRow(QByteArray(method).append(", ").append(what).constData());
    };
    for (const char* method : {"qrmGetStates", "qrmPutStates", "qrmLogin", "qrmLogout", "qrmPutActivity",
                               "qrmGetActivities"}) {
        const bool showsXml = QLatin1String(method) != QLatin1String("qrmGetStates");
        row(method, "lower-case a") << method << "a" << "false" << kInvalidCode << showsXml;
        row(method, "A and a space") << method << "A " << "false" << kInvalidCode << showsXml;
        row(method, "empty") << method << "" << "false" << kInvalidCode << showsXml;
        row(method, "A") << method << "A" << "false" << "" << false;
    }
    QTest::newRow("qrmPutActivity, A, login required") << "qrmPutActivity" << "A" << "true" << kLoginRequired << true;
    QTest::newRow("qrmPutActivity, a, login required") << "qrmPutActivity" << "a" << "true" << kInvalidCode << true;
    for (const char* method : {"qrmGetStates", "qrmPutStates", "qrmLogin", "qrmLogout", "qrmGetActivities"})
        row(method, "A, login required") << method << "A" << "true" << "" << false;
}

void SubmitTest::rightsCheck()
{
    QFETCH(QString, method);
    QFETCH(QString, subStatus);
    QFETCH(QString, loginRequired);
    QFETCH(QString, refusal);
    QFETCH(bool, showsRightsXml);

    RightsReply rights;
    rights.subStatus = subStatus.toStdString();
    rights.loginRequired = loginRequired.toStdString();
    m_service->Script("qrmGetRights", rights.Xml());
    m_service->Script(method.toStdString(), ReplyOf(method, "Done"));
    Choose(method);
    TypeCode(QStringLiteral("C1"));

    Submit();

    QCOMPARE(m_dlg->messages, QStringList());
    if (refusal.isEmpty()) {
        QCOMPARE(m_service->Actions(), QStringList({"qrmGetRights", method}));
        QCOMPARE(Text(IDC_RESPONSE_MESSAGE), QStringLiteral("Done"));
        QCOMPARE(Text(IDC_RESPONSE_CODE), QStringLiteral("1"));
        return;
    }
    QCOMPARE(m_service->Actions(), QStringList({"qrmGetRights"}));
    QCOMPARE(Text(IDC_RESPONSE_MESSAGE), refusal);
    QCOMPARE(Text(IDC_RESPONSE_XML), showsRightsXml ? Q(rights.Xml()) : QString());
    QCOMPARE(Text(IDC_RESPONSE_CODE), QString());
}

void SubmitTest::sourceTagAndCode_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<QString>("sentSource");
    QTest::addColumn<QString>("sentCode");

    QTest::newRow("KWA: the code goes out as typed") << "KWA" << "ab-12" << "ab-12" << "KWA" << "ab-12";
    QTest::newRow("NULL: the default source QRM") << "NULL" << "ab-12" << "AB12" << "QRM" << "AB12";
    QTest::newRow("QRM") << "QRM" << "x-y-z" << "XYZ" << "QRM" << "XYZ";
    QTest::newRow("DXV") << "DXV" << "Ab-1" << "AB1" << "DXV" << "AB1";
    QTest::newRow("WUF") << "WUF" << "k9" << "K9" << "WUF" << "K9";
    QTest::newRow("dashes only: an empty code goes out") << "HOL" << "---" << "" << "HOL" << "";
}

void SubmitTest::sourceTagAndCode()
{
    QFETCH(QString, tag);
    QFETCH(QString, typed);
    QFETCH(QString, boxAfter);
    QFETCH(QString, sentSource);
    QFETCH(QString, sentCode);

    m_service->Script("qrmGetRights", RightsReply().Xml());
    m_service->Script("qrmGetStates", StatesReply("1"));
    Choose(QStringLiteral("qrmGetStates"));
    ChooseEntry(Find<QComboBox>(*m_dlg, IDC_SOURCE_TAG), tag);
    TypeCode(typed);

    Submit();

    QCOMPARE(Text(IDC_IDENTIFICATION_CODE), boxAfter);
    QCOMPARE(Find<QPushButton>(*m_dlg, IDC_SUBMIT)->isEnabled(), !boxAfter.isEmpty());
    QCOMPARE(m_service->Actions(), QStringList({"qrmGetRights", "qrmGetStates"}));
    const QString stamp = QStringLiteral("<source>%1</source><id_code>%2</id_code>").arg(sentSource, sentCode);
    for (const char* action : {"qrmGetRights", "qrmGetStates"})
        QVERIFY2(m_service->BodyOf(action).contains(stamp), action);
}

void SubmitTest::libraryErrors_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<int>("rightsStatus");
    QTest::addColumn<QString>("rightsXml");
    QTest::addColumn<int>("operationStatus");
    QTest::addColumn<QString>("operationXml");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<Boxes>("shown");

    RightsReply rights;
    const QString rightsXml = Q(rights.Xml());
    RightsReply refused;
    refused.statusCode = "0";
    refused.message = "Unknown account";
    const QString refusedXml = Q(refused.Xml());
    const QString loginRefusedXml = Q(StatusReply("0", "Wrong password"));

    QTest::newRow("qrmGetRights, HTTP 500: nothing was read")
        << "qrmGetRights" << 500 << "busy" << 200 << "" << QStringList{kUnreachable}
        << Boxes{{IDC_RESPONSE_XML, ""}, {IDC_RESPONSE_CODE, ""}, {IDC_ACCOUNT_STATUS, ""}};
    QTest::newRow("qrmGetRights, status 0: the reply is shown")
        << "qrmGetRights" << 200 << refusedXml << 200 << "" << QStringList{kRejected}
        << Boxes{{IDC_RESPONSE_XML, refusedXml}, {IDC_RESPONSE_CODE, ""}, {IDC_RESPONSE_MESSAGE, ""}};
    QTest::newRow("qrmGetStates, rights status 0")
        << "qrmGetStates" << 200 << refusedXml << 200 << "" << QStringList{kRejected}
        << Boxes{{IDC_RESPONSE_XML, refusedXml}};
    QTest::newRow("qrmGetStates fails: the rights reply is shown")
        << "qrmGetStates" << 200 << rightsXml << 200 << Q(StatusReply("0", "No states")) << QStringList{kRejected}
        << Boxes{{IDC_RESPONSE_XML, rightsXml}, {IDC_STATE_LIST, ""}, {IDC_RESPONSE_MESSAGE, ""}};
    QTest::newRow("qrmPutStates, HTTP 503") << "qrmPutStates" << 200 << rightsXml << 503 << "down"
                                            << QStringList{kUnreachable} << Boxes{{IDC_RESPONSE_XML, rightsXml}};
    QTest::newRow("qrmLogout fails after the rights were shown")
        << "qrmLogout" << 200 << rightsXml << 200 << Q(StatusReply("0", "Not signed in")) << QStringList{kRejected}
        << Boxes{{IDC_RESPONSE_XML, rightsXml}, {IDC_TITLE_KEY, "TK-RIGHTS"}, {IDC_RESPONSE_CODE, ""}};
    QTest::newRow("qrmPutActivity, unparsable reply")
        << "qrmPutActivity" << 200 << rightsXml << 200 << "<activities><unclosed>" << QStringList{"Unknown Error"}
        << Boxes{{IDC_RESPONSE_XML, rightsXml}};
    QTest::newRow("qrmLogin, rights check fails")
        << "qrmLogin" << 500 << "" << 200 << "" << QStringList{kUnreachable}
        << Boxes{{IDC_RESPONSE_XML, ""}, {IDC_TITLE_KEY, ""}};
    QTest::newRow("qrmLogin refused: shown without a message box")
        << "qrmLogin" << 200 << rightsXml << 200 << loginRefusedXml << QStringList{}
        << Boxes{{IDC_RESPONSE_CODE, "0"},      {IDC_RESPONSE_MESSAGE, "Wrong password"},
                 {IDC_RESPONSE_XML, loginRefusedXml}, {IDC_TITLE_KEY, "TK-RIGHTS"},
                 {IDC_STATE_LIST, "4,5"},        {IDC_MAX_USERS, "12"}};
    QTest::newRow("qrmLogin, HTTP 500 from the login itself")
        << "qrmLogin" << 200 << rightsXml << 500 << "" << QStringList{}
        << Boxes{{IDC_RESPONSE_CODE, "0"}, {IDC_RESPONSE_MESSAGE, ""}, {IDC_RESPONSE_XML, ""}, {IDC_MAX_USERS, "12"}};
    QTest::newRow("qrmGetActivities fails: Response Xml ends up empty")
        << "qrmGetActivities" << 200 << rightsXml << 500 << "" << QStringList{kUnreachable}
        << Boxes{{IDC_RESPONSE_XML, ""}, {IDC_RESPONSE_CODE, ""}};
}

void SubmitTest::libraryErrors()
{
    QFETCH(QString, method);
    QFETCH(int, rightsStatus);
    QFETCH(QString, rightsXml);
    QFETCH(int, operationStatus);
    QFETCH(QString, operationXml);
    QFETCH(QStringList, messages);
    QFETCH(Boxes, shown);

    m_service->Script("qrmGetRights", rightsXml.toStdString(), rightsStatus);
    if (method != QLatin1String("qrmGetRights"))
        m_service->Script(method.toStdString(), operationXml.toStdString(), operationStatus);
    Choose(method);
    TypeCode(QStringLiteral("C1"));

    Submit();

    QCOMPARE(m_dlg->messages, messages);
    VerifyBoxes(shown);

    // The dialog stays usable: the next click starts afresh.
    m_service->Reset();
    m_service->Script("qrmGetRights", RightsReply().Xml());
    m_service->Script(method.toStdString(), ReplyOf(method, "Done"));
    Submit();
    QCOMPARE(Text(IDC_RESPONSE_MESSAGE), QStringLiteral("Done"));
}

void SubmitTest::dateOrder_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("sentDates");

    const QDateTime noon(QDate(2026, 3, 4), QTime(12, 0, 0, 250));
    QTest::newRow("from one day after to") << noon.addDays(1) << noon << true << "";
    QTest::newRow("same day, later time of day") << noon.addSecs(3600) << noon << true << "";
    QTest::newRow("one millisecond later") << noon.addMSecs(1) << noon << true << "";
    QTest::newRow("equal values pass") << noon << noon << false
                                       << "<date_from>03042026</date_from><date_to>03042026</date_to>";
    QTest::newRow("earlier passes") << noon.addDays(-40) << noon << false
                                    << "<date_from>01232026</date_from><date_to>03042026</date_to>";
}

void SubmitTest::dateOrder()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    QFETCH(bool, refused);
    QFETCH(QString, sentDates);

    m_service->Script("qrmGetRights", RightsReply().Xml());
    m_service->Script("qrmGetActivities", ActivitiesReply({}));
    Choose(QStringLiteral("qrmGetActivities"));
    Find<CDateTimeCtrl>(*m_dlg, IDC_DATE_FROM)->SetTime(from);
    Find<CDateTimeCtrl>(*m_dlg, IDC_DATE_TO)->SetTime(to);
    TypeCode(QStringLiteral("C1"));

    Submit();

    if (refused) {
        QCOMPARE(m_dlg->messages, QStringList{kDateOrder});
        QCOMPARE(m_service->Actions(), QStringList{"qrmGetRights"});
        VerifyBoxes({{IDC_RESPONSE_CODE, ""}, {IDC_RESPONSE_MESSAGE, ""}, {IDC_RESPONSE_XML, ""}});
        return;
    }
    QCOMPARE(m_dlg->messages, QStringList());
    QCOMPARE(m_service->Actions(), QStringList({"qrmGetRights", "qrmGetActivities"}));
    QVERIFY2(m_service->BodyOf("qrmGetActivities").contains(sentDates), qPrintable(sentDates));
}

void SubmitTest::endPointChoiceSendsToTheChosenHost()
{
    m_dlg->MutableSettings()->userAgent = "Custom agent";
    m_service->Script("qrmGetRights", RightsReply().Xml());
    Choose(QStringLiteral("qrmGetRights"));
    TypeCode(QStringLiteral("C1"));

    for (const char* host : {"qrm-qa.orvane.com", "qrm.orvane.com", "qrm-dev.orvane.com"}) {
        m_service->Reset();
        m_service->Script("qrmGetRights", RightsReply().Xml());
        ChooseEntry(Find<QComboBox>(*m_dlg, IDC_END_POINT), QStringLiteral("https://") + QLatin1String(host));
        Submit();

        const auto requests = m_service->Requests();
        QCOMPARE(requests.size(), std::size_t(1));
        QCOMPARE(Q(requests[0].Header("Host")), QString::fromLatin1(host));
        QCOMPARE(Q(requests[0].Header("User-Agent")), QStringLiteral("Custom agent"));
        QCOMPARE(Q(requests[0].target), QStringLiteral("/qrmapps/web/services/qrmGetRights"));
        QCOMPARE(Text(IDC_RESPONSE_CODE), QStringLiteral("1"));
    }
}

QTEST_MAIN(SubmitTest)
#include "SubmitTest.moc"
