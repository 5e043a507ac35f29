#include "BusyHook.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace notes {

namespace {
thread_local BusyHook *t_current = nullptr;
}

BusyHook::BusyHook(std::function<void()> onTick)
    : m_onTick(std::move(onTick))
    , m_outer(t_current)
{
    t_current = this;
}

BusyHook::~BusyHook()
{
    t_current = m_outer;
}

void BusyHook::tick()
{
    if (t_current && t_current->m_onTick)
        t_current->m_onTick();
}

void BusyHook::whileBusy(const std::function<void()> &work)
{
    if (!t_current) {
        work();
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard lock(mutex);
            done = true;
            finished.notify_one();
        });
    } catch (const std::system_error &) {
        work();
        return;
    }
    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(10), [&done] { return done; })) {
        lock.unlock();
        tick();
        lock.lock();
    }
    lock.unlock();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace notes
