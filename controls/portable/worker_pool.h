// A few threads that run queued tasks, started as tasks come and kept until the pool goes:
// a batch of many small tasks then starts and ends its threads once, not once per task
// (under Wine a thread's end costs as much as all the windows the process has).
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace controls {

class WorkerPool {
public:
    explicit WorkerPool(int threads);
    // Runs what is still queued, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a task (which must not throw). Raises std::system_error, leaving the task
    // unqueued, when the pool has no thread and none can be started.
    void Post(std::function<void()> task);

private:
    void Run();

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    std::size_t wanted_;
    std::size_t idle_ = 0;
    bool stopping_ = false;
};

}  // namespace controls
