#include "files/file_error.h"

#include <cstring>

namespace tavlink {

std::string DescribeFileError(int error) {
  switch (error) {
    case kErrorNotPlainFile:
      return "not a plain file";
    case kErrorInUse:
      return "another program is using it";
    case kErrorIsTheInput:
      return "it is the input file; give another output file";
    default:
      return std::strerror(error);
  }
}

}  // namespace tavlink
