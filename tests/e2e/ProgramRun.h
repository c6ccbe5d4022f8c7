#pragma once

#include <map>
#include <string>
#include <vector>

namespace OrvaneEndToEnd {

struct ProgramResult {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments, this process's
// environment plus `environment`, and no standard input; collects both outputs.
ProgramResult RunProgram(const std::string& path, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {});

// The environment of this process with `changes` applied, as NAME=VALUE strings.
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& changes);

}  // namespace OrvaneEndToEnd
