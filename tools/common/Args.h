#pragma once
// Command-line plumbing shared by the tools: reading options and their values, numbers, help requests
// and the report of wrong arguments. Each tool keeps its own messages and usage text.
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zanit_tools {

// Exit status of a tool called with wrong arguments.
constexpr int kExitUsage = 2;

// Wrong arguments; tools that report by exception print the message and their usage text.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments of a command line, read front to back.
class ArgReader {
public:
    // argv[first] .. argv[argc - 1]
    ArgReader(int argc, const char* const* argv, int first);
    // args[first] .. the last
    ArgReader(std::vector<std::string> args, std::size_t first);

    bool Done() const { return pos_ >= args_.size(); }
    // The next argument; moves past it. Only when not Done().
    const std::string& Next();
    // The value of the option just read: the argument after it, or nothing when the line ends there.
    std::optional<std::string> Value();
    // As Value(), into `target`; false (target unchanged) when the line ends there.
    bool ValueInto(std::string& target);
    // As Value(), but throws UsageError("<option> needs a value") when the line ends there.
    std::string ValueOf(std::string_view option);

private:
    std::vector<std::string> args_;
    std::size_t pos_;
};

// "--name"
bool IsLongOption(std::string_view arg);
// "--help", "-h" or "help" in place of a command.
bool IsHelpRequest(std::string_view command);

// The whole text as a decimal int: leading white space and one sign allowed, nothing after the digits;
// nothing when the text is not a number or out of range.
std::optional<int> WholeNumber(std::string_view text);

// Reads the value of the numeric option just read into `number`. Returns the message for a missing value
// ("<option> ohne Zahl"), a non-number ("<option> erwartet eine Zahl: <text>") or one outside
// low..high ("<option> muss zwischen <low> und <high> liegen"); empty when the value was taken.
std::string ReadNumber(ArgReader& args, std::string_view option, int low, int high, int& number);

// A line without a command word gets "<tool>: kein Befehl angegeben" and the usage on `err` (kExitUsage);
// a help request in its place gets the usage on `out` (0). Nothing when argv[1] is some other word.
std::optional<int> AnswerWithoutCommand(int argc, const char* const* argv, std::string_view tool,
                                        std::string_view usage, std::ostream& out, std::ostream& err);

// One command of a tool with several: gets the whole argument list (args[0] is the command word) and returns
// the exit status.
using Command = std::function<int(const std::vector<std::string>&)>;

// Runs the command that args[0] names. A missing or unknown command and a UsageError give "<tool>: <message>"
// and the usage text on `err` (kExitUsage); a help request gives the usage on `out` (0); any other exception
// gives "<tool>: <message>" on `err` (1).
int RunCommand(std::string_view tool, std::string_view usage, const std::vector<std::string>& args,
               const std::vector<std::pair<std::string_view, Command>>& commands, std::ostream& out,
               std::ostream& err);

// Writes "<tool>: <problem>", a line break and the usage text; returns kExitUsage.
int UsageFailure(std::ostream& err, std::string_view tool, std::string_view problem, std::string_view usage);

}  // namespace zanit_tools
