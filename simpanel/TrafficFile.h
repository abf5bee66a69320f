#pragma once

#include <chrono>

#include <QFile>
#include <QString>

namespace sim {
struct Transfer;
}

namespace simpanel {

// Appends every transfer of the simulated controller to a file, one JSON line each, stamped
// with the microseconds since the file was opened (a monotonic clock).
class TrafficFile {
public:
    // False with the reason in `error` when the file cannot be opened for appending.
    bool open(const QString& path, QString& error);
    // Starts and stops receiving the simulator's transfers.
    void attach();
    void detach();
    void append(const sim::Transfer& transfer);

private:
    QFile file_;
    std::chrono::steady_clock::time_point start_;
    bool failed_ = false;
};

} // namespace simpanel
