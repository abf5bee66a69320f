#pragma once

#include <chrono>
#include <utility>

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
    // The program's name starts the message of a failed write.
    explicit TrafficFile(QString program) : program_(std::move(program)) {}

    // False with the reason in `error` when the file cannot be opened for appending.
    bool open(const QString& path, QString& error);
    // Opens the file a start option names and attaches it; nothing for an empty path. Returns
    // what a program refusing its command line says, empty when the file is open.
    QString start(const QString& path);
    // Starts and stops receiving the simulator's transfers.
    void attach();
    void detach();
    void append(const sim::Transfer& transfer);

private:
    QString program_;
    QFile file_;
    std::chrono::steady_clock::time_point start_;
    bool failed_ = false;
};

} // namespace simpanel
