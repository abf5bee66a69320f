#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "link/DeviceTask.h"
#include "link/FirmwareBlocks.h"
#include "link/Packet.h"
#include "sim/Simulator.h"

// Stops the worker thread at an exact point of a task, so that a test can act while the worker is
// known to be there: a pause the worker asks its clock for, or a transfer the simulated controller
// records.

// A point where the worker stops until the test lets it go on.
class WorkerHold {
public:
    // A held worker goes on by itself after this, so that a test that never releases it fails
    // instead of hanging.
    static constexpr std::chrono::seconds Bound{20};

    // On the worker thread.
    void reach()
    {
        // The simulator may be locked by this thread now, so the test counts from here.
        const std::size_t transfers = sim::Simulator::instance().trafficCount();
        std::unique_lock lock(mutex_);
        transfersAtHold_ = transfers;
        reached_ = true;
        changed_.notify_all();
        if (!changed_.wait_for(lock, Bound, [this] { return released_; }))
            expired_ = true;
    }
    bool reached() const
    {
        std::lock_guard lock(mutex_);
        return reached_;
    }
    // Waits without serving any event loop: for tests whose worker needs none.
    bool waitReached() const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, Bound, [this] { return reached_; });
    }
    bool expired() const
    {
        std::lock_guard lock(mutex_);
        return expired_;
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    // The transfers the simulator had recorded when the worker was held.
    std::size_t transfersAtHold() const
    {
        std::lock_guard lock(mutex_);
        return transfersAtHold_;
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool reached_ = false;
    bool released_ = false;
    bool expired_ = false;
    std::size_t transfersAtHold_ = 0;
};

// Pauses take a millisecond, except the one the test holds: the next idle pause of the worker's
// loop, or the first pause a task asks for.
class PhaseClock final : public Clock {
public:
    enum class Held { Nothing, IdlePause, TaskPause };

    void sleep(std::chrono::milliseconds duration) override
    {
        const bool idle = duration == TDevice::PollInterval;
        Held wanted = held_.load();
        if (wanted != Held::Nothing && idle == (wanted == Held::IdlePause)
            && held_.compare_exchange_strong(wanted, Held::Nothing)) {
            hold.reach();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void holdNext(Held held) { held_ = held; }

    WorkerHold hold;

private:
    std::atomic<Held> held_{Held::Nothing};
};

using TransferKind = std::function<bool(const sim::Transfer&)>;

// Holds the worker as the n-th transfer of a kind has been recorded.
inline void holdAtTransfer(WorkerHold& hold, const TransferKind& kind, int number)
{
    sim::Simulator::instance().setTrafficObserver(
        [&hold, kind, number, seen = 0](const sim::Transfer& transfer) mutable {
            if (kind(transfer) && ++seen == number)
                hold.reach();
        });
}

// Transfers of a kind recorded after the worker was held.
inline int transfersAfterHold(const WorkerHold& hold, const TransferKind& kind)
{
    const auto later = sim::Simulator::instance().trafficFrom(hold.transfersAtHold());
    return static_cast<int>(std::count_if(later.begin(), later.end(), kind));
}

namespace Transfers {
inline bool isRequest(const sim::Transfer& transfer, Command command)
{
    return transfer.direction == sim::Transfer::Direction::Out
        && transfer.endpoint == Usb::RequestEndpoint && transfer.bytes.size() >= Usb::HeaderSize
        && headerWord(transfer.bytes.data(), 0) == static_cast<std::uint16_t>(command);
}

inline bool isMemoryTransfer(const sim::Transfer& transfer, bool reading)
{
    return isRequest(transfer, Command::BusTransfer)
        && headerWord(transfer.bytes.data(), 3) == BusDevice::ConfigMemory
        && (headerWord(transfer.bytes.data(), 1) > 0) == reading;
}

inline const TransferKind blockRead = [](const sim::Transfer& t) { return isMemoryTransfer(t, true); };
inline const TransferKind blockWrite = [](const sim::Transfer& t) { return isMemoryTransfer(t, false); };
inline const TransferKind pageProgram = [](const sim::Transfer& t) {
    return isRequest(t, Command::FlashInstruction) && t.bytes.size() > Usb::HeaderSize
        && t.bytes[Usb::HeaderSize] == FlashInstruction::PageProgram;
};
inline const TransferKind flashRead = [](const sim::Transfer& t) {
    return isRequest(t, Command::FlashInstruction) && t.bytes.size() > Usb::HeaderSize
        && t.bytes[Usb::HeaderSize] == FlashInstruction::ReadData;
};
inline const TransferKind bootPiece = [](const sim::Transfer& t) {
    return t.direction == sim::Transfer::Direction::Out && t.endpoint == Usb::BootEndpoint;
};
inline const TransferKind statisticsPoll = [](const sim::Transfer& t) {
    return isRequest(t, Command::Statistics);
};
inline const TransferKind traceFetch = [](const sim::Transfer& t) {
    return isRequest(t, Command::TraceFetch);
};
inline const TransferKind codecPush = [](const sim::Transfer& t) {
    return isRequest(t, Command::BusTransfer) && headerWord(t.bytes.data(), 3) == BusDevice::AudioCodec;
};
inline const TransferKind anyRequest = [](const sim::Transfer& t) {
    return t.direction == sim::Transfer::Direction::Out;
};
} // namespace Transfers
