// Windows only: texts cross the system's wide-character API here. Every text inside the
// program is UTF-8; the system takes and gives UTF-16. Including this header elsewhere
// than in Windows code fails the build.
#pragma once
#ifndef _WIN32
#error "WinText.h is the Windows side only"
#endif
#include <string>
#include <string_view>
#include <vector>

// UTF-8 to the system's UTF-16 and back; invalid sequences become U+FFFD.
std::wstring Win_Wide(std::string_view utf8);
std::string Win_Utf8(std::wstring_view wide);
// The program's arguments as the user typed them (GetCommandLineW), in UTF-8, program
// name first: main's own argv holds them in the ANSI code page, losing what it lacks.
std::vector<std::string> Win_Arguments();
// The system's message for an error code (GetLastError()), UTF-8, without the line end.
std::string Win_ErrorText(unsigned long code);
// The standard output and error in binary mode: what the program writes goes out byte for
// byte (no "\r" added), as on other systems.
void Win_BinaryStdio();
// The folder of the running program (no trailing separator), forward slashes.
std::string Win_ProgramFolder();
// A command line that CommandLineToArgvW (and the C runtime) splits back into `args`.
std::wstring Win_QuoteArguments(const std::vector<std::string>& args);
