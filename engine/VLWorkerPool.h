#pragma once
// The fixed set of workers behind a lookup service: a job starts on an idle worker, or waits
// in a queue while every worker is busy, and a worker whose job has ended takes the next
// waiting one. The owner is told when a job has started and when nothing runs or waits any
// more, once at the end of a run of jobs.

#include <QList>

#include <functional>
#include <utility>

template <typename Worker, typename Job> class VLWorkerPool {
public:
    // Starts the job on the worker; false when there was nothing to do for it, and the
    // worker stays idle.
    using Start = std::function<bool(Worker *, const Job &)>;
    // Told true when a job has started, false when no job runs or waits any more.
    using BusyChanged = std::function<void(bool)>;

    VLWorkerPool(Start start, BusyChanged busyChanged)
        : m_start(std::move(start)), m_busyChanged(std::move(busyChanged)) {}

    // One more worker, idle; not owned.
    void addWorker(Worker *worker) { m_idle.append(worker); }

    // Starts the job on an idle worker, or queues it while every worker is busy. False when
    // the job was offered an idle worker and did not start: nothing runs or waits for it.
    bool submit(const Job &job) {
        if (m_idle.isEmpty()) {
            m_queue.append(job);
            return true;
        }
        Worker *worker = m_idle.takeFirst();
        if (!begin(worker, job)) {
            m_idle.append(worker);
            return false;
        }
        m_busyChanged(true);
        return true;
    }

    // The worker's job has ended: the worker takes the next waiting job that starts (the ones
    // that do not start are dropped), else it goes idle. True when it took one. Tells the
    // owner nothing, so that the owner can report the ended job first, with the pool
    // settled for any call back into it; reportBusy follows.
    [[nodiscard]] bool recycle(Worker *worker) {
        m_running.removeOne(worker);
        while (!m_queue.isEmpty())
            if (begin(worker, m_queue.takeFirst()))
                return true;
        m_idle.append(worker);
        return false;
    }
    // After recycle: tells true when the worker took a job, else false once nothing runs
    // or waits.
    void reportBusy(bool tookJob) {
        if (tookJob)
            m_busyChanged(true);
        else if (!busy())
            m_busyChanged(false);
    }
    // recycle and reportBusy at once, for an owner with nothing to report in between.
    void jobEnded(Worker *worker) { reportBusy(recycle(worker)); }

    // Drops the waiting jobs; running ones go on. Tells false when that leaves nothing.
    void dropQueue() {
        const bool hadQueue = !m_queue.isEmpty();
        m_queue.clear();
        if (hadQueue && m_running.isEmpty())
            m_busyChanged(false);
    }

    // True while any job runs or waits.
    [[nodiscard]] bool busy() const { return !m_running.isEmpty() || !m_queue.isEmpty(); }
    // Jobs waiting for a worker.
    [[nodiscard]] int queued() const { return static_cast<int>(m_queue.size()); }

private:
    bool begin(Worker *worker, const Job &job) {
        if (!m_start(worker, job))
            return false;
        m_running.append(worker);
        return true;
    }

    Start m_start;
    BusyChanged m_busyChanged;
    QList<Worker *> m_idle;
    QList<Worker *> m_running;
    QList<Job> m_queue;
};
