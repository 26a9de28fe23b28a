#include "remote/status_commands.h"

#include <string>

#include "platform/model_query.h"
#include "remote/control_commands.h"
#include "remote/device_messages.h"
#include "remote/operator_steps.h"

namespace korvel::remote {
namespace {

using scpi::RegisterGroup;
using Group = RegisterGroup scpi::StatusRegisters::*;
constexpr Group kOper = &scpi::StatusRegisters::operation;
constexpr Group kQues = &scpi::StatusRegisters::questionable;

// The one whole-number parameter of a register command, 0..max.
scpi::Fault read_register(const CommandCall& call, unsigned max, std::string_view name,
                          unsigned* bits) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    scpi::NumberRange range;
    range.max = max;
    range.whole = true;
    range.name = name;
    double value = 0.0;
    if (auto f = scpi::read_number(call.parameters[0], range, &value)) return f;
    *bits = static_cast<unsigned>(value);
    return std::nullopt;
}

scpi::Fault reply_bits(CommandCall& call, unsigned bits) {
    if (auto f = no_parameters(call)) return f;
    call.reply = std::to_string(bits);
    return std::nullopt;
}

template <Group G, void (RegisterGroup::*Set)(unsigned)>
scpi::Fault set_group(CommandCall& call) {
    unsigned bits = 0;
    if (auto f = read_register(call, RegisterGroup::kMask, "STATus register", &bits)) return f;
    ((call.status.*G).*Set)(bits);
    return std::nullopt;
}

template <Group G, unsigned (RegisterGroup::*Get)() const>
scpi::Fault query_group(CommandCall& call) {
    return reply_bits(call, ((call.status.*G).*Get)());
}

template <Group G>
scpi::Fault query_event(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    return reply_bits(call, (call.status.*G).take_event());
}

}  // namespace

void sample_conditions(scpi::StatusRegisters& status, int main_panel) {
    status.set_conditions(platform::wait_cursor_shown() ? scpi::kOperLoading : 0u,
                          unit_connected(main_panel) ? 0u : scpi::kQuesUnitMissing);
}

void note_load(bool loading) {
    device_messages().for_each_open([loading](scpi::StatusRegisters& status) {
        const unsigned others = status.operation.condition() & ~scpi::kOperLoading;
        status.set_conditions(others | (loading ? scpi::kOperLoading : 0u),
                              status.questionable.condition());
    });
}

scpi::Fault set_event_enable(CommandCall& call) {
    unsigned bits = 0;
    if (auto f = read_register(call, scpi::kByteMask, "*ESE", &bits)) return f;
    call.status.set_event_enable(bits);
    return std::nullopt;
}

scpi::Fault query_event_enable(CommandCall& call) {
    return reply_bits(call, call.status.event_enable());
}

scpi::Fault query_event_status(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    return reply_bits(call, call.status.take_event_status());
}

scpi::Fault set_request_enable(CommandCall& call) {
    unsigned bits = 0;
    if (auto f = read_register(call, scpi::kByteMask, "*SRE", &bits)) return f;
    call.status.set_request_enable(bits);
    return std::nullopt;
}

scpi::Fault query_request_enable(CommandCall& call) {
    return reply_bits(call, call.status.request_enable());
}

scpi::Fault query_status_byte(CommandCall& call) {
    return reply_bits(call, call.status.status_byte(call.message_available));
}

scpi::Fault request_opc(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.status.request_operation_complete();
    return std::nullopt;
}

scpi::Fault wait_to_continue(CommandCall& call) {
    // Every command, a load too, runs to its end before the next is read: nothing is pending
    // here. Should a load ever run on in the background, its OPERation bit 8 is what to wait for.
    return no_parameters(call);
}

scpi::Fault query_operation_event(CommandCall& call) {
    return query_event<kOper>(call);
}
scpi::Fault query_operation_condition(CommandCall& call) {
    return query_group<kOper, &RegisterGroup::condition>(call);
}
scpi::Fault set_operation_enable(CommandCall& call) {
    return set_group<kOper, &RegisterGroup::set_enable>(call);
}
scpi::Fault query_operation_enable(CommandCall& call) {
    return query_group<kOper, &RegisterGroup::enable>(call);
}
scpi::Fault set_operation_ptr(CommandCall& call) {
    return set_group<kOper, &RegisterGroup::set_positive_filter>(call);
}
scpi::Fault query_operation_ptr(CommandCall& call) {
    return query_group<kOper, &RegisterGroup::positive_filter>(call);
}
scpi::Fault set_operation_ntr(CommandCall& call) {
    return set_group<kOper, &RegisterGroup::set_negative_filter>(call);
}
scpi::Fault query_operation_ntr(CommandCall& call) {
    return query_group<kOper, &RegisterGroup::negative_filter>(call);
}
scpi::Fault query_questionable_event(CommandCall& call) {
    return query_event<kQues>(call);
}
scpi::Fault query_questionable_condition(CommandCall& call) {
    return query_group<kQues, &RegisterGroup::condition>(call);
}
scpi::Fault set_questionable_enable(CommandCall& call) {
    return set_group<kQues, &RegisterGroup::set_enable>(call);
}
scpi::Fault query_questionable_enable(CommandCall& call) {
    return query_group<kQues, &RegisterGroup::enable>(call);
}
scpi::Fault set_questionable_ptr(CommandCall& call) {
    return set_group<kQues, &RegisterGroup::set_positive_filter>(call);
}
scpi::Fault query_questionable_ptr(CommandCall& call) {
    return query_group<kQues, &RegisterGroup::positive_filter>(call);
}
scpi::Fault set_questionable_ntr(CommandCall& call) {
    return set_group<kQues, &RegisterGroup::set_negative_filter>(call);
}
scpi::Fault query_questionable_ntr(CommandCall& call) {
    return query_group<kQues, &RegisterGroup::negative_filter>(call);
}

scpi::Fault status_preset(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.status.preset();
    return std::nullopt;
}

scpi::Fault query_version(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.reply = "1999.0";
    return std::nullopt;
}

scpi::Fault query_error_count(CommandCall& call) {
    return reply_bits(call, static_cast<unsigned>(call.errors.size()));
}

scpi::Fault query_all_errors(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    do {
        if (!call.reply.empty()) call.reply += ',';
        call.reply += scpi::error_reply(call.errors.pop());
    } while (call.errors.size() > 0);
    return std::nullopt;
}

}  // namespace korvel::remote
