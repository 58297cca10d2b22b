#include "ReadWriteLocks.h"

#include "Errors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Runs f on another thread and returns its result.
template <typename F> auto onOtherThread(F f) {
    return std::async(std::launch::async, f).get();
}

// Whether another thread can take the lock at once; what it takes it lets go again.
bool otherThreadCanTake(ReadWriteLock &lock, bool write) {
    return onOtherThread([&] {
        const bool taken = write ? lock.tryWriteLock() : lock.tryReadLock();
        if (taken)
            lock.unlock();
        return taken;
    });
}

} // namespace

TEST(ReadWriteLock, ExclusiveHolderBlocksEveryoneElse) {
    ReadWriteLock lock;
    lock.writeLock();
    EXPECT_FALSE(otherThreadCanTake(lock, false));
    EXPECT_FALSE(otherThreadCanTake(lock, true));
    lock.unlock();
    EXPECT_TRUE(otherThreadCanTake(lock, true));
}

TEST(ReadWriteLock, ReadersShareAndKeepWritersOut) {
    ReadWriteLock lock;
    lock.readLock();
    EXPECT_TRUE(otherThreadCanTake(lock, false));
    EXPECT_FALSE(otherThreadCanTake(lock, true));
    lock.unlock();
}

TEST(ReadWriteLock, WriteLockWaitsForTheReader) {
    ReadWriteLock lock;
    std::atomic<bool> released{false};
    lock.readLock();
    std::thread writer([&] {
        WriteLocker guard(lock);
        EXPECT_TRUE(released.load());
    });
    std::this_thread::sleep_for(100ms);
    released = true;
    lock.unlock();
    writer.join();
}

TEST(ReadWriteLock, GuardsGiveMutualExclusion) {
    ReadWriteLock lock;
    long counter = 0;
    std::atomic<int> readersInside{0};
    std::atomic<bool> writerSawReader{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                if ((i + t) % 4 == 0) {
                    ReadLocker guard(lock);
                    ++readersInside;
                    (void)counter;
                    --readersInside;
                } else {
                    WriteLocker guard(lock);
                    if (readersInside.load() != 0)
                        writerSawReader = true;
                    const long before = counter;
                    counter = before + 1;
                }
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(counter, 8 * 1500);
    EXPECT_FALSE(writerSawReader.load());
}

TEST(ReadWriteLock, FailuresBecomeSystemExceptions) {
    ReadWriteLock lock;
    lock.writeLock();
    // Relocking from the owning thread is refused (EDEADLK) rather than hanging.
    try {
        lock.writeLock();
        ADD_FAILURE() << "locked twice";
    } catch (const StdSystemException &e) {
        EXPECT_EQ(e.getError(), EDEADLK);
        EXPECT_EQ(std::string(e.what()), "pthread_rwlock_wrlock returned " + std::to_string(EDEADLK));
    }
    EXPECT_FALSE(lock.tryWriteLock());
    lock.unlock();
}

namespace {

// A lock whose release fails, as a file lock's can.
class FailingUnlock : public IReadWriteLock {
public:
    void readLock() override {}
    bool tryReadLock() override { return true; }
    void writeLock() override {}
    bool tryWriteLock() override { return true; }
    void unlock() override { throw StdException("unlock failed"); }
};

} // namespace

TEST(LockGuards, UnlockFailureIsRaisedUnlessAnotherExceptionUnwinds) {
    FailingUnlock lock;
    try {
        ReadLocker guard(lock);
    } catch (const StdException &e) {
        EXPECT_STREQ(e.what(), "unlock failed");
    }
    EXPECT_THROW({ WriteLocker guard(lock); }, StdException);
    try {
        WriteLocker guard(lock);
        throw std::runtime_error("first failure");
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "first failure");
    }
}
