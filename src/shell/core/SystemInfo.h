// The running system, as the log's "OS : " line names it.
#pragma once
#include <string>

// A number for the running Windows version (5 NT3 ... 90 Windows 8, 200 anything else);
// any other system gives 200.
int WindowsVersionCode();
// The name of a version code: 5 "Windows NT3", 10 "Windows 95", ..., 90 "Windows 8",
// any other "OS inconnu".
std::string WindowsVersionNameOf(int code);
// The running system's name: on Windows the name of its code; elsewhere the
// distribution's name (/etc/os-release) followed by the kernel, e.g.
// "Debian GNU/Linux 12 (bookworm), Linux 6.1.0 x86_64".
std::string WindowsVersionName();
