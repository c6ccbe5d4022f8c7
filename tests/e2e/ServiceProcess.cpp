#include "ServiceProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace OrvaneEndToEnd {

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of "name=value" in the port file, or empty.
std::string PortFileValue(const std::string& text, const std::string& name) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(name + "=", 0) == 0) {
            return line.substr(name.size() + 1);
        }
    }
    return {};
}

}  // namespace

ServiceProcess::ServiceProcess(const std::string& program, const std::string& dataFolder) : dataFolder_(dataFolder) {
    const std::string portFile = dataFolder + "/ports";
    std::vector<std::string> arguments = {program,         "--data-dir",   dataFolder,
                                          "--http-port",   "0",            "--https-port",
                                          "0",             "--port-file",  portFile,
                                          "--log-file",    dataFolder + "/requests.log"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (dataFolder + "/service.out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
    }

    // The service writes the port file once it listens; wait for it, but not
    // for a service that has already given up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (access(portFile.c_str(), R_OK) != 0) {
        if (!Running() || std::chrono::steady_clock::now() > deadline) {
            Stop();
            throw std::runtime_error("the service did not start: " + Output());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string ports = Contents(portFile);
    httpPort_ = std::stoi(PortFileValue(ports, "http_port"));
    httpsPort_ = std::stoi(PortFileValue(ports, "https_port"));
    caFile_ = PortFileValue(ports, "ca_file");
}

ServiceProcess::~ServiceProcess() { Stop(); }

std::string ServiceProcess::RequestLog() const { return Contents(dataFolder_ + "/requests.log"); }

std::string ServiceProcess::Output() const { return Contents(dataFolder_ + "/service.out"); }

bool ServiceProcess::Running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        return false;
    }
    return true;
}

int ServiceProcess::Stop() {
    if (Running()) {
        kill(pid_, SIGTERM);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
    }
    return exitStatus_;
}

}  // namespace OrvaneEndToEnd
