#include "platform/core/SignalStack.h"

#include <signal.h>
#include <sys/mman.h>

// A stack of its own pages (not the heap): a heap that a fault corrupted is not touched
// when the handler runs.
static void* MapStack() {
    void* p = ::mmap(nullptr, SIGNAL_STACK_BYTES, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

static bool HasStack() {
    stack_t current{};
    return ::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE);
}

static bool Use(void* memory) {
    stack_t ss{};
    ss.ss_sp = memory;
    ss.ss_size = SIGNAL_STACK_BYTES;
    ss.ss_flags = 0;
    return ::sigaltstack(&ss, nullptr) == 0;
}

SignalStack::SignalStack() {
    if (HasStack()) return;
    void* memory = MapStack();
    if (!memory) return;
    if (!Use(memory)) {
        ::munmap(memory, SIGNAL_STACK_BYTES);
        return;
    }
    m_memory = memory;
}

SignalStack::~SignalStack() {
    if (!m_memory) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    ::sigaltstack(&off, nullptr);
    ::munmap(m_memory, SIGNAL_STACK_BYTES);
}

bool SignalStack_InstallForever() {
    if (HasStack()) return true;
    void* memory = MapStack();
    if (!memory) return false;
    if (Use(memory)) return true;
    ::munmap(memory, SIGNAL_STACK_BYTES);
    return false;
}
