/*
 * libkorvel: drive a KORVEL PRBS pattern generator from another program.
 *
 * Seven plain C functions (each also under a korvel_ name), and korvel_read_status(),
 * korvel_load_pattern() and korvel_load_mask(). Call usb_init() first, then any of the five setters
 * in any order and as often as needed, and usb_close() last. The functions share one process-wide
 * USB link and take no lock: call them from one thread at a time.
 *
 * The backend is chosen by the environment, read at the first call:
 *   KORVEL_BACKEND=sim    the simulated unit instead of real hardware (libftdi1)
 *   KORVEL_SIM_STATE=FILE the simulated unit's state file, a regular file (or none yet): read
 *                         when the unit is opened, saved when it is closed if it changed. The
 *                         program that has the unit open holds the file, so usb_init() in another
 *                         program returns 0 meanwhile, as with a real unit open elsewhere.
 *   KORVEL_SIM_TRACE=FILE a Value Change Dump of the eight USB pins (timescale 1 us), a file or
 *                         a FIFO
 *
 * Link with -lkorvel (pkg-config korvel) or find_package(korvel) and the target korvel::korvel.
 *
 * Each function also has a korvel_ name (korvel_usb_init, ...; ClockOutput1 is
 * korvel_clock_output1), the same function under a name no other library uses. New code should
 * use those: a program that also links libusb-0.1, which has its own usb_init and usb_close, gets
 * whichever library comes first in the link order for the plain names.
 */
#ifndef KORVEL_H
#define KORVEL_H

#if defined(__GNUC__)
#define KORVEL_EXPORT __attribute__((visibility("default")))
#else
#define KORVEL_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Pattern-select codes for prbs_select(). */
enum korvel_pattern {
    KORVEL_PRBS7 = 1,
    KORVEL_PRBS9 = 2,
    KORVEL_PRBS11 = 3,
    KORVEL_PRBS15 = 4,
    KORVEL_PRBS17 = 5,
    KORVEL_PRBS20 = 6,
    KORVEL_PRBS23 = 7,
    KORVEL_PRBS29 = 8,
    KORVEL_PRBS31 = 9,
    KORVEL_CLOCK = 10
};

/*
 * Finds the unit (USB description "ZEVA_KORVEL" or "ZEVA~KORVEL"), opens it and puts it in
 * bit-bang mode with the I2C lines idle. Returns 1 when the unit is open and set up, 0 otherwise.
 * Caution: when FTDI devices are attached but none has either description, the first of them is
 * opened and switched to bit-bang mode all the same, and 1 is returned. Unplug other FTDI
 * adapters, or check first with `korvelctl list`, which refuses that case.
 */
KORVEL_EXPORT int usb_init(void);

/* Closes the USB link. Returns 1, also when nothing was open. */
KORVEL_EXPORT int usb_close(void);

/*
 * Sync (trigger) output divide ratio, 1..256. A ratio of 0 or less is taken as 1, 256 or more
 * as 256. The ratio byte is sent as it is also to a "ZEVA~KORVEL" unit, to which the front-panel
 * program sends it with its bit order reversed (0x80 for ratio 1). Returns 1.
 */
KORVEL_EXPORT int set_divide_ratio(int ratio);

/*
 * Clock output 1: 1 = on (enable pin low), 0 = off (pin high). Returns 1.
 * 2 makes the pin a plain input (released, no pull-up); the expander driver then keeps that pin
 * released for the rest of the process, so clock output 1 cannot be switched on again until the
 * program restarts. Other values are passed on as the raw pin operation (the low byte of value
 * XOR 1); an operation other than 0, 1 or 3 drives all eight pins of that expander low, which
 * also switches error injection off. Use 0 and 1 only.
 */
KORVEL_EXPORT int ClockOutput1(int on);

/*
 * Duty-cycle DAC level in DAC volts (not percent): 1.8 V to 3.3 V, values outside are limited
 * to that range (NaN is taken as 1.8 V). Not stored in the DAC's EEPROM. Returns 1.
 */
KORVEL_EXPORT int set_dutycycle(float volts);

/*
 * Data-amplitude DAC level in DAC volts: 1.8 V to 2.7 V, values outside are limited to that
 * range (NaN is taken as 1.8 V). Not stored in the DAC's EEPROM. Returns 1.
 */
KORVEL_EXPORT int set_amplitude(float volts);

/*
 * Output pattern, one of enum korvel_pattern:
 *   1 PRBS7, 2 PRBS9, 3 PRBS11, 4 PRBS15, 5 PRBS17, 6 PRBS20, 7 PRBS23, 8 PRBS29, 9 PRBS31,
 *   10 Clock.
 * A code of 0 or less is taken as 1, one above 10 as 10 (PRBS6 and custom data cannot be chosen
 * here). Also resets the two phase fields that share the expander byte. Returns 1.
 */
KORVEL_EXPORT int prbs_select(int code);

/* The same seven functions under their korvel_ names. */
KORVEL_EXPORT int korvel_usb_init(void);
KORVEL_EXPORT int korvel_usb_close(void);
KORVEL_EXPORT int korvel_set_divide_ratio(int ratio);
KORVEL_EXPORT int korvel_clock_output1(int on);
KORVEL_EXPORT int korvel_set_dutycycle(float volts);
KORVEL_EXPORT int korvel_set_amplitude(float volts);
KORVEL_EXPORT int korvel_prbs_select(int code);

/* The unit's present settings, read back from its chips by korvel_read_status(). */
struct korvel_status {
    int connected;         /* 1: the unit answered after the read; 0: nothing below is valid */
    int pattern_code;      /* the pattern-select code on the unit, 1..12 */
    char pattern_name[16]; /* its name as korvelctl prints it ("PRBS15"), "" for an unknown code */
    int divide_ratio;      /* sync output divide ratio, 1..256 */
    int clock_output1;     /* 1 on, 0 off */
    int error_injection;   /* 1: errors injected (the same pin inverts the data), 0 off */
    int duty_cycle_code;   /* duty-cycle DAC code, 0..4095, and its level in DAC volts */
    double duty_cycle_volts;
    int amplitude_code; /* data-amplitude DAC code, 0..4095, and its level in DAC volts */
    double amplitude_volts;
};

/*
 * Reads the settings back from the open unit into *status. Returns 1, or 0 (status->connected
 * 0) when no unit is open or it stopped answering during the read.
 */
KORVEL_EXPORT int korvel_read_status(struct korvel_status* status);

/*
 * Load a custom pattern (text of '0' and '1', 256-bit words, at most 4096) or an error mask
 * (period, width, 256 mask bits) from the text file `path` into the open unit, as
 * `korvelctl load-pattern` and `load-mask` do. Returns 1 when loaded, 0 when the file cannot be
 * used (nothing sent), -1 when no unit is open or it went away during the load. `message`
 * (`size` bytes, may be NULL) receives what was loaded or why not.
 */
KORVEL_EXPORT int korvel_load_pattern(const char* path, char* message, int size);
KORVEL_EXPORT int korvel_load_mask(const char* path, char* message, int size);

#ifdef __cplusplus
}
#endif

#endif /* KORVEL_H */
