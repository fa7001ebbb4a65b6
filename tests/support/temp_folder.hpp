#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace quill::test {

// A fresh folder below the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const;

    // Writes bytes to a file below the folder, creating its parent folders.
    std::string write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);
// The names in a folder, without "." and "..", in the order listed.
std::vector<std::string> namesIn(const std::string& folder);
void writeFile(const std::string& path, std::string_view bytes);

// Base for tests that need a fresh working folder: the process changes into a
// new temporary folder for each test and back afterwards.
class InTempWorkingFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    const TempFolder& work() const { return work_; }

private:
    TempFolder work_;
    std::string previous_;
};

}  // namespace quill::test
