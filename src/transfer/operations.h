#pragma once
// The six operations of a transfer session, in one table: each code (equal
// to its request frame's code), its window title, its worker procedure and
// the result boxes its TransferDone report turns into.

#include <span>
#include <string_view>

#include "link/frame.h"

namespace tavlink {

class TransferDialog;

// Operation codes: each equals its request frame's code.
enum OperationCode : int {
  OP_CONNECT = FC_CONNECT,
  OP_UPGRADE = FC_UPGRADE,
  OP_BACKUP = FC_BACKUP,
  OP_RESTORE = FC_RESTORE,
  OP_WRITE_FACTORY = FC_FACTORY,
  OP_READ_USER_DATA = FC_USERDATA,
};

struct Operation {
  OperationCode code;
  std::string_view title;  // the transfer window's title
  void (*worker)(TransferDialog&);
  // The boxes of a TransferDone report, under `caption`; an empty text
  // shows no box.
  std::string_view caption;
  std::string_view successText;
  std::string_view failureText;
};

// Every operation, in code order.
std::span<const Operation> Operations();

// The operation of `code`, or null for a code outside the table.
const Operation* FindOperation(int code);

}  // namespace tavlink
