#include "simpanel/TrafficFile.h"

#include <cstdio>

#include "sim/Simulator.h"
#include "simpanel/TrafficFormat.h"

namespace simpanel {

bool TrafficFile::open(const QString& path, QString& error)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error = file_.errorString();
        return false;
    }
    start_ = std::chrono::steady_clock::now();
    return true;
}

QString TrafficFile::start(const QString& path)
{
    if (path.isEmpty())
        return {};
    QString error;
    if (!open(path, error))
        return QStringLiteral("файл трафика %1: %2").arg(path, error);
    attach();
    return {};
}

void TrafficFile::attach()
{
    sim::Simulator::instance().setTrafficObserver(
        [this](const sim::Transfer& transfer) { append(transfer); });
}

void TrafficFile::detach()
{
    sim::Simulator::instance().setTrafficObserver({});
}

// Each line is flushed at once, so a script reading the file sees a transfer as it happens.
// A failed write is reported once on the error stream; the terminal goes on.
void TrafficFile::append(const sim::Transfer& transfer)
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start_);
    const QByteArray line = trafficJsonLine(transfer, elapsed.count());
    const bool written = file_.write(line) == line.size() && file_.flush();
    if (!written && !failed_) {
        failed_ = true;
        std::fprintf(stderr, "%s: запись в %s не удалась: %s\n", qPrintable(program_),
                     qPrintable(file_.fileName()), qPrintable(file_.errorString()));
    }
}

} // namespace simpanel
