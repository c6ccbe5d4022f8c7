#include "OrvaneLibTestApp.h"

int main(int argc, char** argv)
{
    COrvaneLibTestApp app(argc, argv);
    app.InitInstance();
    return 0;
}
