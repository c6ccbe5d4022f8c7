#include "UpDownCtrl.h"

#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>

CUpDownCtrl::CUpDownCtrl(QWidget* parent)
    : QWidget(parent), m_down(new QToolButton(this)), m_up(new QToolButton(this))
{
    m_down->setArrowType(Qt::LeftArrow);
    m_up->setArrowType(Qt::RightArrow);
    for (QToolButton* arrow : {m_down, m_up}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    setFocusPolicy(Qt::TabFocus);
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
}

void CUpDownCtrl::SetRange32(int lower, int upper)
{
    m_lower = std::min(lower, upper);
    m_upper = std::max(lower, upper);
    m_position = Clamp(m_position);
}

void CUpDownCtrl::SetPos32(int position) { m_position = Clamp(position); }

int CUpDownCtrl::Clamp(int position) const { return std::clamp(position, m_lower, m_upper); }

void CUpDownCtrl::Step(int delta)
{
    // The receiver hears of the step even at the ends of the range; the
    // position itself never leaves the range (no wrap).
    NmUpDown notification{m_position, delta};
    int result = 0;
    emit DeltaPos(&notification, &result);
    if (result != 0)
        return;
    const long long proposed = static_cast<long long>(m_position) + delta;
    m_position = static_cast<int>(std::clamp<long long>(proposed, m_lower, m_upper));
}

void CUpDownCtrl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        Step(+1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        Step(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CUpDownCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = width() / 2;
    m_down->setGeometry(0, 0, half, height());
    m_up->setGeometry(half, 0, width() - half, height());
}
