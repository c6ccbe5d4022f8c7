#pragma once

#include <QRect>

class QFont;

// Converts dialog-template units into pixels for a given dialog font: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int Horizontal(int units) const;
    int Vertical(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    int m_baseX;
    int m_baseY;
};
