#pragma once
// The error log "WB.log" in the program folder: every error that nothing else handled is appended there with
// a running number and the time, so that a user can send it in.
#include <ctime>
#include <string>
#include <string_view>

namespace zanit {

inline constexpr const char* kLogDateiname = "WB.log";

// Appends one entry to "WB.log" in `folder` (created with its header line when missing). The running number
// continues the numbering found in the file. `when` is the local time of the error. Returns the number
// written, or 0 when the file could not be written (the log never throws).
int LogEintragSchreiben(const std::string& folder, std::string_view kind, std::string_view message,
                        std::time_t when);

// The running number of the last entry in a log's text (0 when there is none).
int LetzteLaufnummer(std::string_view logText);

}  // namespace zanit
