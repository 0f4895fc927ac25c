#pragma once
// The start-up entry: the command Windows runs at logon. It lives in the
// machine's start-up list; a user who may not write that list gets it in the
// start-up list of their own. It is kept in UTF-16 as the system named the
// program, so that a folder the code page cannot spell still leads to it.
#include <string>

namespace dv {

// Writes the entry into the machine's list and then removes the current user's
// entry, or, where the machine's list cannot be opened for writing or refuses
// the value and does not hold this command already, writes it into the
// current user's. Raises "Failed to set data for 'Dormivane'" when the user's
// list refuses it too.
void WriteStartupEntry(const std::wstring& command);

// Removes the entry from both lists; a missing entry is not an error. Raises
// "Failed to set data for 'Dormivane'" when the machine's list keeps an entry
// that this user may not remove.
void RemoveStartupEntry();

} // namespace dv
