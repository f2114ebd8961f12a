// What the lumawipe tests share: the command run in-process or as a program, and a
// temporary directory per test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Render.h"
#include "support/Fixtures.h"

namespace CliFixture {

using namespace Fixtures;
namespace fs = std::filesystem;

struct Result {
    int Code;
    std::string Out, Err;
};

// The command in-process.
inline Result Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = LumawipeCli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("lumawipe-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    std::string Path(const std::string& name) const { return (Dir / name).string(); }
    std::string Head(const std::string& path, std::size_t n) const {
        std::ifstream in(path, std::ios::binary);
        std::string s(n, '\0');
        in.read(s.data(), std::streamsize(n));
        return s.substr(0, std::size_t(in.gcount()));
    }
    std::string Contents(const std::string& path) const { return Head(path, std::size_t(fs::file_size(path))); }
    // Saves a coordinate picture as a BMP file.
    std::string Picture(const std::string& name, int w, int h, std::uint8_t tag) const {
        TBitmap b;
        MakeCoordPicture(b, w, h, tag);
        b.SaveToFile(Path(name));
        return Path(name);
    }
    // The program itself through the shell: args (quoted as needed) with standard output
    // and error into files of the directory; returns the exit status, or -1 when a signal
    // ended it.
    int Program(const std::string& args, Result& r) const {
        const int raw = std::system((std::string(LUMAWIPE_CLI) + " " + args + " >" + Path("stdout") + " 2>" +
                                     Path("stderr")).c_str());
        r.Out = Contents(Path("stdout"));
        r.Err = Contents(Path("stderr"));
        r.Code = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return r.Code;
    }
    fs::path Dir;
};

}  // namespace CliFixture
