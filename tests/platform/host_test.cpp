// Popups, file dialogs, clipboard, the stdio window, the event loop and view notifications.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "platform/view_observer.h"
#include "ui_fixture.h"

namespace korvel::platform::testing {
namespace {

using HostTest = UiTest;

TEST_F(HostTest, PopupsClipboardAndPrintedOutputAreRecorded) {
    MessagePopup("Restore Error", "Unable to find Restore File");
    ClipboardPutText("x.x.");
    StdioPrintf("DAC %d = %5.3f V\n", 3, 2.4);
    StdioPuts("done\n");
    EXPECT_EQ(host().popups,
              (std::vector<RecordedPopup>{{"Restore Error", "Unable to find Restore File"}}));
    EXPECT_EQ(host().clipboard, "x.x.");
    EXPECT_EQ(host().stdio_output, "DAC 3 = 2.400 V\ndone\n");
}

TEST_F(HostTest, FileDialogCancelsByDefaultAndAnswersFromTheQueue) {
    char path[MAX_PATHNAME_LEN] = "unchanged";
    EXPECT_EQ(
        FileSelectPopupEx("", "*.txt", "", "Choose a file to open", VAL_LOAD_BUTTON, 0, 0, path),
        VAL_NO_FILE_SELECTED);
    EXPECT_STREQ(path, "unchanged");
    host().answer_file_dialog("/tmp/pattern.txt");
    host().answer_file_dialog("/tmp/new.cfg", VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(FileSelectPopup("", "*.txt", "", "t", VAL_OK_BUTTON, 0, 0, 1, 0, path),
              VAL_EXISTING_FILE_SELECTED);
    EXPECT_STREQ(path, "/tmp/pattern.txt");
    EXPECT_EQ(FileSelectPopupEx("", "", "", "Save", VAL_SAVE_BUTTON, 0, 0, path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_STREQ(path, "/tmp/new.cfg");
    ASSERT_EQ(host().file_requests.size(), 3u);
    EXPECT_EQ(host().file_requests[0].title, "Choose a file to open");
    EXPECT_EQ(host().file_requests[0].button_label, VAL_LOAD_BUTTON);
}

TEST_F(HostTest, OverlongPathsAreCutToTheBuffer) {
    char path[MAX_PATHNAME_LEN];
    host().answer_file_dialog(std::string(2000, 'a'));
    FileSelectPopupEx("", "", "", "", VAL_LOAD_BUTTON, 0, 0, path);
    EXPECT_EQ(std::strlen(path), static_cast<std::size_t>(MAX_PATHNAME_LEN - 1));
    EXPECT_EQ(FileSelectPopupEx("", "", "", "", VAL_LOAD_BUTTON, 0, 0, nullptr), UIEBadArgument);
}

TEST_F(HostTest, TypedAnswersTakeThePlaceOfTheDialogForAsLongAsTheyLive) {
    char path[MAX_PATHNAME_LEN] = "unchanged";
    const std::string existing = ::testing::TempDir();  // a directory that exists
    {
        TypedFileDialogAnswer typed("/no/such/dir/new.cfg");
        EXPECT_EQ(FileSelectPopupEx("", "", "", "Save", VAL_SAVE_BUTTON, 0, 0, path),
                  VAL_NEW_FILE_SELECTED);
        EXPECT_STREQ(path, "/no/such/dir/new.cfg");
        {
            TypedFileDialogAnswer inner(existing);
            EXPECT_EQ(FileSelectPopup("", "*.txt", "", "t", VAL_OK_BUTTON, 0, 0, 1, 0, path),
                      VAL_EXISTING_FILE_SELECTED);
            EXPECT_EQ(inner.dialogs_answered(), 1);
        }
        EXPECT_EQ(FileSelectPopupEx("", "", "", "Save", VAL_SAVE_BUTTON, 0, 0, path),
                  VAL_NEW_FILE_SELECTED);
        EXPECT_STREQ(path, "/no/such/dir/new.cfg");
        EXPECT_EQ(typed.dialogs_answered(), 3);
    }
    EXPECT_TRUE(host().file_requests.empty());  // no dialog was shown
    // Gone again: the host is asked (and cancels).
    EXPECT_EQ(FileSelectPopupEx("", "", "", "", VAL_LOAD_BUTTON, 0, 0, path), VAL_NO_FILE_SELECTED);
    EXPECT_EQ(host().file_requests.size(), 1u);
}

// A host that notes, while each dialog shows, how many dialogs the model counts as open.
class CountingHost : public HeadlessHost {
  public:
    void message_popup(std::string_view title, std::string_view message) override {
        seen.push_back(modal_dialogs_open());
        HeadlessHost::message_popup(title, message);
    }
    int file_select(const FileSelectRequest& request, std::string* path) override {
        seen.push_back(modal_dialogs_open());
        return HeadlessHost::file_select(request, path);
    }
    int stdio_getchar() override {
        seen.push_back(modal_dialogs_open());
        return 'y';
    }
    std::vector<int> seen;
};

TEST_F(HostTest, DialogsWaitingForTheOperatorAreCounted) {
    CountingHost counting;
    set_host(&counting);
    char path[MAX_PATHNAME_LEN];
    EXPECT_EQ(modal_dialogs_open(), 0);
    MessagePopup("Error", "text");
    FileSelectPopupEx("", "", "", "", VAL_LOAD_BUTTON, 0, 0, path);
    {
        TypedFileDialogAnswer typed("x");  // answered at once: no dialog waits
        FileSelectPopupEx("", "", "", "", VAL_LOAD_BUTTON, 0, 0, path);
    }
    EXPECT_EQ(StdioGetchar(), 'y');
    EXPECT_EQ(counting.seen, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(modal_dialogs_open(), 0);
    set_host(nullptr);
}

// A pipe standing in for the process's standard input, already holding `text`; with
// `close_writer` the writing end is closed, so the reader meets end of input after the text.
struct StandardInput {
    explicit StandardInput(std::string_view text, bool close_writer = true) {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe");
        if (write(fds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            throw std::runtime_error("write");
        writer = fds[1];
        if (close_writer) close_writing_end();
        reader = fdopen(fds[0], "r");
    }
    ~StandardInput() {
        close_writing_end();
        std::fclose(reader);
    }
    void close_writing_end() {
        if (writer >= 0) ::close(writer);
        writer = -1;
    }
    std::FILE* reader = nullptr;
    int writer = -1;
};

TEST_F(HostTest, GetcharTakesTypedInputFirstThenWaitsOnStandardInput) {
    StandardInput stdin_pipe("ok\n");
    host().input_stream = stdin_pipe.reader;
    host().type_input("y\n");
    std::string read;
    for (int c = StdioGetchar(); c != EOF; c = StdioGetchar()) read.push_back(static_cast<char>(c));
    // Typed characters, then the line from standard input, then end of input (not a hang).
    EXPECT_EQ(read, "y\nok\n");
    EXPECT_EQ(StdioGetchar(), EOF);
}

TEST_F(HostTest, GetcharBlocksUntilALineArrivesOnStandardInput) {
    StandardInput stdin_pipe("", /*close_writer=*/false);
    host().input_stream = stdin_pipe.reader;
    // The read has nothing yet: it waits for the writer, which answers from another thread.
    std::thread typist([&] {
        ASSERT_EQ(write(stdin_pipe.writer, "\n", 1), 1);
        stdin_pipe.close_writing_end();
    });
    EXPECT_EQ(StdioGetchar(), '\n');
    typist.join();
    EXPECT_EQ(StdioGetchar(), EOF);
}

TEST_F(HostTest, GetcharWithoutAnInputStreamIsEndOfInput) {
    host().input_stream = nullptr;
    EXPECT_EQ(StdioGetchar(), EOF);
}

TEST_F(HostTest, EventLoopRunsUntilACallbackQuits) {
    int ticks = 0;
    register_callback("CBTimer", [&](int, int, int, void*, int, int) {
        if (++ticks == 3) {
            SuspendTimerCallbacks();
            QuitUserInterface(7);
        }
        return 0;
    });
    load(PANELMAIN);
    bool deferred_ran = false;
    post_deferred_call([&] { deferred_ran = true; });
    EXPECT_EQ(RunUserInterface(), 7);
    EXPECT_TRUE(deferred_ran);
    EXPECT_EQ(ticks, 3);
    EXPECT_DOUBLE_EQ(clock_.now(), 3.0);
}

TEST_F(HostTest, EventLoopReturnsWhenNothingCanHappen) {
    load(PANELHELP);  // no timer
    EXPECT_EQ(RunUserInterface(), 0);
}

struct Recorder : ViewObserver {
    std::vector<std::string> seen;
    void panel_loaded(int p, int id, int) override { add("loaded", p, id); }
    void panel_displayed(int p) override { add("shown", p, 0); }
    void panel_discarded(int p) override { add("discarded", p, 0); }
    void value_changed(int p, int c) override { add("value", p, c); }
    void attribute_changed(int p, int c, int a) override { add("attr", p, c * 100 + a); }
    void panel_title_changed(int p) override { add("title", p, 0); }
    void add(const char* what, int a, int b) {
        seen.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
    }
};

TEST_F(HostTest, ObserversHearEveryModelChange) {
    Recorder view;
    add_view_observer(&view);
    const int p = load(PANELHELP);
    DisplayPanel(p);
    SetCtrlVal(p, PANELHELP_VER, "V 1.4.0");
    SetCtrlAttribute(p, PANELHELP_VER, ATTR_VISIBLE, 0);
    SetPanelAttribute(p, ATTR_TITLE, "Help");
    DiscardPanel(p);
    remove_view_observer(&view);
    load(PANELHELP);
    EXPECT_EQ(view.seen, (std::vector<std::string>{"loaded 1 5", "shown 1 0", "value 1 8",
                                                   "attr 1 804", "title 1 0", "discarded 1 0"}));
}

}  // namespace
}  // namespace korvel::platform::testing
