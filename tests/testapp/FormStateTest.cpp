// Choosing an operation: which fields become editable or enabled, what is
// cleared and what stays, the Purpose text; and Use My Info, compared with
// a fresh snapshot of this workstation.
#include "TestableDlg.h"
#include "UpDownCtrl.h"

#include <OrvaneLib/UserInfo.h>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace {

// The fields whose read-only state the form decides.
const QList<int> kFormFields = {IDC_STATE_LIST,  IDC_TITLE_KEY,        IDC_ACCOUNT_STATUS, IDC_MAX_USERS,
                                IDC_ACTIVITY_NAME, IDC_IP_ADDRESS,     IDC_USER_AGENT,     IDC_MAC_ADDRESS,
                                IDC_WORKSTATION_NAME, IDC_USER_NAME,   IDC_UPDATE_SOURCE,  IDC_LOGIN_USER_NAME,
                                IDC_LOGIN_PASSWORD};
// The controls whose enabled state the form decides.
const QList<int> kSwitchedControls = {IDC_ACTIVITY_SPIN, IDC_DATE_FROM, IDC_DATE_TO, IDC_LOGIN_USER_NAME,
                                      IDC_LOGIN_PASSWORD};
const QList<int> kActivityFields = {IDC_ACTIVITY_NAME, IDC_IP_ADDRESS,       IDC_USER_AGENT,
                                    IDC_MAC_ADDRESS,   IDC_WORKSTATION_NAME, IDC_USER_NAME};

struct Workstation {
    QString ipAddress;
    QString macAddress;
    QString workstationName;
    QString userName;
};

Workstation ThisWorkstation()
{
    const auto info = std::make_unique<UserInfo>();
    if (!info->Retrieve())
        return {};
    return {QString::fromUtf8(info->ipAddress), QString::fromUtf8(info->macAddress),
            QString::fromUtf8(info->workstationName), QString::fromUtf8(info->userName)};
}

}  // namespace

class FormStateTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void operationForm_data();
    void operationForm();
    void loginFieldsKeepTheirReadOnlyStateWhenOnlyDisabled();
    void updateSourceDefault_data();
    void updateSourceDefault();
    void useMyInfoFill_data();
    void useMyInfoFill();
    void useMyInfoFollowsTheOperation();
    void uncheckingUseMyInfoEmptiesTheActivityFields();
    void failedSnapshotWritesNothing();

private:
    QLineEdit* Edit(int id) const { return Find<QLineEdit>(*m_dlg, id); }
    void Choose(const QString& method) { ChooseEntry(Find<QComboBox>(*m_dlg, IDC_METHOD_NAME), method); }
    void ClickUseMyInfo() { QTest::mouseClick(Find<QCheckBox>(*m_dlg, IDC_USE_MY_INFO), Qt::LeftButton); }
    void VerifyWorkstationFill(const QString& activityName);

    std::unique_ptr<TestableDlg> m_dlg;
};

void FormStateTest::init()
{
    m_dlg = std::make_unique<TestableDlg>();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void FormStateTest::cleanup() { m_dlg.reset(); }

void FormStateTest::operationForm_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QList<int>>("editable");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<QString>("purpose");

    // Every row starts from a qrmLogin form (login fields editable and
    // enabled) whose fields all hold text.
    const QList<int> login = {IDC_LOGIN_USER_NAME, IDC_LOGIN_PASSWORD};
    const QList<int> activity = kActivityFields;
    QTest::newRow("qrmPutStates") << "qrmPutStates" << (QList<int>{IDC_STATE_LIST, IDC_UPDATE_SOURCE} + login)
                                  << QList<int>{} << "Sets the comma delimited numeric list of states.";
    QTest::newRow("qrmPutActivity") << "qrmPutActivity"
                                    << (QList<int>{IDC_TITLE_KEY, IDC_UPDATE_SOURCE} + activity + login)
                                    << QList<int>{} << "Adds a list of information to the activity table.";
    QTest::newRow("qrmLogin") << "qrmLogin" << (QList<int>{IDC_TITLE_KEY, IDC_UPDATE_SOURCE} + activity + login)
                              << login << "Retail named user sign in.";
    QTest::newRow("qrmLogout") << "qrmLogout"
                               << (QList<int>{IDC_TITLE_KEY, IDC_UPDATE_SOURCE, IDC_LOGIN_USER_NAME} + activity)
                               << QList<int>{IDC_LOGIN_USER_NAME} << "Retail named user sign out.";
    QTest::newRow("qrmGetRights") << "qrmGetRights" << login << QList<int>{}
                                  << "Determine the validity of an account.";
    QTest::newRow("qrmGetStates") << "qrmGetStates" << login << QList<int>{}
                                  << "Returns comma delimited numeric list of states.";
    QTest::newRow("qrmGetActivities") << "qrmGetActivities" << login << QList<int>{IDC_DATE_FROM, IDC_DATE_TO}
                                      << "Returns all activities for a given identification code.";
}

void FormStateTest::operationForm()
{
    QFETCH(QString, method);
    QFETCH(QList<int>, editable);
    QFETCH(QList<int>, enabled);
    QFETCH(QString, purpose);

    Choose(QStringLiteral("qrmLogin"));
    const QList<int> cleared = {IDC_TITLE_KEY,     IDC_STATE_LIST,     IDC_ACCOUNT_STATUS,  IDC_RESPONSE_CODE,
                                IDC_RESPONSE_MESSAGE, IDC_MAX_USERS,   IDC_ACTIVITY_NAME,   IDC_IP_ADDRESS,
                                IDC_USER_AGENT,    IDC_MAC_ADDRESS,    IDC_WORKSTATION_NAME, IDC_USER_NAME,
                                IDC_CREATED_ON};
    const QList<int> kept = {IDC_IDENTIFICATION_CODE, IDC_UPDATE_SOURCE, IDC_LOGIN_REQUIRED, IDC_LOGIN_USER_NAME,
                             IDC_LOGIN_PASSWORD};
    for (int id : cleared + kept)
        Edit(id)->setText(QStringLiteral("text of %1").arg(id));
    Find<QLabel>(*m_dlg, IDC_ACTIVITY_POSITION)->setText(QStringLiteral("Activity 1 of 1"));
    Find<QPlainTextEdit>(*m_dlg, IDC_RESPONSE_XML)->setPlainText(QStringLiteral("<xml/>"));
    Find<QWidget>(*m_dlg, IDC_ACTIVITY_SPIN)->setEnabled(true);

    Choose(method);

    QVERIFY(!Edit(IDC_IDENTIFICATION_CODE)->isReadOnly());
    for (int id : kFormFields)
        QVERIFY2(Edit(id)->isReadOnly() != editable.contains(id), qPrintable(QString::number(id)));
    for (int id : kSwitchedControls)
        QVERIFY2(Find<QWidget>(*m_dlg, id)->isEnabled() == enabled.contains(id), qPrintable(QString::number(id)));
    for (int id : cleared)
        QVERIFY2(Edit(id)->text().isEmpty(), qPrintable(QString::number(id)));
    for (int id : kept)
        QCOMPARE(Edit(id)->text(), QStringLiteral("text of %1").arg(id));
    QVERIFY(Find<QLabel>(*m_dlg, IDC_ACTIVITY_POSITION)->text().isEmpty());
    QVERIFY(Find<QPlainTextEdit>(*m_dlg, IDC_RESPONSE_XML)->toPlainText().isEmpty());
    QCOMPARE(Find<QPlainTextEdit>(*m_dlg, IDC_PURPOSE)->toPlainText(), purpose);
}

void FormStateTest::loginFieldsKeepTheirReadOnlyStateWhenOnlyDisabled()
{
    Choose(QStringLiteral("qrmGetRights"));
    QVERIFY(Edit(IDC_LOGIN_USER_NAME)->isReadOnly());
    QVERIFY(Edit(IDC_LOGIN_PASSWORD)->isReadOnly());

    Choose(QStringLiteral("qrmLogin"));
    QTest::keyClicks(Edit(IDC_LOGIN_PASSWORD), QStringLiteral("secret"));
    Choose(QStringLiteral("qrmGetStates"));
    QVERIFY(!Edit(IDC_LOGIN_PASSWORD)->isReadOnly());
    QVERIFY(!Edit(IDC_LOGIN_PASSWORD)->isEnabled());

    // After qrmLogout the password is disabled and read-only and keeps the
    // text typed for the login.
    Choose(QStringLiteral("qrmLogout"));
    QVERIFY(Edit(IDC_LOGIN_PASSWORD)->isReadOnly());
    QVERIFY(!Edit(IDC_LOGIN_PASSWORD)->isEnabled());
    QCOMPARE(Edit(IDC_LOGIN_PASSWORD)->text(), QStringLiteral("secret"));
}

void FormStateTest::updateSourceDefault_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("empty, editable") << "qrmPutActivity" << "" << "QRM_TEST";
    QTest::newRow("empty, read-only") << "qrmGetRights" << "" << "QRM_TEST";
    QTest::newRow("tester's text, editable") << "qrmLogin" << "MINE" << "MINE";
    QTest::newRow("tester's text, read-only") << "qrmGetStates" << "MINE" << "MINE";
}

void FormStateTest::updateSourceDefault()
{
    QFETCH(QString, method);
    QFETCH(QString, before);
    QFETCH(QString, after);

    Edit(IDC_UPDATE_SOURCE)->setText(before);
    Choose(method);
    QCOMPARE(Edit(IDC_UPDATE_SOURCE)->text(), after);
}

void FormStateTest::VerifyWorkstationFill(const QString& activityName)
{
    const Workstation expected = ThisWorkstation();
    QCOMPARE(Edit(IDC_ACTIVITY_NAME)->text(), activityName);
    QCOMPARE(Edit(IDC_IP_ADDRESS)->text(), expected.ipAddress);
    QCOMPARE(Edit(IDC_USER_AGENT)->text(), QStringLiteral("QRM OrvaneTestJig"));
    QCOMPARE(Edit(IDC_MAC_ADDRESS)->text(), expected.macAddress);
    QCOMPARE(Edit(IDC_WORKSTATION_NAME)->text(), expected.workstationName);
    QCOMPARE(Edit(IDC_USER_NAME)->text(), expected.userName);
}

void FormStateTest::useMyInfoFill_data()
{
    QTest::addColumn<QString>("method");  // empty: none chosen yet
    QTest::addColumn<QString>("activityName");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("before any operation") << "" << "" << true;
    QTest::newRow("qrmGetRights") << "qrmGetRights" << "" << true;
    QTest::newRow("qrmPutActivity") << "qrmPutActivity" << "" << false;
    QTest::newRow("qrmLogin") << "qrmLogin" << "Login" << false;
    QTest::newRow("qrmLogout") << "qrmLogout" << "Logout" << false;
}

void FormStateTest::useMyInfoFill()
{
    QFETCH(QString, method);
    QFETCH(QString, activityName);
    QFETCH(bool, readOnly);

    if (!method.isEmpty())
        Choose(method);
    ClickUseMyInfo();

    QVERIFY(Find<QCheckBox>(*m_dlg, IDC_USE_MY_INFO)->isChecked());
    VerifyWorkstationFill(activityName);
    for (int id : kActivityFields)
        QCOMPARE(Edit(id)->isReadOnly(), readOnly);
}

void FormStateTest::useMyInfoFollowsTheOperation()
{
    ClickUseMyInfo();

    Choose(QStringLiteral("qrmLogin"));
    VerifyWorkstationFill(QStringLiteral("Login"));
    Choose(QStringLiteral("qrmLogout"));
    VerifyWorkstationFill(QStringLiteral("Logout"));

    // Other operations clear the fields and do not fill them.
    Choose(QStringLiteral("qrmPutActivity"));
    for (int id : kActivityFields) {
        QVERIFY(Edit(id)->text().isEmpty());
        QVERIFY(!Edit(id)->isReadOnly());
    }
    ClickUseMyInfo();
    ClickUseMyInfo();
    VerifyWorkstationFill(QString());
}

void FormStateTest::uncheckingUseMyInfoEmptiesTheActivityFields()
{
    Choose(QStringLiteral("qrmLogin"));
    ClickUseMyInfo();
    Edit(IDC_ACTIVITY_NAME)->setText(QStringLiteral("typed"));
    Edit(IDC_TITLE_KEY)->setText(QStringLiteral("TK"));

    ClickUseMyInfo();

    QVERIFY(!Find<QCheckBox>(*m_dlg, IDC_USE_MY_INFO)->isChecked());
    for (int id : kActivityFields)
        QVERIFY2(Edit(id)->text().isEmpty(), qPrintable(QString::number(id)));
    QCOMPARE(Edit(IDC_TITLE_KEY)->text(), QStringLiteral("TK"));
}

void FormStateTest::failedSnapshotWritesNothing()
{
    m_dlg->userInfoFails = true;
    Choose(QStringLiteral("qrmPutActivity"));
    Edit(IDC_IP_ADDRESS)->setText(QStringLiteral("typed"));

    ClickUseMyInfo();
    QVERIFY(Find<QCheckBox>(*m_dlg, IDC_USE_MY_INFO)->isChecked());
    QCOMPARE(Edit(IDC_IP_ADDRESS)->text(), QStringLiteral("typed"));
    QVERIFY(Edit(IDC_USER_AGENT)->text().isEmpty());

    // A login chosen with the box checked leaves the fields empty.
    Choose(QStringLiteral("qrmLogin"));
    for (int id : kActivityFields)
        QVERIFY2(Edit(id)->text().isEmpty(), qPrintable(QString::number(id)));
}

QTEST_MAIN(FormStateTest)
#include "FormStateTest.moc"
