// The Windows side of SignalStack.h: Windows runs a crash handler (a vectored exception
// handler) on the faulting thread's own stack; what it keeps for a stack overflow is the
// stack guarantee, the reserve the system leaves usable after the overflow.
#include "platform/core/SignalStack.h"

#include <windows.h>

static bool Guarantee() {
    ULONG size = SIGNAL_STACK_BYTES;
    return SetThreadStackGuarantee(&size) != 0;
}

SignalStack::SignalStack() {
    // The reserve lasts the thread's life; nothing to give back.
    Guarantee();
}

SignalStack::~SignalStack() = default;

bool SignalStack_InstallForever() {
    return Guarantee();
}
