// PANELCAL, "Calibration": which measurements a calibration run makes, the frequency span and the
// master and slave delay sweeps, and where the results go.
#pragma once

#include "resource/panels/table_shorthand.h"

// The tables name only the fields each control uses; the rest keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace korvel::resource::data {

inline constexpr GroupDef kPanelCalGroups[] = {
    {.name = "frequency", .row = 0, .column = 0},
    {.name = "slave", .row = 0, .column = 1},
    {.name = "master", .row = 0, .column = 2},
    {.name = "measure", .row = 1, .column = 0},
    {.name = "run", .row = 1, .column = 1, .column_span = 2},
    {.name = "actions", .row = 2, .column = 0, .column_span = 3},
};

constexpr ControlDef measure_box(int id, std::string_view constant, std::string_view label, int row,
                                 int column) {
    return {.id = id,
            .constant = constant,
            .kind = K::CheckBox,
            .type = T::Int,
            .label = label,
            .value = 0,
            .layout = {"measure", row, column}};
}

// A float setting of the sweeps; `lo` > `hi` means no limit.
constexpr ControlDef sweep_value(int id, std::string_view constant, std::string_view label,
                                 DataType type, double value, double lo, double hi,
                                 double increment, std::string_view group, int row) {
    return {.id = id,
            .constant = constant,
            .kind = K::Numeric,
            .type = type,
            .label = label,
            .value = value,
            .has_range = lo <= hi,
            .min = lo <= hi ? lo : 0.0,
            .max = lo <= hi ? hi : 0.0,
            .increment = increment,
            .layout = {group, row, 0}};
}

inline constexpr ControlDef kPanelCalControls[] = {
    {.id = 2,
     .constant = "COMMANDBUTTON",
     .kind = K::CommandButton,
     .label = "Start Calibration",
     .callback = "start_calibration",
     .layout = {"run", 0, 0}},
    {.id = 3,
     .constant = "LED",
     .kind = K::Led,
     .type = T::Int,
     .label = "Status",
     .value = 0,
     .layout = {"run", 0, 1}},
    {.id = 4,
     .constant = "STATUS_BOX",
     .kind = K::TextBox,
     .type = T::String,
     .label = "STATUS",
     .layout = {"run", 2, 0, 1, 2}},
    measure_box(5, "CHECKBOX", "Measure Jitter", 3, 0),
    {.id = 6,
     .constant = "CLOSEPANELCAL",
     .kind = K::CommandButton,
     .label = "CLOSE",
     .callback = "quit_panel",
     .layout = {"actions", 0, 0}},
    measure_box(7, "CHECKBOX_13", "Measure PRBS31", 8, 1),
    measure_box(8, "CHECKBOX_12", "Measure PRBS29", 7, 1),
    measure_box(9, "CHECKBOX_11", "Measure PRBS23", 6, 1),
    measure_box(10, "CHECKBOX_10", "Measure PRBS20", 5, 1),
    measure_box(11, "CHECKBOX_9", "Measure PRBS17", 4, 1),
    measure_box(12, "CHECKBOX_8", "Measure PRBS15", 3, 1),
    measure_box(13, "CHECKBOX_7", "Measure PRBS11", 2, 1),
    measure_box(14, "CHECKBOX_6", "Measure PRBS9", 1, 1),
    measure_box(15, "CHECKBOX_5", "Measure PRBS7", 0, 1),
    measure_box(16, "CHECKBOX_4", "Measure Data Amplitude", 2, 0),
    measure_box(17, "CHECKBOX_3", "Measure Sampling Point", 1, 0),
    measure_box(18, "CHECKBOX_2", "Measure Duty Cycle", 0, 0),
    sweep_value(19, "FREQSTEP", "Step Size (GHz)", T::Double, 1.0, 1, 0, 1.0, "frequency", 3),
    sweep_value(20, "MAXFREQ", "Max Frequency (GHz)", T::Float, 12.0, 1, 0, 1.0, "frequency", 2),
    sweep_value(21, "SLAVESTEP", "Slave Step size (Volt)", T::Float, 0.1, 0.001, 1.0, 0.05, "slave",
                3),
    sweep_value(22, "SLAVEEND", "Slave Delay End Value", T::Float, 3.3, 0.0, 3.3, 1.0, "slave", 2),
    sweep_value(23, "MASTEREND", "Master Delay End Value", T::Float, 3.3, 0.0, 3.3, 1.0, "master",
                2),
    sweep_value(24, "SLAVESTART", "Slave Delay Start Value", T::Float, 0.0, 0.0, 3.3, 1.0, "slave",
                1),
    sweep_value(25, "MASTERSTART", "Master Delay Start Value", T::Float, 0.0, 0.0, 3.3, 1.0,
                "master", 1),
    sweep_value(26, "MASTERSTEP", "Master Step size (Volt)", T::Float, 0.1, 0.001, 1.0, 0.05,
                "master", 3),
    sweep_value(27, "MINFREQ", "Min Frequency (GHz)", T::Float, 10.0, 1, 0, 1.0, "frequency", 1),
    {.id = 28, .constant = "DECORATION_4", .kind = K::Decoration, .layout = {"frequency", -1, 0}},
    {.id = 29, .constant = "DECORATION_5", .kind = K::Decoration, .layout = {"slave", -1, 0}},
    {.id = 30, .constant = "DECORATION_3", .kind = K::Decoration, .layout = {"master", -1, 0}},
    {.id = 31,
     .constant = "TEXTMSG_7",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Slave Delay",
     .layout = {"slave", 0, 0}},
    {.id = 32,
     .constant = "TEXTMSG_6",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Frequency Span",
     .layout = {"frequency", 0, 0}},
    {.id = 33,
     .constant = "TEXTMSG_5",
     .kind = K::TextMessage,
     .type = T::String,
     .text = "Master Delay",
     .layout = {"master", 0, 0}},
    {.id = 34,
     .constant = "FILENAME",
     .kind = K::String,
     .type = T::String,
     .label = "File Name",
     .text = "Data.csv",
     .layout = {"run", 1, 0, 1, 2}},
};

inline constexpr PanelDef kPanelCal = {
    .id = 1,
    .constant = "PANELCAL",
    .title = "Calibration",
    .controls = kPanelCalControls,
    .groups = kPanelCalGroups,
};

}  // namespace korvel::resource::data

#pragma GCC diagnostic pop
