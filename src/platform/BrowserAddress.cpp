#include "BrowserAddress.h"
#include "AtspiPageAddress.h"
#include "BrowserProbe.h"
#include "Utf8.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace {

// The accessibility bus is read on a worker thread of its own: a browser that does not answer
// must not freeze the caller, and the caller gives up at its deadline while the worker finishes
// its last call by itself.
class AddressWorker {
public:
    struct Result {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<QString> address;
    };

    static AddressWorker& instance() {
        // Never destroyed: the detached thread may still be inside a call at exit.
        static AddressWorker* worker = new AddressWorker;
        return *worker;
    }

    // Queues a look-up that ends by deadline, once the worker is free; nothing when it is still
    // busy with an earlier, abandoned look-up at queueBy.
    std::shared_ptr<Result> post(qint64 pid, const QString& title, QDeadlineTimer deadline, QDeadlineTimer queueBy) {
        std::unique_lock lock(m_mutex);
        if (!m_idle.wait_for(lock, remaining(queueBy), [this] { return !m_job.has_value(); }))
            return nullptr;
        auto result = std::make_shared<Result>();
        m_job = Job{pid, title, deadline, result};
        m_wake.notify_one();
        return result;
    }

    static std::chrono::milliseconds remaining(const QDeadlineTimer& deadline) {
        return std::chrono::milliseconds(qMax<qint64>(deadline.remainingTime(), 0));
    }

private:
    struct Job {
        qint64 pid;
        QString title;
        QDeadlineTimer deadline;
        std::shared_ptr<Result> result;
    };

    AddressWorker() {
        std::thread([this] { run(); }).detach();
    }

    void run() {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_job.has_value(); });
                job = *m_job;
            }
            atspi::EnableAccessibility(job.deadline);
            QString address;
            if (job.pid > 0 || !job.title.isEmpty())
                address = atspi::PageAddress(job.pid, job.title, job.deadline);
            {
                std::lock_guard lock(m_mutex);
                m_job.reset();
            }
            m_idle.notify_all();
            {
                std::lock_guard lock(job.result->mutex);
                job.result->address = address;
            }
            job.result->done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<Job> m_job;
};

} // namespace

void PrepareBrowserAddress() {
    AddressWorker::instance().post(0, {}, QDeadlineTimer(3000), QDeadlineTimer(0));
}

QString BrowserAddress(const BrowserWindowInfo& window, int timeoutMs) {
    if (window.pid <= 0 && window.title.isEmpty())
        return {};
    const QDeadlineTimer deadline(qMax(timeoutMs, 1));
    const auto result = AddressWorker::instance().post(window.pid, window.title, deadline, deadline);
    if (!result)
        return {};
    std::unique_lock lock(result->mutex);
    if (!result->done.wait_for(lock, AddressWorker::remaining(deadline), [&] { return result->address.has_value(); }))
        return {};
    return utf8::cutText(*result->address, 1023);
}
