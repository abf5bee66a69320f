#pragma once

#include <map>

#include <QPointer>
#include <QWidget>

#include "link/Notifier.h"

// A window that device tasks report to. It handles the kinds of report it receives and ignores
// the others.
class NotifiedWindow {
public:
    virtual void OnDeviceMessage(const TaskReport& report) = 0;
    // Code 9: what the window gives its task. A window with nothing to give answers as empty.
    virtual TaskInput OnDeviceRequest(const TaskRequest& wanted) { return emptyInput(wanted); }

protected:
    ~NotifiedWindow() = default;
};

// The one window of each target, set when the window is created and cleared when it closes.
// Used on the user-interface thread only: the notification bridge looks windows up there.
class WindowRegistry {
public:
    void enrol(Target target, NotifiedWindow& handler, QWidget& widget);
    // Clears the entry only while it still names this window.
    void withdraw(Target target, const NotifiedWindow& handler);

    // Null when the target has no window (or its widget was destroyed without closing).
    NotifiedWindow* handler(Target target) const;
    QWidget* widget(Target target) const;

private:
    struct Entry {
        NotifiedWindow* handler = nullptr;
        QPointer<QWidget> widget;
    };
    std::map<Target, Entry> entries_;
};
