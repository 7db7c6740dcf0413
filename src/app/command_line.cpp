#include "app/command_line.h"

namespace virevi {

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    TCommandLine result;
    std::vector<std::string> names;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
            continue;
        }
        // No option is the program's own, so any that Qt left is unknown.
        if (options && argument.starts_with('-')) {
            result.Usage = true;
            return result;
        }
        names.push_back(argument);
    }
    if (names.size() > 1) {
        result.Usage = true;
        return result;
    }
    if (!names.empty()) {
        result.FileName = names.front();
    }
    return result;
}

} // namespace virevi
