#pragma once
// Runs a piece of work on the user-interface thread on behalf of a worker:
// directly when the caller is already that thread, otherwise as a blocking
// queued call that returns when the work is done (a synchronous send).
//
// Threading: `context` must live in the user-interface thread and outlive
// the call; the caller must not be holding anything the user-interface
// thread waits for.

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <utility>

namespace tavlink::app {

template <typename Work>
void RunOnUiThread(QObject* context, Work&& work) {
  if (QThread::currentThread() == context->thread()) {
    work();
    return;
  }
  QMetaObject::invokeMethod(context, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}

}  // namespace tavlink::app
