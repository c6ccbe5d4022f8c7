#pragma once

#include "CliOptions.h"

#include <OrvaneLib/Requests.h>
#include <OrvaneLib/ServiceClient.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

namespace OrvaneCli {

// The seven sub-commands, one per operation, with the request fields as
// options. The requests live here so that the options can fill them.
class Commands {
public:
    Commands(CLI::App& app, const ConnectionOptions& connection);

    // Runs the sub-command that was given; returns the exit status.
    int RunSelected(const CLI::App& app);

private:
    template <typename Request, typename Response>
    void Add(CLI::App& app, const std::string& name, const std::string& description,
             void (OrvaneLib::ServiceClient::*operation)(const Request&, Response&), Request& request,
             const std::function<void(CLI::App&)>& addOptions = {});

    const ConnectionOptions& connection_;
    OrvaneLib::GetRightsRequest getRights_;
    OrvaneLib::GetStatesRequest getStates_;
    OrvaneLib::PutStatesRequest putStates_;
    OrvaneLib::GetActivitiesRequest getActivities_;
    OrvaneLib::PutActivityRequest putActivity_;
    OrvaneLib::LoginRequest login_;
    OrvaneLib::LogoutRequest logout_;
    std::vector<std::pair<const CLI::App*, std::function<int()>>> runners_;
};

}  // namespace OrvaneCli
