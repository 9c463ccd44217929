#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CEntryReader;
class CZipArchive;

// Threads that read entries of one single-file archive at once, each with its own reader, while
// the caller goes on deciding about the next entries. Tasks are handed out in the order they
// come; the caller takes their outcomes back in the same order, so that everything it shows
// stays in entry order. When the system grants no thread, Submit carries each task out itself.
class CEntryWorkers {
public:
    struct Outcome {
        int result = 1;       // the task's own value
        bool failed = false;  // it threw; message says why
        std::string message;
    };
    using Task = std::function<int(CEntryReader&)>;

    // How many entries a caller lets wait for their outcome: enough that one large entry does
    // not leave the other cores without work, while memory stays bounded (a waiting entry
    // holds names, no data).
    static constexpr size_t kMaxWaiting = 64;

    CEntryWorkers(const CZipArchive& archive, int threads);
    ~CEntryWorkers();
    CEntryWorkers(const CEntryWorkers&) = delete;
    CEntryWorkers& operator=(const CEntryWorkers&) = delete;

    std::future<Outcome> Submit(Task task);
    int Threads() const { return static_cast<int>(threads.size()); }

    // What the machine can run at once, at most four (more threads only contend for the disk).
    static int DefaultThreads();

private:
    struct Job {
        Task task;
        std::promise<Outcome> outcome;
    };
    void Work(CEntryReader& reader);
    // Lets the threads finish the tasks handed out and joins them.
    void Stop();
    static Outcome Run(Task& task, CEntryReader& reader);

    std::vector<std::unique_ptr<CEntryReader>> readers;
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Job> jobs;
    bool stopping = false;
};
