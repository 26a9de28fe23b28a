/* Sets the unit from the command line: set_unit PATTERN RATIO CLOCK DUTY AMPLITUDE. */
#include <korvel.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: set_unit PATTERN RATIO CLOCK DUTY AMPLITUDE\n");
        return 2;
    }
    if (usb_init() != 1) {
        fprintf(stderr, "unit not found\n");
        return 1;
    }
    prbs_select(atoi(argv[1]));
    set_divide_ratio(atoi(argv[2]));
    ClockOutput1(atoi(argv[3]));
    set_dutycycle((float)atof(argv[4]));
    set_amplitude((float)atof(argv[5]));
    return usb_close() == 1 ? 0 : 1;
}
