#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Runs program with args (each one argument, no shell in between), its
// standard output and error written to the two files, and waits for it.
// Its exit status; -1 when it could not be started or did not exit normally.
int RunCapturing(const std::filesystem::path& program, const std::vector<std::string>& args,
                 const std::filesystem::path& stdoutFile, const std::filesystem::path& stderrFile);
