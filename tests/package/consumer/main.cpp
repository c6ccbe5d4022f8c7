// A program that uses the installed library the way a customer would.
#include <OrvaneLib/OrvaneLib.h>
#include <OrvaneLib/UserInfo.h>

#include <cstdio>
#include <string>

int main() {
    OrvaneLib::ConnectionSettings settings;
    OrvaneLib::GetRightsRequest request;
    OrvaneLib::GetRightsResponse response;
    response.Reset();
    if (request.source != "QRM" || settings.proxyPort != -1 || response.statusCode != 0) {
        std::puts("unexpected defaults");
        return 1;
    }

    // Build and sign one document: the body ends with a line feed and the
    // 44-character Base64 signature.
    request.idCode = "12345";
    OrvaneLib::RequestParameters parameters;
    OrvaneLib::BuildRequestParameters(request, parameters);
    const std::string& body = parameters["HttpRequestString"];
    const std::string::size_type lineFeed = body.rfind('\n');
    const std::string signature = lineFeed == std::string::npos ? std::string() : body.substr(lineFeed + 1);
    if (parameters["Action"] != "qrmGetRights" || signature.size() != 44 || signature.back() != '=' ||
        signature != OrvaneLib::SignDocument(body.substr(0, lineFeed), OrvaneLib::SigningKey)) {
        std::puts("unexpected signed request");
        return 1;
    }

    // The identity snapshot comes with the same package.
    UserInfo info;
    if (!info.Retrieve() || info.userName == nullptr) {
        std::puts("identity snapshot failed");
        return 1;
    }
    std::puts("consumer ok");
    return 0;
}
