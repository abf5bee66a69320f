#include "simpanel/FaultArming.h"

#include <memory>

#include "sim/SimController.h"

namespace simpanel {

namespace {
using ReplyChange = void (*)(const sim::Request&, std::vector<std::uint8_t>&);

void halve(const sim::Request&, std::vector<std::uint8_t>& reply)
{
    reply.resize(reply.size() / 2);
}

void wrongCode(const sim::Request&, std::vector<std::uint8_t>& reply)
{
    if (!reply.empty())
        reply[0] ^= 0x80;
}

// Rewrites the next reply only, or every reply.
void armReplyChange(sim::SimController& controller, FaultScope scope, ReplyChange change)
{
    if (scope == FaultScope::EveryExchange) {
        controller.faults.replyFilter = change;
        return;
    }
    auto pending = std::make_shared<bool>(true);
    controller.faults.replyFilter = [pending, change](const sim::Request& request,
                                                      std::vector<std::uint8_t>& reply) {
        if (*pending)
            change(request, reply);
        *pending = false;
    };
}

void armResult(sim::SimController& controller, FaultScope scope, int result)
{
    if (scope == FaultScope::EveryExchange)
        controller.faults.everyTransferResult = result;
    else
        controller.faults.transferResults[controller.transferCount()] = result;
}

void armConnectionFault(sim::SimController& controller, FaultScope scope, bool sim::Faults::*fault)
{
    controller.faults.*fault = true;
    controller.faults.connectionFaultsOnce = scope == FaultScope::NextExchange;
}
}

void armFault(sim::SimController& controller, const FaultChoice& choice)
{
    switch (choice.kind) {
    case FaultKind::TimedOut:
        return armResult(controller, choice.scope, sim::UsbError::TimedOut);
    case FaultKind::UsbFailure:
        return armResult(controller, choice.scope, sim::UsbError::Io);
    case FaultKind::ShortReply:
        return armReplyChange(controller, choice.scope, halve);
    case FaultKind::WrongReplyCode:
        return armReplyChange(controller, choice.scope, wrongCode);
    case FaultKind::ConfigurationRefused:
        return armConnectionFault(controller, choice.scope, &sim::Faults::configurationRefused);
    case FaultKind::InterfaceBusy:
        return armConnectionFault(controller, choice.scope, &sim::Faults::interfaceBusy);
    case FaultKind::UnplugAfter:
        controller.faults.disconnectAfterExchanges = controller.exchangeCount() + choice.exchanges;
        return;
    }
}

void clearFaults(sim::SimController& controller)
{
    const auto latency = controller.faults.latency;
    controller.faults = {};
    controller.faults.latency = latency;
}

} // namespace simpanel
