// korvel: the front-panel program of the KORVEL PRBS generator.
//
// Everything the program does lives in src/app (callbacks and shell, no toolkit) and
// src/platform/qt (the windows). This file only picks the backend, brings up Qt and, with
// --simulate, the window of the simulated unit, and with --remote the SCPI server.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/state.h"
#include "data_dir.h"
#include "ftdi/backend_select.h"
#include "gpib/console.h"
#include "base/temporary_files.h"
#include "korvel/sim/usb.h"
#include "message_box_dismiss.h"
#include "options.h"
#include "platform/operator_input.h"
#include "platform/qt/display_check.h"
#include "platform/qt/panel_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_view.h"
#include "platform/user_interface.h"
#include "remote_control.h"
#include "resource/main_uir.h"
#include "sim_unit_window.h"
#include "soak/soak_run.h"
#include "startup_probe.h"
#include "termination_signals.h"
#include "tour.h"

int main(int argc, char** argv) {
    korvel::gui::StartupProbe probe;
    const std::string program = argc > 0 ? argv[0] : "korvel";

    std::string error;
    const auto options = korvel::gui::parse_options(
        std::vector<std::string>(argv + std::min(argc, 1), argv + argc), &error);
    if (!options) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(),
                     korvel::gui::usage(program).c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(korvel::gui::usage(program).c_str(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("korvel %s\n", KORVEL_VERSION);
        return 0;
    }
    // Before anything reads or writes a file: the working directory is where the files live.
    if (options->data_dir && !korvel::gui::enter_data_dir(&error)) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
        return 1;
    }
    // The soak needs no display: it runs the program on the screenless host.
    if (options->soak_seconds) {
        korvel::ftdi::select_backend(korvel::ftdi::BackendKind::Sim);
        return korvel::soak::run_soak({*options->soak_seconds, options->soak_seed}, stdout);
    }
    // Qt aborts with an obscure message when there is no display; say it plainly instead.
    if (!korvel::qtview::display_available()) {
        std::fputs(korvel::qtview::no_display_message(program).c_str(), stderr);
        return 1;
    }
    if (options->simulate) {
        // Before any driver call: every FT_* operation of this process goes to the simulated unit.
        setenv("KORVEL_BACKEND", "sim", 1);
        korvel::ftdi::select_backend(korvel::ftdi::BackendKind::Sim);
    }

    // Saves that a killed run left half done (its temporary files) go before anything is saved.
    korvel::base::remove_stale_temporary_files("");
    const char* state_file = std::getenv("KORVEL_SIM_STATE");
    if (options->simulate && state_file != nullptr)
        korvel::base::remove_stale_temporary_files(
            std::filesystem::path(state_file).parent_path().string());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel"));
    korvel::qtview::QtPlatform qt;
    // The GPIB routines print their reports in the Standard Input/Output window and wait there
    // for the operator's Return, like everything else the program prints.
    korvel::gpib::set_console(
        {[](std::string_view text) { StdioPuts(text); }, [] { return StdioGetchar(); }});
    korvel::gui::TerminationSignals termination;
    korvel::gui::divert_unseen_message_boxes(options->remote);

    // Listening starts now, but commands run only once the event loop runs (after the settings
    // are restored), between callbacks.
    std::unique_ptr<korvel::remote::RemoteServer> remote;
    if (options->remote) {
        remote = korvel::gui::start_remote_control(*options, &error);
        if (!remote) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
            return 1;
        }
    }

    std::unique_ptr<korvel::qtview::SimUnitWindow> sim_window;
    if (options->simulate) {
        sim_window = std::make_unique<korvel::qtview::SimUnitWindow>(korvel::sim::usb().board());
        sim_window->show();
    }

    std::unique_ptr<korvel::gui::Tour> tour;
    if (options->tour) {
        tour = std::make_unique<korvel::gui::Tour>(qt, sim_window.get(),
                                                   QString::fromStdString(options->screenshot_dir));
        tour->start();
    }
    if (options->startup_time) {
        // The main panel is the first window the program loads; watch it as soon as it exists.
        QObject::connect(&qt.view(), &korvel::qtview::QtView::panelDisplayed, &probe,
                         [&](int panel) {
                             if (panel != korvel::app::main_panel) return;
                             probe.watch(qt.view().window(panel), [] {
                                 korvel::gui::when_no_message_box([] {
                                     korvel::platform::choose_menu_item(korvel::app::main_panel,
                                                                        MENUBAR_MENU1_QUITNOSAVE);
                                 });
                             });
                         });
    }

    const int rc = korvel::app::korvel_main(argc, argv);
    if (tour) {
        for (const QString& p : tour->saved()) std::printf("saved %s\n", qPrintable(p));
        for (const QString& p : tour->problems()) std::fprintf(stderr, "tour: %s\n", qPrintable(p));
        if (!tour->problems().empty()) return 1;
    }
    return rc;
}
