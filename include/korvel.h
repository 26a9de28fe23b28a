/*
 * libkorvel: drive a KORVEL PRBS pattern generator from another program.
 *
 * Seven plain C functions. Call usb_init() first, then any of the five setters in any order and
 * as often as needed, and usb_close() last. The functions share one process-wide USB link and
 * take no lock: call them from one thread at a time.
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

#ifdef __cplusplus
}
#endif

#endif /* KORVEL_H */
