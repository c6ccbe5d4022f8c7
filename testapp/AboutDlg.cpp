#include "AboutDlg.h"

#include "DialogUnits.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    QFont dialogFont = QApplication::font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    const DialogUnits units(dialogFont);

    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About OrvaneLibTest"));
    setFixedSize(units.Horizontal(170), units.Vertical(62));

    constexpr int kIconSize = 32;
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/OrvaneLibTest/OrvaneLibTest.png")).pixmap(kIconSize, kIconSize));
    icon->setGeometry(units.Horizontal(14), units.Vertical(14), kIconSize, kIconSize);

    auto* version = new QLabel(tr("OrvaneLibTest, Version 1.0"), this);
    version->setGeometry(units.ToPixels(42, 14, 114, 8));

    auto* copyright = new QLabel(tr("Copyright (C) 2026 Orvane"), this);
    copyright->setGeometry(units.ToPixels(42, 26, 114, 8));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.ToPixels(113, 41, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
