#include "FirstFrame.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

long long monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// Waits for the first paint of any widget of the window; the frame is complete once the paint
// pass it belongs to has ended, so the stamp is taken by the next turn of the event loop.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget& window, bool stay)
        : window_(window)
        , stay_(stay)
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && widget->window() == &window_) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { stamp(); });
        }
        return false;
    }

private:
    void stamp()
    {
        std::printf("%lld\n", monotonicNs());
        std::fflush(stdout);
        if (!stay_)
            _exit(0);
    }

    QWidget& window_;
    bool stay_;
};

} // namespace

void stampFirstFrame(QWidget& window, bool stay)
{
    new FirstPaint(window, stay);
}
