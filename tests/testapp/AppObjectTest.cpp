// The application object: InitInstance shows the main dialog modally and
// returns false once it closes, so that the program ends.
#include "OrvaneLibTestApp.h"
#include "OrvaneLibTestDlg.h"

#include <QTest>
#include <QTimer>

class AppObjectTest : public QObject {
    Q_OBJECT
private slots:
    void initInstanceRunsTheDialogAndEnds();
};

void AppObjectTest::initInstanceRunsTheDialogAndEnds()
{
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<COrvaneLibTestDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        shown = dialog->isVisible();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });

    auto* app = qobject_cast<COrvaneLibTestApp*>(QCoreApplication::instance());
    QVERIFY(app != nullptr);
    QCOMPARE(app->InitInstance(), false);
    QVERIFY(shown);
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("OrvaneLibTest"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Local AppWizard-Generated Applications"));
}

// The program's own application object stands in for the one that
// QTEST_MAIN would make.
int main(int argc, char** argv)
{
    COrvaneLibTestApp app(argc, argv);
    AppObjectTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppObjectTest.moc"
