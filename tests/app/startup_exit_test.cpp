// Start-up of the main window and the three ways out of the program.
#include <regex>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "link/usb_link.h"

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

}  // namespace

TEST_F(AppTest, StartupShowsTitleVersionAndBuildStampThenRunsTheLoopUntilAnExit) {
    std::vector<std::string> order;
    hooks::restore_settings = [&] {
        order.push_back(platform::panel_displayed(main_panel) ? "shown" : "not shown");
    };
    const int rc = run_main_then([&] {
        order.push_back("loop");
        platform::choose_menu_item(main_panel, MENUBAR_MENU1_QUITNOSAVE);
    });

    EXPECT_EQ(rc, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"shown", "loop"}));
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
    // Panels stay loaded after the loop; nothing was shown to the operator.
    EXPECT_TRUE(platform::panel_loaded(main_panel));
    EXPECT_TRUE(host().popups.empty());
}

TEST_F(AppTest, AUnitPresentAtStartIsOpenedBeforeTheSettingsAreRestored) {
    bool open_at_restore = false;
    std::string notice_at_restore;
    hooks::restore_settings = [&] {
        open_at_restore = korvel::usb_handle_usable();
        GetCtrlVal(main_panel, PANELMAIN_NOTIFY_USER, &notice_at_restore);
    };
    EXPECT_EQ(
        run_main_then([] { platform::choose_menu_item(main_panel, MENUBAR_MENU1_QUITNOSAVE); }), 0);
    EXPECT_TRUE(open_at_restore);
    EXPECT_EQ(notice_at_restore, "USB CONNECTED");
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
        std::vector<std::string> saved;
        bool timers_running_at_save = false, link_open_at_save = false;
        hooks::save_settings = [&](const char* file) {
            saved.push_back(file);
            timers_running_at_save = !platform::timer_callbacks_suspended();
            link_open_at_save = korvel::usb_handle_usable();
            return 1;
        };

        EXPECT_EQ(run_main_then(path.take), 0);

        EXPECT_EQ(saved, path.saves ? std::vector<std::string>{"settings.cfg"}
                                    : std::vector<std::string>{});
        if (path.saves) {
            EXPECT_TRUE(timers_running_at_save);
            EXPECT_TRUE(link_open_at_save);
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
