// The program's NI-488.2-shaped GPIB calls: the five it uses, the three status variables, and the
// standard status bits, error codes and timeout codes.
//
// Every call answers through the backend chosen for the process (backend_select.h): the Linux
// GPIB driver's user library, loaded at run time, or the simulated bench. After each call ibsta
// holds the status word; when its ERR bit is set, iberr holds the error code (otherwise iberr keeps
// the code of the last failure, as the standard library does). ibcnt holds the number of bytes
// the call moved.
#pragma once

namespace korvel::gpib {

// ---- status bits of ibsta -----------------------------------------------------------------------
constexpr int ERR = 0x8000;   // the call failed
constexpr int TIMO = 0x4000;  // the time limit ran out
constexpr int END = 0x2000;   // EOI (or the end-of-string byte) ended a read
constexpr int SRQI = 0x1000;  // a device requests service
constexpr int RQS = 0x0800;   // the device requests service
constexpr int SPOLL = 0x0400;
constexpr int EVENT = 0x0200;
constexpr int CMPL = 0x0100;  // the I/O is complete
constexpr int LOK = 0x0080;   // lockout state
constexpr int REM = 0x0040;   // remote state
constexpr int CIC = 0x0020;   // controller in charge
constexpr int ATN = 0x0010;   // ATN asserted
constexpr int TACS = 0x0008;  // addressed as talker
constexpr int LACS = 0x0004;  // addressed as listener
constexpr int DTAS = 0x0002;  // device trigger state
constexpr int DCAS = 0x0001;  // device clear state

// ---- error codes in iberr -----------------------------------------------------------------------
constexpr int EDVR = 0;   // driver error, or not a valid descriptor
constexpr int ECIC = 1;   // not controller in charge
constexpr int ENOL = 2;   // no listener on the bus
constexpr int EADR = 3;   // address error
constexpr int EARG = 4;   // invalid argument
constexpr int ESAC = 5;   // not system controller
constexpr int EABO = 6;   // I/O aborted (a time-out)
constexpr int ENEB = 7;   // no GPIB board
constexpr int EOIP = 10;  // asynchronous I/O in progress
constexpr int ECAP = 11;  // no capability
constexpr int EFSO = 12;  // file system error
constexpr int EBUS = 14;  // command error on the bus
constexpr int ESTB = 15;  // status byte lost
constexpr int ESRQ = 16;  // SRQ stuck on
constexpr int ETAB = 20;  // table overflow
constexpr int ELCK = 21;  // lock error
constexpr int EARM = 22;  // notification re-arm error
constexpr int EHDL = 23;  // invalid handle
constexpr int EWIP = 26;  // a wait is already in progress
constexpr int ERST = 27;  // notification cancelled by a reset
constexpr int EPWR = 28;  // power error

// ---- timeout codes (ibdev's timeout argument) ---------------------------------------------------
constexpr int TNONE = 0;
constexpr int T1s = 11;
constexpr int T10s = 13;
constexpr int T1000s = 17;
// The time limit of a timeout code in seconds; 0 for TNONE (no limit) and for codes out of range.
double timeout_seconds(int timeout_code);

// ---- status variables ---------------------------------------------------------------------------
extern int ibsta;
extern int iberr;
extern int ibcnt;

// ---- calls --------------------------------------------------------------------------------------
// Opens a device on board `board` at primary address `pad` (secondary `sad`, 0 for none) with a
// timeout code, EOI on the last byte written (`eot` non-zero) and an end-of-string mode. Returns a
// device descriptor, or -1 with ERR set.
int ibdev(int board, int pad, int sad, int timeout, int eot, int eos);
// Sends the device a selected device clear.
int ibclr(int ud);
// ibonl(ud, 0) takes the descriptor offline (it is not valid afterwards); a non-zero `online`
// puts its settings back to those it was opened with.
int ibonl(int ud, int online);
// Writes `count` bytes.
int ibwrt(int ud, const void* data, long count);
// Reads at most `count` bytes into `buffer`; ibcnt says how many came.
int ibrd(int ud, void* buffer, long count);
// The calls return ibsta.

// Number of calls that have set ERR since the process started (or since the last reset).
int failed_call_count();
void reset_failed_call_count();

}  // namespace korvel::gpib
