// Activity.log beside the executable.
#include "OrvaneLibTestDlg.h"

#include "ActivityLog.h"

#include <QCoreApplication>

void COrvaneLibTestDlg::WriteActivityLog(const std::list<OrvaneLib::ActivityRecord>& activities)
{
    // A log that cannot be opened is skipped: the submission does not
    // depend on it.
    WriteActivityLogFile(ActivityLogPath(ModuleFileName()), activities);
}

QString COrvaneLibTestDlg::ModuleFileName() const { return QCoreApplication::applicationFilePath(); }
