// The workers behind the blacklist and community lookups: how many jobs run at once, the
// order in which waiting jobs start, jobs that do not start, and when the owner hears that
// the pool is busy or done. Jobs are numbers; a negative one has nothing to do and does not
// start.

#include "VLWorkerPool.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Worker {
    int id = 0;
};

class WorkerPool : public ::testing::Test {
protected:
    WorkerPool() {
        for (Worker &worker : workers)
            pool.addWorker(&worker);
    }

    // "worker:job" for every job started, in order.
    QStringList started;
    QList<bool> told;
    Worker workers[2] = {{1}, {2}};
    VLWorkerPool<Worker, int> pool{[this](Worker *worker, const int &job) {
                                       if (job < 0)
                                           return false;
                                       started << u"%1:%2"_s.arg(worker->id).arg(job);
                                       return true;
                                   },
                                   [this](bool busy) { told << busy; }};
};

TEST_F(WorkerPool, AsManyRunAsThereAreWorkersAndTheRestWaitInOrder) {
    // Started or waiting, each job is taken.
    for (int job = 1; job <= 4; ++job)
        EXPECT_TRUE(pool.submit(job)) << job;
    EXPECT_EQ(started, (QStringList{u"1:1"_s, u"2:2"_s}));
    EXPECT_EQ(pool.queued(), 2);
    EXPECT_EQ(told, (QList<bool>{true, true}));

    // The worker that ends takes the oldest waiting job.
    pool.jobEnded(&workers[1]);
    pool.jobEnded(&workers[0]);
    EXPECT_EQ(started, (QStringList{u"1:1"_s, u"2:2"_s, u"2:3"_s, u"1:4"_s}));
    EXPECT_EQ(pool.queued(), 0);
    EXPECT_TRUE(pool.busy());

    // Done is told once, when the last job ends.
    pool.jobEnded(&workers[0]);
    EXPECT_TRUE(pool.busy());
    pool.jobEnded(&workers[1]);
    EXPECT_FALSE(pool.busy());
    EXPECT_EQ(told, (QList<bool>{true, true, true, true, false}));

    // Both workers are idle again.
    pool.submit(5);
    pool.submit(6);
    EXPECT_EQ(pool.queued(), 0);
}

TEST_F(WorkerPool, JobsThatDoNotStartLeaveNoTrace) {
    // Submitted to an idle worker: not taken, nothing is told and the worker stays idle
    // (behind the other one).
    EXPECT_FALSE(pool.submit(-1));
    EXPECT_FALSE(pool.busy());
    EXPECT_TRUE(told.isEmpty());

    // Waiting: skipped when a worker comes free; the next one starts on it.
    pool.submit(1);
    pool.submit(2);
    pool.submit(-3);
    pool.submit(4);
    pool.jobEnded(&workers[0]);
    EXPECT_EQ(started, (QStringList{u"2:1"_s, u"1:2"_s, u"1:4"_s}));
    EXPECT_EQ(pool.queued(), 0);

    // Only jobs that do not start are left: the worker goes idle, and done comes once.
    pool.submit(-5);
    pool.submit(-6);
    pool.jobEnded(&workers[1]);
    EXPECT_EQ(pool.queued(), 0);
    EXPECT_TRUE(pool.busy());
    pool.jobEnded(&workers[0]);
    EXPECT_FALSE(pool.busy());
    EXPECT_EQ(told, (QList<bool>{true, true, true, false}));
}

TEST_F(WorkerPool, DroppingTheQueueKeepsTheRunningJobs) {
    pool.dropQueue();
    EXPECT_TRUE(told.isEmpty()) << "an idle pool says nothing";

    for (int job = 1; job <= 3; ++job)
        pool.submit(job);
    pool.dropQueue();
    EXPECT_TRUE(pool.busy());
    EXPECT_EQ(told, (QList<bool>{true, true})) << "done only when the running jobs end";
    pool.jobEnded(&workers[0]);
    pool.jobEnded(&workers[1]);
    EXPECT_EQ(started, (QStringList{u"1:1"_s, u"2:2"_s}));
    EXPECT_EQ(told, (QList<bool>{true, true, false}));
}

// The owner reports an ended job between recycle and reportBusy, and a receiver of that
// report may submit the next job already: the pool is not done then.
TEST_F(WorkerPool, AJobSubmittedBeforeTheReportKeepsThePoolBusy) {
    pool.submit(1);
    pool.submit(2);
    const bool tookNext = pool.recycle(&workers[0]);
    EXPECT_FALSE(tookNext);
    pool.submit(3);
    pool.reportBusy(tookNext);
    EXPECT_EQ(started, (QStringList{u"1:1"_s, u"2:2"_s, u"1:3"_s})) << "on the freed worker";
    EXPECT_EQ(told, (QList<bool>{true, true, true}));
    pool.jobEnded(&workers[0]);
    pool.jobEnded(&workers[1]);
    EXPECT_EQ(told, (QList<bool>{true, true, true, false}));
}

} // namespace
