// The bench-instrument routines: open, clear, write to, query and take offline four GPIB
// instruments, and report a failed call.
//
// All four sit on board 0 without secondary address: Samp at primary address 8, SigGen at 19,
// Scope at 9 and ErrorDetector at 5. Each is opened with a 10 s time limit (T10s), EOI sent with
// the last byte of every write and no end-of-string byte. The routines return nothing: a failed
// call prints the failure report (GpibError) and the routine carries on with its next step.
#pragma once

#include "gpib/ni488.h"

namespace korvel::gpib {

constexpr int kBoard = 0;
constexpr int kSampAddress = 8;
constexpr int kSigGenAddress = 19;
constexpr int kScopeAddress = 9;
constexpr int kErrorDetectorAddress = 5;
constexpr int kNoSecondaryAddress = 0;
constexpr int kTimeout = T10s;
constexpr int kEot = 1;  // EOI with the last byte written
constexpr int kEos = 0;  // no end-of-string byte

// Up to kMaxReply reply bytes and their terminating NUL.
constexpr int kMaxReply = 1000;
constexpr int kMaxIdentityReply = 100;

// The descriptors ibdev gave; 0 until an instrument is opened. Nothing resets them when an
// instrument goes offline.
extern int samp_ud;
extern int siggen_ud;
extern int scope_ud;
extern int errdet_ud;
// The last reply read, NUL-terminated at index ibcnt.
extern char gpib_reply[kMaxReply + 1];

// Opens and clears all four, in the order Samp, SigGen, Scope, ErrorDetector.
void GPIB_Init();
void GPIB_Init_Samp();
void GPIB_Init_SigGen();
void GPIB_Init_Scope();
void GPIB_Init_ErrorDetector();

// Takes all four offline, in the same order, going on after a failure.
void GPIB_Dismiss();
void GPIB_Dismiss_Samp();
void GPIB_Dismiss_SigGen();
void GPIB_Dismiss_Scope();
void GPIB_Dismiss_ErrorDetector();

// Asks Samp for its identity (*IDN?, at most 100 reply bytes) and prints the reply.
void ID_Instrument_Samp();
// Sends a command (its characters, without the NUL).
void writeSigGen(const char* command);
void writeScope(const char* command);
// Sends a query and reads the reply (at most 1000 bytes) into gpib_reply, even when the write
// failed.
void queryScope(const char* query);
void queryErrorDetector(const char* query);

// Prints the failure report for the call that just failed, takes Samp offline, pauses 1 s, asks
// for Return and waits for one input character (end of input counts as Return).
void GpibError(const char* message);

// Descriptors back to 0 and the reply buffer emptied, as in a fresh process. For tests and tools.
void reset_instrument_routines();

}  // namespace korvel::gpib
