#pragma once

#include <QDateTime>
#include <QDateTimeEdit>

// A date picker with a calendar drop-down that shows the short date and
// holds a full date and time of day: the time it was given stays while the
// tester changes the date.
class CDateTimeCtrl : public QDateTimeEdit {
    Q_OBJECT
public:
    CDateTimeCtrl(const QDateTime& value, QWidget* parent);

    QDateTime GetTime() const;
    void SetTime(const QDateTime& value);

private:
    QTime m_timeOfDay;
};
