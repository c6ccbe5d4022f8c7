// The activity browser: one kept activity at a time in the activity boxes,
// stepped through with the up-down control.
#include "OrvaneLibTestDlg.h"

#include "TextConversion.h"
#include "UpDownCtrl.h"

#include <QLabel>
#include <QLineEdit>

#include <iterator>

void COrvaneLibTestDlg::ShowActivity(int index)
{
    const std::list<OrvaneLib::ActivityRecord>& activities = m_activities.activities;
    if (activities.empty()) {
        for (QLineEdit* box : {m_titleKey, m_activityName, m_ipAddress, m_userAgent, m_macAddress, m_workstationName,
                               m_userName})
            box->clear();
        m_activityPosition->clear();
        m_createdOn->clear();
        m_updateSource->clear();
        m_activitySpin->setEnabled(false);
        return;
    }

    const std::size_t position = index > 0 ? static_cast<std::size_t>(index) : 0;
    if (position >= activities.size())
        return;
    const OrvaneLib::ActivityRecord& record = *std::next(activities.begin(), static_cast<long>(position));

    m_userName->setText(ToQString(record.userName));
    m_activityName->setText(ToQString(record.activityText));
    m_macAddress->setText(ToQString(record.macAddress));
    m_workstationName->setText(ToQString(record.workstationName));
    m_userAgent->setText(ToQString(record.userAgent));
    m_titleKey->setText(ToQString(record.titleKey));
    m_ipAddress->setText(ToQString(record.ipAddress));
    m_updateSource->setText(ToQString(record.updSource));
    m_activityPosition->setText(QStringLiteral("Activity %1 of %2").arg(position + 1).arg(activities.size()));
    m_createdOn->setText(ToQString(record.createDate));
}

void COrvaneLibTestDlg::OnDeltaposActivitySpin(NmUpDown* pNMUpDown, int* pResult)
{
    *pResult = 0;
    const long long newIndex = static_cast<long long>(pNMUpDown->iPos) + pNMUpDown->iDelta;
    if (newIndex < static_cast<long long>(m_activities.activities.size()))
        ShowActivity(static_cast<int>(newIndex));
}
