// Calls a member of a QObject on the thread the object lives on, and waits.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <mutex>

namespace tarvel {

// Calls `member` (a slot or Q_INVOKABLE, by name) on the thread of `object`
// and waits until it has run. Qt's blocking queued call orders the member
// after what this thread did before and before what it does next, but waits
// on Qt's own futex, which ThreadSanitizer cannot see (Qt is not built for
// it). The member holds `handshake` while it runs; taken here before and
// after, it states the same order where ThreadSanitizer sees it. By name, so
// that no functor of the program's is written here and read there inside
// Qt's event.
inline void callAndWait(QObject* object, const char* member, std::mutex& handshake) {
    { const std::lock_guard before(handshake); }
    QMetaObject::invokeMethod(object, member, Qt::BlockingQueuedConnection);
    const std::lock_guard after(handshake);
}

}  // namespace tarvel
