#pragma once
// The COM ports of a Windows computer, as its serial drivers list them under
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM. Windows only.

#include <string>
#include <vector>

namespace tavlink {

// "COM1", "COM3", "COM10", ...: in number order, without repeats. Empty when
// the key is missing (no port at all) or cannot be read.
std::vector<std::string> ListComPorts();

// The same order for any list of names: "COM<n>" by n (COM2 before COM10),
// then other names alphabetically; repeats removed.
std::vector<std::string> SortComPortNames(std::vector<std::string> names);

// The device path that opens `name`: a bare "COM<n>" (any case, as a user
// maps a port to "COM7") gets the "\\.\" prefix; every other name is a path
// already and stays as it is.
std::string Win32DevicePath(const std::string& name);

}  // namespace tavlink
