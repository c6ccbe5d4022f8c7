// The main dialog as it opens: its controls where the template puts them,
// the tab order, the three lists, the caption and the settings behind it,
// the Submit rule, the About box, the message box and closing.
#include "AboutDlg.h"
#include "DialogUnits.h"
#include "TestableDlg.h"
#include "UpDownCtrl.h"

#include <OrvaneLib/ServiceClient.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString kDevelopmentService = QStringLiteral("https://qrm-dev.orvane.com/qrmapps/web/services");

// Runs `inspect` on the modal window that the next call opens, and closes
// that window if `inspect` left it open.
void WhenModalOpens(const std::function<void(QWidget*)>& inspect)
{
    QTimer::singleShot(0, [inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        inspect(modal);
        if (modal->isVisible())
            modal->close();
    });
}

QList<QString> LabelTexts(const QWidget& widget)
{
    QList<QString> texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

}  // namespace

class DialogLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void dialogIsFixedAtTemplateSize();
    void tabOrderFollowsTheTemplate();
    void listsAndTheirFirstSelection();
    void captionNamesTheDevelopmentService();
    void endPointChoice_data();
    void endPointChoice();
    void submitFollowsIdentificationCode();
    void nothingCanBeTypedBeforeAnOperationIsChosen();
    void aboutCommandOpensTheAboutBox();
    void messageBoxHasWarningIconAndOkButton();
    void closing_data();
    void closing();

private:
    std::unique_ptr<TestableDlg> m_dlg;
};

void DialogLayoutTest::init()
{
    m_dlg = std::make_unique<TestableDlg>();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void DialogLayoutTest::cleanup() { m_dlg.reset(); }

void DialogLayoutTest::controls_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");  // the label beside it, or its own text
    QTest::addColumn<QRect>("labelPosition");
    QTest::addColumn<QRect>("position");   // dialog units
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("readOnly");

    const auto row = [](int id, const char* kind, const char* caption, QPoint label, QRect position, bool enabled,
                        bool readOnly) {
        QTest::newRow(caption) << id << QString::fromLatin1(kind) << QString::fromLatin1(caption)
                               << QRect(label, QSize(0, 0)) << position << enabled << readOnly;
    };
    const QPoint none(-1, -1);
    row(IDCANCEL_BUTTON, "QPushButton", "Cancel", none, QRect(616, 375, 50, 14), true, false);
    row(IDC_METHOD_NAME, "QComboBox", "Method Name", {35, 14}, QRect(36, 26, 112, 14), true, false);
    row(IDC_IDENTIFICATION_CODE, "QLineEdit", "Identification Code", {38, 53}, QRect(36, 63, 118, 14), true, true);
    row(IDC_STATE_LIST, "QLineEdit", "State List", {39, 112}, QRect(36, 122, 133, 14), true, true);
    row(IDC_TITLE_KEY, "QLineEdit", "Title Key", {39, 151}, QRect(36, 161, 40, 14), true, true);
    row(IDC_RESPONSE_CODE, "QLineEdit", "Response Code", {402, 83}, QRect(401, 92, 40, 14), true, true);
    row(IDC_RESPONSE_MESSAGE, "QLineEdit", "Response Message", {402, 112}, QRect(401, 122, 182, 14), true, true);
    row(IDC_SUBMIT, "QPushButton", "Submit", none, QRect(557, 375, 50, 14), false, false);
    row(IDC_MAX_USERS, "QLineEdit", "Max Users", {39, 188}, QRect(36, 198, 40, 14), true, true);
    row(IDC_ACCOUNT_STATUS, "QLineEdit", "Account Status", {39, 83}, QRect(36, 92, 48, 14), true, true);
    row(IDC_ACTIVITY_NAME, "QLineEdit", "Activity Name", {39, 290}, QRect(36, 299, 40, 14), true, true);
    row(IDC_IP_ADDRESS, "QLineEdit", "IpAddress", {125, 290}, QRect(122, 299, 56, 14), true, true);
    row(IDC_USER_AGENT, "QLineEdit", "User Agent", {239, 290}, QRect(237, 299, 177, 14), true, true);
    row(IDC_MAC_ADDRESS, "QLineEdit", "Mac Address", {39, 326}, QRect(36, 335, 74, 14), true, true);
    row(IDC_WORKSTATION_NAME, "QLineEdit", "Workstation Name", {125, 326}, QRect(122, 335, 95, 14), true, true);
    row(IDC_USER_NAME, "QLineEdit", "User Name", {239, 326}, QRect(237, 335, 57, 14), true, true);
    row(IDC_PURPOSE, "QPlainTextEdit", "Purpose", {403, 14}, QRect(403, 24, 145, 29), true, true);
    row(IDC_ACTIVITY_SPIN, "CUpDownCtrl", "up-down", none, QRect(450, 326, 46, 14), false, false);
    row(IDC_ACTIVITY_POSITION, "QLabel", "position", none, QRect(440, 309, 75, 8), true, false);
    row(IDC_DATE_FROM, "CDateTimeCtrl", "Date From", {239, 236}, QRect(237, 244, 100, 15), false, false);
    row(IDC_DATE_TO, "CDateTimeCtrl", "Date To", {355, 236}, QRect(353, 244, 100, 15), false, false);
    row(IDC_CREATED_ON, "QLineEdit", "Created On (MM-DD-YYYY HH:MM:SS)", {315, 326}, QRect(313, 335, 123, 14), true,
        true);
    row(IDC_UPDATE_SOURCE, "QLineEdit", "Update Source", {39, 358}, QRect(36, 367, 181, 14), true, true);
    row(IDC_SOURCE_TAG, "QComboBox", "Source Tag", {163, 14}, QRect(164, 26, 57, 14), true, false);
    row(IDC_END_POINT, "QComboBox", "End Point", {239, 14}, QRect(240, 26, 148, 14), true, false);
    row(IDC_LOGIN_REQUIRED, "QLineEdit", "Login Required", {110, 84}, QRect(108, 92, 40, 14), true, true);
    row(IDC_LOGIN_USER_NAME, "QLineEdit", "Login User Name", {197, 54}, QRect(195, 63, 181, 14), true, true);
    row(IDC_LOGIN_PASSWORD, "QLineEdit", "Login Password", {197, 90}, QRect(195, 98, 181, 14), true, true);
    row(IDC_RESPONSE_XML, "QPlainTextEdit", "Response Xml", {404, 149}, QRect(403, 159, 182, 35), true, true);
    row(IDC_USE_MY_INFO, "QCheckBox", "Use My Info", none, QRect(558, 303, 55, 10), true, false);
}

void DialogLayoutTest::controls()
{
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, labelPosition);
    QFETCH(QRect, position);
    QFETCH(bool, enabled);
    QFETCH(bool, readOnly);

    const DialogUnits units(m_dlg->font());
    QWidget* control = Find<QWidget>(*m_dlg, id);
    QVERIFY(control != nullptr);
    QVERIFY2(control->inherits(kind.toLatin1().constData()), control->metaObject()->className());
    QCOMPARE(control->isEnabled(), enabled);

    const QRect expected = units.ToPixels(position.x(), position.y(), position.width(), position.height());
    QCOMPARE(control->pos(), expected.topLeft());
    // A check box may be wider than its template to show its whole caption.
    if (kind == QLatin1String("QCheckBox"))
        QVERIFY(control->width() >= expected.width());
    else
        QCOMPARE(control->width(), expected.width());
    QCOMPARE(control->height(), expected.height());

    if (const auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->isReadOnly(), readOnly);
        QVERIFY(edit->text().isEmpty());
    }
    if (const auto* edit = qobject_cast<QPlainTextEdit*>(control))
        QCOMPARE(edit->isReadOnly(), readOnly);
    if (const auto* button = qobject_cast<QAbstractButton*>(control))
        QCOMPARE(button->text(), caption);

    if (labelPosition.x() >= 0) {
        const QList<QLabel*> labels = m_dlg->findChildren<QLabel*>();
        const auto label = std::find_if(labels.begin(), labels.end(),
                                        [&](const QLabel* l) { return l->text() == caption; });
        QVERIFY2(label != labels.end(), qPrintable(caption));
        QCOMPARE((*label)->pos(), QPoint(units.Horizontal(labelPosition.x()), units.Vertical(labelPosition.y())));
        QVERIFY((*label)->alignment() & Qt::AlignLeft);
    }
}

void DialogLayoutTest::dialogIsFixedAtTemplateSize()
{
    const DialogUnits units(m_dlg->font());
    QCOMPARE(m_dlg->font().pointSize(), 8);
    QCOMPARE(m_dlg->size(), QSize(units.Horizontal(673), units.Vertical(396)));
    QCOMPARE(m_dlg->minimumSize(), m_dlg->maximumSize());
    QVERIFY(qobject_cast<QPushButton*>(Find<QPushButton>(*m_dlg, IDC_SUBMIT))->isDefault());
}

void DialogLayoutTest::tabOrderFollowsTheTemplate()
{
    const QList<int> expected = {IDCANCEL_BUTTON,      IDC_METHOD_NAME,      IDC_IDENTIFICATION_CODE,
                                 IDC_STATE_LIST,       IDC_TITLE_KEY,        IDC_RESPONSE_CODE,
                                 IDC_RESPONSE_MESSAGE, IDC_SUBMIT,           IDC_MAX_USERS,
                                 IDC_ACCOUNT_STATUS,   IDC_ACTIVITY_NAME,    IDC_IP_ADDRESS,
                                 IDC_USER_AGENT,       IDC_MAC_ADDRESS,      IDC_WORKSTATION_NAME,
                                 IDC_USER_NAME,        IDC_PURPOSE,          IDC_ACTIVITY_SPIN,
                                 IDC_DATE_FROM,        IDC_DATE_TO,          IDC_CREATED_ON,
                                 IDC_UPDATE_SOURCE,    IDC_SOURCE_TAG,       IDC_END_POINT,
                                 IDC_LOGIN_REQUIRED,   IDC_LOGIN_USER_NAME,  IDC_LOGIN_PASSWORD,
                                 IDC_RESPONSE_XML,     IDC_USE_MY_INFO};
    QList<int> order;
    QWidget* widget = Find<QWidget>(*m_dlg, IDCANCEL_BUTTON);
    do {
        bool numbered = false;
        const int id = widget->objectName().toInt(&numbered);
        if (numbered && (widget->focusPolicy() & Qt::TabFocus))
            order << id;
        widget = widget->nextInFocusChain();
    } while (widget != Find<QWidget>(*m_dlg, IDCANCEL_BUTTON));
    QCOMPARE(order, expected);
}

void DialogLayoutTest::listsAndTheirFirstSelection()
{
    const auto entries = [](const QComboBox* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    };
    const QComboBox* methods = Find<QComboBox>(*m_dlg, IDC_METHOD_NAME);
    QCOMPARE(entries(methods), QStringList({"qrmGetActivities", "qrmGetRights", "qrmGetStates", "qrmLogin",
                                            "qrmLogout", "qrmPutActivity", "qrmPutStates"}));
    QCOMPARE(methods->currentIndex(), -1);

    const QComboBox* tags = Find<QComboBox>(*m_dlg, IDC_SOURCE_TAG);
    QCOMPARE(entries(tags), QStringList({"NULL", "KWA", "QRM", "DXV", "HOL", "MZE", "PNU", "WUF"}));
    QCOMPARE(tags->currentText(), QStringLiteral("NULL"));

    const QComboBox* endPoints = Find<QComboBox>(*m_dlg, IDC_END_POINT);
    QCOMPARE(entries(endPoints), QStringList({"https://qrm-dev.orvane.com", "https://qrm-qa.orvane.com",
                                              "https://qrm.orvane.com"}));
    QCOMPARE(endPoints->currentIndex(), 0);
    QCOMPARE(m_dlg->GetSelectedEndPoint(), std::string("https://qrm-dev.orvane.com"));
}

void DialogLayoutTest::captionNamesTheDevelopmentService()
{
    QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Orvane Library Test App: ") + kDevelopmentService);
    QVERIFY(m_dlg->Settings() != nullptr);
    QCOMPARE(Q(m_dlg->Settings()->serviceUrl), kDevelopmentService);
    QCOMPARE(Q(m_dlg->Settings()->userAgent), QStringLiteral("ORVANE SDK for QRM"));
    QVERIFY(m_dlg->Client() != nullptr);
    QCOMPARE(&m_dlg->Client()->settings, m_dlg->Settings());
}

void DialogLayoutTest::endPointChoice_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("serviceUrl");

    QTest::newRow("QA") << QStringList{"https://qrm-qa.orvane.com"}
                        << "https://qrm-qa.orvane.com/qrmapps/web/services";
    QTest::newRow("QA then production") << QStringList{"https://qrm-qa.orvane.com", "https://qrm.orvane.com"}
                                        << "https://qrm.orvane.com/qrmapps/web/services";
    QTest::newRow("back to development") << QStringList{"https://qrm.orvane.com", "https://qrm-dev.orvane.com"}
                                         << kDevelopmentService;
}

void DialogLayoutTest::endPointChoice()
{
    QFETCH(QStringList, choices);
    QFETCH(QString, serviceUrl);

    // Only the address changes; whatever else the settings hold stays.
    OrvaneLib::ConnectionSettings* settings = m_dlg->MutableSettings();
    settings->userAgent = "Custom agent";
    settings->proxyServer = "proxy1";
    settings->proxyPort = 8080;
    settings->proxyUser = "pu";
    settings->proxyPassword = "pp";

    for (const QString& choice : choices)
        ChooseEntry(Find<QComboBox>(*m_dlg, IDC_END_POINT), choice);

    QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Orvane Library Test App: ") + serviceUrl);
    QCOMPARE(m_dlg->Settings(), settings);
    QCOMPARE(Q(settings->serviceUrl), serviceUrl);
    QCOMPARE(settings->userAgent, std::string("Custom agent"));
    QCOMPARE(settings->proxyServer, std::string("proxy1"));
    QCOMPARE(settings->proxyPort, 8080);
    QCOMPARE(settings->proxyUser, std::string("pu"));
    QCOMPARE(settings->proxyPassword, std::string("pp"));
    QCOMPARE(&m_dlg->Client()->settings, m_dlg->Settings());
}

void DialogLayoutTest::submitFollowsIdentificationCode()
{
    auto* code = Find<QLineEdit>(*m_dlg, IDC_IDENTIFICATION_CODE);
    auto* submit = Find<QPushButton>(*m_dlg, IDC_SUBMIT);
    ChooseEntry(Find<QComboBox>(*m_dlg, IDC_METHOD_NAME), QStringLiteral("qrmGetRights"));
    QVERIFY(!submit->isEnabled());

    QTest::keyClicks(code, QStringLiteral("a"));
    QVERIFY(submit->isEnabled());
    QTest::keyClick(code, Qt::Key_Backspace);
    QVERIFY(!submit->isEnabled());

    // Changes made by the program count as well.
    code->setText(QStringLiteral("X1"));
    QVERIFY(submit->isEnabled());
    code->clear();
    QVERIFY(!submit->isEnabled());
}

void DialogLayoutTest::nothingCanBeTypedBeforeAnOperationIsChosen()
{
    for (QLineEdit* edit : m_dlg->findChildren<QLineEdit*>()) {
        if (edit->objectName().toInt() == 0)
            continue;  // the date pickers' own text fields
        QTest::keyClicks(edit, QStringLiteral("x"));
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    QVERIFY(!Find<QPushButton>(*m_dlg, IDC_SUBMIT)->isEnabled());
}

void DialogLayoutTest::aboutCommandOpensTheAboutBox()
{
    const QList<QAction*> actions = m_dlg->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions[0]->text(), QStringLiteral("&About OrvaneLibTest..."));
    QCOMPARE(m_dlg->contextMenuPolicy(), Qt::ActionsContextMenu);

    bool inspected = false;
    WhenModalOpens([&inspected](QWidget* modal) {
        QVERIFY(qobject_cast<CAboutDlg*>(modal) != nullptr);
        QCOMPARE(modal->windowTitle(), QStringLiteral("About OrvaneLibTest"));
        const QList<QString> texts = LabelTexts(*modal);
        QVERIFY(texts.contains(QStringLiteral("OrvaneLibTest, Version 1.0")));
        QVERIFY(texts.contains(QStringLiteral("Copyright (C) 2026 Orvane")));
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("1"));
        QVERIFY(ok != nullptr);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        inspected = true;
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    actions[0]->trigger();
    QVERIFY(inspected);
    QVERIFY(m_dlg->isVisible());
}

void DialogLayoutTest::messageBoxHasWarningIconAndOkButton()
{
    bool inspected = false;
    WhenModalOpens([&inspected](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), QStringLiteral("Could not reach server."));
        QCOMPARE(box->windowTitle(), QApplication::applicationName());
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        inspected = true;
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    m_dlg->ShowRealMessageBox(QStringLiteral("Could not reach server."));
    QVERIFY(inspected);
}

void DialogLayoutTest::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Escape key") << "escape";
    QTest::newRow("close box") << "close";
}

void DialogLayoutTest::closing()
{
    QFETCH(QString, how);
    if (how == QLatin1String("cancel"))
        QTest::mouseClick(Find<QPushButton>(*m_dlg, IDCANCEL_BUTTON), Qt::LeftButton);
    else if (how == QLatin1String("escape"))
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
    else
        m_dlg->close();

    QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
    QVERIFY(!m_dlg->isVisible());
    QVERIFY(m_dlg->Settings() == nullptr);
    QVERIFY(m_dlg->Client() == nullptr);
}

QTEST_MAIN(DialogLayoutTest)
#include "DialogLayoutTest.moc"
