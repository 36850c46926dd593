#include "common/Args.h"

#include <cctype>
#include <charconv>
#include <system_error>
#include <utility>

namespace zanit_tools {

ArgReader::ArgReader(int argc, const char* const* argv, int first) : pos_(0) {
    for (int i = first; i < argc; ++i) args_.emplace_back(argv[i]);
}

ArgReader::ArgReader(std::vector<std::string> args, std::size_t first) : args_(std::move(args)), pos_(first) {}

const std::string& ArgReader::Next() {
    if (Done()) throw std::logic_error("ArgReader::Next past the last argument");
    return args_[pos_++];
}

std::optional<std::string> ArgReader::Value() {
    if (Done()) return std::nullopt;
    return args_[pos_++];
}

bool ArgReader::ValueInto(std::string& target) {
    if (Done()) return false;
    target = args_[pos_++];
    return true;
}

std::string ArgReader::ValueOf(std::string_view option) {
    std::optional<std::string> value = Value();
    if (!value) throw UsageError(std::string(option) + " needs a value");
    return std::move(*value);
}

bool IsLongOption(std::string_view arg) { return arg.starts_with("--"); }

bool IsHelpRequest(std::string_view command) { return command == "--help" || command == "-h" || command == "help"; }

std::optional<int> WholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    // from_chars takes a minus but no plus sign
    if (i + 1 < text.size() && text[i] == '+' && std::isdigit(static_cast<unsigned char>(text[i + 1]))) ++i;
    const char* const end = text.data() + text.size();
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + i, end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string ReadNumber(ArgReader& args, std::string_view option, int low, int high, int& number) {
    const std::string name(option);
    const std::optional<std::string> text = args.Value();
    if (!text) return name + " ohne Zahl";
    const std::optional<int> value = WholeNumber(*text);
    if (!value) return name + " erwartet eine Zahl: " + *text;
    number = *value;
    if (number < low || number > high)
        return name + " muss zwischen " + std::to_string(low) + " und " + std::to_string(high) + " liegen";
    return {};
}

int UsageFailure(std::ostream& err, std::string_view tool, std::string_view problem, std::string_view usage) {
    err << tool << ": " << problem << "\n" << usage;
    return kExitUsage;
}

std::optional<int> AnswerWithoutCommand(int argc, const char* const* argv, std::string_view tool,
                                        std::string_view usage, std::ostream& out, std::ostream& err) {
    if (argc < 2) return UsageFailure(err, tool, "kein Befehl angegeben", usage);
    if (IsHelpRequest(argv[1])) {
        out << usage;
        return 0;
    }
    return std::nullopt;
}

int RunCommand(std::string_view tool, std::string_view usage, const std::vector<std::string>& args,
               const std::vector<std::pair<std::string_view, Command>>& commands, std::ostream& out,
               std::ostream& err) {
    try {
        if (args.empty()) throw UsageError("no command given");
        const std::string& command = args[0];
        if (IsHelpRequest(command)) {
            out << usage;
            return 0;
        }
        for (const auto& [name, run] : commands)
            if (command == name) return run(args);
        throw UsageError("unknown command \"" + command + "\"");
    } catch (const UsageError& e) {
        err << tool << ": " << e.what() << '\n' << usage;
        return kExitUsage;
    } catch (const std::exception& e) {
        err << tool << ": " << e.what() << '\n';
        return 1;
    }
}

}  // namespace zanit_tools
