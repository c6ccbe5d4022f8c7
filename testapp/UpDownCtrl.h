#pragma once

#include <QWidget>

class QToolButton;

// What the up-down control proposes before it moves: the current position
// and the change that the pressed arrow asks for.
struct NmUpDown {
    int iPos;
    int iDelta;
};

// A horizontal up-down control: a left (down) and a right (up) arrow that
// step a position inside a range, without wrapping. Before every step it
// emits DeltaPos; the step is applied only when the receiver leaves the
// result at 0.
class CUpDownCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CUpDownCtrl(QWidget* parent = nullptr);

    // lower <= upper; the position is kept inside the range.
    void SetRange32(int lower, int upper);
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }
    void SetPos32(int position);
    int GetPos32() const { return m_position; }

    // The arrows, for tests that click them.
    QToolButton* DownArrow() const { return m_down; }
    QToolButton* UpArrow() const { return m_up; }

signals:
    // Delivered synchronously; a non-zero *result cancels the step.
    void DeltaPos(NmUpDown* notification, int* result);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Step(int delta);
    int Clamp(int position) const;

    QToolButton* m_down;
    QToolButton* m_up;
    int m_lower = 0;
    int m_upper = 0;
    int m_position = 0;
};
