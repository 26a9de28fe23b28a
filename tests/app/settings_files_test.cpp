// Restoring a configuration drives the main panel and the unit; saving writes the set; the File
// menu asks for the file.
#include <filesystem>
#include <fstream>

#include "../support/huge_files.h"
#include "app/settings_files.h"
#include "app/settings_format.h"
#include "app/supervision.h"
#include "app_fixture.h"
#include "app_unplug.h"

using namespace korvel::app;
namespace platform = korvel::platform;
namespace fs = std::filesystem;

namespace {

// A configuration unlike the resource defaults in every setting the unit sees.
GeneratorSettings bench_setup() {
    return {201, 0, 1, 0, 12, 2.9F, 2.2F, 1.234567F, -0.75F, 1, 9, 1};
}

void write_config(const std::string& path, const GeneratorSettings& s) {
    std::ofstream(path) << format_settings(s);
}

std::string text_of(int control) {
    std::string text;
    GetCtrlVal(main_panel, control, &text);
    return text;
}

int main_value(int control) {
    int v = -1;
    GetCtrlVal(main_panel, control, &v);
    return v;
}

int attribute(int panel, int control, int attr) {
    int v = -1;
    GetCtrlAttribute(panel, control, attr, &v);
    return v;
}

}  // namespace

TEST_F(AppTest, RestoreAppliesThePolarityFirstThenTheWholeSetupAndNamesTheFile) {
    load_main();
    ASSERT_EQ(korvel::init_usb(), 1);
    settings_changed = 2;
    SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 1);
    write_config("bench.cfg", bench_setup());
    board().clear_bus_log();

    ASSERT_EQ(RestoreSettings("bench.cfg"), 0);

    // invert_data's polarity pin on expander 3 comes before anything set_freq sends.
    const auto story = korvel::testing::unit_story();
    ASSERT_FALSE(story.empty());
    EXPECT_EQ(story.front().substr(0, 3), "E3.");
    const GeneratorSettings s = settings;
    EXPECT_EQ(s.Setting8010, 201);
    EXPECT_EQ(s.DivideBy, 12);
    EXPECT_FLOAT_EQ(s.DutyCycleControl, 2.9F);
    EXPECT_NEAR(s.DataAmplitudeControl, 2.2F, 1e-5);
    EXPECT_FLOAT_EQ(s.SyncSkewControl, 1.234567F);
    EXPECT_FLOAT_EQ(s.InternalPeakingControl, -0.75F);
    EXPECT_EQ(s.Eye, 1);
    EXPECT_EQ(s.DataSelect, 9);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFC);  // eye-diagram trigger
    EXPECT_EQ(board().expander(7).pins() & 0x0F, 9);     // PRBS31
    EXPECT_EQ(board().expander(3).pins() & 0x03, 0x02);  // inverted, clock output 1 on
    EXPECT_EQ(board().fpga().error_mask_bits, std::string(256, '1'));
    EXPECT_EQ(attribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE), 1);
    EXPECT_EQ(dac_store_countdown, 10);

    EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "bench.cfg");
    EXPECT_EQ(attribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED), 0);
    std::string tip;
    GetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_TOOLTIP_TEXT, &tip);
    EXPECT_EQ(tip, (fs::current_path() / "bench.cfg").string());
    EXPECT_EQ(settings_changed, 0);
}

TEST_F(AppTest, RestoreWithMoreFeaturesOpenShowsTheRestoredPolarityAndRatio) {
    load_main();
    ASSERT_EQ(korvel::init_usb(), 1);
    platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES);
    GeneratorSettings manual = bench_setup();
    manual.Eye = 0;
    manual.Manual = 1;
    write_config("manual.cfg", manual);
    ASSERT_EQ(RestoreSettings("manual.cfg"), 0);
    int inverted = 0, ratio = 0;
    GetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, &inverted);
    GetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, &ratio);
    EXPECT_EQ(inverted, 1);
    EXPECT_EQ(ratio, 12);
    EXPECT_EQ(board().expander(3).pins() & 0x02, 0x02);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 12);  // the manual ratio
}

TEST_F(AppTest, OutOfRangeLevelsInAFileAreClampedByTheSlides) {
    load_main();
    GeneratorSettings wild = bench_setup();
    wild.DutyCycleControl = 9.0F;
    wild.DataAmplitudeControl = -4.0F;
    write_config("wild.cfg", wild);
    ASSERT_EQ(RestoreSettings("wild.cfg"), 0);
    EXPECT_NEAR(settings.DutyCycleControl, 3.3, 1e-5);      // 56 %
    EXPECT_NEAR(settings.DataAmplitudeControl, 1.8, 1e-5);  // 0 mV
}

TEST_F(AppTest, AModeMarkOtherThanOneInAFileIsTheModeShownAndSent) {
    load_main();
    CBTimer(main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
    GeneratorSettings odd = bench_setup();
    odd.Pattern = 2;  // checked, as far as the box can show it
    odd.Eye = 0;
    odd.Manual = 1;
    odd.DivideBy = 358;
    write_config("odd.cfg", odd);
    ASSERT_EQ(RestoreSettings("odd.cfg"), 0);
    EXPECT_EQ(main_value(PANELMAIN_PATTERN_BOX), 1);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFE);
    EXPECT_EQ(settings.Pattern, 1);
    EXPECT_EQ(settings.Manual, 0);

    odd.Pattern = 0;
    odd.Eye = 0;
    odd.Manual = 7;  // manual, at the ratio 12
    odd.DivideBy = 12;
    write_config("odd.cfg", odd);
    ASSERT_EQ(RestoreSettings("odd.cfg"), 0);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 12);
    EXPECT_EQ(settings.Manual, 1);
}

TEST_F(AppTest, AFileThatCannotBeReadChangesNothing) {
    load_main();
    settings = bench_setup();
    settings_changed = 2;
    SetCtrlVal(main_panel, PANELMAIN_SETUP_LOADED, "before.cfg");
    fs::create_directory("folder.cfg");
    for (const char* path : {"missing.cfg", "folder.cfg"}) {
        EXPECT_EQ(RestoreSettings(path), -1) << path;
        EXPECT_EQ(settings, bench_setup());
        EXPECT_EQ(settings_changed, 2);
        EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "before.cfg");
        EXPECT_TRUE(host().popups.empty());
    }
}

// A gigabyte chosen by mistake (a configuration followed by '1's, then a hole) restores what its
// first lines hold; only the first megabyte is read.
TEST_F(AppTest, AGigabyteFileRestoresItsFirstLines) {
    load_main();
    ASSERT_TRUE(korvel::testing::make_gigabyte_file(
        "huge.cfg", format_settings(bench_setup()) + std::string(2 << 20, '1')));
    EXPECT_EQ(RestoreSettings("huge.cfg"), 0);
    EXPECT_EQ(settings, bench_setup());
    EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "huge.cfg");
}

TEST_F(AppTest, TheConfigurationIsNamedByWhatFollowsTheLastSeparator) {
    EXPECT_EQ(configuration_name("settings.cfg"), "");
    EXPECT_EQ(configuration_name("C:\\bench\\eye.cfg"), "eye.cfg");
    EXPECT_EQ(configuration_name("/home/op/bench_12GHz_setup.cfg"), "bench_12GHz_setup.cfg");
    EXPECT_EQ(configuration_name("C:\\mixed/dirs\\last.txt"), "last.txt");
    EXPECT_EQ(configuration_name("plain.txt"), "plain.txt");
    // Only the exact string "settings.cfg" gives no name.
    EXPECT_EQ(configuration_name("/data/settings.cfg"), "settings.cfg");
    EXPECT_EQ(configuration_name("./settings.cfg"), "settings.cfg");
    EXPECT_EQ(configuration_name("Settings.cfg"), "Settings.cfg");

    // A backslash is an ordinary character in a file name here, so the rule can be shown on a
    // real file.
    load_main();
    write_config("C:\\bench\\eye.cfg", bench_setup());
    ASSERT_EQ(RestoreSettings("C:\\bench\\eye.cfg"), 0);
    EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "eye.cfg");
    write_config("settings.cfg", bench_setup());
    ASSERT_EQ(RestoreSettings("settings.cfg"), 0);
    EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "");
}

TEST_F(AppTest, SaveWritesTheSetAndAWrittenFileSurvivesRestoreAndSaveByteForByte) {
    load_main();
    ASSERT_EQ(korvel::init_usb(), 1);
    settings = bench_setup();
    ASSERT_EQ(SaveSettings("settings.cfg"), 1);
    const std::string written = korvel::testing::file_text("settings.cfg");
    EXPECT_EQ(written, format_settings(bench_setup()));

    settings = GeneratorSettings{};
    ASSERT_EQ(RestoreSettings("settings.cfg"), 0);
    ASSERT_EQ(SaveSettings("settings.cfg"), 1);
    EXPECT_EQ(korvel::testing::file_text("settings.cfg"), written);

    // Saving changes nothing on the panels.
    settings_changed = 3;
    ASSERT_EQ(SaveSettings("other.cfg"), 1);
    EXPECT_EQ(settings_changed, 3);
    EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "");
    EXPECT_EQ(SaveSettings("missing/dir/x.cfg"), 0);
}

TEST_F(AppTest, FileMenuAsksForTheFileThenSavesOrRestoresAndCancelDoesNothing) {
    load_main();
    host().file_requests.clear();
    host().cancel_file_dialog();
    host().cancel_file_dialog();
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_SAVECONFIG);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEOPEN);
    ASSERT_EQ(host().file_requests.size(), 2u);
    const auto& save = host().file_requests[0];
    EXPECT_EQ(save.default_directory, "");
    EXPECT_EQ(save.default_file_pattern, "ZEVA_KORVEL_ConfigurationFile.txt");
    EXPECT_EQ(save.file_type_list, "");
    EXPECT_EQ(save.title, "Choose a filename to save as:");
    EXPECT_EQ(save.button_label, VAL_SAVE_BUTTON);
    EXPECT_FALSE(save.restrict_directory || save.restrict_extension);
    const auto& open = host().file_requests[1];
    EXPECT_EQ(open.default_file_pattern, ".txt");
    EXPECT_EQ(open.title, "Choose a file to open");
    EXPECT_EQ(open.button_label, VAL_LOAD_BUTTON);
    EXPECT_TRUE(fs::is_empty(fs::current_path()));

    settings = bench_setup();
    const std::string chosen = (fs::current_path() / "bench.cfg").string();
    host().answer_file_dialog(chosen, VAL_NEW_FILE_SELECTED);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_SAVECONFIG);
    EXPECT_EQ(korvel::testing::file_text(chosen), format_settings(bench_setup()));

    settings = GeneratorSettings{};
    host().answer_file_dialog(chosen, VAL_NEW_FILE_SELECTED);  // Open takes existing files only
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEOPEN);
    EXPECT_EQ(settings.Setting8010, 0);
    host().answer_file_dialog(chosen);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEOPEN);
    EXPECT_EQ(settings.Setting8010, 201);
    EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "bench.cfg");
    EXPECT_TRUE(host().popups.empty());
}

TEST_F(AppTest, FileMenuRefusesOverLongPathsAndReportsWhatItCouldNotDo) {
    load_main();
    settings = bench_setup();
    // 259 characters fit the path buffer; 260 do not and are not cut to another name.
    const std::string dir = fs::current_path().string() + "/";
    const std::string fits = dir + std::string(259 - dir.size(), 'a');
    const std::string too_long = dir + std::string(260 - dir.size(), 'b');
    host().answer_file_dialog(fits, VAL_NEW_FILE_SELECTED);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_SAVECONFIG);
    EXPECT_TRUE(fs::exists(fits));
    EXPECT_TRUE(host().popups.empty());
    host().answer_file_dialog(too_long, VAL_NEW_FILE_SELECTED);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_SAVECONFIG);
    host().answer_file_dialog(too_long);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEOPEN);
    EXPECT_FALSE(fs::exists(too_long));
    EXPECT_FALSE(fs::exists(too_long.substr(0, 259)));

    fs::create_directory("folder.cfg");
    host().answer_file_dialog("missing/x.cfg", VAL_NEW_FILE_SELECTED);
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_SAVECONFIG);
    host().answer_file_dialog("folder.cfg");
    platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEOPEN);
    ASSERT_EQ(host().popups.size(), 4u);
    for (const auto& p : host().popups) EXPECT_EQ(p.title, "Error");
    EXPECT_NE(host().popups[0].message.find("longer than 259 characters"), std::string::npos);
    EXPECT_NE(host().popups[0].message.find(too_long), std::string::npos);
    EXPECT_NE(host().popups[2].message.find("Unable to save"), std::string::npos);
    EXPECT_NE(host().popups[3].message.find("Unable to read"), std::string::npos);
}

// File > Open unplugged before each driver call of the restore: the controls show the whole
// configuration all the same, the file read is left as it was and the settings saved meanwhile
// (as an exit would; checked at every 512th point) are complete; plugged back in, the next ticks
// give the unit that setup.
TEST_F(AppTest, AnUnplugAtAnyCallOfARestoreLeavesTheFilesWholeAndTheUnitInTheSetupShown) {
    const std::string config = format_settings(bench_setup());
    std::string path;
    auto sweep = korvel::testing::panel_unplug_sweep(
        [&] {
            SetUp();
            load_main();
            korvel::testing::tick();
            path = (fs::current_path() / "bench.cfg").string();
            std::ofstream(path) << config;
        },
        [&] {
            host().answer_file_dialog(path);
            platform::choose_menu_item(main_panel, MENUBAR_MENU1_FILEOPEN);
        },
        [&](std::uint64_t k) {
            EXPECT_TRUE(host().popups.empty());
            EXPECT_EQ(text_of(PANELMAIN_SETUP_LOADED), "bench.cfg");
            EXPECT_EQ(settings.DivideBy, 12);
            EXPECT_EQ(settings.DataSelect, 9);
            EXPECT_EQ(korvel::testing::file_text(path), config);
            if (k % 512 != 1) return;  // the save waits for the disk: a sample of the points
            ASSERT_EQ(SaveSettings(kSettingsFile), 1);
            GeneratorSettings saved{};
            EXPECT_EQ(parse_settings(korvel::testing::file_text(kSettingsFile), saved), 12);
            EXPECT_EQ(saved, settings);
        });
    // Every call through the polarity and the first expander writes, then every 8th.
    sweep.every_up_to = 200;
    sweep.stride = 8;
    const auto result = korvel::testing::run_unplug_sweep(sweep);
    EXPECT_GT(result.calls, 1000u);
}
