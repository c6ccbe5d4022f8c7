#pragma once

#include <QDialog>

// The About box: the application icon, name, version and copyright.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
