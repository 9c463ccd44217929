#include "CEntryWorkers.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "CEntryReader.h"
#include "CException.h"
#include "CMemoryException.h"
#include "CZipArchive.h"
#include "CZipException.h"

CEntryWorkers::CEntryWorkers(const CZipArchive& archive, int count) {
    try {
        for (int i = 0; i < count; ++i) {
            readers.push_back(archive.MakeReader());
            CEntryReader* reader = readers.back().get();
            try {
                threads.emplace_back([this, reader] { Work(*reader); });
            } catch (const std::system_error&) {
                // The system grants no more threads: those there do the work, or Submit itself.
                break;
            }
        }
        if (readers.empty()) {
            readers.push_back(archive.MakeReader());
        }
    } catch (...) {
        Stop();
        throw;
    }
}

CEntryWorkers::~CEntryWorkers() {
    Stop();
}

void CEntryWorkers::Stop() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    ready.notify_all();
    for (std::thread& thread : threads) {
        thread.join();
    }
    threads.clear();
}

int CEntryWorkers::DefaultThreads() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

std::future<CEntryWorkers::Outcome> CEntryWorkers::Submit(Task task) {
    Job job{std::move(task), {}};
    std::future<Outcome> outcome = job.outcome.get_future();
    if (threads.empty()) {
        job.outcome.set_value(Run(job.task, *readers.front()));
        return outcome;
    }
    {
        std::lock_guard lock(mutex);
        jobs.push_back(std::move(job));
    }
    ready.notify_one();
    return outcome;
}

void CEntryWorkers::Work(CEntryReader& reader) {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex);
            ready.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (jobs.empty()) {
                return;
            }
            job = std::move(jobs.front());
            jobs.pop_front();
        }
        job.outcome.set_value(Run(job.task, reader));
    }
}

CEntryWorkers::Outcome CEntryWorkers::Run(Task& task, CEntryReader& reader) {
    Outcome outcome;
    // The message is taken here: its text may depend on this thread's last system error.
    try {
        try {
            outcome.result = task(reader);
        } catch (const std::bad_alloc&) {
            throw CMemoryException();
        }
    } catch (const CException& e) {
        outcome.failed = true;
        outcome.message = e.ErrorMessage();
    } catch (...) {
        outcome.failed = true;
        outcome.message = CZipException(CZipException::internal).ErrorMessage();
    }
    reader.Abandon();
    return outcome;
}
