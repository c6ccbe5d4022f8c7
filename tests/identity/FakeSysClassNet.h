#pragma once

// A throw-away folder laid out like /sys/class/net, one sub-folder per
// interface with the attribute files the interface table reads.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace OrvaneIdentity::Testing {

// Attributes left out stand for files that cannot be read.
struct FakeInterface {
    std::string name;
    std::optional<std::string> ifindex;
    std::optional<std::string> type;
    std::optional<std::string> address;
    std::optional<std::string> mtu = "1500";
    std::optional<std::string> speed = "1000";
    std::optional<std::string> flags = "0x1003";
    std::optional<std::string> operstate = "up";
};

class FakeSysClassNet {
public:
    FakeSysClassNet() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sysclassnet-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
        root_ = pattern;
    }
    ~FakeSysClassNet() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FakeSysClassNet(const FakeSysClassNet&) = delete;
    FakeSysClassNet& operator=(const FakeSysClassNet&) = delete;

    void Add(const FakeInterface& i) {
        const auto folder = root_ / i.name;
        std::filesystem::create_directories(folder);
        Write(folder / "ifindex", i.ifindex);
        Write(folder / "type", i.type);
        Write(folder / "address", i.address);
        Write(folder / "mtu", i.mtu);
        Write(folder / "speed", i.speed);
        Write(folder / "flags", i.flags);
        Write(folder / "operstate", i.operstate);
    }

    // A folder that is no interface (like the kernel's bonding_masters file).
    void AddStray(const std::string& name) { std::filesystem::create_directories(root_ / name); }

    std::string Path() const { return root_.string(); }

private:
    // The kernel ends each attribute with a line feed.
    static void Write(const std::filesystem::path& path, const std::optional<std::string>& value) {
        if (value) std::ofstream(path) << *value << '\n';
    }

    std::filesystem::path root_;
};

}  // namespace OrvaneIdentity::Testing
