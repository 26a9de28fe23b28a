// The two pattern panels on an opened simulated unit, with text files written to a fresh folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/openers.h"
#include "app_fixture.h"

class PatternPanelTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        char name[] = "/tmp/korvel-panels-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        ASSERT_EQ(korvel::init_usb(), 1);
        korvel::sim::usb().reset_counters();
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        AppTest::TearDown();
    }

    std::string write_file(const std::string& name, const std::string& text) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string path_of(const std::string& name) const { return (dir_ / name).string(); }

    // The Custom Test Pattern panel, opened the way the operator opens it: Custom Data chosen.
    static int open_data_panel() {
        load_main();
        korvel::platform::operate_ctrl(korvel::app::main_panel, PANELMAIN_DATA_SELECT, 11,
                                       EVENT_COMMIT);
        korvel::sim::usb().reset_counters();  // the pattern select's bus traffic
        return korvel::app::data_panel;
    }
    // Error Injection Setup, through More Features' "Err Inj Load".
    static int open_err_panel() {
        if (korvel::app::main_panel == 0) load_main();
        korvel::app::LoadErrInjPanel(0, PANELMORE_ERROR_INJECTION, EVENT_COMMIT, nullptr, 0, 0);
        korvel::sim::usb().reset_counters();
        return korvel::app::err_panel;
    }

    // Chooses `path` in the panel's file dialog (`select` is its "Select ..." button).
    static void choose(int panel, int select, const std::string& path) {
        host().answer_file_dialog(path);
        korvel::platform::operate_ctrl(panel, select);
    }

    static std::string text_of(int panel, int control) {
        std::string s;
        GetCtrlVal(panel, control, &s);
        return s;
    }
    static double number_of(int panel, int control) {
        double v = -1;
        GetCtrlVal(panel, control, &v);
        return v;
    }
    static const korvel::sim::FpgaMemories& fpga() { return board().fpga(); }
    static std::uint64_t writes() { return korvel::sim::usb().calls(korvel::sim::Call::Write); }

    // n bits, bit k being `bit_at(k)`, 32 to a line with a blank after every 8.
    template <class F>
    static std::string bit_lines(int n, F bit_at) {
        std::string text;
        for (int k = 0; k < n; ++k) {
            text += bit_at(k) ? '1' : '0';
            if (k % 8 == 7) text += ' ';
            if (k % 32 == 31) text += '\n';
        }
        return text;
    }
    // The '0'/'1' characters of `text`, in order.
    static std::string bits_in(const std::string& text) {
        std::string bits;
        for (char c : text)
            if (c == '0' || c == '1') bits += c;
        return bits;
    }

  private:
    std::filesystem::path dir_;
};
