#include "remote/session.h"

#include "remote/command_table.h"
#include "scpi/line_framer.h"
#include "scpi/message_parser.h"

namespace korvel::remote {

std::string Session::run_line(std::string_view line) {
    const scpi::Message message = scpi::parse_message(line);
    std::vector<std::string> replies;
    std::vector<std::string> path;  // nodes before the last one of the latest compound header
    bool failed = false;
    for (const scpi::MessageUnit& unit : message.units) {
        const scpi::Header& h = unit.header;
        std::vector<std::string> nodes = h.nodes;
        if (!h.common && !h.rooted) nodes.insert(nodes.begin(), path.begin(), path.end());
        const CommandDef* command = find_command(h.common, nodes);
        const CommandHandler handler =
            command == nullptr ? nullptr : (h.query ? command->query : command->set);
        if (handler == nullptr) {
            errors_.push(scpi::Error{scpi::kUndefinedHeader, {}});
            failed = true;
            break;
        }
        CommandCall call{unit.parameters, {}, errors_};
        if (scpi::Fault fault = handler(call)) {
            errors_.push(std::move(*fault));
            failed = true;
            break;
        }
        if (h.query) replies.push_back(std::move(call.reply));
        if (!h.common) path.assign(nodes.begin(), nodes.end() - 1);
    }
    if (!failed && message.error) errors_.push(*message.error);

    std::string reply;
    for (const std::string& r : replies) {
        if (!reply.empty()) reply += ';';
        reply += r;
    }
    return replies.empty() ? std::string() : reply + "\n";
}

void Session::line_discarded() {
    errors_.push(scpi::Error{
        scpi::kCommandError,
        "line longer than " + std::to_string(scpi::LineFramer::kMaxLine) + " bytes discarded"});
}

}  // namespace korvel::remote
