// The lumawipe command: renders any frame, or a whole run, of any operation, and lists
// the operations.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace LumawipeCli {

constexpr int ExitOk = 0;
constexpr int ExitEngineError = 1;
constexpr int ExitUsage = 2;

// Runs the command with its arguments (without the program name); returns the exit code.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace LumawipeCli
