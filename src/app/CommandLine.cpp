#include "app/CommandLine.h"

#include "app/Strings.h"

namespace dv {

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> arguments;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && IsSeparator(line[i]))
            ++i;
        if (i >= line.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        for (; i < line.size() && (quoted || !IsSeparator(line[i])); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                argument += line[i];
        }
        arguments.push_back(argument);
    }
}

bool IsUnattendedStart(const std::string& commandLine) {
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    return arguments.size() > 1 && LowerAscii(arguments[1]) == "auto";
}

} // namespace dv
