// The IEEE 488.2 status reporting of one SCPI session: the Standard Event Status Register with its
// enable (*ESR?, *ESE), the Status Byte with the Service Request Enable (*STB?, *SRE), the error
// queue, and SCPI's OPERation and QUEStionable register groups (condition, transition filters,
// event, enable).
//
// Pure bookkeeping: the caller says what the instrument's conditions are and which errors happen;
// nothing here knows the unit. Registers never hold bits outside their width (8 bits for the
// event status and the status byte, 15 for the SCPI groups).
#pragma once

#include "scpi/error_queue.h"
#include "scpi/scpi_error.h"

namespace korvel::scpi {

// Standard Event Status Register bits.
inline constexpr unsigned kEsrOperationComplete = 1u << 0;
inline constexpr unsigned kEsrQueryError = 1u << 2;      // -400 range
inline constexpr unsigned kEsrDeviceError = 1u << 3;     // -300 range and device-specific (+)
inline constexpr unsigned kEsrExecutionError = 1u << 4;  // -200 range
inline constexpr unsigned kEsrCommandError = 1u << 5;    // -100 range
// Status Byte bits.
inline constexpr unsigned kStbErrorAvailable = 1u << 2;
inline constexpr unsigned kStbQuestionable = 1u << 3;
inline constexpr unsigned kStbMessageAvailable = 1u << 4;
inline constexpr unsigned kStbEventSummary = 1u << 5;
inline constexpr unsigned kStbMasterSummary = 1u << 6;
inline constexpr unsigned kStbOperation = 1u << 7;
inline constexpr unsigned kByteMask = 0xFF;
// This instrument's device-defined condition bits.
inline constexpr unsigned kOperLoading = 1u << 8;      // a pattern or mask load in progress
inline constexpr unsigned kQuesUnitMissing = 1u << 9;  // the unit is not connected

// The Standard Event Status bit an error sets (0 for "No error").
unsigned event_bit_of(int code);

// One SCPI status register group.
class RegisterGroup {
  public:
    static constexpr unsigned kMask = 0x7FFF;

    // The present condition; the bits that rose (through the positive filter) or fell (through
    // the negative one) are latched into the event register.
    void set_condition(unsigned condition);
    unsigned condition() const { return condition_; }
    // Read and clear, as STATus:...:EVENt? does.
    unsigned take_event();
    void set_enable(unsigned bits) { enable_ = bits & kMask; }
    void set_positive_filter(unsigned bits) { positive_ = bits & kMask; }
    void set_negative_filter(unsigned bits) { negative_ = bits & kMask; }
    unsigned enable() const { return enable_; }
    unsigned positive_filter() const { return positive_; }
    unsigned negative_filter() const { return negative_; }
    // An enabled event is latched: the group's bit in the status byte.
    bool summary() const { return (event_ & enable_) != 0; }
    void clear_event() { event_ = 0; }
    // STATus:PRESet: nothing enabled, rising edges reported, falling ones not.
    void preset();

  private:
    unsigned condition_ = 0;
    unsigned event_ = 0;
    unsigned enable_ = 0;
    unsigned positive_ = kMask;
    unsigned negative_ = 0;
};

class StatusRegisters {
  public:
    ErrorQueue& errors() { return errors_; }
    // Queues the error and sets the event status bit of its class.
    void report(Error error);

    // *ESR?: read and clear.
    unsigned take_event_status();
    void set_event_enable(unsigned bits) { event_enable_ = bits & kByteMask; }
    unsigned event_enable() const { return event_enable_; }
    // *SRE: bit 6 cannot be enabled (it is the summary of the others).
    void set_request_enable(unsigned bits) {
        request_enable_ = bits & kByteMask & ~kStbMasterSummary;
    }
    unsigned request_enable() const { return request_enable_; }
    // *STB?: the present status byte; `message_available` when a reply waits to be read.
    unsigned status_byte(bool message_available) const;

    // *OPC: operation complete is set once nothing is pending (a load in progress), at once when
    // nothing is.
    void request_operation_complete();
    // Whether an operation (a load) is still in progress: *WAI and *OPC? wait while it is.
    bool operation_pending() const { return (operation.condition() & kOperLoading) != 0; }
    // The instrument's present conditions.
    void set_conditions(unsigned operation_condition, unsigned questionable_condition);

    // *CLS: the event registers, the error queue and a waiting *OPC are cleared.
    void clear();
    // STATus:PRESet.
    void preset();

    RegisterGroup operation;
    RegisterGroup questionable;

  private:
    ErrorQueue errors_;
    unsigned event_status_ = 0;
    unsigned event_enable_ = 0;
    unsigned request_enable_ = 0;
    bool opc_requested_ = false;
};

}  // namespace korvel::scpi
