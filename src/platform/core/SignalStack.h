// The alternate signal stack of a thread: a crash handler running on it can still report
// a stack overflow. Signal stacks belong to one thread each, so every thread the program
// starts holds one for its lifetime.
#pragma once
#include <cstddef>

// Bytes of each alternate stack.
inline constexpr size_t SIGNAL_STACK_BYTES = 64 * 1024;

// Gives the calling thread an alternate signal stack while the object lives (nothing
// when the thread already has one, or when no memory is left: the thread then simply
// has none). Restores the previous state on destruction.
class SignalStack {
  public:
    SignalStack();
    ~SignalStack();
    SignalStack(const SignalStack&) = delete;
    SignalStack& operator=(const SignalStack&) = delete;
    // True when this object installed a stack.
    bool Installed() const { return m_memory != nullptr; }

  private:
    void* m_memory = nullptr;
};

// The calling thread's alternate stack for the rest of its life (the main thread); the
// memory is never given back. True when the thread has one afterwards.
bool SignalStack_InstallForever();
