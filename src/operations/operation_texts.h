#pragma once
// The application messages of the operations, as the desktop tool's boxes
// show them (the command line prints them folded onto one line).

#include <string>
#include <string_view>

namespace tavlink {

inline constexpr std::string_view kWrongRomImage = "\n  Wrong ROM image.     \n\n  Retry.";
inline constexpr std::string_view kTurnOffReceiver = "\n  Please turn off your receiver.    \n";
inline constexpr std::string_view kFactoryDataNotValid =
    "\n Factory data of the receiver is not valid. ";

// Said before the reader's message when a saved text does not read back.
inline constexpr std::string_view kSavedTextRefused =
    "The file is saved, but Write Factory Data would refuse it as it stands:";

// A read of user data that failed or was stopped: nothing was wrong with the
// receiver's data, the read did not finish, and `path` was left alone
// (`existed`: unchanged; otherwise not created).
std::string ReadNotFinishedText(const std::string& path, bool existed);

// A data text without a single record, which would empty the receiver's data.
std::string EmptyDataQuestion(const std::string& path);

}  // namespace tavlink
