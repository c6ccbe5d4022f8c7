#pragma once

#include <string>

namespace OrvaneTest {

// A fresh folder under $TMPDIR (or /tmp), removed with its contents when
// the object goes away.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace OrvaneTest
