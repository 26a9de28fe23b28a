// The resource constants, in the form the resource editor generates: panels by name, controls as
// PANEL_CONTROL, menu entries as MENUBAR_MENU_ITEM. Each value is looked up in the catalogue at
// compile time, so the constants cannot drift from the data.
#pragma once

#include "resource/catalogue.h"

// NOLINTBEGIN(readability-identifier-naming)
inline constexpr int PANELCAL = korvel::resource::panel_id_of("PANELCAL");
inline constexpr int PANELCAL_COMMANDBUTTON =
    korvel::resource::control_id_of("PANELCAL", "COMMANDBUTTON");
inline constexpr int PANELCAL_LED = korvel::resource::control_id_of("PANELCAL", "LED");
inline constexpr int PANELCAL_STATUS_BOX =
    korvel::resource::control_id_of("PANELCAL", "STATUS_BOX");
inline constexpr int PANELCAL_CHECKBOX = korvel::resource::control_id_of("PANELCAL", "CHECKBOX");
inline constexpr int PANELCAL_CLOSEPANELCAL =
    korvel::resource::control_id_of("PANELCAL", "CLOSEPANELCAL");
inline constexpr int PANELCAL_CHECKBOX_13 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_13");
inline constexpr int PANELCAL_CHECKBOX_12 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_12");
inline constexpr int PANELCAL_CHECKBOX_11 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_11");
inline constexpr int PANELCAL_CHECKBOX_10 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_10");
inline constexpr int PANELCAL_CHECKBOX_9 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_9");
inline constexpr int PANELCAL_CHECKBOX_8 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_8");
inline constexpr int PANELCAL_CHECKBOX_7 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_7");
inline constexpr int PANELCAL_CHECKBOX_6 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_6");
inline constexpr int PANELCAL_CHECKBOX_5 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_5");
inline constexpr int PANELCAL_CHECKBOX_4 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_4");
inline constexpr int PANELCAL_CHECKBOX_3 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_3");
inline constexpr int PANELCAL_CHECKBOX_2 =
    korvel::resource::control_id_of("PANELCAL", "CHECKBOX_2");
inline constexpr int PANELCAL_FREQSTEP = korvel::resource::control_id_of("PANELCAL", "FREQSTEP");
inline constexpr int PANELCAL_MAXFREQ = korvel::resource::control_id_of("PANELCAL", "MAXFREQ");
inline constexpr int PANELCAL_SLAVESTEP = korvel::resource::control_id_of("PANELCAL", "SLAVESTEP");
inline constexpr int PANELCAL_SLAVEEND = korvel::resource::control_id_of("PANELCAL", "SLAVEEND");
inline constexpr int PANELCAL_MASTEREND = korvel::resource::control_id_of("PANELCAL", "MASTEREND");
inline constexpr int PANELCAL_SLAVESTART =
    korvel::resource::control_id_of("PANELCAL", "SLAVESTART");
inline constexpr int PANELCAL_MASTERSTART =
    korvel::resource::control_id_of("PANELCAL", "MASTERSTART");
inline constexpr int PANELCAL_MASTERSTEP =
    korvel::resource::control_id_of("PANELCAL", "MASTERSTEP");
inline constexpr int PANELCAL_MINFREQ = korvel::resource::control_id_of("PANELCAL", "MINFREQ");
inline constexpr int PANELCAL_DECORATION_4 =
    korvel::resource::control_id_of("PANELCAL", "DECORATION_4");
inline constexpr int PANELCAL_DECORATION_5 =
    korvel::resource::control_id_of("PANELCAL", "DECORATION_5");
inline constexpr int PANELCAL_DECORATION_3 =
    korvel::resource::control_id_of("PANELCAL", "DECORATION_3");
inline constexpr int PANELCAL_TEXTMSG_7 = korvel::resource::control_id_of("PANELCAL", "TEXTMSG_7");
inline constexpr int PANELCAL_TEXTMSG_6 = korvel::resource::control_id_of("PANELCAL", "TEXTMSG_6");
inline constexpr int PANELCAL_TEXTMSG_5 = korvel::resource::control_id_of("PANELCAL", "TEXTMSG_5");
inline constexpr int PANELCAL_FILENAME = korvel::resource::control_id_of("PANELCAL", "FILENAME");

inline constexpr int PANELDATA = korvel::resource::panel_id_of("PANELDATA");
inline constexpr int PANELDATA_SELECT_TXT_FILE =
    korvel::resource::control_id_of("PANELDATA", "SELECT_TXT_FILE");
inline constexpr int PANELDATA_SET_TO_N_ONES =
    korvel::resource::control_id_of("PANELDATA", "SET_TO_N_ONES");
inline constexpr int PANELDATA_LOAD_FPGA_MODIFIED =
    korvel::resource::control_id_of("PANELDATA", "LOAD_FPGA_MODIFIED");
inline constexpr int PANELDATA_LOAD_FPGA =
    korvel::resource::control_id_of("PANELDATA", "LOAD_FPGA");
inline constexpr int PANELDATA_CLOSEPANELDATA =
    korvel::resource::control_id_of("PANELDATA", "CLOSEPANELDATA");
inline constexpr int PANELDATA_LISTBOX_DATA =
    korvel::resource::control_id_of("PANELDATA", "LISTBOX_DATA");
inline constexpr int PANELDATA_TEXTMSG_2 =
    korvel::resource::control_id_of("PANELDATA", "TEXTMSG_2");
inline constexpr int PANELDATA_TEXTMSG_FILE_PATH =
    korvel::resource::control_id_of("PANELDATA", "TEXTMSG_FILE_PATH");
inline constexpr int PANELDATA_TEXTMSG = korvel::resource::control_id_of("PANELDATA", "TEXTMSG");
inline constexpr int PANELDATA_CUST_DATA_BYTE_SEL =
    korvel::resource::control_id_of("PANELDATA", "CUST_DATA_BYTE_SEL");
inline constexpr int PANELDATA_BIT7 = korvel::resource::control_id_of("PANELDATA", "BIT7");
inline constexpr int PANELDATA_BIT6 = korvel::resource::control_id_of("PANELDATA", "BIT6");
inline constexpr int PANELDATA_BIT5 = korvel::resource::control_id_of("PANELDATA", "BIT5");
inline constexpr int PANELDATA_BIT4 = korvel::resource::control_id_of("PANELDATA", "BIT4");
inline constexpr int PANELDATA_BIT3 = korvel::resource::control_id_of("PANELDATA", "BIT3");
inline constexpr int PANELDATA_BIT2 = korvel::resource::control_id_of("PANELDATA", "BIT2");
inline constexpr int PANELDATA_BIT1 = korvel::resource::control_id_of("PANELDATA", "BIT1");
inline constexpr int PANELDATA_BIT0 = korvel::resource::control_id_of("PANELDATA", "BIT0");
inline constexpr int PANELDATA_REPEAT_LENGTH =
    korvel::resource::control_id_of("PANELDATA", "REPEAT_LENGTH");
inline constexpr int PANELDATA_ONES = korvel::resource::control_id_of("PANELDATA", "ONES");
inline constexpr int PANELDATA_DUTY_CYCLE =
    korvel::resource::control_id_of("PANELDATA", "DUTY_CYCLE");
inline constexpr int PANELDATA_TEXTBOX_DATA =
    korvel::resource::control_id_of("PANELDATA", "TEXTBOX_DATA");
inline constexpr int PANELDATA_TEXTMSG_3 =
    korvel::resource::control_id_of("PANELDATA", "TEXTMSG_3");
inline constexpr int PANELDATA_TEXTMSG_4 =
    korvel::resource::control_id_of("PANELDATA", "TEXTMSG_4");

inline constexpr int PANELDEBUG = korvel::resource::panel_id_of("PANELDEBUG");
inline constexpr int PANELDEBUG_CHECKBOX_GP_IO =
    korvel::resource::control_id_of("PANELDEBUG", "CHECKBOX_GP_IO");
inline constexpr int PANELDEBUG_CHECKBOX_IO_Dump =
    korvel::resource::control_id_of("PANELDEBUG", "CHECKBOX_IO_Dump");
inline constexpr int PANELDEBUG_CHECKBOX_DAC_Dump =
    korvel::resource::control_id_of("PANELDEBUG", "CHECKBOX_DAC_Dump");
inline constexpr int PANELDEBUG_CLOSEPANELDEBUG =
    korvel::resource::control_id_of("PANELDEBUG", "CLOSEPANELDEBUG");
inline constexpr int PANELDEBUG_CHECKBOX_DAC_Sweep =
    korvel::resource::control_id_of("PANELDEBUG", "CHECKBOX_DAC_Sweep");
inline constexpr int PANELDEBUG_I2C_BUS_LED =
    korvel::resource::control_id_of("PANELDEBUG", "I2C_BUS_LED");
inline constexpr int PANELDEBUG_GP_9 = korvel::resource::control_id_of("PANELDEBUG", "GP_9");
inline constexpr int PANELDEBUG_GP_8 = korvel::resource::control_id_of("PANELDEBUG", "GP_8");
inline constexpr int PANELDEBUG_GP_3 = korvel::resource::control_id_of("PANELDEBUG", "GP_3");
inline constexpr int PANELDEBUG_GP_2 = korvel::resource::control_id_of("PANELDEBUG", "GP_2");
inline constexpr int PANELDEBUG_GP_1 = korvel::resource::control_id_of("PANELDEBUG", "GP_1");
inline constexpr int PANELDEBUG_GP_0 = korvel::resource::control_id_of("PANELDEBUG", "GP_0");
inline constexpr int PANELDEBUG_TEXTMSG = korvel::resource::control_id_of("PANELDEBUG", "TEXTMSG");
inline constexpr int PANELDEBUG_DECORATION_3 =
    korvel::resource::control_id_of("PANELDEBUG", "DECORATION_3");
inline constexpr int PANELDEBUG_DEBUG_TIMER =
    korvel::resource::control_id_of("PANELDEBUG", "DEBUG_TIMER");
inline constexpr int PANELDEBUG_RINGSLIDE_GP_APH =
    korvel::resource::control_id_of("PANELDEBUG", "RINGSLIDE_GP_APH");
inline constexpr int PANELDEBUG_RINGSLIDE_GP_MPH =
    korvel::resource::control_id_of("PANELDEBUG", "RINGSLIDE_GP_MPH");
inline constexpr int PANELDEBUG_CAL_RESULTS =
    korvel::resource::control_id_of("PANELDEBUG", "CAL_RESULTS");
inline constexpr int PANELDEBUG_TEST_DAC =
    korvel::resource::control_id_of("PANELDEBUG", "TEST_DAC");
inline constexpr int PANELDEBUG_DIAG_GO = korvel::resource::control_id_of("PANELDEBUG", "DIAG_GO");
inline constexpr int PANELDEBUG_NEXT_FREQ_BUTTON =
    korvel::resource::control_id_of("PANELDEBUG", "NEXT_FREQ_BUTTON");
inline constexpr int PANELDEBUG_EXPANDED_AMPLITUDE =
    korvel::resource::control_id_of("PANELDEBUG", "EXPANDED_AMPLITUDE");
inline constexpr int PANELDEBUG_FREQUENCY_SCANNED =
    korvel::resource::control_id_of("PANELDEBUG", "FREQUENCY_SCANNED");
inline constexpr int PANELDEBUG_SET_FREQ_INCR =
    korvel::resource::control_id_of("PANELDEBUG", "SET_FREQ_INCR");
inline constexpr int PANELDEBUG_SCRAMBLE_MODE =
    korvel::resource::control_id_of("PANELDEBUG", "SCRAMBLE_MODE");
inline constexpr int PANELDEBUG_USE_FREQ =
    korvel::resource::control_id_of("PANELDEBUG", "USE_FREQ");
inline constexpr int PANELDEBUG_PRINT_CAL_RESULTS =
    korvel::resource::control_id_of("PANELDEBUG", "PRINT_CAL_RESULTS");
inline constexpr int PANELDEBUG_TEXTMSG_2 =
    korvel::resource::control_id_of("PANELDEBUG", "TEXTMSG_2");

inline constexpr int PANELERR = korvel::resource::panel_id_of("PANELERR");
inline constexpr int PANELERR_SELECT_ERR_TXT_FILE =
    korvel::resource::control_id_of("PANELERR", "SELECT_ERR_TXT_FILE");
inline constexpr int PANELERR_LOAD_FPGA = korvel::resource::control_id_of("PANELERR", "LOAD_FPGA");
inline constexpr int PANELERR_CLOSEPANELERR =
    korvel::resource::control_id_of("PANELERR", "CLOSEPANELERR");
inline constexpr int PANELERR_TEXTMSG_2 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_2");
inline constexpr int PANELERR_TEXTMSG = korvel::resource::control_id_of("PANELERR", "TEXTMSG");
inline constexpr int PANELERR_TEXTMSG_FILE_PATH =
    korvel::resource::control_id_of("PANELERR", "TEXTMSG_FILE_PATH");
inline constexpr int PANELERR_PULSE_WIDTH =
    korvel::resource::control_id_of("PANELERR", "PULSE_WIDTH");
inline constexpr int PANELERR_PULSE_PERIOD =
    korvel::resource::control_id_of("PANELERR", "PULSE_PERIOD");
inline constexpr int PANELERR_ERROR_RATE =
    korvel::resource::control_id_of("PANELERR", "ERROR_RATE");
inline constexpr int PANELERR_ERRS_PER_256 =
    korvel::resource::control_id_of("PANELERR", "ERRS_PER_256");
inline constexpr int PANELERR_BITS_PER_ERR =
    korvel::resource::control_id_of("PANELERR", "BITS_PER_ERR");
inline constexpr int PANELERR_TEXTMSG_7 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_7");
inline constexpr int PANELERR_TEXTMSG_3 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_3");
inline constexpr int PANELERR_TEXTMSG_4 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_4");
inline constexpr int PANELERR_TEXTMSG_6 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_6");
inline constexpr int PANELERR_TEXTMSG_5 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_5");
inline constexpr int PANELERR_TEXTMSG_8 = korvel::resource::control_id_of("PANELERR", "TEXTMSG_8");
inline constexpr int PANELERR_SPREAD_ERRS =
    korvel::resource::control_id_of("PANELERR", "SPREAD_ERRS");

inline constexpr int PANELHELP = korvel::resource::panel_id_of("PANELHELP");
inline constexpr int PANELHELP_CLOSEPANELHELP =
    korvel::resource::control_id_of("PANELHELP", "CLOSEPANELHELP");
inline constexpr int PANELHELP_TEXTMSG = korvel::resource::control_id_of("PANELHELP", "TEXTMSG");
inline constexpr int PANELHELP_TEXTMSG_2 =
    korvel::resource::control_id_of("PANELHELP", "TEXTMSG_2");
inline constexpr int PANELHELP_TEXTMSG_3 =
    korvel::resource::control_id_of("PANELHELP", "TEXTMSG_3");
inline constexpr int PANELHELP_TEXTMSG_5 =
    korvel::resource::control_id_of("PANELHELP", "TEXTMSG_5");
inline constexpr int PANELHELP_TEXTMSG_7 =
    korvel::resource::control_id_of("PANELHELP", "TEXTMSG_7");
inline constexpr int PANELHELP_VER = korvel::resource::control_id_of("PANELHELP", "VER");
inline constexpr int PANELHELP_TEXTMSG_6 =
    korvel::resource::control_id_of("PANELHELP", "TEXTMSG_6");
inline constexpr int PANELHELP_TEXTMSG_4 =
    korvel::resource::control_id_of("PANELHELP", "TEXTMSG_4");

inline constexpr int PANELMAIN = korvel::resource::panel_id_of("PANELMAIN");
inline constexpr int PANELMAIN_DEBUG = korvel::resource::control_id_of("PANELMAIN", "DEBUG");
inline constexpr int PANELMAIN_CMDQUIT = korvel::resource::control_id_of("PANELMAIN", "CMDQUIT");
inline constexpr int PANELMAIN_NOTIFY_USER =
    korvel::resource::control_id_of("PANELMAIN", "NOTIFY_USER");
inline constexpr int PANELMAIN_DUTY_CYCLE =
    korvel::resource::control_id_of("PANELMAIN", "DUTY_CYCLE");
inline constexpr int PANELMAIN_MUX_AMP = korvel::resource::control_id_of("PANELMAIN", "MUX_AMP");
inline constexpr int PANELMAIN_TIMER = korvel::resource::control_id_of("PANELMAIN", "TIMER");
inline constexpr int PANELMAIN_PATTERN_BOX =
    korvel::resource::control_id_of("PANELMAIN", "PATTERN_BOX");
inline constexpr int PANELMAIN_EYE_DIAGRAM_BOX =
    korvel::resource::control_id_of("PANELMAIN", "EYE_DIAGRAM_BOX");
inline constexpr int PANELMAIN_TEXTMSG_9 =
    korvel::resource::control_id_of("PANELMAIN", "TEXTMSG_9");
inline constexpr int PANELMAIN_TEXTMSG_4 =
    korvel::resource::control_id_of("PANELMAIN", "TEXTMSG_4");
inline constexpr int PANELMAIN_DATA_SELECT =
    korvel::resource::control_id_of("PANELMAIN", "DATA_SELECT");
inline constexpr int PANELMAIN_DECORATION_7 =
    korvel::resource::control_id_of("PANELMAIN", "DECORATION_7");
inline constexpr int PANELMAIN_VER = korvel::resource::control_id_of("PANELMAIN", "VER");
inline constexpr int PANELMAIN_DEVICE_SN =
    korvel::resource::control_id_of("PANELMAIN", "DEVICE_SN");
inline constexpr int PANELMAIN_RST_FPGA = korvel::resource::control_id_of("PANELMAIN", "RST_FPGA");
inline constexpr int PANELMAIN_TEXTMSG_MV =
    korvel::resource::control_id_of("PANELMAIN", "TEXTMSG_MV");
inline constexpr int PANELMAIN_TEXTMSG_MV_2 =
    korvel::resource::control_id_of("PANELMAIN", "TEXTMSG_MV_2");
inline constexpr int PANELMAIN_TEXT_KORVEL =
    korvel::resource::control_id_of("PANELMAIN", "TEXT_KORVEL");
inline constexpr int PANELMAIN_CLOCKOUT1_BUTTON =
    korvel::resource::control_id_of("PANELMAIN", "CLOCKOUT1_BUTTON");
inline constexpr int PANELMAIN_SETUP_LOADED =
    korvel::resource::control_id_of("PANELMAIN", "SETUP_LOADED");
inline constexpr int PANELMAIN_SET_DIVIDE_RATIO =
    korvel::resource::control_id_of("PANELMAIN", "SET_DIVIDE_RATIO");
inline constexpr int PANELMAIN_INVERTED_DATA_ALERT =
    korvel::resource::control_id_of("PANELMAIN", "INVERTED_DATA_ALERT");
inline constexpr int PANELMAIN_ERROR_ALERT =
    korvel::resource::control_id_of("PANELMAIN", "ERROR_ALERT");

inline constexpr int PANELMORE = korvel::resource::panel_id_of("PANELMORE");
inline constexpr int PANELMORE_TEXTMSG_5 =
    korvel::resource::control_id_of("PANELMORE", "TEXTMSG_5");
inline constexpr int PANELMORE_TEXTMSG_6 =
    korvel::resource::control_id_of("PANELMORE", "TEXTMSG_6");
inline constexpr int PANELMORE_TEXTMSG_4 =
    korvel::resource::control_id_of("PANELMORE", "TEXTMSG_4");
inline constexpr int PANELMORE_CLOSEPANELMORE =
    korvel::resource::control_id_of("PANELMORE", "CLOSEPANELMORE");
inline constexpr int PANELMORE_MANUAL_CTRL_BOX =
    korvel::resource::control_id_of("PANELMORE", "MANUAL_CTRL_BOX");
inline constexpr int PANELMORE_DIVIDE_RATIO_CONTROL =
    korvel::resource::control_id_of("PANELMORE", "DIVIDE_RATIO_CONTROL");
inline constexpr int PANELMORE_DECORATION_8 =
    korvel::resource::control_id_of("PANELMORE", "DECORATION_8");
inline constexpr int PANELMORE_DECORATION_9 =
    korvel::resource::control_id_of("PANELMORE", "DECORATION_9");
inline constexpr int PANELMORE_DECORATION_7 =
    korvel::resource::control_id_of("PANELMORE", "DECORATION_7");
inline constexpr int PANELMORE_ERROR_INJECTION =
    korvel::resource::control_id_of("PANELMORE", "ERROR_INJECTION");
inline constexpr int PANELMORE_ERROR_INJ_ON_BUTTON =
    korvel::resource::control_id_of("PANELMORE", "ERROR_INJ_ON_BUTTON");
inline constexpr int PANELMORE_INV_DATA_BUTTON =
    korvel::resource::control_id_of("PANELMORE", "INV_DATA_BUTTON");

inline constexpr int MENUBAR = korvel::resource::menu_id_of("MENUBAR");
inline constexpr int MENUBAR_MENU1 = korvel::resource::menu_id_of("MENU1");
inline constexpr int MENUBAR_MENU1_FILEOPEN = korvel::resource::menu_id_of("FILEOPEN");
inline constexpr int MENUBAR_MENU1_SAVECONFIG = korvel::resource::menu_id_of("SAVECONFIG");
inline constexpr int MENUBAR_MENU1_QUITNOSAVE = korvel::resource::menu_id_of("QUITNOSAVE");
inline constexpr int MENUBAR_MENU1_FILEEXIT = korvel::resource::menu_id_of("FILEEXIT");
inline constexpr int MENUBAR_MOREFEATURES = korvel::resource::menu_id_of("MOREFEATURES");
inline constexpr int MENUBAR_EEPROM = korvel::resource::menu_id_of("EEPROM");
inline constexpr int MENUBAR_EEPROM_WriteEEPROM = korvel::resource::menu_id_of("WriteEEPROM");
inline constexpr int MENUBAR_EEPROM_ReadEEPROM = korvel::resource::menu_id_of("ReadEEPROM");
inline constexpr int MENUBAR_HELP = korvel::resource::menu_id_of("HELP");
// NOLINTEND(readability-identifier-naming)
