// The horizontal up-down control: it announces every step with the current
// position and the proposed change before it moves, and never wraps.
#include "UpDownCtrl.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class UpDownCtrlTest : public QObject {
    Q_OBJECT
private slots:
    void step_data();
    void step();
    void arrowsPointLeftAndRight();
};

void UpDownCtrlTest::step_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("veto");
    QTest::addColumn<int>("notifiedDelta");
    QTest::addColumn<int>("finalPosition");

    QTest::newRow("right arrow steps up") << 0 << 2 << 0 << "up arrow" << false << 1 << 1;
    QTest::newRow("left arrow steps down") << 0 << 2 << 2 << "down arrow" << false << -1 << 1;
    QTest::newRow("up at the upper end is announced, no wrap") << 0 << 2 << 2 << "up arrow" << false << 1 << 2;
    QTest::newRow("down at the lower end is announced, no wrap") << 0 << 2 << 0 << "down arrow" << false << -1 << 0;
    QTest::newRow("a non-zero result cancels the step") << 0 << 2 << 1 << "up arrow" << true << 1 << 1;
    QTest::newRow("positions beyond 16 bits") << 0 << 100000 << 40000 << "up arrow" << false << 1 << 40001;
    QTest::newRow("right key steps up") << 0 << 5 << 3 << "right key" << false << 1 << 4;
    QTest::newRow("left key steps down") << 0 << 5 << 3 << "left key" << false << -1 << 2;
}

void UpDownCtrlTest::step()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, start);
    QFETCH(QString, input);
    QFETCH(bool, veto);
    QFETCH(int, notifiedDelta);
    QFETCH(int, finalPosition);

    CUpDownCtrl control;
    control.resize(70, 22);
    control.show();
    control.SetRange32(lower, upper);
    control.SetPos32(start);

    QList<NmUpDown> notifications;
    connect(&control, &CUpDownCtrl::DeltaPos, this, [&](NmUpDown* notification, int* result) {
        notifications << *notification;
        *result = veto ? 1 : 0;
    });

    if (input == QLatin1String("up arrow"))
        QTest::mouseClick(control.UpArrow(), Qt::LeftButton);
    else if (input == QLatin1String("down arrow"))
        QTest::mouseClick(control.DownArrow(), Qt::LeftButton);
    else if (input == QLatin1String("right key"))
        QTest::keyClick(&control, Qt::Key_Right);
    else
        QTest::keyClick(&control, Qt::Key_Left);

    QCOMPARE(notifications.size(), 1);
    QCOMPARE(notifications[0].iPos, start);
    QCOMPARE(notifications[0].iDelta, notifiedDelta);
    QCOMPARE(control.GetPos32(), finalPosition);
}

void UpDownCtrlTest::arrowsPointLeftAndRight()
{
    CUpDownCtrl control;
    QCOMPARE(control.DownArrow()->arrowType(), Qt::LeftArrow);
    QCOMPARE(control.UpArrow()->arrowType(), Qt::RightArrow);
}

QTEST_MAIN(UpDownCtrlTest)
#include "UpDownCtrlTest.moc"
