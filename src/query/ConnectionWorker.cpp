#include "ConnectionWorker.h"

#include <QEventLoop>

#include <atomic>
#include <stdexcept>

namespace velmora {

Connection::Worker::Worker() {
    thread.setObjectName(QStringLiteral("velmora-database"));
    threadContext = std::make_unique<QObject>();
    threadContext->moveToThread(&thread);
    thread.start();
}

Connection::Worker::~Worker() {
    // No event loop here: the application may already be gone when the data module is.
    if (backend)
        QMetaObject::invokeMethod(
            threadContext.get(), [this] { backend.reset(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

QString Connection::Worker::nextSessionName() {
    return QStringLiteral("velmora-%1-%2").arg(quintptr(this), 0, 16).arg(++sessions);
}

void Connection::Worker::run(const std::function<void()>& job) {
    struct Outcome {
        std::atomic<bool> done{false};
        QString error;
        bool failed = false;
        QEventLoop* loop = nullptr; // read and written on the waiting thread only
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    outcome->loop = &loop;
    QObject* ui = &uiContext;
    QMetaObject::invokeMethod(
        threadContext.get(),
        [outcome, job, ui] {
            try {
                job();
            } catch (const std::exception& e) {
                outcome->error = QString::fromUtf8(e.what());
                outcome->failed = true;
            } catch (...) {
                outcome->error = QStringLiteral("Unknown database error");
                outcome->failed = true;
            }
            outcome->done = true;
            QMetaObject::invokeMethod(
                ui,
                [outcome] {
                    if (outcome->loop)
                        outcome->loop->quit();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    while (!outcome->done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    outcome->loop = nullptr;
    if (outcome->failed)
        throw std::runtime_error(outcome->error.toStdString());
}

} // namespace velmora
