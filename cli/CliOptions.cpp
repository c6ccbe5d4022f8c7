#include "CliOptions.h"

#include <CLI/CLI.hpp>

#include <cctype>

namespace OrvaneCli {

namespace {

bool AllDigits(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return true;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

std::optional<std::pair<std::string, std::int32_t>> ParseProxy(const std::string& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return std::nullopt;
    }
    const std::string port = text.substr(colon + 1);
    if (!AllDigits(port) || port.size() > 5) {
        return std::nullopt;
    }
    const int number = std::stoi(port);
    if (number < 1 || number > 65535) {
        return std::nullopt;
    }
    return std::make_pair(text.substr(0, colon), static_cast<std::int32_t>(number));
}

std::optional<OrvaneLib::SystemTime> ParseDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !AllDigits(text.substr(0, 4)) ||
        !AllDigits(text.substr(5, 2)) || !AllDigits(text.substr(8, 2))) {
        return std::nullopt;
    }
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    OrvaneLib::SystemTime date;
    date.year = static_cast<std::uint16_t>(year);
    date.month = static_cast<std::uint16_t>(month);
    date.day = static_cast<std::uint16_t>(day);
    return date;
}

OrvaneLib::ConnectionSettings ConnectionOptions::Settings() const {
    OrvaneLib::ConnectionSettings settings;
    settings.serviceUrl = url;
    if (const auto parsed = ParseProxy(proxy)) {
        settings.proxyServer = parsed->first;
        settings.proxyPort = parsed->second;
    }
    settings.proxyUser = proxyUser;
    settings.proxyPassword = proxyPassword;
    return settings;
}

void AddConnectionOptions(CLI::App& app, ConnectionOptions& options) {
    const CLI::Validator proxyText(
        [](std::string& text) { return ParseProxy(text) ? std::string() : "expected HOST:PORT, got " + text; },
        "HOST:PORT");
    app.add_option("--url", options.url, "Service root, e.g. https://qrm-dev.orvane.com/qrmapps/web/services")
        ->envname("ORVANE_SERVICE_URL")
        ->capture_default_str();
    app.add_option("--proxy", options.proxy, "HTTP proxy as HOST:PORT")->check(proxyText);
    app.add_option("--proxy-user", options.proxyUser, "User name for the proxy");
    app.add_option("--proxy-password", options.proxyPassword, "Password for the proxy")
        ->envname("ORVANE_PROXY_PASSWORD");
    app.add_flag("--json", options.json, "Print one JSON object instead of text");
    app.add_flag("--xml", options.xml, "Also print the raw reply (text output)");
}

void AddRequestOptions(CLI::App& command, OrvaneLib::RequestBase& request) {
    command.add_option("--id-code", request.idCode, "Identification code of the account")->required();
    command.add_option("--source", request.source, "Source tag")->capture_default_str();
}

void AddActivityOptions(CLI::App& command, OrvaneLib::ActivityFields& fields) {
    command.add_option("--activity-text", fields.activityText, "Activity name");
    command.add_option("--ip-address", fields.ipAddress, "IP address of the workstation");
    command.add_option("--user-agent", fields.userAgent, "User agent");
    command.add_option("--mac-address", fields.macAddress, "MAC address of the workstation");
    command.add_option("--workstation-name", fields.workstationName, "Workstation name");
    command.add_option("--user-name", fields.userName, "User name on the workstation");
    command.add_option("--title-key", fields.titleKey, "Title key");
    command.add_option("--upd-source", fields.updSource, "Update source");
}

}  // namespace OrvaneCli
