// A transfer of a system library whose calls block (opening a URL, a read from a
// server that went silent) driven from the caller's thread without ever holding it:
// the library calls run on a helper thread, one block at a time; the caller waits in
// slices of 10 ms, asks its stop test between them, and on a stop or a stall cancels
// the transfer (the source closes its handles, which ends the pending call) and leaves
// at once. The helper then ends on its own and frees what it holds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// One transfer of one library. Open and Read run on the helper thread, Cancel on the
// caller's (at any time, maybe while Open or Read is blocked, maybe more than once).
class BlockSource {
  public:
    virtual ~BlockSource() = default;
    // 0 when the body can be read, otherwise the caller's status for the failure.
    virtual int Open() = 0;
    // Bytes read (> 0), 0 at the end of the body, < 0 on a failure.
    virtual long Read(char* buffer, size_t size) = 0;
    // Ends whatever call is pending and every later one; releases the handles.
    virtual void Cancel() = 0;
};

enum class PumpWait {
    Ready,   // the step's outcome is there
    Stopped, // the stop test asked to stop
    Stalled, // nothing came within the stall delay
};

struct PumpShared;

class BlockPump {
  public:
    explicit BlockPump(std::shared_ptr<BlockSource> source);
    // A transfer still running is cancelled and abandoned to its helper.
    ~BlockPump();
    BlockPump(const BlockPump&) = delete;
    BlockPump& operator=(const BlockPump&) = delete;

    // Starts the helper and waits for the source's Open; `status` receives its result.
    // False when the helper cannot start: `status` is then -1.
    PumpWait Open(int& status, const std::function<bool()>& stop, int stallMs);
    // Waits for the next block: `data` and `size` (> 0 bytes, 0 the end, < 0 a failure)
    // stay valid until the next call.
    PumpWait Next(const char*& data, long& size, const std::function<bool()>& stop, int stallMs);
    // Cancels the transfer; the pump gives nothing more.
    void Cancel();

  private:
    std::shared_ptr<PumpShared> m_shared;
    bool m_started = false;
    bool m_holding = false; // the caller holds the block given last
};

// Waits until `done` (safe to call from the caller's thread) holds, in slices of 10 ms,
// asking `stop` between them; `stallMs` <= 0 waits without a bound.
PumpWait Pump_WaitFor(const std::function<bool()>& done, const std::function<bool()>& stop,
                      int stallMs);
