#pragma once
// Runs a shell command line and hands back its output line by line.
#include <functional>
#include <string>
#include <vector>

namespace wux::platform {

// Runs `/bin/sh -c command` in `directory` (the current one when empty) with standard
// input from /dev/null and standard output and error on one pipe. The output is read in
// blocks of up to 4095 bytes until the pipe ends; every LF completes a line, CR bytes
// are dropped, and `onLine` receives each completed line, then the unfinished last line
// (`finished` false) when output ended without a LF and something is left. A line
// that is valid UTF-8 and not plain ASCII (the shell's output) is converted to
// Shift_JIS as a whole line, so a character split between two reads is never broken.
// The child is always reaped. Returns false when the process could not be started
// (no shell, no such directory); `exitStatus`, when given, receives the exit code
// (128 + signal number for a killed child).
bool runCommandLines(const std::string& directory, const std::string& command,
                     const std::function<void(std::string&& line, bool finished)>& onLine,
                     int* exitStatus = nullptr);

// Starts `program` (looked up on the PATH when it names no folder) with `args`, standard
// input from /dev/null, and leaves it running. Program and arguments are program text,
// converted here. The child's process id, or 0 when it cannot start. Whoever starts a
// child either waits for it with childEnded or hands it to reapWhenEnded.
int startProgram(const std::string& program, const std::vector<std::string>& args);
// Waits at most `waitMs` milliseconds (0: not at all) for the child to end: false while
// it runs; once it has ended, true with its exit code (128 + signal number for a killed
// child, -1 when it cannot be waited for).
bool childEnded(int pid, int& exitCode, int waitMs = 0);
// Reaps the child whenever it ends, without waiting for it here.
void reapWhenEnded(int pid);

}  // namespace wux::platform
