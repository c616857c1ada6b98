// Running a piece of work in a child process, so that a crash in it cannot
// take the program down.
//
// FreeXL 1.0 reads out of bounds on some damaged files (a string length
// overwritten in the shared string table is enough) and dies of SIGSEGV.
// A shop's customer lists come from anywhere, so the reader runs FreeXL in
// a forked child and takes the result over a pipe: a damaged file then
// costs an error message instead of the program.
#pragma once

#include <functional>
#include <string>

#include "platform/xls/status.h"

namespace xls {

// Runs `work` in a forked child and returns the bytes it returned.  Fails
// with InvalidFormat (using `crashed` as the message) when the child dies
// by a signal or stops sending for `silenceSeconds`; it is then killed.
// When the system cannot fork, runs `work` in this process instead.  The
// exit status is not always there to see (a program may reap every child
// itself), so `work` should end its bytes with a mark its caller checks.
//
// The child calls nothing but `work` and _exit(): no atexit handlers, no
// destructors of static objects, no flushing of the parent's stdio buffers.
// It dies with its parent and writes no core file.
Result<std::string> runIsolated(const std::function<std::string()>& work, const std::string& crashed,
                                int silenceSeconds = 60);

}  // namespace xls
