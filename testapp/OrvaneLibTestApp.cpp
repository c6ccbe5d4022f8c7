#include "OrvaneLibTestApp.h"

#include "OrvaneLibTestDlg.h"

COrvaneLibTestApp::COrvaneLibTestApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("OrvaneLibTest"));
}

bool COrvaneLibTestApp::InitInstance()
{
    // The profile key is recorded but nothing is stored under it.
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));

    COrvaneLibTestDlg dlg;
    dlg.exec();
    return false;
}
