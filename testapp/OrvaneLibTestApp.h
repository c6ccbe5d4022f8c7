#pragma once

#include <QApplication>

// The application object: runs the main dialog modally and ends the
// program when it closes.
class COrvaneLibTestApp : public QApplication {
    Q_OBJECT
public:
    COrvaneLibTestApp(int& argc, char** argv);

    // Shows the main dialog and returns false once it has closed, so that
    // the program ends.
    bool InitInstance();
};
