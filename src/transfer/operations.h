#pragma once
// The six operations of a transfer session, in one table: each code (equal
// to its request frame's code), its window title, its worker procedure and
// the result boxes its TransferDone report turns into.

#include <span>
#include <string_view>

namespace tavlink {

class TransferDialog;

// Operation codes: each equals its request frame's code.
enum OperationCode : int {
  OP_CONNECT = 16,
  OP_UPGRADE = 18,
  OP_BACKUP = 20,
  OP_RESTORE = 22,
  OP_WRITE_FACTORY = 30,
  OP_READ_USER_DATA = 32,
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
