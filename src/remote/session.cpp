#include "remote/session.h"

#include "app/state.h"
#include "fpga/fpga_load.h"
#include "platform/model_query.h"
#include "remote/command_table.h"
#include "remote/device_messages.h"
#include "remote/status_commands.h"
#include "scpi/line_framer.h"
#include "scpi/message_parser.h"

namespace korvel::remote {
namespace {

bool refused_while_box(const CommandDef& command, bool query) {
    return command.while_box == WhileBoxOpen::Neither ||
           (command.while_box == WhileBoxOpen::QueryOnly && !query);
}

}  // namespace

Session::Session() : Session(app::main_panel) {}

Session::Session(const int& main_panel) : main_panel_(&main_panel) {
    set_load_listener(&note_load);
    device_messages().attach(&status_);
}

Session::~Session() {
    device_messages().detach(&status_);
}

std::string Session::run_line(std::string_view line) {
    sample_conditions(status_, *main_panel_);
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
            status_.report(scpi::Error{scpi::kUndefinedHeader, {}});
            failed = true;
            break;
        }
        if (platform::modal_dialogs_open() > 0 && refused_while_box(*command, h.query)) {
            status_.report(
                scpi::Error{scpi::kSettingsConflict, platform::modal_dialog_description()});
            failed = true;
            break;
        }
        CommandCall call{unit.parameters,  {},          status_.errors(), status_,
                         !replies.empty(), *main_panel_};
        scpi::Fault fault = handler(call);
        sample_conditions(status_, *main_panel_);
        if (fault) {
            status_.report(std::move(*fault));
            failed = true;
            break;
        }
        if (h.query) replies.push_back(std::move(call.reply));
        if (!h.common) path.assign(nodes.begin(), nodes.end() - 1);
    }
    if (!failed && message.error) status_.report(*message.error);

    std::string reply;
    for (const std::string& r : replies) {
        if (!reply.empty()) reply += ';';
        reply += r;
    }
    return replies.empty() ? std::string() : reply + "\n";
}

void Session::line_discarded() {
    status_.report(scpi::Error{
        scpi::kCommandError,
        "line longer than " + std::to_string(scpi::LineFramer::kMaxLine) + " bytes discarded"});
}

}  // namespace korvel::remote
