// Starting programs: the program's own executable again (page processes, a new instance, the
// restarted or updating program) or another one beside it.
#pragma once
#include "framework/Handles.h"

#include <string>

namespace fw {

// The running executable's full path, whatever its length; empty when the system cut it.
std::wstring OwnProgramPath();

// Starts an executable (the program's own when exePath is null) with its path quoted and
// named as the application, so that a path with blanks can never start a shorter name.
// arguments (may be null) follow the path after one blank. Idle priority, shown normally.
// When process is given it receives the new process's handle.
bool StartProgram(const wchar_t* exePath = nullptr, const wchar_t* arguments = nullptr,
                  UniqueHandle* process = nullptr);

} // namespace fw
