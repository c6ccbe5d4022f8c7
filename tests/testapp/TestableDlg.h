#pragma once

// The real main dialog with its replaceable pieces pointed at the test:
// message boxes are recorded instead of shown, Activity.log goes to a
// folder of the test's choosing, and the workstation snapshot can fail.
#include "ControlIds.h"
#include "OrvaneLibTestDlg.h"

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

class TestableDlg : public COrvaneLibTestDlg {
public:
    TestableDlg() : moduleFileName(logFolder.filePath(QStringLiteral("OrvaneLibTest"))) {}

    QStringList messages;          // every message box, in order
    QTemporaryDir logFolder;       // holds Activity.log unless moved
    QString moduleFileName;        // the executable's path as the dialog sees it
    bool userInfoFails = false;    // Retrieve reports that it could not start

    const OrvaneLib::ConnectionSettings* Settings() const { return m_pSettings.get(); }
    OrvaneLib::ConnectionSettings* MutableSettings() { return m_pSettings.get(); }
    const OrvaneLib::ServiceClient* Client() const { return m_pClient.get(); }
    const std::list<OrvaneLib::ActivityRecord>& KeptActivities() const { return m_activities.activities; }

    QString ActivityLogFile() const { return logFolder.filePath(QStringLiteral("Activity.log")); }

    // The real message box, for the test that looks at it.
    void ShowRealMessageBox(const QString& text) { COrvaneLibTestDlg::ShowMessageBox(text); }

protected:
    void ShowMessageBox(const QString& text) override { messages << text; }
    QString ModuleFileName() const override { return moduleFileName; }
    bool RetrieveUserInfo(UserInfo& info) override
    {
        return userInfoFails ? false : COrvaneLibTestDlg::RetrieveUserInfo(info);
    }
};

template <typename Control>
Control* Find(const QWidget& dialog, int id)
{
    return dialog.findChild<Control*>(QString::number(id));
}

inline QString Q(const std::string& bytes) { return QString::fromStdString(bytes); }

// What the list does when the tester picks an entry: select it, then report
// the choice.
inline void ChooseEntry(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    list->setCurrentIndex(index);
    emit list->activated(index);
}
