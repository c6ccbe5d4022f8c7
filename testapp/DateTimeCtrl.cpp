#include "DateTimeCtrl.h"

#include <QLocale>

CDateTimeCtrl::CDateTimeCtrl(const QDateTime& value, QWidget* parent) : QDateTimeEdit(parent)
{
    // With only date sections on show, the edit itself keeps no time of
    // day; the picker keeps it beside the date.
    setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    setCalendarPopup(true);
    SetTime(value);
}

QDateTime CDateTimeCtrl::GetTime() const { return QDateTime(date(), m_timeOfDay); }

void CDateTimeCtrl::SetTime(const QDateTime& value)
{
    m_timeOfDay = value.time();
    setDate(value.date());
}
