#pragma once
// Read-write lock between the threads of this process.

#include "ReadWriteLockInterface.h"

#include <pthread.h>

// Any number of threads may hold it shared, one exclusive. Failures of the pthread calls
// raise StdSystemException ("pthread_rwlock_wrlock returned 35").
class ReadWriteLock : public IReadWriteLock {
public:
    ReadWriteLock();
    // Raises when pthread_rwlock_destroy fails, unless an exception is already unwinding.
    ~ReadWriteLock() noexcept(false) override;
    ReadWriteLock(const ReadWriteLock &) = delete;
    ReadWriteLock &operator=(const ReadWriteLock &) = delete;

    void readLock() override;
    bool tryReadLock() override;
    void writeLock() override;
    bool tryWriteLock() override;
    void unlock() override;

private:
    pthread_rwlock_t m_lock;
    int m_uncaught; // exceptions in flight at construction (destruction while unwinding)
};
