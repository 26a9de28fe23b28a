// Start-up of the main window and the three ways out of the program.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "app/safe_file.h"
#include "app/settings_format.h"
#include "app/supervision.h"
#include "app_fixture.h"
#include "link/usb_link.h"
#include "unit_story.h"

using namespace korvel::app;
namespace platform = korvel::platform;

namespace {

// Runs korvel_main with an operator action queued for the event loop.
int run_main_then(std::function<void()> action) {
    platform::post_deferred_call(std::move(action));
    char name[] = "korvel";
    char* argv[] = {name, nullptr};
    return korvel_main(1, argv);
}

// What the exit saw while it wrote settings.cfg.
bool g_timers_running_at_save = false;
bool g_link_open_at_save = false;
ssize_t write_and_watch(int fd, const void* data, std::size_t size) {
    g_timers_running_at_save = !platform::timer_callbacks_suspended();
    g_link_open_at_save = korvel::usb_handle_usable();
    return ::write(fd, data, size);
}

}  // namespace

TEST_F(AppTest, StartupShowsTitleVersionAndBuildStampThenRunsTheLoopUntilAnExit) {
    std::vector<std::string> order;
    const int rc = run_main_then([&] {
        order.push_back("loop");
        platform::choose_menu_item(main_panel, MENUBAR_MENU1_QUITNOSAVE);
    });

    EXPECT_EQ(rc, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"loop"}));
    ASSERT_GT(main_panel, 0);
    EXPECT_EQ(platform::panel_resource_id(main_panel), PANELMAIN);

    std::string title;
    ASSERT_EQ(GetPanelAttribute(main_panel, ATTR_TITLE, &title), 0);
    EXPECT_EQ(title.size(), 78u);
    EXPECT_EQ(title, "PRBS Generator" + std::string(39, ' ') + "MORLIDEX" + std::string(17, ' '));

    std::string ver, tip;
    GetCtrlVal(main_panel, PANELMAIN_VER, &ver);
    GetCtrlAttribute(main_panel, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, &tip);
    EXPECT_EQ(ver, "V 1.4.0");
    EXPECT_EQ(tip, build_stamp());
    EXPECT_TRUE(std::regex_match(tip, std::regex(R"([A-Z][a-z]{2} [ 123]\d \d{4} \d\d:\d\d:\d\d)")))
        << tip;
    // Panels stay loaded after the loop. Without a settings file the operator is told so and
    // the program runs with the resource's values.
    EXPECT_TRUE(platform::panel_loaded(main_panel));
    EXPECT_EQ(
        host().popups,
        (std::vector<platform::RecordedPopup>{{"Restore Error", "Unable to find Restore File"}}));
    EXPECT_FALSE(std::ifstream("settings.cfg").good());
}

TEST_F(AppTest, AUnitPresentAtStartIsOpenedAndGetsTheDefaultsBeforeTheRestoredSetup) {
    GeneratorSettings stored{7, 0, 1, 0, 4, 2.5F, 2.0F, 0.5F, 0.25F, 1, 4, 0};
    std::ofstream("settings.cfg") << format_settings(stored);
    EXPECT_EQ(
        run_main_then([] { platform::choose_menu_item(main_panel, MENUBAR_MENU1_QUITNOSAVE); }), 0);
    // Expander 7's I/O control register carries the pattern code: PRBS9 from the first tick's
    // resource values, then PRBS15 from the file; the restore's writes reached an open unit.
    std::vector<std::string> pattern_writes;
    for (const std::string& line : korvel::testing::unit_story())
        if (line.rfind("E7.F2=", 0) == 0) pattern_writes.push_back(line);
    EXPECT_EQ(pattern_writes, (std::vector<std::string>{"E7.F2=02", "E7.F2=04"}));
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFC);
    std::string notice, name = "x";
    GetCtrlVal(main_panel, PANELMAIN_NOTIFY_USER, &notice);
    GetCtrlVal(main_panel, PANELMAIN_SETUP_LOADED, &name);
    EXPECT_EQ(notice, "USB CONNECTED");
    EXPECT_EQ(name, "");
    EXPECT_EQ(settings_changed, 0);
    EXPECT_TRUE(host().popups.empty());
}

TEST_F(AppTest, AUnitPluggedInLaterGetsTheRestoredSetupFromTheControls) {
    board().detach();
    GeneratorSettings stored{7, 0, 1, 0, 4, 2.5F, 2.0F, 0.5F, 0.25F, 1, 4, 0};
    std::ofstream("settings.cfg") << format_settings(stored);
    run_main_then([&] {
        board().attach();
        CBTimer(main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
        platform::choose_menu_item(main_panel, MENUBAR_MENU1_QUITNOSAVE);
    });
    EXPECT_EQ(board().expander(7).pins() & 0x0F, 4);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFC);
    EXPECT_EQ(settings.DataSelect, 4);
}

TEST_F(AppTest, SettingsWrittenAtExitComeBackByteForByteAtTheNextStart) {
    run_main_then([] { platform::operate_ctrl(main_panel, PANELMAIN_CMDQUIT, EVENT_COMMIT); });
    std::string first = korvel::testing::file_text("settings.cfg");
    ASSERT_NE(first, "");
    // Values no control shows are kept as they were.
    first.replace(first.find("8010 0"), 6, "8010 201");
    first.replace(first.find("SyncSkewControl 0.000000"), 24, "SyncSkewControl 1.234567");

    SetUp();
    std::ofstream("settings.cfg") << first;
    run_main_then([] { platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEEXIT); });
    EXPECT_EQ(korvel::testing::file_text("settings.cfg"), first);
}

TEST_F(AppTest, ExitPathsSaveExceptQuitWithoutSavingThenStopTimersCloseTheLinkAndQuit) {
    struct Path {
        const char* name;
        std::function<void()> take;
        bool saves;
    };
    const std::vector<Path> paths = {
        {"Exit button", [] { platform::operate_ctrl(main_panel, PANELMAIN_CMDQUIT, EVENT_COMMIT); },
         true},
        {"File > Exit", [] { platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEEXIT); },
         true},
        {"File > Quit Without Saving",
         [] { platform::choose_menu_item(main_panel, MENUBAR_MENU1_QUITNOSAVE); }, false},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        SetUp();
        std::ofstream("settings.cfg") << "old\n";
        file_write_call = write_and_watch;
        g_timers_running_at_save = g_link_open_at_save = false;

        EXPECT_EQ(run_main_then(path.take), 0);

        EXPECT_EQ(korvel::testing::file_text("settings.cfg"),
                  path.saves ? format_settings(settings) : "old\n");
        if (path.saves) {
            EXPECT_TRUE(g_timers_running_at_save);
            EXPECT_TRUE(g_link_open_at_save);
        }
        EXPECT_TRUE(platform::timer_callbacks_suspended());
        EXPECT_FALSE(korvel::usb_handle_usable());
        EXPECT_TRUE(platform::quit_requested());
    }
}

TEST_F(AppTest, ExitButtonActsOnCommitOnly) {
    load_main();
    ASSERT_EQ(korvel::init_usb(), 1);
    for (int event : {EVENT_VAL_CHANGED, EVENT_KEYPRESS, EVENT_TIMER_TICK})
        QuitAll(main_panel, PANELMAIN_CMDQUIT, event, nullptr, 0, 0);
    EXPECT_FALSE(platform::quit_requested());
    EXPECT_FALSE(platform::timer_callbacks_suspended());
    EXPECT_TRUE(korvel::usb_handle_usable());
}

TEST_F(AppTest, ExitWithoutAnOpenedUnitStillQuits) {
    load_main();
    file_exit(0, MENUBAR_MENU1_FILEEXIT, nullptr, main_panel);
    EXPECT_TRUE(platform::quit_requested());
    EXPECT_FALSE(korvel::usb_handle_usable());
}

TEST_F(AppTest, AnExitSaveThatFailsSaysWhyAndLetsTheOperatorStayOrExitAnyway) {
    struct Cause {
        const char* reason;
        std::function<void()> make;
    };
    const std::vector<Cause> causes = {
        {"Is a directory", [] { std::filesystem::create_directory("settings.cfg"); }},
        {"No space left on device",
         [] {
             file_write_call = [](int, const void*, std::size_t) -> ssize_t {
                 errno = ENOSPC;
                 return -1;
             };
         }},
    };
    for (const Cause& cause : causes) {
        SCOPED_TRACE(cause.reason);
        SetUp();
        cause.make();
        host().answer_choice(false);  // Stay
        host().answer_choice(true);   // Exit anyway
        bool stayed = false;
        EXPECT_EQ(run_main_then([&] {
                      platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEEXIT);
                      stayed = !platform::quit_requested() && korvel::usb_handle_usable();
                      platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEEXIT);
                  }),
                  0);
        EXPECT_TRUE(stayed);
        const platform::RecordedPopup box{
            "Exit", std::string("Unable to save settings.cfg: ") + cause.reason +
                        "\n\nExit without saving the setup, or stay?"};
        EXPECT_EQ(std::count(host().popups.begin(), host().popups.end(), box), 2);
        EXPECT_TRUE(platform::quit_requested());
        EXPECT_FALSE(korvel::usb_handle_usable());
        reset_safe_file();
    }
}
