#include "DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace {

// Scales like the platform's MulDiv: rounded to the nearest pixel.
int Scale(int units, int base, int divisor)
{
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as dialog
    // templates have always measured their font.
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int DialogUnits::Horizontal(int units) const { return Scale(units, m_baseX, 4); }

int DialogUnits::Vertical(int units) const { return Scale(units, m_baseY, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const
{
    return QRect(Horizontal(x), Vertical(y), Horizontal(width), Vertical(height));
}
