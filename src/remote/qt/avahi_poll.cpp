#include "remote/qt/avahi_poll.h"

#include <avahi-common/timeval.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

// Avahi declares these two and leaves them to the poll's provider. A callback may free its own
// watch or timeout: then the Qt object whose signal is being delivered is deleted later, from
// the event loop, and the record right after the callback returns.
struct AvahiWatch {
    int fd = -1;
    AvahiWatchCallback callback = nullptr;
    void* userdata = nullptr;
    AvahiWatchEvent wanted{};
    int happened = 0;
    bool dispatching = false;
    bool freed = false;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
};

struct AvahiTimeout {
    AvahiTimeoutCallback callback = nullptr;
    void* userdata = nullptr;
    bool dispatching = false;
    bool freed = false;
    QTimer* timer = nullptr;
};

namespace korvel::remote {
namespace {

void watch_update(AvahiWatch* w, AvahiWatchEvent event) {
    w->wanted = event;
    // Qt reports an error or a hang-up as the descriptor being readable.
    w->read->setEnabled((event & (AVAHI_WATCH_IN | AVAHI_WATCH_ERR | AVAHI_WATCH_HUP)) != 0);
    w->write->setEnabled((event & AVAHI_WATCH_OUT) != 0);
}

void watch_dispatch(AvahiWatch* w, AvahiWatchEvent event) {
    w->happened = event;
    w->dispatching = true;
    w->callback(w, w->fd, event, w->userdata);
    if (w->freed) {
        delete w;
        return;
    }
    w->dispatching = false;
    w->happened = 0;
}

AvahiWatch* watch_new(const AvahiPoll*, int fd, AvahiWatchEvent event, AvahiWatchCallback callback,
                      void* userdata) {
    auto* w = new AvahiWatch{fd, callback, userdata};
    w->read = new QSocketNotifier(fd, QSocketNotifier::Read);
    w->write = new QSocketNotifier(fd, QSocketNotifier::Write);
    QObject::connect(w->read, &QSocketNotifier::activated,
                     [w] { watch_dispatch(w, AVAHI_WATCH_IN); });
    QObject::connect(w->write, &QSocketNotifier::activated,
                     [w] { watch_dispatch(w, AVAHI_WATCH_OUT); });
    watch_update(w, event);
    return w;
}

AvahiWatchEvent watch_get_events(AvahiWatch* w) {
    return static_cast<AvahiWatchEvent>(w->happened);
}

void watch_free(AvahiWatch* w) {
    if (!w->dispatching) {
        delete w->read;
        delete w->write;
        delete w;
        return;
    }
    for (QSocketNotifier* n : {w->read, w->write}) {
        n->setEnabled(false);
        n->disconnect();
        n->deleteLater();
    }
    w->freed = true;
}

void timeout_update(AvahiTimeout* t, const timeval* tv) {
    if (tv == nullptr) {
        t->timer->stop();
        return;
    }
    // avahi_age: how long ago `tv` was, in microseconds; a time in the past fires at once.
    const AvahiUsec due = -avahi_age(tv);
    t->timer->start(static_cast<int>(std::clamp<AvahiUsec>((due + 999) / 1000, 0, 86'400'000)));
}

AvahiTimeout* timeout_new(const AvahiPoll*, const timeval* tv, AvahiTimeoutCallback callback,
                          void* userdata) {
    auto* t = new AvahiTimeout{callback, userdata};
    t->timer = new QTimer;
    t->timer->setSingleShot(true);
    QObject::connect(t->timer, &QTimer::timeout, [t] {
        t->dispatching = true;
        t->callback(t, t->userdata);
        if (t->freed) {
            delete t;
            return;
        }
        t->dispatching = false;
    });
    timeout_update(t, tv);
    return t;
}

void timeout_free(AvahiTimeout* t) {
    if (!t->dispatching) {
        delete t->timer;
        delete t;
        return;
    }
    t->timer->stop();
    t->timer->disconnect();
    t->timer->deleteLater();
    t->freed = true;
}

}  // namespace

QtAvahiPoll::QtAvahiPoll()
    : api_{nullptr,    watch_new,   watch_update,   watch_get_events,
           watch_free, timeout_new, timeout_update, timeout_free} {}

}  // namespace korvel::remote
