#include "cli/TerminalPrompt.h"

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
const char Prompt[] = "Введите сервисный код: ";

// The terminal's settings as they were, put back however the reading ends.
class EchoOff {
public:
    explicit EchoOff(int fd)
        : fd_(fd)
    {
        active_ = tcgetattr(fd_, &saved_) == 0;
        if (!active_)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (active_)
            tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    bool active() const { return active_; }

private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

std::optional<std::string> readLine(int fd)
{
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got <= 0)
            return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (c == '\n')
            return line;
        line += c;
    }
}
}

std::optional<QString> promptServiceCode()
{
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> line;
    {
        EchoOff echoOff(fd);
        if (echoOff.active() && write(fd, Prompt, sizeof Prompt - 1) > 0)
            line = readLine(fd);
    }
    close(fd);
    if (!line)
        return std::nullopt;
    return QString::fromLocal8Bit(line->data(), static_cast<qsizetype>(line->size()));
}
