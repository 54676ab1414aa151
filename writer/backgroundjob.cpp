#include "writer/backgroundjob.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace kestrova::writer {

void runInBackground(const std::function<void()>& job)
{
    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&job, &failure] {
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    // The loop may also be left early (the application quits); the job is
    // still waited for, as it uses the caller's objects.
    if (!thread->isFinished())
        loop.exec();
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace kestrova::writer
