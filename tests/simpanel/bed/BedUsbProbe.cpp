// A program for r4xx-usbfs-bed to run in the bed's tests: it talks to the emulated controllers
// through Debian's libusb 0.1 alone, framing requests and reading replies with the link layer's
// protocol functions, and prints what each controller answered.
//
//     bed_usb_probe list                              identity of every controller, and their number
//     bed_usb_probe read-memory ADDRESS COUNT         configuration memory of every controller
//     bed_usb_probe write-memory BUS/DEV ADDRESS HEX  into one controller's configuration memory
//     bed_usb_probe read-flash ADDRESS COUNT          firmware memory of every controller
//     bed_usb_probe write-flash BUS/DEV ADDRESS HEX   one page program on one controller
//     bed_usb_probe claim-twice BUS/DEV               two opens of one controller, both claimed
//     bed_usb_probe hold BUS/DEV PROGRAM [ARGS...]    runs PROGRAM while holding the controller
//
// Every controller is printed as "BUS/DEV" in path order. The exit status is 0 when every step
// worked, 1 when one failed (its result printed), 2 for a command line it does not know.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <usb.h>

#include <QByteArray>

#include "link/Packet.h"
#include "link/Protocol.h"

extern char** environ;

namespace {

constexpr int TimeoutMs = 1000;

struct Controller {
    std::string path; // BUS/DEV
    struct usb_device* device = nullptr;
};

std::vector<Controller> controllers()
{
    usb_init();
    usb_find_busses();
    usb_find_devices();
    std::vector<Controller> found;
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* device = bus->devices; device; device = device->next)
            if (device->descriptor.idVendor == Usb::VendorId
                && device->descriptor.idProduct == Usb::ProductId)
                found.push_back({std::string(bus->dirname) + "/" + device->filename, device});
    std::sort(found.begin(), found.end(),
              [](const Controller& a, const Controller& b) { return a.path < b.path; });
    return found;
}

// An open, configured and claimed controller, with a buffer as large as its packets.
class Session {
public:
    explicit Session(const Controller& controller) : path_(controller.path)
    {
        handle_ = usb_open(controller.device);
        if (!handle_) {
            failure_ = "open failed";
            return;
        }
        const int configured = usb_set_configuration(handle_, Usb::NormalConfiguration);
        const int claimed = usb_claim_interface(handle_, Usb::Interface);
        claimed_ = claimed == 0;
        if (configured < 0 || claimed < 0)
            failure_ = "configuration " + std::to_string(configured) + " claim " + std::to_string(claimed);
        else
            probe();
    }
    ~Session()
    {
        if (claimed_)
            usb_release_interface(handle_, Usb::Interface);
        if (handle_)
            usb_close(handle_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ready() const { return failure_.empty(); }
    // Prints "BUS/DEV what" and says whether the step worked.
    bool report(const std::string& what) const
    {
        std::printf("%s %s\n", path_.c_str(), (ready() ? what : failure_).c_str());
        // A program this one runs prints after it.
        std::fflush(stdout);
        return ready();
    }

    // The request framed by `frame` in the buffer, sent, and the reply read: its length.
    int exchange(const std::function<int(std::uint8_t*)>& frame)
    {
        const int length = frame(buffer_.data());
        const int sent = usb_bulk_write(handle_, Usb::RequestEndpoint, chars(), length, TimeoutMs);
        const int read = sent < 0 ? sent
                                  : usb_bulk_read(handle_, Usb::ReplyEndpoint, chars(),
                                                  static_cast<int>(buffer_.size()), TimeoutMs);
        if (read < 0)
            failure_ = "transfer " + std::to_string(read);
        return read;
    }
    const std::uint8_t* reply() const { return buffer_.data(); }
    void fail(const std::string& why) { failure_ = why; }

private:
    void probe()
    {
        buffer_.assign(Usb::ProbeSize, 0);
        const int length = exchange(Protocol::probeRequest);
        if (length < 0)
            return;
        const auto capacity = Protocol::probeReply(buffer_.data(), length);
        if (Protocol::failureOf(capacity))
            failure_ = "probe refused";
        else
            buffer_.assign(static_cast<std::size_t>(std::get<int>(capacity)) + Usb::HeaderSize, 0);
    }
    char* chars() { return reinterpret_cast<char*>(buffer_.data()); }

    std::string path_;
    usb_dev_handle* handle_ = nullptr;
    bool claimed_ = false;
    std::vector<std::uint8_t> buffer_;
    std::string failure_;
};

std::string hexOf(std::span<const std::uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
        .toHex()
        .toUpper()
        .toStdString();
}

std::vector<std::uint8_t> bytesOf(const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return {bytes.begin(), bytes.end()};
}

std::string word(std::span<const std::uint8_t> block, int index)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", readLe16(block.data() + 2 * index));
    return text;
}

bool identify(Session& session)
{
    const int length = session.exchange(Protocol::identityRequest);
    if (length >= 0) {
        const auto identity = Protocol::identityReply(session.reply(), length);
        if (Protocol::failureOf(identity))
            session.fail("identity refused");
        else {
            const auto& block = std::get<Protocol::IdentityBlock>(identity);
            return session.report("type " + word(block, 0) + " die " + word(block, 1) + ":"
                                  + word(block, 2) + ":" + word(block, 3) + ":" + word(block, 4)
                                  + " chip " + word(block, 5));
        }
    }
    return session.report("");
}

// The data of a reply that must carry `count` bytes.
bool printData(Session& session, int length, int count)
{
    if (length < 0)
        return session.report("");
    const auto data = Protocol::dataReply(session.reply(), length, count);
    if (Protocol::failureOf(data)) {
        session.fail("short reply");
        return session.report("");
    }
    return session.report(hexOf(std::get<std::span<const std::uint8_t>>(data)));
}

bool readMemory(Session& session, int address, int count)
{
    const int length = session.exchange([&](std::uint8_t* packet) {
        return Protocol::memoryRequest(packet, address, count, {});
    });
    return printData(session, length, count);
}

bool readFlash(Session& session, int address, int count)
{
    const int length = session.exchange([&](std::uint8_t* packet) {
        return Protocol::flashRequest(packet, {0x03, std::uint8_t(address >> 16), std::uint8_t(address >> 8),
                                               std::uint8_t(address)},
                                      {}, count);
    });
    return printData(session, length, count);
}

bool writeMemory(Session& session, int address, const std::vector<std::uint8_t>& data)
{
    const int length = session.exchange([&](std::uint8_t* packet) {
        return Protocol::memoryRequest(packet, address, 0, data);
    });
    return session.report(length < 0 ? "" : "written " + std::to_string(data.size()));
}

// Write enable, page program, then status reads until the chip is no longer busy.
bool writeFlash(Session& session, int address, const std::vector<std::uint8_t>& data)
{
    session.exchange([](std::uint8_t* packet) { return Protocol::flashRequest(packet, {0x06}, {}, 0); });
    session.exchange([&](std::uint8_t* packet) {
        return Protocol::flashRequest(packet, {0x02, std::uint8_t(address >> 16), std::uint8_t(address >> 8),
                                               std::uint8_t(address)},
                                      data, 0);
    });
    for (int poll = 0; session.ready() && poll < 100; ++poll) {
        const int length = session.exchange(
            [](std::uint8_t* packet) { return Protocol::flashRequest(packet, {0x05}, {}, 1); });
        if (length > Usb::HeaderSize && !(session.reply()[Usb::HeaderSize] & 0x01))
            return session.report("written " + std::to_string(data.size()));
    }
    if (session.ready())
        session.fail("still busy");
    return session.report("");
}

bool onEvery(const std::function<bool(Session&)>& step)
{
    bool worked = true;
    for (const Controller& controller : controllers()) {
        Session session(controller);
        worked = (session.ready() ? step(session) : session.report("")) && worked;
    }
    return worked;
}

bool onOne(const char* path, const std::function<bool(Session&)>& step)
{
    for (const Controller& controller : controllers()) {
        if (controller.path != path)
            continue;
        Session session(controller);
        return session.ready() ? step(session) : session.report("");
    }
    std::printf("%s not found\n", path);
    return false;
}

// Two handles of one controller: both configured before either claims, as two programs starting
// together would; then each claims.
bool claimTwice(const char* path)
{
    for (const Controller& controller : controllers()) {
        if (controller.path != path)
            continue;
        usb_dev_handle* first = usb_open(controller.device);
        usb_dev_handle* second = usb_open(controller.device);
        const int configured[] = {usb_set_configuration(first, Usb::NormalConfiguration),
                                  usb_set_configuration(second, Usb::NormalConfiguration)};
        const int claimed[] = {usb_claim_interface(first, Usb::Interface),
                               usb_claim_interface(second, Usb::Interface)};
        std::printf("%s first: configuration %d claim %d\n", path, configured[0], claimed[0]);
        std::printf("%s second: configuration %d claim %d\n", path, configured[1], claimed[1]);
        usb_close(second);
        usb_close(first);
        return true;
    }
    std::printf("%s not found\n", path);
    return false;
}

int runProgram(char** program)
{
    pid_t child = 0;
    if (posix_spawnp(&child, program[0], nullptr, nullptr, program, environ) != 0)
        return 127;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

int hold(const char* path, char** program)
{
    int status = 1;
    const bool held = onOne(path, [&](Session& session) {
        session.report("held");
        status = runProgram(program);
        return true;
    });
    return held ? status : 1;
}

int status(bool worked)
{
    return worked ? 0 : 1;
}

int number(const char* text)
{
    return static_cast<int>(std::strtol(text, nullptr, 0));
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "list" && argc == 2) {
        const bool worked = onEvery(identify);
        std::printf("controllers: %zu\n", controllers().size());
        return status(worked);
    }
    if (command == "read-memory" && argc == 4)
        return status(onEvery([&](Session& s) { return readMemory(s, number(argv[2]), number(argv[3])); }));
    if (command == "write-memory" && argc == 5)
        return status(onOne(argv[2], [&](Session& s) { return writeMemory(s, number(argv[3]), bytesOf(argv[4])); }));
    if (command == "read-flash" && argc == 4)
        return status(onEvery([&](Session& s) { return readFlash(s, number(argv[2]), number(argv[3])); }));
    if (command == "write-flash" && argc == 5)
        return status(onOne(argv[2], [&](Session& s) { return writeFlash(s, number(argv[3]), bytesOf(argv[4])); }));
    if (command == "claim-twice" && argc == 3)
        return status(claimTwice(argv[2]));
    if (command == "hold" && argc > 3)
        return hold(argv[2], argv + 3);
    std::fprintf(stderr, "usage: see the comment at the top of BedUsbProbe.cpp\n");
    return 2;
}
