// The host-facing operations: popups, file dialogs, clipboard, the stdio window, the event loop
// and deferred calls.
#include "platform/host_services.h"

#include <algorithm>
#include <cstdarg>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/headless_host.h"
#include "platform/operator_input.h"
#include "platform/ui_model.h"
#include "platform/user_interface.h"
#include "service_output/service_output.h"

namespace korvel::platform {
namespace {

HostServices* g_host = nullptr;
MessageTaker g_message_taker;

// Counts a dialog waiting for the operator for as long as it lives, and what it says.
class ModalScope {
  public:
    ModalScope(std::string_view title, std::string_view text) {
        auto& m = detail::model();
        ++m.modal_dialogs;
        m.modal_titles.push_back(std::string(title) + ": " + std::string(text));
    }
    ~ModalScope() {
        auto& m = detail::model();
        --m.modal_dialogs;
        if (!m.modal_titles.empty()) m.modal_titles.pop_back();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

const char* or_empty(const char* s) {
    return s != nullptr ? s : "";
}

int select_file(const char* directory, const char* file_pattern, const char* type_list,
                const char* title, int button, int restrict_dir, int restrict_ext,
                char* path_name) {
    if (path_name == nullptr) return UIEBadArgument;
    FileSelectRequest request{
        or_empty(directory), or_empty(file_pattern), or_empty(type_list), or_empty(title), button,
        restrict_dir != 0,   restrict_ext != 0};
    std::string path;
    int result = VAL_NO_FILE_SELECTED;
    auto& m = detail::model();
    if (m.typed_file_answer) {
        path = *m.typed_file_answer;
        ++m.typed_file_dialogs;
        std::error_code ec;
        result =
            std::filesystem::exists(path, ec) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
    } else {
        const ModalScope modal(request.title, "choosing a file");
        result = host().file_select(request, &path);
    }
    if (result <= 0 || path.empty()) return VAL_NO_FILE_SELECTED;
    if (result != VAL_NEW_FILE_SELECTED) result = VAL_EXISTING_FILE_SELECTED;
    detail::copy_to_buffer(path, path_name, MAX_PATHNAME_LEN);
    return result;
}

}  // namespace

HostServices& host() {
    return g_host != nullptr ? *g_host : default_headless_host();
}

void set_host(HostServices* h) {
    g_host = h;
}

void set_message_taker(MessageTaker taker) {
    g_message_taker = std::move(taker);
}

void add_view_observer(ViewObserver* observer) {
    auto& list = detail::model().observers;
    if (observer != nullptr && std::find(list.begin(), list.end(), observer) == list.end())
        list.push_back(observer);
}

void remove_view_observer(ViewObserver* observer) {
    std::erase(detail::model().observers, observer);
}

void post_deferred_call(std::function<void()> fn) {
    if (fn) detail::model().deferred.push_back(std::move(fn));
}

int run_deferred_calls() {
    auto& queue = detail::model().deferred;
    // Calls posted while these run wait for the next turn.
    std::size_t pending = queue.size();
    int ran = 0;
    while (pending-- > 0 && !queue.empty()) {
        std::function<void()> fn = std::move(queue.front());
        queue.pop_front();
        detail::DispatchScope scope;
        fn();
        ++ran;
    }
    return ran;
}

TypedFileDialogAnswer::TypedFileDialogAnswer(std::string path)
    : previous_(std::move(detail::model().typed_file_answer)),
      answered_before_(detail::model().typed_file_dialogs) {
    detail::model().typed_file_answer = std::move(path);
}

TypedFileDialogAnswer::~TypedFileDialogAnswer() {
    detail::model().typed_file_answer = std::move(previous_);
}

int TypedFileDialogAnswer::dialogs_answered() const {
    return detail::model().typed_file_dialogs - answered_before_;
}

bool has_deferred_calls() {
    return !detail::model().deferred.empty();
}

bool quit_requested() {
    return detail::model().quit;
}

int quit_code() {
    return detail::model().quit_code;
}

}  // namespace korvel::platform

using korvel::platform::host;

int MessagePopup(const char* title, const char* message) {
    using namespace korvel::platform;
    if (g_message_taker) {
        // A copy: the taker may replace itself.
        const MessageTaker taker = g_message_taker;
        taker(or_empty(title), or_empty(message));
        return 0;
    }
    const ModalScope modal(or_empty(title), or_empty(message));
    host().message_popup(or_empty(title), or_empty(message));
    return 0;
}

int ChoicePopup(const char* title, const char* message, const char* yes, const char* no) {
    using korvel::platform::or_empty;
    const korvel::platform::ModalScope modal(or_empty(title), or_empty(message));
    return host().choice_popup(or_empty(title), or_empty(message), or_empty(yes), or_empty(no)) ? 1
                                                                                                : 0;
}

int FileSelectPopup(const char* defaultDirectory, const char* defaultFilePattern,
                    const char* fileTypeList, const char* title, int buttonLabel,
                    int restrictDirectory, int restrictExtension, int, int, char* pathName) {
    return korvel::platform::select_file(defaultDirectory, defaultFilePattern, fileTypeList, title,
                                         buttonLabel, restrictDirectory, restrictExtension,
                                         pathName);
}

int FileSelectPopupEx(const char* defaultDirectory, const char* defaultFilePattern,
                      const char* fileTypeList, const char* title, int buttonLabel,
                      int restrictDirectory, int restrictExtension, char* pathName) {
    return korvel::platform::select_file(defaultDirectory, defaultFilePattern, fileTypeList, title,
                                         buttonLabel, restrictDirectory, restrictExtension,
                                         pathName);
}

int SetWaitCursor(int on) {
    korvel::platform::detail::model().wait_cursor = on != 0;
    host().set_wait_cursor(on != 0);
    return 0;
}

int ClipboardPutText(const char* text) {
    host().clipboard_put_text(korvel::platform::or_empty(text));
    return 0;
}

int StdioPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text;
    const int n = korvel::format_text(&text, format, args);
    va_end(args);
    if (n >= 0) host().stdio_write(text);
    return n;
}

int StdioPuts(std::string_view text) {
    host().stdio_write(text);
    return static_cast<int>(text.size());
}

int StdioGetchar() {
    // Waiting for the operator's typing in the window is a wait like a dialog's.
    const korvel::platform::ModalScope modal("Standard Input/Output", "waiting for input");
    return host().stdio_getchar();
}

int ProcessDrawEvents() {
    host().process_draw_events();
    return 0;
}

int RunUserInterface() {
    auto& m = korvel::platform::detail::model();
    m.quit = false;
    host().run_event_loop();
    return m.quit_code;
}

int QuitUserInterface(int returnCode) {
    auto& m = korvel::platform::detail::model();
    m.quit = true;
    m.quit_code = returnCode;
    host().quit_event_loop();
    return 0;
}
