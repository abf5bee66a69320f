#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>

#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "config/ConfigFile.h"
#include "config/Crc.h"
#include "link/TraceTasks.h"
#include "sim/Simulator.h"

// Instant pauses that count as time passed; a test may act at a chosen pause.
class FakePollClock : public PollClock {
public:
    void sleep(std::chrono::milliseconds duration) override
    {
        elapsed_ += duration;
        pauses.push_back(static_cast<int>(duration.count()));
        if (onSleep)
            onSleep(pauses.size());
    }
    std::chrono::milliseconds elapsed() const override { return elapsed_; }

    std::vector<int> pauses;
    std::function<void(std::size_t count)> onSleep;

private:
    std::chrono::milliseconds elapsed_{0};
};

inline QByteArray fileBytes(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct CliRun {
    int status;
    QString out;
    QString err;
};

// r4xx-cli against the simulated controller (an R-420ZA, capacity 64), at 14:05:09 on 5 March
// 2024 in a Russian locale, with standard error not a terminal unless a test says so.
class CliTest : public ::testing::Test {
protected:
    CliTest()
    {
        sim::Simulator::instance().reset();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        // The trace lines' time of day, fixed as the log's.
        tasks[static_cast<int>(TaskEvent::TracePoll)] = TraceFetch([] { return QStringLiteral("14:05:09"); });
    }
    ~CliTest() override
    {
        sim::Simulator::instance().reset();
        QLocale::setDefault(QLocale::c());
    }

    CliRun run(const QStringList& arguments)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        Console console{outStream,
                        errStream,
                        errIsTerminal,
                        clock,
                        [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)); },
                        [this] { return environmentCode; },
                        [this] { return promptCode; },
                        interrupted,
                        tasks,
                        {}};
        const int status = runCommandLine(QStringList{QStringLiteral("r4xx-cli")} + arguments, console);
        outStream.flush();
        errStream.flush();
        return {status, out, err};
    }

    // The controller's configuration as a read gives it: its image and its identity block.
    ConfigRecord controllerRecord()
    {
        ConfigRecord record;
        const std::vector<std::uint8_t> image = controller()->configMemory().read(0, CONFIG_IMAGE_SIZE);
        std::copy(image.begin(), image.end(), record.bytes.begin());
        const auto& settings = controller()->settings;
        record.setTypeWord(settings.typeWord);
        std::uint8_t* identity = record.data(Blocks::Identity);
        for (int i = 0; i < 4; ++i)
            qToLittleEndian<std::uint16_t>(settings.dieId[static_cast<std::size_t>(i)], identity + 2 + 2 * i);
        qToLittleEndian<std::uint16_t>(settings.chipId, identity + 10);
        return record;
    }
    QString saveRecord(ConfigRecord record, const QString& name = QStringLiteral("config.rcf"))
    {
        const QString file = path(name);
        EXPECT_EQ(saveConfigFile(file, record, TCrc()), SaveFileResult::Saved);
        return file;
    }
    QJsonObject json(const CliRun& run)
    {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
        return document.object();
    }

    sim::Simulator& simulator() { return sim::Simulator::instance(); }
    std::shared_ptr<sim::SimController> controller() { return simulator().controller(); }
    QString path(const QString& name) const { return folder.filePath(name); }

    // The log lines as printed, each with its time prefix.
    static QStringList logLines(const QString& err) { return err.split(u'\n', Qt::SkipEmptyParts); }
    static QString logged(const QString& text) { return QStringLiteral("14:05:09-> ") + text; }

    std::optional<QString> environmentCode;
    std::optional<QString> promptCode;
    bool errIsTerminal = false;
    std::atomic<bool> interrupted{false};
    FakePollClock clock;
    TaskTable tasks = deviceTasks();
    QTemporaryDir folder;
};
