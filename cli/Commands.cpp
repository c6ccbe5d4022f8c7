#include "Commands.h"

#include "ResponseOutput.h"
#include "ResponseView.h"

#include <OrvaneLib/ServiceClient.h>

#include <CLI/CLI.hpp>

#include <iostream>

namespace OrvaneCli {

namespace {

// Calls one operation and prints the outcome; 0 on success, 1 on OrvaneException.
template <typename Request, typename Response>
int Call(const ConnectionOptions& connection, const std::string& name,
         void (OrvaneLib::ServiceClient::*operation)(const Request&, Response&), const Request& request) {
    const OrvaneLib::ConnectionSettings settings = connection.Settings();
    OrvaneLib::ServiceClient client(settings);
    Response response;
    try {
        (client.*operation)(request, response);
    } catch (const OrvaneLib::OrvaneException& error) {
        const ResponseView view = Describe(response);
        if (connection.json) {
            PrintJson(std::cout, name, view, &error);
        }
        PrintError(std::cerr, view, error);
        return 1;
    }
    const ResponseView view = Describe(response);
    if (connection.json) {
        PrintJson(std::cout, name, view, nullptr);
    } else {
        PrintText(std::cout, view, connection.xml);
    }
    return 0;
}

CLI::Validator DateText() {
    return CLI::Validator(
        [](std::string& text) { return ParseDate(text) ? std::string() : "expected YYYY-MM-DD, got " + text; },
        "YYYY-MM-DD");
}

}  // namespace

template <typename Request, typename Response>
void Commands::Add(CLI::App& app, const std::string& name, const std::string& description,
                   void (OrvaneLib::ServiceClient::*operation)(const Request&, Response&), Request& request,
                   const std::function<void(CLI::App&)>& addOptions) {
    CLI::App* command = app.add_subcommand(name, description);
    AddRequestOptions(*command, request);
    if (addOptions) {
        addOptions(*command);
    }
    runners_.emplace_back(command, [this, name, operation, &request] {
        return Call(connection_, name, operation, request);
    });
}

Commands::Commands(CLI::App& app, const ConnectionOptions& connection) : connection_(connection) {
    using OrvaneLib::ServiceClient;
    Add(app, "get-rights", "Check the rights of an account (qrmGetRights)", &ServiceClient::GetRights, getRights_);
    Add(app, "get-states", "Read the account's state list (qrmGetStates)", &ServiceClient::GetStates, getStates_);
    Add(app, "put-states", "Replace the account's state list (qrmPutStates)", &ServiceClient::PutStates, putStates_,
        [this](CLI::App& command) {
            command.add_option("--states", putStates_.stateList, "Comma-delimited state numbers, e.g. 3,7,12")
                ->required();
        });
    Add(app, "get-activities", "Read the account's activity history (qrmGetActivities)",
        &ServiceClient::GetActivities, getActivities_, [this](CLI::App& command) {
            command.add_option_function<std::string>(
                       "--from", [this](const std::string& text) { getActivities_.dateFrom = *ParseDate(text); },
                       "First day, YYYY-MM-DD (default 2000-01-01)")
                ->check(DateText());
            command.add_option_function<std::string>(
                       "--to", [this](const std::string& text) { getActivities_.dateTo = *ParseDate(text); },
                       "Last day, YYYY-MM-DD (default tomorrow)")
                ->check(DateText());
        });
    Add(app, "put-activity", "Add one activity record (qrmPutActivity)", &ServiceClient::PutActivity, putActivity_,
        [this](CLI::App& command) { AddActivityOptions(command, putActivity_); });
    Add(app, "login", "Sign a named user in (qrmLogin)", &ServiceClient::Login, login_, [this](CLI::App& command) {
        AddActivityOptions(command, login_);
        command.add_option("--login-username", login_.loginUsername, "Named user to sign in");
        command.add_option("--login-password", login_.loginPassword, "The user's password")
            ->envname("ORVANE_LOGIN_PASSWORD");
        command.add_flag("--login-required", login_.loginRequired, "Say that the account requires a named login");
    });
    Add(app, "logout", "Sign a named user out (qrmLogout)", &ServiceClient::Logout, logout_,
        [this](CLI::App& command) {
            AddActivityOptions(command, logout_);
            command.add_option("--login-username", logout_.loginUsername, "Named user to sign out");
        });
}

int Commands::RunSelected(const CLI::App& app) {
    for (const CLI::App* selected : app.get_subcommands()) {
        for (const auto& [command, run] : runners_) {
            if (command == selected) {
                return run();
            }
        }
    }
    return 2;  // unreachable while a sub-command is required
}

}  // namespace OrvaneCli
