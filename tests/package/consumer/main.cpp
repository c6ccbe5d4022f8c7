// A program that uses the installed library the way a customer would.
#include <OrvaneLib/OrvaneLib.h>

#include <cstdio>

int main() {
    OrvaneLib::ConnectionSettings settings;
    OrvaneLib::GetRightsRequest request;
    OrvaneLib::GetRightsResponse response;
    response.Reset();
    if (request.source != "QRM" || settings.proxyPort != -1 || response.statusCode != 0) {
        std::puts("unexpected defaults");
        return 1;
    }
    std::puts("consumer ok");
    return 0;
}
