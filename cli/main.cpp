// orvane: the command-line client of the Orvane account and activity service.
#include "CliOptions.h"
#include "Commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"orvane: call the Orvane account and activity service"};
    app.fallthrough();  // connection options may also follow the sub-command
    app.require_subcommand(1);
    app.footer(
        "Environment: ORVANE_SERVICE_URL (default for --url), ORVANE_CONNECT_TO and ORVANE_CA_BUNDLE\n"
        "(redirect a host and trust a local CA), ORVANE_PROXY_PASSWORD, ORVANE_LOGIN_PASSWORD.\n"
        "Exit status: 0 success, 1 the call failed (message and code on standard error), 2 and up usage errors.");
    OrvaneCli::ConnectionOptions connection;
    OrvaneCli::AddConnectionOptions(app, connection);
    OrvaneCli::Commands commands(app, connection);
    CLI11_PARSE(app, argc, argv);
    try {
        return commands.RunSelected(app);
    } catch (const std::exception& failure) {
        std::cerr << "error: " << failure.what() << "\n";
        return 1;
    }
}
