#pragma once

#include <string>
#include <sys/types.h>

namespace OrvaneEndToEnd {

// orvane-refservice as a child process on free loopback ports, with its own
// data folder. The constructor returns once the service listens; the
// destructor stops it with SIGTERM.
class ServiceProcess {
public:
    ServiceProcess(const std::string& program, const std::string& dataFolder);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    int HttpPort() const { return httpPort_; }
    int HttpsPort() const { return httpsPort_; }
    const std::string& CaFile() const { return caFile_; }
    const std::string& DataFolder() const { return dataFolder_; }

    // The request log so far, and what the service printed.
    std::string RequestLog() const;
    std::string Output() const;
    // Still running (it has not crashed or exited)?
    bool Running();

    // Stops the service and returns its exit status (-1 if killed by a signal).
    int Stop();

private:
    std::string dataFolder_;
    pid_t pid_ = -1;
    int exitStatus_ = -1;
    int httpPort_ = 0;
    int httpsPort_ = 0;
    std::string caFile_;
};

}  // namespace OrvaneEndToEnd
