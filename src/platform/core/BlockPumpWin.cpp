#include "platform/core/BlockPump.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// What the caller and the helper share; whoever leaves last frees it.
struct PumpShared {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::shared_ptr<BlockSource> Source;
    bool Cancelled = false;
    bool Opened = false;
    int OpenStatus = 0;
    // The block handed over: Ready until the caller asks for the next one.
    std::vector<char> Block = std::vector<char>(4096);
    bool Ready = false;
    long Size = 0;
};

static void Helper(std::shared_ptr<PumpShared> s) {
    const int status = s->Source->Open();
    {
        std::lock_guard<std::mutex> lock(s->Mutex);
        s->OpenStatus = status;
        s->Opened = true;
        s->Changed.notify_all();
        if (status != 0 || s->Cancelled) return;
    }
    std::vector<char> buffer(4096);
    for (;;) {
        const long n = s->Source->Read(buffer.data(), buffer.size());
        std::unique_lock<std::mutex> lock(s->Mutex);
        if (s->Cancelled) return;
        if (n > 0) std::copy(buffer.data(), buffer.data() + n, s->Block.begin());
        s->Size = n;
        s->Ready = true;
        s->Changed.notify_all();
        if (n <= 0) return;
        // The next read waits until the caller has taken this block.
        s->Changed.wait(lock, [&] { return !s->Ready || s->Cancelled; });
        if (s->Cancelled) return;
    }
}

// Waits on the shared state until `ready`, in slices of 10 ms.
static PumpWait WaitShared(PumpShared& s, const std::function<bool()>& ready,
                           const std::function<bool()>& stop, int stallMs) {
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(s.Mutex);
    for (;;) {
        if (s.Changed.wait_for(lock, std::chrono::milliseconds(10), ready)) return PumpWait::Ready;
        lock.unlock();
        if (stop && stop()) return PumpWait::Stopped;
        if (stallMs > 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(stallMs))
            return PumpWait::Stalled;
        lock.lock();
    }
}

BlockPump::BlockPump(std::shared_ptr<BlockSource> source)
    : m_shared(std::make_shared<PumpShared>()) {
    m_shared->Source = std::move(source);
}

BlockPump::~BlockPump() {
    Cancel();
}

void BlockPump::Cancel() {
    {
        std::lock_guard<std::mutex> lock(m_shared->Mutex);
        if (m_shared->Cancelled) return;
        m_shared->Cancelled = true;
        m_shared->Changed.notify_all();
    }
    // Outside the lock: closing the handles may take a moment and ends the helper's call.
    m_shared->Source->Cancel();
}

PumpWait BlockPump::Open(int& status, const std::function<bool()>& stop, int stallMs) {
    status = -1;
    if (!m_started) {
        try {
            std::thread(Helper, m_shared).detach();
        } catch (...) {
            return PumpWait::Ready;
        }
        m_started = true;
    }
    PumpShared& s = *m_shared;
    const PumpWait w = WaitShared(
        s, [&] { return s.Opened; }, stop, stallMs);
    if (w == PumpWait::Ready) status = s.OpenStatus;
    return w;
}

PumpWait BlockPump::Next(const char*& data, long& size, const std::function<bool()>& stop,
                         int stallMs) {
    PumpShared& s = *m_shared;
    {
        // The block given last time is done with: let the helper read the next one.
        std::lock_guard<std::mutex> lock(s.Mutex);
        if (m_holding) {
            s.Ready = false;
            s.Changed.notify_all();
            m_holding = false;
        }
    }
    const PumpWait w = WaitShared(
        s, [&] { return s.Ready; }, stop, stallMs);
    if (w == PumpWait::Ready) {
        data = s.Block.data();
        size = s.Size;
        m_holding = size > 0;
    }
    return w;
}

PumpWait Pump_WaitFor(const std::function<bool()>& done, const std::function<bool()>& stop,
                      int stallMs) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (done()) return PumpWait::Ready;
        if (stop && stop()) return PumpWait::Stopped;
        if (stallMs > 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(stallMs))
            return PumpWait::Stalled;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
