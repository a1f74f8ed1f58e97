#pragma once
// Plays one LineScript against the PC: the operation's worker runs on its own
// thread in a TransferDialog, as in the tool, over the in-memory line in
// virtual time. The receiver answers each frame the PC writes with the
// script's next answer; the script's Cancel presses go to the dialog on its
// user-interface thread, as the button's do. When
// the input is used up (a PC frame finds no answer left, or the PC has
// waited kSilentWaitMs on a silent line with nothing on its way, as while it
// waits for readiness) the harness presses Cancel itself, and the session
// must then end within kAfterCancelBoundMs. An unplug in the script makes
// the device go away; the session must then end within kAfterUnplugBoundMs
// and show one device error at most (none without an unplug). Every
// session must end within SessionBoundMs.
//
// Deterministic per input: the receiver, the Cancel and every check run on
// the worker's thread at fixed points of its progress (its writes and its
// sleeps on the virtual clock), and the worker waits until the Cancel has
// been taken. No real sleeps.

#include <string>
#include <vector>

#include "fuzz/line_script.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::fuzz {

// A PC that waits this long on a silent line, with no byte on its way, waits
// for something the input does not hold. More than one port time-out
// (20,000 ms) plus the longest pause (3,000 ms), so a worker that gives up
// on a silent line does so before.
inline constexpr long long kSilentWaitMs = 30000;

// After the Cancel: the rest of the receive under way (at most one port
// time-out, 20,000 ms, as nothing arrives any more), then the longest
// stretch without a check point (the 3,000-ms completion display of an
// upload, or the 2,000-ms start pause) and the connect's 500-ms success
// display, with room to spare.
inline constexpr long long kAfterCancelBoundMs = 25000;

// After its device has gone the PC calls on it no more: its next read or
// write fails, and the session ends. Until then it may be in the longest
// stretch without a call on the line (the 3,000-ms completion display of an
// upload), and then in the connect's 500-ms success display.
inline constexpr long long kAfterUnplugBoundMs = 5000;

// Each answer may keep the PC busy for its delays plus this much: the pauses
// around one frame (at most 3,100 ms), a header and a body time-out (20,000
// ms each) and the silent wait before the Cancel, rounded up.
inline constexpr long long kPerAnswerBoundMs = 60000;

// And each frame the receiver sends (every 12 bytes it sends, and every
// item) may cost the PC one paced data frame or one block of read user data
// (1,000 ms at most) and a request pause (100 ms): a flood of FC_NAK makes
// an upload send its frame again, a second apiece, as often as it comes.
inline constexpr long long kPerFrameBoundMs = 1100;

// The bound on a whole session's virtual time for `script`.
long long SessionBoundMs(const LineScript& script);

struct LineSessionResult {
  TransferOutcome outcome = TransferOutcome::kNotRun;
  long long elapsedMs = 0;    // virtual time when the modal run returned
  long long cancelAtMs = -1;  // when the used-up input made the harness press Cancel; -1 never
  long long unplugAtMs = -1;  // when the device went away; -1 never
  std::vector<int> pcCodes;   // every frame the PC wrote, in order
  std::vector<std::string> statuses;
  std::vector<std::string> boxes;
  size_t deviceErrors = 0;
  // The promises the session broke (bounds, endings, frames); empty when sound.
  std::vector<std::string> violations;
};

// Runs one session to its end. Calls std::abort only when a session goes on
// ten virtual minutes past its bound, which the Cancel cannot end.
LineSessionResult RunLineSession(const LineScript& script);

}  // namespace tavlink::fuzz
