#include "ReadWriteLockInterface.h"

#include <cstdio>
#include <exception>

IReadWriteLock::~IReadWriteLock() noexcept(false) = default;

namespace {

// A guard's unlock may fail (a file lock); raising then while another exception unwinds
// would end the program, so that failure is traced instead.
void unlockFromGuard(IReadWriteLock &lock, int uncaught, const char *where) {
    if (std::uncaught_exceptions() <= uncaught) {
        lock.unlock();
        return;
    }
    try {
        lock.unlock();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: unlock failed while unwinding: %s\n", where, e.what());
    }
}

} // namespace

ReadLocker::ReadLocker(IReadWriteLock &lock) : m_lock(lock), m_uncaught(std::uncaught_exceptions()) {
    m_lock.readLock();
}

ReadLocker::~ReadLocker() noexcept(false) {
    unlockFromGuard(m_lock, m_uncaught, "ReadLocker::~ReadLocker");
}

WriteLocker::WriteLocker(IReadWriteLock &lock) : m_lock(lock), m_uncaught(std::uncaught_exceptions()) {
    m_lock.writeLock();
}

WriteLocker::~WriteLocker() noexcept(false) {
    unlockFromGuard(m_lock, m_uncaught, "WriteLocker::~WriteLocker");
}
