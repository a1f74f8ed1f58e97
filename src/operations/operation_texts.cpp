#include "operations/operation_texts.h"

namespace tavlink {

std::string ReadNotFinishedText(const std::string& path, bool existed) {
  return "\n The user data was not read to the end. \n " + path +
         (existed ? " is unchanged. " : " was not created. ");
}

std::string EmptyDataQuestion(const std::string& path) {
  return path +
         " holds no satellite, transponder or service: writing it empties the receiver's data. "
         "Write it anyway?";
}

}  // namespace tavlink
