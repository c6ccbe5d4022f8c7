// The activities of a qrmGetActivities submission: stepping through them
// with the up-down control, and Activity.log beside the executable, byte
// for byte. Queries go to a scripted service on loopback.
#include "DateTimeCtrl.h"
#include "ScriptedService.h"
#include "TestableDlg.h"
#include "UpDownCtrl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

namespace {

using OrvaneLib::ActivityRecord;

ActivityRecord Record(int n, const std::string& name)
{
    const std::string digit = std::to_string(n);
    ActivityRecord record;
    record.activityText = name;
    record.ipAddress = "10.0.0." + digit;
    record.userAgent = "Agent " + digit;
    record.macAddress = "00000000000" + digit;
    record.workstationName = "WS" + digit;
    record.userName = "user" + digit;
    record.titleKey = "TK" + digit;
    record.createDate = "03-0" + digit + "-2026 10:00:0" + digit;
    record.updSource = "SRC" + digit;
    return record;
}

const std::vector<ActivityRecord> kThreeRecords = {Record(1, "First"), Record(2, "Second"), Record(3, "Thírd")};

// The boxes that show an activity, with the position label.
const QList<int> kBrowserBoxes = {IDC_TITLE_KEY,   IDC_ACTIVITY_NAME,    IDC_IP_ADDRESS, IDC_USER_AGENT,
                                  IDC_MAC_ADDRESS, IDC_WORKSTATION_NAME, IDC_USER_NAME,  IDC_CREATED_ON,
                                  IDC_UPDATE_SOURCE};

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

}  // namespace

class ActivityBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void stepping_data();
    void stepping();
    void showsEveryFieldOfTheRecord();
    void recordWithEmptyFieldsEmptiesTheBoxes();
    void queryWithoutRecords();
    void logFileBytes();
    void secondQueryReplacesTheLog();
    void logThatCannotBeOpenedIsSkipped();
    void choosingAnOperationKeepsTheActivities();
    void failedQueryEmptiesTheBrowser();
    void browserSurvives_data();
    void browserSurvives();
    void listsLongerThanSixteenBits();

private:
    void Query(const std::vector<ActivityRecord>& records);
    QString Text(int id) const { return Find<QLineEdit>(*m_dlg, id)->text(); }
    QString Position() const { return Find<QLabel>(*m_dlg, IDC_ACTIVITY_POSITION)->text(); }
    CUpDownCtrl* Spin() const { return Find<CUpDownCtrl>(*m_dlg, IDC_ACTIVITY_SPIN); }
    void Step(int delta) { QTest::mouseClick(delta > 0 ? Spin()->UpArrow() : Spin()->DownArrow(), Qt::LeftButton); }

    std::unique_ptr<ScriptedService> m_service;
    std::unique_ptr<TestableDlg> m_dlg;
};

void ActivityBrowserTest::initTestCase() { m_service = std::make_unique<ScriptedService>(); }

void ActivityBrowserTest::init()
{
    m_service->Reset();
    m_dlg = std::make_unique<TestableDlg>();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    ChooseEntry(Find<QComboBox>(*m_dlg, IDC_METHOD_NAME), QStringLiteral("qrmGetActivities"));
    QTest::keyClicks(Find<QLineEdit>(*m_dlg, IDC_IDENTIFICATION_CODE), QStringLiteral("C1"));
}

void ActivityBrowserTest::cleanup() { m_dlg.reset(); }

void ActivityBrowserTest::Query(const std::vector<ActivityRecord>& records)
{
    m_service->Script("qrmGetRights", RightsReply().Xml());
    m_service->Script("qrmGetActivities", ActivitiesReply(records));
    QTest::mouseClick(Find<QPushButton>(*m_dlg, IDC_SUBMIT), Qt::LeftButton);
}

void ActivityBrowserTest::stepping_data()
{
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("activity");

    QTest::newRow("the first is shown") << QList<int>{} << "Activity 1 of 3" << "First";
    QTest::newRow("one step up") << QList<int>{+1} << "Activity 2 of 3" << "Second";
    QTest::newRow("two steps up") << QList<int>{+1, +1} << "Activity 3 of 3" << "Thírd";
    QTest::newRow("a further step up changes nothing") << QList<int>{+1, +1, +1} << "Activity 3 of 3" << "Thírd";
    QTest::newRow("a step down from the first shows the first") << QList<int>{-1} << "Activity 1 of 3" << "First";
    QTest::newRow("up and down again") << QList<int>{+1, -1} << "Activity 1 of 3" << "First";
    QTest::newRow("down after running into the end") << QList<int>{+1, +1, +1, -1} << "Activity 2 of 3"
                                                     << "Second";
}

void ActivityBrowserTest::stepping()
{
    QFETCH(QList<int>, steps);
    QFETCH(QString, position);
    QFETCH(QString, activity);

    Query(kThreeRecords);
    QVERIFY(Spin()->isEnabled());
    QCOMPARE(Spin()->GetLower(), 0);
    QCOMPARE(Spin()->GetUpper(), 2);
    QCOMPARE(Spin()->GetPos32(), 0);

    for (int delta : steps)
        Step(delta);

    QCOMPARE(Position(), position);
    QCOMPARE(Text(IDC_ACTIVITY_NAME), activity);
}

void ActivityBrowserTest::showsEveryFieldOfTheRecord()
{
    Query(kThreeRecords);
    Step(+1);
    Step(+1);

    QCOMPARE(Text(IDC_ACTIVITY_NAME), QStringLiteral("Thírd"));
    QCOMPARE(Text(IDC_IP_ADDRESS), QStringLiteral("10.0.0.3"));
    QCOMPARE(Text(IDC_USER_AGENT), QStringLiteral("Agent 3"));
    QCOMPARE(Text(IDC_MAC_ADDRESS), QStringLiteral("000000000003"));
    QCOMPARE(Text(IDC_WORKSTATION_NAME), QStringLiteral("WS3"));
    QCOMPARE(Text(IDC_USER_NAME), QStringLiteral("user3"));
    QCOMPARE(Text(IDC_TITLE_KEY), QStringLiteral("TK3"));
    QCOMPARE(Text(IDC_CREATED_ON), QStringLiteral("03-03-2026 10:00:03"));
    QCOMPARE(Text(IDC_UPDATE_SOURCE), QStringLiteral("SRC3"));
    QCOMPARE(Text(IDC_RESPONSE_CODE), QStringLiteral("1"));
    QCOMPARE(Text(IDC_RESPONSE_MESSAGE), QStringLiteral("Activities read"));
    QCOMPARE(Find<QPlainTextEdit>(*m_dlg, IDC_RESPONSE_XML)->toPlainText(), Q(ActivitiesReply(kThreeRecords)));
}

void ActivityBrowserTest::recordWithEmptyFieldsEmptiesTheBoxes()
{
    Query({Record(1, "First"), ActivityRecord()});
    Step(+1);

    QCOMPARE(Position(), QStringLiteral("Activity 2 of 2"));
    for (int id : kBrowserBoxes)
        QVERIFY2(Text(id).isEmpty(), qPrintable(QString::number(id)));
}

void ActivityBrowserTest::queryWithoutRecords()
{
    Query(kThreeRecords);
    const QByteArray logBefore = FileBytes(m_dlg->ActivityLogFile());
    QVERIFY(!logBefore.isEmpty());

    Query({});

    for (int id : kBrowserBoxes)
        QVERIFY2(Text(id).isEmpty(), qPrintable(QString::number(id)));
    QVERIFY(Position().isEmpty());
    QVERIFY(!Spin()->isEnabled());
    QVERIFY(m_dlg->KeptActivities().empty());
    QCOMPARE(Text(IDC_RESPONSE_CODE), QStringLiteral("1"));
    QCOMPARE(Text(IDC_RESPONSE_MESSAGE), QStringLiteral("Activities read"));
    QCOMPARE(Find<QPlainTextEdit>(*m_dlg, IDC_RESPONSE_XML)->toPlainText(), Q(ActivitiesReply({})));
    QCOMPARE(FileBytes(m_dlg->ActivityLogFile()), logBefore);
}

void ActivityBrowserTest::logFileBytes()
{
    ActivityRecord second = Record(2, "two\nlines");
    second.titleKey.clear();
    Query({Record(1, "First"), second});

    const QByteArray expected =
        "Activity: First\r\r\n"
        "Mac Address: 000000000001\r\r\n"
        "Workstation Name: WS1\r\r\n"
        "User Agent: Agent 1\r\r\n"
        "Title Key: TK1\r\r\n"
        "Ip Address: 10.0.0.1\r\r\n"
        "Update Source: SRC1\r\r\n"
        "Created On: 03-01-2026 10:00:01\r\r\n"
        "\r\n"
        "Activity: two\r\nlines\r\r\n"
        "Mac Address: 000000000002\r\r\n"
        "Workstation Name: WS2\r\r\n"
        "User Agent: Agent 2\r\r\n"
        "Title Key: \r\r\n"
        "Ip Address: 10.0.0.2\r\r\n"
        "Update Source: SRC2\r\r\n"
        "Created On: 03-02-2026 10:00:02\r\r\n"
        "\r\n";
    QCOMPARE(FileBytes(m_dlg->ActivityLogFile()), expected);
}

void ActivityBrowserTest::secondQueryReplacesTheLog()
{
    Query(kThreeRecords);
    Query({Record(7, "Only")});

    const QByteArray log = FileBytes(m_dlg->ActivityLogFile());
    QCOMPARE(log.count("Activity: "), qsizetype(1));
    QVERIFY(log.startsWith("Activity: Only\r\r\n"));
    QVERIFY(log.endsWith("Created On: 03-07-2026 10:00:07\r\r\n\r\n"));
}

void ActivityBrowserTest::logThatCannotBeOpenedIsSkipped()
{
    // A folder where the log should be: the file cannot be opened.
    QVERIFY(QDir(m_dlg->logFolder.path()).mkdir(QStringLiteral("Activity.log")));

    Query(kThreeRecords);

    QVERIFY(QFileInfo(m_dlg->ActivityLogFile()).isDir());
    QVERIFY(QDir(m_dlg->ActivityLogFile()).isEmpty());
    QCOMPARE(Position(), QStringLiteral("Activity 1 of 3"));
    QVERIFY(Spin()->isEnabled());
    QCOMPARE(Text(IDC_RESPONSE_CODE), QStringLiteral("1"));
    QCOMPARE(m_dlg->messages, QStringList());
}

void ActivityBrowserTest::choosingAnOperationKeepsTheActivities()
{
    Query(kThreeRecords);
    Step(+1);

    ChooseEntry(Find<QComboBox>(*m_dlg, IDC_METHOD_NAME), QStringLiteral("qrmGetRights"));

    QVERIFY(Position().isEmpty());
    QVERIFY(Text(IDC_CREATED_ON).isEmpty());
    QVERIFY(Text(IDC_ACTIVITY_NAME).isEmpty());
    QVERIFY(!Spin()->isEnabled());
    QCOMPARE(m_dlg->KeptActivities().size(), std::size_t(3));
}

void ActivityBrowserTest::failedQueryEmptiesTheBrowser()
{
    Query(kThreeRecords);
    m_service->Script("qrmGetActivities", "busy", 500);
    QTest::mouseClick(Find<QPushButton>(*m_dlg, IDC_SUBMIT), Qt::LeftButton);

    QCOMPARE(m_dlg->messages, QStringList{"Could not reach server."});
    QVERIFY(m_dlg->KeptActivities().empty());
    QVERIFY(Position().isEmpty());
    QVERIFY(Text(IDC_ACTIVITY_NAME).isEmpty());
    QVERIFY(!Spin()->isEnabled());
    QVERIFY(Find<QPlainTextEdit>(*m_dlg, IDC_RESPONSE_XML)->toPlainText().isEmpty());
}

void ActivityBrowserTest::browserSurvives_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("dates in the wrong order") << "date order";
    QTest::newRow("rights check refused") << "rights";
}

void ActivityBrowserTest::browserSurvives()
{
    QFETCH(QString, failure);

    Query(kThreeRecords);
    Step(+1);
    const QByteArray log = FileBytes(m_dlg->ActivityLogFile());
    if (failure == QLatin1String("date order")) {
        auto* from = Find<CDateTimeCtrl>(*m_dlg, IDC_DATE_FROM);
        from->SetTime(Find<CDateTimeCtrl>(*m_dlg, IDC_DATE_TO)->GetTime().addDays(1));
    } else {
        RightsReply inactive;
        inactive.subStatus = "I";
        m_service->Script("qrmGetRights", inactive.Xml());
    }
    m_service->Script("qrmGetActivities", ActivitiesReply({Record(9, "Never shown")}));
    QTest::mouseClick(Find<QPushButton>(*m_dlg, IDC_SUBMIT), Qt::LeftButton);

    QCOMPARE(m_dlg->KeptActivities().size(), std::size_t(3));
    QCOMPARE(Position(), QStringLiteral("Activity 2 of 3"));
    QCOMPARE(FileBytes(m_dlg->ActivityLogFile()), log);
    Step(+1);
    QCOMPARE(Text(IDC_ACTIVITY_NAME), QStringLiteral("Thírd"));
}

void ActivityBrowserTest::listsLongerThanSixteenBits()
{
    const int count = 32770;
    std::vector<ActivityRecord> records(count);
    for (int i = 0; i < count; ++i)
        records[i].activityText = std::to_string(i + 1);
    Query(records);

    QCOMPARE(Position(), QStringLiteral("Activity 1 of 32770"));
    QCOMPARE(Spin()->GetUpper(), count - 1);

    Spin()->SetPos32(32768);
    Step(+1);
    QCOMPARE(Position(), QStringLiteral("Activity 32770 of 32770"));
    QCOMPARE(Text(IDC_ACTIVITY_NAME), QStringLiteral("32770"));
}

QTEST_MAIN(ActivityBrowserTest)
#include "ActivityBrowserTest.moc"
